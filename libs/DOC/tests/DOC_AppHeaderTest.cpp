#include "DOC_AppHeader.h"

#include <gtest/gtest.h>

#include <memory>

#include "BIN_StringStream.h"
#include "GLO_Text.h"
#include "UpdateFileBuilder.h"

namespace {

using vtest::Bytes;

std::unique_ptr<bin::stringstream> Stream(const Bytes& bytes)
{
  auto stream = std::make_unique<bin::stringstream>(bytes);
  stream->codePage.Set(glo::CodePageAscii);
  return stream;
}

Bytes Header(std::uint16_t headerVersion, const Bytes& dataRecord, const Bytes& buildRecord, const Bytes& rest = {})
{
  return vtest::Join({vtest::Le32(0x2E764C6D), vtest::Le16(headerVersion), dataRecord, buildRecord, rest});
}

const Bytes Build =
    vtest::Record('A', vtest::Join({vtest::Le16(7), vtest::Text("Velmora"), vtest::Text("1.0"), vtest::Text("")}));

TEST(AppHeader, ReadsEveryField)
{
  auto stream = Stream(Header(100, vtest::Record('D', vtest::Le16(100)), Build, {0x55}));
  doc::AppHeader_t header;
  *stream >> header;
  EXPECT_TRUE(stream->good());
  EXPECT_EQ(header.magic, 0x2E764C6Du);
  EXPECT_EQ(header.headerVersion, 100);
  EXPECT_EQ(header.dataVersion, 100);
  EXPECT_EQ(header.buildNumber, 7);
  EXPECT_EQ(header.buildTexts[0], u"Velmora");
  EXPECT_EQ(header.buildTexts[1], u"1.0");
  EXPECT_EQ(header.buildTexts[2], u"");
  EXPECT_FALSE(header.appName);
  EXPECT_EQ(stream->peek(), 0x55);
}

TEST(AppHeader, ALongerDataRecordAndAnApplicationName)
{
  auto stream = Stream(Header(101, vtest::Record('D', {100, 0, 9, 9, 9}), Build, vtest::Text("Planner")));
  doc::AppHeader_t header;
  *stream >> header;
  EXPECT_TRUE(stream->good());
  EXPECT_EQ(header.dataVersion, 100);
  ASSERT_TRUE(header.appName);
  EXPECT_EQ(header.appName.Get(), u"Planner");
}

TEST(AppHeader, ARecordOfTheWrongTypeIsNamed)
{
  struct Case {
    Bytes bytes;
    const char16_t* message;
  };
  const Case cases[] = {
      {Header(100, vtest::Record('F', vtest::Le16(100)), Build),
       u"Encountered an invalid record type. \nEncountered Type: F\nExpected Type: D\nDid not read an Application Data "
       u"Version Record from the Binary Stream."},
      {Header(100, vtest::Record('\x07', vtest::Le16(100)), Build),
       u"Encountered an invalid record type. \nEncountered Type: Control Character hex value = 7\nExpected Type: "
       u"D\nDid not read an Application Data Version Record from the Binary Stream."},
      {Header(100, vtest::Record('D', vtest::Le16(100)), vtest::Record('\x9b', {})),
       u"Encountered an invalid record type. \nEncountered Type: Control Character hex value = 9b\nExpected Type: "
       u"A\nDid not read an Application Version Record from the Binary Stream."},
  };
  for (const auto& c : cases) {
    auto stream = Stream(c.bytes);
    doc::AppHeader_t header;
    try {
      *stream >> header;
      ADD_FAILURE() << "no exception";
    } catch (const doc::InvalidRecordTypeException_t& error) {
      EXPECT_EQ(error.Message(), c.message);
    }
  }
}

TEST(AppHeader, AStreamThatEndsPartWayStaysFailed)
{
  const Bytes whole = Header(101, vtest::Record('D', vtest::Le16(100)), Build, vtest::Text("Planner"));
  for (std::size_t length : {std::size_t{0}, std::size_t{3}, std::size_t{6}, std::size_t{9}, std::size_t{12},
                             std::size_t{20}, whole.size() - 1}) {
    auto stream = Stream(Bytes(whole.begin(), whole.begin() + static_cast<long>(length)));
    doc::AppHeader_t header;
    EXPECT_NO_THROW(*stream >> header) << length;
    EXPECT_TRUE(stream->failed()) << length;
    EXPECT_FALSE(header.appName) << length;
  }
}

}  // namespace
