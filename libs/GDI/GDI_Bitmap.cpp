#include "GDI_Bitmap.h"

#include <QPainter>
#include <cerrno>

#include "GDI_Exceptions.h"
#include "WIN_ResourceModule.h"

namespace gdi {
namespace {

QImage Decode(std::span<const unsigned char> bytes)
{
  QImage image;
  if (bytes.empty()) throw RenderFailed_t(GLO_HERE, ENODATA);
  if (!image.loadFromData(bytes.data(), static_cast<int>(bytes.size()), "BMP")) throw RenderFailed_t(GLO_HERE, EILSEQ);
  return image;
}

}  // namespace

void Bitmap_t::Load(std::uint32_t id)
{
  const auto& module = win::WIN_GetMainModule();
  Load(module.Custom(id, "BITMAP"), module.Custom(id, "BITMAP2X"));
}

void Bitmap_t::Load(std::span<const unsigned char> bytes, std::span<const unsigned char> doubleBytes)
{
  QImage image = Decode(bytes);
  QImage doubleImage = doubleBytes.empty() ? QImage() : Decode(doubleBytes);
  image_ = std::move(image);
  doubleImage_ = std::move(doubleImage);
  palette_.reset();
  if (image_.format() == QImage::Format_Indexed8 || image_.format() == QImage::Format_Mono ||
      image_.format() == QImage::Format_MonoLSB)
    palette_ = image_.colorTable();
}

QPixmap Bitmap_t::Pixmap(qreal devicePixelRatio) const
{
  if (devicePixelRatio > 1.0 && !doubleImage_.isNull()) {
    QPixmap pixmap = QPixmap::fromImage(doubleImage_);
    pixmap.setDevicePixelRatio(static_cast<qreal>(doubleImage_.width()) / image_.width());
    return pixmap;
  }
  return QPixmap::fromImage(image_);
}

void Bitmap_t::Draw(QPainter& painter, int x, int y) const
{
  if (image_.isNull()) throw RenderFailed_t(GLO_HERE, EBADF);
  if (!painter.isActive()) return;
  const qreal ratio = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
  painter.drawPixmap(QRect(QPoint(x, y), image_.size()), Pixmap(ratio));
}

}  // namespace gdi
