#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "BIN_FileStream.h"
#include "BIN_StringStream.h"
#include "BIN_SubStream.h"
#include "FIL_File.h"
#include "GLO_Exception.h"
#include "GLO_Text.h"
#include "TempFolder.h"

namespace {

using Bytes = std::vector<unsigned char>;

// Every reading rule holds for each kind of stream, so the same cases run
// over the bytes in memory, in a read-only file and in a read/write file.
enum class Kind { Memory, ReadFile, ReadWriteFile };

class ReadingTest : public testing::TestWithParam<Kind> {
 protected:
  std::unique_ptr<bin::istream> Open(const Bytes& bytes)
  {
    if (GetParam() == Kind::Memory) return std::make_unique<bin::stringstream>(bytes);
    vtest::WriteFile(folder / "data.bin", std::string(bytes.begin(), bytes.end()));
    if (GetParam() == Kind::ReadFile) return std::make_unique<bin::ifstream>(folder.Wide("data.bin"), fil::DenyNone);
    return std::make_unique<bin::fstream>(folder.Wide("data.bin"), bin::fstream::in | bin::fstream::out, fil::DenyNone);
  }

  vtest::TempFolder folder;
};

TEST_P(ReadingTest, ReadsAreAllOrNothing)
{
  auto stream = Open({1, 2, 3, 4, 5, 6, 7});
  unsigned char buffer[8] = {};
  stream->read(buffer, 0);
  EXPECT_EQ(stream->rdstate(), bin::ios::failbit);  // a read of nothing is refused

  stream = Open({1, 2, 3, 4, 5, 6, 7});
  stream->ignore(4);
  stream->read(buffer, 4);  // 3 remain
  EXPECT_EQ(stream->rdstate(), bin::ios::failbit);
  stream->clear(bin::ios::failbit);
  EXPECT_EQ(stream->tellg(), 4);
  stream->read(buffer, 3);
  EXPECT_EQ(stream->rdstate(), bin::ios::eofbit);
  EXPECT_TRUE(stream->good());
  EXPECT_EQ(Bytes(buffer, buffer + 3), (Bytes{5, 6, 7}));
  stream->read(buffer, 1);
  EXPECT_EQ(stream->rdstate(), bin::ios::eofbit | bin::ios::failbit);
  EXPECT_EQ(stream->tellg(), -1);
}

TEST_P(ReadingTest, IgnoreStopsAtTheEndWithoutFailing)
{
  auto stream = Open(Bytes(10, 0xAA));
  stream->ignore(1000);
  EXPECT_EQ(stream->rdstate(), bin::ios::eofbit);
  EXPECT_EQ(stream->remaining(), 0u);
  stream->ignore(1);
  EXPECT_EQ(stream->rdstate(), bin::ios::eofbit | bin::ios::failbit);
}

TEST_P(ReadingTest, IntegersAreLittleEndian)
{
  auto stream = Open({0x2A, 0, 0, 0, 0x34, 0x12, 0xFF, 0xFE, 1, 2, 3, 4, 5, 6, 7, 0x80});
  std::uint32_t answer = 0;
  std::uint16_t word = 0;
  std::int8_t minusOne = 0;
  std::uint8_t byte = 0;
  std::int64_t wide = 0;
  *stream >> answer >> word >> minusOne >> byte >> wide;
  EXPECT_EQ(answer, 42u);
  EXPECT_EQ(word, 0x1234);
  EXPECT_EQ(minusOne, -1);
  EXPECT_EQ(byte, 0xFE);
  EXPECT_EQ(wide, static_cast<std::int64_t>(0x8007060504030201ull));
  EXPECT_TRUE(stream->good());
  std::uint32_t untouched = 99;
  *stream >> untouched;
  EXPECT_EQ(untouched, 99u);
  EXPECT_TRUE(stream->failed());
}

TEST_P(ReadingTest, TextsEndAtTheirNul)
{
  auto stream = Open({0x41, 0x42, 0x43, 0, 0x44});
  std::string text = "old";
  stream->readText(text);
  EXPECT_EQ(text, "ABC");
  EXPECT_EQ(stream->tellg(), 4);
  EXPECT_EQ(stream->peek(), 0x44);
  EXPECT_EQ(stream->tellg(), 4);
  stream->readText(text);  // no NUL before the end
  EXPECT_EQ(text, "ABC");
  EXPECT_TRUE(stream->failed());
  EXPECT_EQ(stream->peek(), -1);
}

TEST_P(ReadingTest, WideTextsNeedACodePage)
{
  auto stream = Open({'c', 'a', 'f', 0xE9, 0, 'x', 0});
  std::u16string text;
  EXPECT_THROW(stream->readWideText(text), glo::Assert_t);
  stream->seekg(0);
  stream->codePage.Set(glo::CodePageWestern);
  stream->readWideText(text);
  EXPECT_EQ(text, u"caf\u00E9");
  stream->codePage.Set(glo::CodePageAscii);
  stream->readWideText(text);
  EXPECT_EQ(text, u"x");
}

TEST_P(ReadingTest, SeekingAndItsEnd)
{
  auto stream = Open({1, 2, 3});
  stream->seekg(3);
  EXPECT_EQ(stream->rdstate(), bin::ios::eofbit);
  stream->seekg(1);
  EXPECT_EQ(stream->rdstate(), 0u);
  stream->seekg(4);
  EXPECT_EQ(stream->rdstate(), bin::ios::failbit);
  stream->seekg(0);  // refused once failed
  stream->clear(bin::ios::failbit);
  EXPECT_EQ(stream->tellg(), 1);
}

TEST_P(ReadingTest, ReadSomeTakesWhatRemains)
{
  auto stream = Open(Bytes(3000, 7));
  Bytes buffer(4096);
  stream->readSome(buffer.data(), 2048);
  EXPECT_EQ(stream->gcount(), 2048u);
  stream->readSome(buffer.data(), 4096);
  EXPECT_EQ(stream->gcount(), 952u);
  EXPECT_EQ(stream->rdstate(), bin::ios::eofbit);
  stream->readSome(buffer.data(), 1);
  EXPECT_EQ(stream->gcount(), 0u);
}

TEST_P(ReadingTest, AnEmptySourceIsGoodAtItsEnd)
{
  auto stream = Open({});
  EXPECT_EQ(stream->rdstate(), bin::ios::eofbit);
  EXPECT_TRUE(stream->good());
}

TEST_P(ReadingTest, Records)
{
  struct Case {
    Bytes bytes;
    unsigned sourceState;
    char type;
    Bytes payload;
  };
  const Case cases[] = {
      {{2, 0, 0, 0, 'D', 100, 0, 9}, 0, 'D', {100, 0}},
      {{0, 0, 0, 0, 'S', 9}, 0, 'S', {}},
      {{0, 0, 0, 0, 'S'}, bin::ios::eofbit, 'S', {}},
      // The length promises more than the source holds.
      {{9, 0, 0, 0, 'R', 1, 2}, bin::ios::eofbit | bin::ios::badbit, 'R', {1, 2}},
      // No type byte after the length.
      {{1, 0, 0, 0}, bin::ios::eofbit | bin::ios::failbit | bin::ios::badbit, '?', {}},
      // Not even a length: the record stays as it was.
      {{1, 0}, bin::ios::failbit, '?', {}},
  };
  for (const auto& c : cases) {
    auto stream = Open(c.bytes);
    stream->codePage.Set(glo::CodePageWestern);
    bin::record_t record('?');
    *stream >> record;
    EXPECT_EQ(stream->rdstate(), c.sourceState) << c.bytes.size();
    EXPECT_EQ(record.type, c.type) << c.bytes.size();
    EXPECT_EQ(record.data(), c.payload) << c.bytes.size();
    EXPECT_EQ(record.tellg(), 0);
  }
  auto stream = Open({3, 0, 0, 0, 'A', 'h', 'i', 0});
  stream->codePage.Set(glo::CodePageWestern);
  bin::record_t record('A');
  *stream >> record;
  std::u16string text;
  record.readWideText(text);  // the record decodes text like its source
  EXPECT_EQ(text, u"hi");
}

INSTANTIATE_TEST_SUITE_P(Streams, ReadingTest, testing::Values(Kind::Memory, Kind::ReadFile, Kind::ReadWriteFile),
                         [](const auto& info) {
                           return std::string(info.param == Kind::Memory     ? "Memory"
                                              : info.param == Kind::ReadFile ? "ReadFile"
                                                                             : "ReadWriteFile");
                         });

class FileStreamTest : public testing::Test {
 protected:
  std::u16string Path() const { return folder.Wide("data.bin"); }
  vtest::TempFolder folder;
};

TEST_F(FileStreamTest, OpenModes)
{
  struct Case {
    unsigned mode;
    bool opens;
  };
  using s = bin::fstream;
  const Case cases[] = {
      {s::in, true},
      {s::out, true},
      {s::out | s::trunc, true},
      {s::out | s::app, true},
      {s::in | s::out, true},
      {s::in | s::out | s::trunc, true},
      {s::in | s::out | s::app, true},
      {s::in | s::binary | s::ate, true},
      {s::trunc, false},
      {s::app, false},
      {s::in | s::trunc, false},
      {s::in | s::app, false},
      {0, false},
  };
  for (const auto& c : cases) {
    vtest::WriteFile(folder / "data.bin", "abc");
    bin::fstream stream(Path(), c.mode, fil::DenyNone);
    EXPECT_EQ(stream.isOpen(), c.opens) << c.mode;
    EXPECT_EQ(stream.bad(), !c.opens) << c.mode;
  }
  bin::fstream missing(folder.Wide("missing.bin"), s::in, fil::DenyNone);
  EXPECT_TRUE(missing.bad());
  bin::ifstream missingToo(folder.Wide("missing.bin"), fil::DenyNone);
  EXPECT_TRUE(missingToo.bad());
  EXPECT_FALSE(missingToo.isOpen());
}

TEST_F(FileStreamTest, AtTheEndWithAte)
{
  vtest::WriteFile(folder / "data.bin", "abcdef");
  bin::fstream stream(Path(), bin::fstream::in | bin::fstream::out | bin::fstream::ate, fil::DenyNone);
  EXPECT_EQ(stream.tellg(), 6);
  EXPECT_EQ(stream.tellp(), 6u);
}

TEST_F(FileStreamTest, WritesAreSeenByLaterReads)
{
  Bytes content(5000);
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<unsigned char>(i * 7);
  vtest::WriteFile(folder / "data.bin", std::string(content.begin(), content.end()));
  bin::fstream stream(Path(), bin::fstream::in | bin::fstream::out, fil::DenyNone);
  unsigned char small[16];
  stream.read(small, 16);  // fills the cache
  stream.seekp(20);
  stream << std::uint32_t{0xDDCCBBAA};
  stream.seekg(20);
  std::uint32_t value = 0;
  stream >> value;
  EXPECT_EQ(value, 0xDDCCBBAAu);
  // Small reads across the cache's edge and a large read past it.
  stream.seekg(1020);
  unsigned char edge[8];
  stream.read(edge, 8);
  EXPECT_EQ(Bytes(edge, edge + 8), Bytes(content.begin() + 1020, content.begin() + 1028));
  Bytes large(2000);
  stream.read(large.data(), 2000);
  EXPECT_EQ(large, Bytes(content.begin() + 1028, content.begin() + 3028));
  // Writing past the end takes the stream out of eof.
  stream.seekg(5000);
  EXPECT_TRUE(stream.eof());
  stream.seekp(5000);
  stream << std::uint8_t{1};
  EXPECT_FALSE(stream.eof());
  EXPECT_EQ(stream.remaining(), 1u);
  stream.close();
  EXPECT_EQ(stream.rdstate(), 0u);
  EXPECT_FALSE(stream.isOpen());
}

TEST(StringStream, WritingGrowsTheBytes)
{
  bin::stringstream stream;
  stream << std::uint16_t{0x0201};
  stream.seekp(5);
  stream.write("\x09", 1);
  EXPECT_EQ(stream.data(), (Bytes{1, 2, 0, 0, 0, 9}));
  EXPECT_EQ(stream.tellp(), 6u);
  std::uint16_t first = 0;
  stream >> first;
  EXPECT_EQ(first, 0x0201);
}

TEST(SubStream, ReadsItsStretchAsAStreamOfItsOwn)
{
  bin::stringstream base({'a', 'b', 0x01, 0x02, 'c', 'd', 'e'});
  bin::substream window(base, 2, 4);
  std::uint16_t number = 0;
  window >> number;
  EXPECT_EQ(number, 0x0201);
  EXPECT_EQ(window.tellg(), 2);
  EXPECT_EQ(window.remaining(), 2u);
  char bytes[3] = {};
  EXPECT_TRUE(window.read(bytes, 3).failed());  // past the stretch, though the base goes on
  window.reset();
  window.seekg(0);
  EXPECT_EQ(window.peek(), 0x01);
  window.ignore(9);
  EXPECT_TRUE(window.eof());
  // A base too short for the stretch fails the read that reaches past it.
  bin::substream beyond(base, 5, 10);
  EXPECT_TRUE(beyond.read(bytes, 3).bad());
}

}  // namespace
