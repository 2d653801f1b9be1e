#pragma once
// Failures of drawing: a picture that cannot be loaded or drawn.

#include "GLO_Exception.h"

namespace gdi {

class Exception_t : public glo::Exception_t {
 public:
  Exception_t(const char* file, unsigned line, std::string subId);
};

// The message is empty; the SubId is the error code in decimal.
class RenderFailed_t : public Exception_t {
 public:
  RenderFailed_t(const char* file, unsigned line, int error);
};

// Throws RenderFailed_t at the site, with errno, unless the condition holds.
void GDI_Check(bool condition, const char* file, unsigned line);

}  // namespace gdi
