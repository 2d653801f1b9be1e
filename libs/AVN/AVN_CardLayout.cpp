#include "AVN_CardLayout.h"

#include <map>

#include "GLO_Exception.h"

namespace avn {
namespace {

const std::map<std::uint32_t, std::u16string>& Layout()
{
  // Kinds below 50 use the "ldr_sys" loader folder and the root, 50 to 60
  // the ".System\AVTN" and "Poi" folders, 70 to 79 single files in the root.
  static const std::map<std::uint32_t, std::u16string> layout{
      {1, u"ldr_sys\\avtn_db.bin"},
      {2, u"ldr_sys\\nav_db2.bin"},
      {3, u"bmap.bin"},
      {5, u"bmap2.bin"},
      {10, u"groundly.bin"},
      {11, u"groundly2.qza"},
      {20, u"sl_tpc\\sl_tpc.dat"},
      {21, u"sl_tpc\\sl_tpc.dat"},
      {26, u"rasters\\rasters.xml"},
      {33, u"terrain.tdb"},
      {34, u"terrain_9as.tdb"},
      {35, u"trn.dat"},
      {36, u"sl_tpc\\sl_tpc.dat"},
      {37, u"sl_tpc\\sl_tpc.sla"},
      {38, u"standard.odb"},
      {39, u"terrain.odb"},
      {40, u"terrain.adb"},
      {50, u".System\\AVTN\\avtn_db.bin"},
      {51, u"Poi\\air_sport.xpt"},
      {52, u".System\\AVTN\\terrain.tdb"},
      {53, u".System\\AVTN\\obstacle.odb"},
      {54, u".System\\AVTN\\groundly.img"},
      {55, u"Poi\\fbo.xpt"},
      {56, u".System\\AVTN\\bmap.bin"},
      {57, u".System\\AVTN\\Skyleaf\\sl_tpc.dat"},
      {58, u".System\\AVTN\\Skyleaf\\sl_tpc.sla"},
      {59, u".System\\AVTN\\groundly2.qza"},
      {60, u".System\\AVTN\\bmap2.bin"},
      {70, u"groundly.qza"},
      {73, u"basemap.qza"},
      {76, u"fbo.xpt"},
      {78, u"apt_dir.qza"},
      {79, u"air_sport.xpt"},
  };
  return layout;
}

}  // namespace

bool AVN_IsSupportedKind(std::uint32_t kind)
{
  return Layout().count(kind) != 0;
}

const std::u16string& AVN_CardName(std::uint32_t kind)
{
  auto found = Layout().find(kind);
  glo::GLO_Assert(found != Layout().end(), GLO_HERE);
  return found->second;
}

std::u16string CardFolder(const std::u16string& root, const std::u16string& name)
{
  std::u16string folder = root;
  if (folder.empty() || folder.back() != u'/') folder += u'/';
  return folder + name;
}

std::u16string CardPath(const std::u16string& root, std::uint32_t kind)
{
  std::u16string path = CardFolder(root, {});
  for (char16_t c : AVN_CardName(kind)) path += c == u'\\' ? u'/' : c;
  return path;
}

}  // namespace avn
