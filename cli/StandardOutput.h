#pragma once
// Standard output that remembers why writing to it failed, so that a
// command whose output was lost never ends as a success.

#include <streambuf>

namespace cli {

// A write to a pipe whose reader has gone fails (EPIPE) from now on,
// instead of ending the program: a transfer is never cut short, leaving a
// card half written, because whoever read its output went away. The
// scripts and programs it starts get the signal's default back.
void CLI_IgnoreBrokenPipes() noexcept;

// Takes the place of std::cout's buffer while it lives and writes through
// C's stdout, as std::cout does by default; ignores broken pipes
// (CLI_IgnoreBrokenPipes), so that their failure is told like any other.
class StandardOutput_t : public std::streambuf {
 public:
  StandardOutput_t();
  StandardOutput_t(const StandardOutput_t&) = delete;
  StandardOutput_t& operator=(const StandardOutput_t&) = delete;
  ~StandardOutput_t() override;

  // Flushes and closes standard output, once; std::cout writes nowhere
  // after it. The errno value of the first write, flush or close that
  // failed; 0 when everything was written.
  int Close();

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  int sync() override;

 private:
  // Keeps errno as the reason, unless a reason is known already.
  void Failed() noexcept;

  std::streambuf* const previous_;
  int error_ = 0;
  bool closed_ = false;
};

}  // namespace cli
