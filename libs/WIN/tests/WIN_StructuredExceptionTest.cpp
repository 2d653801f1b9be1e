#include "WIN_StructuredException.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <thread>
#include <vector>

#include "GLO_StackTrace.h"
#include "GLO_Text.h"
#include "WIN_Faults.h"

namespace {

std::string Hex(std::uint64_t value)
{
  std::ostringstream text;
  text << std::hex << value;
  return text.str();
}

std::u16string Wide(const std::string& text)
{
  return glo::GLO_ToWide(text, glo::CodePageAscii);
}

// The program address of the first instruction of a function.
std::uint32_t Start(const void* function)
{
  return glo::GLO_ProgramAddress(function);
}

// Runs the fault and gives back what it threw, if it threw a structured
// exception.
std::optional<win::StructuredException_t> Catch(void (*fault)())
{
  try {
    fault();
  } catch (const win::StructuredException_t& error) {
    return error;
  }
  return std::nullopt;
}

TEST(StructuredException, EveryNamedCodeHasItsText)
{
  const std::pair<std::uint32_t, const char*> names[] = {
      {0x80000001, "Guard page at "},
      {0x80000002, "Data type misalignment at "},
      {0x80000003, "Breakpoint at "},
      {0x80000004, "Single step at "},
      {0xC0000006, "In page error at "},
      {0xC0000008, "Invalid handle at "},
      {0xC000001D, "Illegal instruction at "},
      {0xC0000025, "Non-continuable exception at "},
      {0xC0000026, "Invalid disposition at "},
      {0xC000008C, "Array bounds exceeded at "},
      {0xC000008D, "Float denormal operand at "},
      {0xC000008E, "Float divide by zero at "},
      {0xC000008F, "Float inexact result at "},
      {0xC0000090, "Float invalid operation at "},
      {0xC0000091, "Float overflow at "},
      {0xC0000092, "Float stack check at "},
      {0xC0000093, "Float underflow at "},
      {0xC0000094, "Integer divide by zero at "},
      {0xC0000095, "Integer overflow at "},
      {0xC0000096, "Privileged instruction at "},
      {0xC00000FD, "Stack overflow at "},
  };
  for (const auto& [code, name] : names) {
    const win::StructuredException_t error(GLO_HERE, win::Fault_t{code, 0x4a1f}, {});
    EXPECT_EQ(error.Message(), Wide(std::string(name) + "program address 0x4a1f.")) << std::hex << code;
  }
}

TEST(StructuredException, MessageAndSubIdFollowTheFault)
{
  struct Case_t {
    win::Fault_t fault;
    std::u16string message;
    std::string subId;
  };
  const Case_t cases[] = {
      {{0xC0000094, 0x4a1f}, u"Integer divide by zero at program address 0x4a1f.", "0x4a1f"},
      {{0xC0000005, 0x10, false, 0}, u"Read access violation at data address 0x0,\nprogram address 0x10.", "0x10"},
      {{0xC0000005, 0xbeef, true, 0x7ffd12345678},
       u"Write access violation at data address 0x7ffd12345678,\nprogram address 0xbeef.",
       "0xbeef"},
      {{0xC00000FD, 0}, u"Stack overflow at program address 0x0.", "0x0"},
      // A code without a name keeps the upper case to the end; the SubId does not.
      {{0xE06D7363, 0xabc}, u"Exception: 0xE06D7363 at program address 0xABC.", "0xabc"},
      {{0x1, 0xffffffff}, u"Exception: 0x1 at program address 0xFFFFFFFF.", "0xffffffff"},
  };
  for (const auto& [fault, message, subId] : cases) {
    const win::StructuredException_t error("Translator.cpp", 70000, fault, {});
    EXPECT_EQ(error.Message(), message);
    EXPECT_EQ(error.SubId(), subId);
    EXPECT_EQ(error.Code(), fault.code);
    EXPECT_EQ(error.ProgramAddress(), fault.programAddress);
    EXPECT_EQ(error.SourceFile(), "Translator.cpp");
    EXPECT_EQ(error.SourceLine(), 70000 - 65536);
  }
}

TEST(StructuredException, CopiesKeepTheTrace)
{
  const win::StructuredException_t error(GLO_HERE, win::Fault_t{0xC0000094, 0x20}, {0x20, 0x30, 0x40});
  const win::StructuredException_t copy = error;
  EXPECT_EQ(copy.StackTrace(), (glo::StackTrace_t{0x20, 0x30, 0x40}));
  EXPECT_EQ(copy.SubId(), "0x20");
  EXPECT_STREQ(copy.what(), "Integer divide by zero at program address 0x20.");
}

class TranslatorTest : public testing::Test {
 protected:
  void SetUp() override { win::WIN_InstallStructuredExceptionTranslator(); }
};

TEST_F(TranslatorTest, FaultsBecomeStructuredExceptionsAtTheFaultingInstruction)
{
  struct Case_t {
    const char* name;
    void (*fault)();
    const void* function;
    std::uint32_t code;
    std::string text;
  };
  const Case_t cases[] = {
      {"integer division by zero", [] { vtest::DivideOneBy(0); }, reinterpret_cast<const void*>(&vtest::DivideOneBy),
       0xC0000094, "Integer divide by zero at "},
      {"read through a null pointer", [] { vtest::ReadAt(0); }, reinterpret_cast<const void*>(&vtest::ReadAt),
       0xC0000005, "Read access violation at data address 0x0,\n"},
      {"write to a member of a null pointer", [] { vtest::WriteAt(0x28); },
       reinterpret_cast<const void*>(&vtest::WriteAt), 0xC0000005, "Write access violation at data address 0x28,\n"},
      {"illegal instruction", [] { vtest::ExecuteIllegalInstruction(); },
       reinterpret_cast<const void*>(&vtest::ExecuteIllegalInstruction), 0xC000001D, "Illegal instruction at "},
  };
  // All on one thread, one after the other: each fault must leave the thread
  // ready for the next.
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto error = Catch(c.fault);
    ASSERT_TRUE(error.has_value());
    const std::uint32_t address = error->ProgramAddress();
    EXPECT_EQ(error->Code(), c.code);
    EXPECT_EQ(error->Message(), Wide(c.text + "program address 0x" + Hex(address) + "."));
    EXPECT_EQ(error->SubId(), "0x" + Hex(address));
    EXPECT_TRUE(error->SourceFile().ends_with("WIN_StructuredException.cpp")) << error->SourceFile();
    // The faulting instruction lies in the faulting function, and the trace
    // starts there rather than in the handler.
    EXPECT_GE(address, Start(c.function));
    EXPECT_LT(address, Start(c.function) + 256);
    ASSERT_FALSE(error->StackTrace().empty());
    EXPECT_EQ(error->StackTrace().front(), address);
    EXPECT_LE(error->StackTrace().size(), glo::MaxStackFrames);
  }
}

