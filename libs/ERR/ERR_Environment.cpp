#include "ERR_Environment.h"

#include "GLO_Text.h"

namespace err {
namespace {

// The decimal number at the start of the text, past it and one separator.
unsigned long long LeadingNumber(std::u16string_view& text)
{
  unsigned long long value = 0;
  std::size_t i = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9' && value < 1000000; ++i)
    value = value * 10 + static_cast<unsigned>(text[i] - u'0');
  text.remove_prefix(std::min(text.size(), i + 1));
  return value;
}

}  // namespace

std::u16string ERR_OperatingSystemText(const OperatingSystemFacts_t& facts)
{
  std::u16string kernel = facts.kernelName;
  if (!kernel.empty() && !facts.kernelRelease.empty()) kernel += u" " + facts.kernelRelease;
  if (facts.distribution) return facts.distribution.Get() + u" " + kernel;
  std::u16string_view release = facts.kernelRelease;
  const auto major = LeadingNumber(release);
  const auto minor = LeadingNumber(release);
  std::u16string text = (facts.kernelName.empty() ? u"Unknown" : facts.kernelName) +
                        u" Platform, Major Version: " + glo::GLO_Decimal(static_cast<long long>(major)) +
                        u", Minor Version: " + glo::GLO_Decimal(static_cast<long long>(minor));
  return kernel.empty() ? text : text + u" " + kernel;
}

std::u16string ERR_ProcessorText(const ProcessorFacts_t& facts)
{
  std::u16string text = facts.architecture.empty()
                            ? std::u16string(u"Unknown Processor type")
                            : facts.architecture + u", Processor Level: " + glo::GLO_Decimal(facts.level);
  return text + u", Processors:" + glo::GLO_Decimal(facts.count) + u", Model: " +
         glo::GLO_Decimal(facts.revision >> 8) + u" Stepping: " + glo::GLO_Decimal(facts.revision & 0xFF);
}

}  // namespace err
