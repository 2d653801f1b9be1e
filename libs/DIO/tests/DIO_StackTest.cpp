#include "DIO_Stack.h"

#include <gtest/gtest.h>

#include "DIO_Address.h"
#include "DIO_Exceptions.h"

namespace {

using Bytes = std::vector<unsigned char>;

template <class T>
T RoundTrip(dio::Stack_t& stack)
{
  T value{};
  stack.Pop(value);
  return value;
}

TEST(Stack, EncodingsAndTheirRoundTrips)
{
  struct Case {
    const char* name;
    std::function<void(dio::Stack_t&)> push;
    Bytes bytes;
    std::function<void(dio::Stack_t&)> popAndCheck;
  };
  const Case cases[] = {
      {"int32",
       [](auto& s) { s.Push(std::int32_t{-2}); },
       {0xFE, 0xFF, 0xFF, 0xFF},
       [](auto& s) { EXPECT_EQ(RoundTrip<std::int32_t>(s), -2); }},
      {"uint16",
       [](auto& s) { s.Push(std::uint16_t{0x1234}); },
       {0x34, 0x12},
       [](auto& s) { EXPECT_EQ(RoundTrip<std::uint16_t>(s), 0x1234); }},
      {"flag", [](auto& s) { s.Push(true); }, {1}, [](auto& s) { EXPECT_TRUE(RoundTrip<bool>(s)); }},
      {"narrow",
       [](auto& s) { s.Push(std::string("abc")); },
       {0, 'c', 'b', 'a'},
       [](auto& s) { EXPECT_EQ(RoundTrip<std::string>(s), "abc"); }},
      {"empty narrow",
       [](auto& s) { s.Push(std::string()); },
       {0},
       [](auto& s) { EXPECT_EQ(RoundTrip<std::string>(s), ""); }},
      {"wide",
       [](auto& s) { s.Push(std::u16string(u"a\u20AC")); },
       {0, 0, 0xAC, 0x20, 'a', 0},
       [](auto& s) { EXPECT_EQ(RoundTrip<std::u16string>(s), u"a\u20AC"); }},
      {"empty wide",
       [](auto& s) { s.Push(std::u16string()); },
       {0, 0},
       [](auto& s) { EXPECT_EQ(RoundTrip<std::u16string>(s), u""); }},
      {"list",
       [](auto& s) {
         s.Push(std::vector<std::uint32_t>{1, 2});
       },
       {2, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0},
       [](auto& s) {
         EXPECT_EQ(RoundTrip<std::vector<std::uint32_t>>(s), (std::vector<std::uint32_t>{1, 2}));
       }},
      {"absent",
       [](auto& s) { s.Push(glo::Optional_t<std::uint32_t>()); },
       {0},
       [](auto& s) {
         glo::Optional_t<std::uint32_t> value(9);
         s.Pop(value);
         EXPECT_FALSE(value);
       }},
      {"present",
       [](auto& s) { s.Push(glo::Optional_t<std::uint32_t>(5)); },
       {5, 0, 0, 0, 1},
       [](auto& s) { EXPECT_EQ(RoundTrip<glo::Optional_t<std::uint32_t>>(s), glo::Optional_t<std::uint32_t>(5)); }},
  };
  for (const auto& c : cases) {
    dio::Stack_t stack(false);
    c.push(stack);
    EXPECT_EQ(stack.Bytes(), c.bytes) << c.name;
    c.popAndCheck(stack);
    EXPECT_TRUE(stack.Empty()) << c.name;
  }
}

TEST(Stack, TextsWithAZeroCannotBePushed)
{
  dio::Stack_t stack(false);
  EXPECT_THROW(stack.Push(std::string("a\0b", 3)), glo::Assert_t);
  EXPECT_THROW(stack.Push(std::u16string(u"a\0b", 3)), glo::Assert_t);
}

TEST(Stack, APopBeyondTheBytesDumpsTheStack)
{
  dio::Stack_t stack(false);
  stack.Push(std::uint8_t{1}).Push(std::uint8_t{2}).Push(std::uint8_t{3});
  try {
    std::uint32_t value = 0;
    stack.Pop(value);
    FAIL() << "no exception";
  } catch (const dio::BadStackException_t& error) {
    EXPECT_EQ(error.Message(),
              u"Requested Data Size: 4\nStack Size: 3\nStack Contents:\n"
              u"0000: 01 02 03 " +
                  std::u16string(13 * 3, u' ') + u"  \n");
  }
  EXPECT_EQ(stack.Bytes().size(), 3u);  // nothing was taken
}

TEST(Stack, DumpLines)
{
  Bytes sixteen, seventeen;
  for (unsigned char i = 0; i < 16; ++i) sixteen.push_back(static_cast<unsigned char>(0xF0 + i));
  seventeen = sixteen;
  seventeen.push_back(0x0A);
  const std::u16string full = u"0000: f0 f1 f2 f3 f4 f5 f6 f7 f8 f9 fa fb fc fd fe ff   \n";
  EXPECT_EQ(dio::Stack_t::Dump(20, sixteen), u"Requested Data Size: 20\nStack Size: 16\nStack Contents:\n" + full);
  EXPECT_EQ(dio::Stack_t::Dump(20, seventeen), u"Requested Data Size: 20\nStack Size: 17\nStack Contents:\n" + full +
                                                   u"0010: 0a " + std::u16string(15 * 3, u' ') + u"  \n");
  EXPECT_EQ(dio::Stack_t::Dump(1, {}), u"Requested Data Size: 1\nStack Size: 0\nStack Contents:\n");
}

TEST(Stack, AListWhoseCountRunsOutIsABadStack)
{
  dio::Stack_t stack(false);
  stack.Push(std::uint32_t{7}).Push(std::uint32_t{1000000});  // one element, a count of a million
  std::vector<std::uint32_t> list{9};
  EXPECT_THROW(stack.Pop(list), dio::BadStackException_t);
  EXPECT_EQ(list, std::vector<std::uint32_t>{9});
}

TEST(Address, OrderedByNameThenInstance)
{
  const dio::Address_t a{"FatalDialogClass", 1}, b{"MessageBoxClass", 1}, c{"MessageBoxClass", 2};
  EXPECT_LT(a, b);
  EXPECT_LT(b, c);
  EXPECT_EQ(b, (dio::Address_t{"MessageBoxClass", 1}));
  EXPECT_LT((dio::Address_t{"Z", 9}), (dio::Address_t{"a", 0}));  // byte order: upper case first
}

}  // namespace