TEST_F(TranslatorTest, ASecondThreadThatInstallsItTranslatesItsOwnFaults)
{
  std::optional<win::StructuredException_t> error;
  std::thread worker([&] {
    win::WIN_InstallStructuredExceptionTranslator();
    error = Catch([] { vtest::DivideOneBy(0); });
  });
  worker.join();
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->Code(), 0xC0000094u);
  EXPECT_EQ(error->SubId(), "0x" + Hex(error->ProgramAddress()));
}

TEST_F(TranslatorTest, StackOverflowIsCaughtAgainAndAgain)
{
  // Twice on each thread: the handler runs on a stack of its own, which the
  // first overflow must leave usable.
  auto overflowTwice = [] {
    std::vector<std::optional<win::StructuredException_t>> errors;
    for (int i = 0; i < 2; ++i) errors.push_back(Catch([] { vtest::OverflowStack(0); }));
    return errors;
  };
  auto onMainThread = overflowTwice();
  std::vector<std::optional<win::StructuredException_t>> onWorker;
  std::thread worker([&] {
    win::WIN_InstallStructuredExceptionTranslator();
    onWorker = overflowTwice();
  });
  worker.join();
  const auto start = Start(reinterpret_cast<const void*>(&vtest::OverflowStack));
  for (const auto* errors : {&onMainThread, &onWorker}) {
    for (const auto& error : *errors) {
      ASSERT_TRUE(error.has_value());
      EXPECT_EQ(error->Code(), 0xC00000FDu);
      EXPECT_EQ(error->Message(), Wide("Stack overflow at program address 0x" + Hex(error->ProgramAddress()) + "."));
      EXPECT_GE(error->ProgramAddress(), start);
      EXPECT_LT(error->ProgramAddress(), start + 256);
    }
  }
}

}  // namespace
