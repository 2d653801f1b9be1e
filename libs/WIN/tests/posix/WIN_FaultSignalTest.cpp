#include "WIN_StructuredException.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <thread>
#include <utility>

#include "../WIN_Faults.h"
#include "GLO_NonCopyable.h"
#include "WIN_GuardedRead.h"
#include "WIN_Handle.h"
#include "posix/WIN_FaultCode.h"

// A fault on a thread without the translator goes on to the handler that was
// there before; AddressSanitizer's would report it and exit instead of letting
// the signal end the process. Its handlers stay out of this program (a normal
// build never calls this).
extern "C" const char* __asan_default_options()
{
  return "handle_segv=0:handle_sigbus=0:handle_sigfpe=0:handle_sigill=0";
}

namespace {

TEST(FaultCode, SignalsMapToTheFaultCodes)
{
  struct Case_t {
    int signal;
    int signalCode;
    bool onGuardPage;
    std::uint32_t code;
  };
  const Case_t cases[] = {
      {SIGSEGV, SEGV_MAPERR, false, 0xC0000005},
      {SIGSEGV, SEGV_ACCERR, false, 0xC0000005},
      {SIGSEGV, SEGV_MAPERR, true, 0xC00000FD},
      {SIGSEGV, SEGV_ACCERR, true, 0xC00000FD},
      {SIGBUS, BUS_ADRALN, false, 0x80000002},
      {SIGBUS, BUS_ADRERR, false, 0x80000002},
      {SIGILL, ILL_ILLOPN, false, 0xC000001D},
      {SIGILL, ILL_PRVOPC, false, 0xC000001D},
      {SIGFPE, FPE_INTDIV, false, 0xC0000094},
      {SIGFPE, FPE_INTOVF, false, 0xC0000095},
      {SIGFPE, FPE_FLTDIV, false, 0xC000008E},
      {SIGFPE, FPE_FLTOVF, false, 0xC0000091},
      {SIGFPE, FPE_FLTUND, false, 0xC0000093},
      {SIGFPE, FPE_FLTRES, false, 0xC000008F},
      {SIGFPE, FPE_FLTINV, false, 0xC0000090},
      {SIGFPE, FPE_FLTSUB, false, 0xC000008C},
      // A floating-point fault the system does not tell apart.
      {SIGFPE, SI_KERNEL, false, 0xC0000090},
  };
  for (const auto& [signal, signalCode, onGuardPage, code] : cases)
    EXPECT_EQ(win::WIN_FaultCode(signal, signalCode, onGuardPage), code)
        << "signal " << signal << " code " << signalCode << (onGuardPage ? " on the guard page" : "");
}

// A page mapped past the end of an empty file: touching it is a bus error.
class PastEndOfFile_t : glo::NonCopyable_t {
 public:
  PastEndOfFile_t()
      : file_(::memfd_create("past-end", MFD_CLOEXEC)),
        page_(::mmap(nullptr, Size(), PROT_READ, MAP_SHARED, file_.Get(), 0))
  {
  }
  ~PastEndOfFile_t()
  {
    if (page_ != MAP_FAILED) ::munmap(page_, Size());
  }
  bool Mapped() const { return page_ != MAP_FAILED; }
  std::uintptr_t Address() const { return reinterpret_cast<std::uintptr_t>(page_); }

 private:
  static std::size_t Size() { return static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)); }

  win::Handle_t file_;
  void* page_;
};

TEST(StructuredExceptionPosix, BusErrorIsTranslated)
{
  win::WIN_InstallStructuredExceptionTranslator();
  PastEndOfFile_t mapping;
  ASSERT_TRUE(mapping.Mapped());
  try {
    vtest::ReadAt(mapping.Address());
    ADD_FAILURE() << "no fault";
  } catch (const win::StructuredException_t& error) {
    EXPECT_EQ(error.Code(), 0x80000002u);
    EXPECT_EQ(error.SubId().substr(0, 2), "0x");
    EXPECT_EQ(error.Message().substr(0, 26), u"Data type misalignment at ");
  }
}

// Translates on this thread and faults on one that does not.
void FaultOnAnotherThread(void (*fault)())
{
  // No core file from the expected end.
  const rlimit noCoreFile{0, 0};
  ::setrlimit(RLIMIT_CORE, &noCoreFile);
  win::WIN_InstallStructuredExceptionTranslator();
  std::thread worker(fault);
  worker.join();
}

