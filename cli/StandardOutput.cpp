#include "StandardOutput.h"

#include <cerrno>
#include <cstdio>
#include <iostream>

namespace cli {

StandardOutput_t::StandardOutput_t() : previous_(std::cout.rdbuf(this))
{
  CLI_IgnoreBrokenPipes();
}

StandardOutput_t::~StandardOutput_t()
{
  if (!closed_) std::cout.rdbuf(previous_);
}

int StandardOutput_t::Close()
{
  std::cout.flush();
  if (std::fflush(stdout) != 0) Failed();
  // Output that passed by std::cout and failed: its reason is unknown.
  if (std::ferror(stdout) != 0 && error_ == 0) error_ = EIO;
  if (std::fclose(stdout) != 0) Failed();
  closed_ = true;
  std::cout.rdbuf(nullptr);
  return error_;
}

StandardOutput_t::int_type StandardOutput_t::overflow(int_type c)
{
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  if (std::fputc(traits_type::to_char_type(c), stdout) == EOF) {
    Failed();
    return traits_type::eof();
  }
  return c;
}

std::streamsize StandardOutput_t::xsputn(const char* text, std::streamsize count)
{
  const std::size_t written = std::fwrite(text, 1, static_cast<std::size_t>(count), stdout);
  if (written < static_cast<std::size_t>(count)) Failed();
  return static_cast<std::streamsize>(written);
}

int StandardOutput_t::sync()
{
  if (std::fflush(stdout) == 0) return 0;
  Failed();
  return -1;
}

void StandardOutput_t::Failed() noexcept
{
  if (error_ == 0) error_ = errno != 0 ? errno : EIO;
}

}  // namespace cli
