#include "GDI_Icon.h"

#include <QBuffer>
#include <QImageReader>
#include <QPixmap>
#include <cerrno>

#include "GDI_Exceptions.h"
#include "WIN_ResourceModule.h"

namespace gdi {

QIcon GDI_LoadIcon(std::uint32_t id)
{
  const auto bytes = win::WIN_GetMainModule().Custom(id, "ICON");
  if (bytes.empty()) throw RenderFailed_t(GLO_HERE, ENODATA);
  QByteArray data(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
  QBuffer buffer(&data);
  QImageReader reader(&buffer, "ICO");
  QIcon icon;
  for (int i = 0, count = std::max(1, reader.imageCount()); i < count; ++i) {
    if (!reader.jumpToImage(i) && i != 0) break;
    const QImage image = reader.read();
    if (!image.isNull()) icon.addPixmap(QPixmap::fromImage(image));
  }
  if (icon.isNull()) throw RenderFailed_t(GLO_HERE, EILSEQ);
  return icon;
}

}  // namespace gdi