TEST(StructuredExceptionPosixDeathTest, AThreadWithoutTheTranslatorDiesByTheSignal)
{
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  struct Case_t {
    const char* name;
    void (*fault)();
    int signal;
  };
  const Case_t cases[] = {
      {"write through a null pointer", [] { vtest::WriteAt(0); }, SIGSEGV},
      {"integer division by zero", [] { vtest::DivideOneBy(0); }, SIGFPE},
      {"illegal instruction", [] { vtest::ExecuteIllegalInstruction(); }, SIGILL},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EXIT(FaultOnAnotherThread(c.fault), testing::KilledBySignal(c.signal), "");
  }
}

// A guarded read of a page that is gone: false, and the thread reads on.
bool TheGuardEndsTheRead(const PastEndOfFile_t& gone)
{
  int value = 0;
  auto readGone = [&] { value = vtest::ReadAt(gone.Address()); };
  const int present = 7;
  auto readPresent = [&] { value = vtest::ReadAt(reinterpret_cast<std::uintptr_t>(&present)); };
  // The second bus error is caught too: the signal is not left blocked.
  const bool ended = !win::WIN_GuardedRead(readGone) && !win::WIN_GuardedRead(readGone);
  const bool readOn = win::WIN_GuardedRead(readPresent) && value == 7;
  if (!ended || !readOn) std::fprintf(stderr, "ended %d, read on %d\n", ended, readOn);
  return ended && readOn;
}

bool TranslatedOutsideTheGuard(const PastEndOfFile_t& gone)
{
  try {
    vtest::ReadAt(gone.Address());
  } catch (const win::StructuredException_t&) {
    return true;
  }
  std::fprintf(stderr, "no exception outside the guard\n");
  return false;
}

// A fault of another kind inside the read leaves it as the translator's
// exception, and the guard goes with it.
bool AnExceptionEndsTheGuard(const PastEndOfFile_t& gone)
{
  auto fault = [] { vtest::WriteAt(0); };
  try {
    win::WIN_GuardedRead(fault);
    std::fprintf(stderr, "no exception from the read\n");
    return false;
  } catch (const win::StructuredException_t&) {
  }
  return TranslatedOutsideTheGuard(gone) && TheGuardEndsTheRead(gone);
}

enum class Translator_t { None, InstalledFirst, InstalledLater };

// The checks in a process of its own, whose handlers come in the order
// given; exits with 0 when all held.
[[noreturn]] void GuardedReadsWith(Translator_t translator)
{
  if (translator == Translator_t::InstalledFirst) win::WIN_InstallStructuredExceptionTranslator();
  PastEndOfFile_t gone;
  bool held = gone.Mapped() && TheGuardEndsTheRead(gone);
  if (translator == Translator_t::InstalledLater) {
    win::WIN_InstallStructuredExceptionTranslator();
    held = held && TheGuardEndsTheRead(gone);
  }
  if (translator != Translator_t::None) held = held && TranslatedOutsideTheGuard(gone) && AnExceptionEndsTheGuard(gone);
  std::_Exit(held ? 0 : 1);
}

TEST(GuardedReadDeathTest, APageThatIsGoneEndsTheReadWhicheverHandlerCameFirst)
{
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::pair<const char*, Translator_t> cases[] = {
      {"without the translator", Translator_t::None},
      {"the translator installed first", Translator_t::InstalledFirst},
      {"the translator installed later", Translator_t::InstalledLater},
  };
  for (const auto& [name, translator] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EXIT(GuardedReadsWith(translator), testing::ExitedWithCode(0), "");
  }
}

TEST(GuardedReadDeathTest, ABusErrorOutsideTheGuardStillEndsTheProcess)
{
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const auto faultAfterAGuardedRead = [] {
    const rlimit noCoreFile{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCoreFile);
    PastEndOfFile_t gone;
    auto nothing = [] {};
    win::WIN_GuardedRead(nothing);
    vtest::ReadAt(gone.Address());
  };
  EXPECT_EXIT(faultAfterAGuardedRead(), testing::KilledBySignal(SIGBUS), "");
}

}  // namespace
