#include "GDI_Bitmap.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <cerrno>
#include <cstdint>
#include <vector>

#include "GDI_Exceptions.h"
#include "GDI_Icon.h"
#include "GDI_Selectors.h"
#include "qt/QtTestApplication.h"

namespace {

using Bytes = std::vector<unsigned char>;

void Le(Bytes& out, std::uint32_t value, int size)
{
  for (int i = 0; i < size; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// A BMP file of 4 x 2 pixels at the bit count, with the used-colour count
// of its header and a colour table of that many entries (2 to the power of
// the bit count when 0), its pixels all index 1.
Bytes IndexedBmp(int bitCount, std::uint32_t usedColours)
{
  const std::uint32_t colours = usedColours != 0 ? usedColours : (1u << bitCount);
  const std::uint32_t rowBytes = ((4 * bitCount + 31) / 32) * 4;
  const std::uint32_t offset = 14 + 40 + 4 * colours;
  Bytes file{'B', 'M'};
  Le(file, offset + 2 * rowBytes, 4);
  Le(file, 0, 4);
  Le(file, offset, 4);
  Le(file, 40, 4);
  Le(file, 4, 4);
  Le(file, 2, 4);
  Le(file, 1, 2);
  Le(file, static_cast<std::uint32_t>(bitCount), 2);
  Le(file, 0, 4);
  Le(file, 2 * rowBytes, 4);
  Le(file, 2835, 4);
  Le(file, 2835, 4);
  Le(file, usedColours, 4);
  Le(file, 0, 4);
  for (std::uint32_t i = 0; i < colours; ++i) Le(file, 0x00102030u * i, 4);
  const unsigned char pixels = bitCount == 4 ? 0x11 : 0x01;
  for (int row = 0; row < 2; ++row)
    for (std::uint32_t i = 0; i < rowBytes; ++i) file.push_back(bitCount == 8 ? (i < 4 ? 1 : 0) : pixels);
  return file;
}

Bytes TrueColourBmp()
{
  QImage image(3, 3, QImage::Format_RGB888);
  image.fill(QColor(200, 40, 10));
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "BMP");
  return Bytes(data.begin(), data.end());
}

TEST(Bitmap, AnIndexedBitmapsPaletteIsItsColourTable)
{
  struct Case {
    int bitCount;
    std::uint32_t usedColours;
    qsizetype entries;
  };
  // A used-colour count of 0 means every colour the bit count can hold.
  const Case cases[] = {{4, 0, 16}, {4, 5, 5}, {8, 0, 256}, {8, 3, 3}};
  for (const auto& c : cases) {
    gdi::Bitmap_t bitmap;
    bitmap.Load(IndexedBmp(c.bitCount, c.usedColours));
    ASSERT_TRUE(bitmap.Palette().has_value()) << c.bitCount << " bits, " << c.usedColours << " used";
    EXPECT_EQ(bitmap.Palette()->size(), c.entries) << c.bitCount << " bits, " << c.usedColours << " used";
    EXPECT_EQ(bitmap.Palette()->at(1), qRgb(0x10, 0x20, 0x30));
    EXPECT_EQ(bitmap.Size(), QSize(4, 2));
  }
}

TEST(Bitmap, ATrueColourBitmapHasNoPalette)
{
  gdi::Bitmap_t bitmap;
  bitmap.Load(TrueColourBmp());
  EXPECT_FALSE(bitmap.Palette().has_value());
  EXPECT_EQ(bitmap.Image().pixel(1, 1), qRgb(200, 40, 10));
}

TEST(Bitmap, WhatIsNoPictureFailsToRender)
{
  struct Case {
    Bytes bytes;
    std::string subId;
  };
  const std::string noData = std::to_string(ENODATA), noPicture = std::to_string(EILSEQ);
  const Case cases[] = {{{}, noData}, {{'B', 'M', 1, 2, 3}, noPicture}, {{'G', 'I', 'F', '8', '9', 'a'}, noPicture}};
  for (const auto& c : cases) {
    gdi::Bitmap_t bitmap;
    try {
      bitmap.Load(c.bytes);
      ADD_FAILURE() << "loaded " << c.bytes.size() << " bytes";
    } catch (const gdi::RenderFailed_t& error) {
      EXPECT_EQ(error.SubId(), c.subId);
      EXPECT_EQ(error.Message(), u"");
    }
    EXPECT_FALSE(bitmap.Loaded());
  }
  gdi::Bitmap_t missing;
  EXPECT_THROW(missing.Load(99999), gdi::RenderFailed_t);
}

TEST(Bitmap, TheWizardPictureIsInTheModuleAtBothDensities)
{
  gdi::Bitmap_t picture;
  picture.Load(107);
  EXPECT_EQ(picture.Size(), QSize(120, 280));
  EXPECT_FALSE(picture.Palette().has_value());
  EXPECT_EQ(picture.Pixmap(1.0).size(), QSize(120, 280));
  const QPixmap sharp = picture.Pixmap(2.0);
  EXPECT_EQ(sharp.size(), QSize(240, 560));
  EXPECT_EQ(sharp.devicePixelRatio(), 2.0);
}

TEST(Bitmap, DrawsTheWholePictureAtItsPlace)
{
  gdi::Bitmap_t bitmap;
  bitmap.Load(TrueColourBmp());
  QImage target(8, 8, QImage::Format_RGB32);
  target.fill(Qt::white);
  {
    QPainter painter(&target);
    bitmap.Draw(painter, 4, 5);
  }
  EXPECT_EQ(target.pixel(4, 5), qRgb(200, 40, 10));
  EXPECT_EQ(target.pixel(6, 7), qRgb(200, 40, 10));
  EXPECT_EQ(target.pixel(3, 5), qRgb(255, 255, 255));
  EXPECT_EQ(target.pixel(7, 7), qRgb(255, 255, 255));

  // A painter that paints nowhere draws nothing; an unloaded bitmap is a fault.
  QPainter idle;
  EXPECT_NO_THROW(bitmap.Draw(idle, 0, 0));
  gdi::Bitmap_t empty;
  QPainter painter(&target);
  EXPECT_THROW(empty.Draw(painter, 0, 0), gdi::RenderFailed_t);
}

TEST(Icon, TheApplicationIconHoldsEverySize)
{
  const QIcon icon = gdi::GDI_LoadIcon(100);
  const auto sizes = icon.availableSizes();
  for (int size : {16, 24, 32, 48, 64, 128, 256}) EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
  EXPECT_THROW(gdi::GDI_LoadIcon(101), gdi::RenderFailed_t);
}

TEST(Selectors, ThePainterGetsBackWhatItHadFirst)
{
  QImage target(4, 4, QImage::Format_RGB32);
  QPainter painter(&target);
  painter.setPen(QPen(Qt::black));
  painter.setBrush(QBrush(Qt::blue));
  {
    gdi::ObjectSelector_t selector(painter);
    selector.Select(QPen(Qt::red));
    selector.Select(QPen(Qt::green));
    selector.Select(QBrush(Qt::yellow));
    EXPECT_EQ(painter.pen().color(), QColor(Qt::green));
  }
  EXPECT_EQ(painter.pen().color(), QColor(Qt::black));
  EXPECT_EQ(painter.brush().color(), QColor(Qt::blue));

  QFont before = painter.font();
  QFont big = before;
  big.setPointSize(before.pointSize() + 10);
  {
    gdi::SmartFont_t font(painter, big);
    EXPECT_EQ(painter.font().pointSize(), big.pointSize());
    EXPECT_THROW(font.Select(before), glo::Exception_t);
  }
  EXPECT_EQ(painter.font().pointSize(), before.pointSize());
  {
    gdi::SmartFont_t none(painter, std::nullopt);
    none.Select(big);
  }
  EXPECT_EQ(painter.font().pointSize(), before.pointSize());
}

}  // namespace
