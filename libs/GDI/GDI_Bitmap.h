#pragma once
// A bitmap of the resource module, loaded into a QImage, and its drawing.
//
// Bitmaps are resources of type "BITMAP" (a BMP file); a resource of type
// "BITMAP2X" with the same id, when the module has one, is the same picture
// at twice the size for screens of twice the density, and drawing picks it
// there, so that the picture stays sharp at 200 %.

#include <QImage>
#include <QList>
#include <QPixmap>
#include <QRgb>
#include <cstdint>
#include <optional>
#include <span>

#include "GLO_NonCopyable.h"

class QPainter;

namespace gdi {

class Bitmap_t : public glo::NonCopyable_t {
 public:
  // Loads the bitmap resource of the program's module, and its double-size
  // picture when there is one. A missing resource raises RenderFailed_t
  // (ENODATA), one that is no picture RenderFailed_t (EILSEQ).
  void Load(std::uint32_t id);
  // Loads a BMP file's bytes (and the double-size picture's, when given);
  // raises as Load.
  void Load(std::span<const unsigned char> bytes, std::span<const unsigned char> doubleBytes = {});

  bool Loaded() const noexcept { return !image_.isNull(); }
  const QImage& Image() const noexcept { return image_; }
  // The picture's size in pixels (at single density).
  QSize Size() const noexcept { return image_.size(); }
  // The palette: the colour table of an indexed bitmap (of 2 to the power of
  // the bit count entries unless the file says how many it uses); a true
  // colour bitmap has none.
  const std::optional<QList<QRgb>>& Palette() const noexcept { return palette_; }

  // The picture for a device of the pixel ratio: the double-size one from a
  // ratio above 1, with its ratio set so that it covers the same area.
  QPixmap Pixmap(qreal devicePixelRatio) const;
  // Draws the whole picture with its top-left corner at (x, y). A painter
  // that is not painting (its device is gone) draws nothing; an unloaded
  // bitmap raises RenderFailed_t (EBADF).
  void Draw(QPainter& painter, int x, int y) const;

 private:
  QImage image_;
  QImage doubleImage_;
  std::optional<QList<QRgb>> palette_;
};

}  // namespace gdi
