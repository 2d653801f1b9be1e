#include "THR_Progress.h"

#include <algorithm>
#include <cmath>

#include "GLO_Time.h"
#include "WIN_TimeSpanText.h"

namespace thr {

Progress_t::Progress_t(std::uint32_t range, std::uint32_t position)
    : position_(std::min(position, range)), range_(range)
{
}

void Progress_t::SetPos(std::uint32_t position)
{
  SetPos(position, true);
}

void Progress_t::SetPos(std::uint32_t position, bool notify)
{
  std::lock_guard guard(lock_);
  position_ = std::min(position, range_);
  if (notify) OnChange();
}

void Progress_t::SetRange(std::uint32_t range, bool notify)
{
  std::lock_guard guard(lock_);
  range_ = std::max(range, position_);
  if (notify) OnChange();
}

void Progress_t::Step(std::uint32_t amount)
{
  std::lock_guard guard(lock_);
  const std::uint64_t moved = std::uint64_t{position_} + amount;
  position_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(moved, range_));
  OnChange();
}

std::uint32_t Progress_t::Position() const
{
  std::lock_guard guard(lock_);
  return position_;
}

std::uint32_t Progress_t::Range() const
{
  std::lock_guard guard(lock_);
  return range_;
}

double Progress_t::Percent() const
{
  std::lock_guard guard(lock_);
  return range_ == 0 ? 0.0 : position_ * 100.0 / range_;
}

std::int32_t Progress_t::RoundedPercent() const
{
  return static_cast<std::int32_t>(std::lround(Percent()));
}

std::u16string THR_RemainingText(std::uint32_t elapsed, double percent)
{
  const double total = elapsed / (percent / 100.0);
  // Held to what 64 bits take: at no progress the estimate is endless.
  const double left = std::clamp(std::isnan(total) ? 0.0 : total - elapsed, 0.0, 9.0e18);
  const auto remaining = static_cast<std::uint32_t>(static_cast<std::int64_t>(left));
  return win::LongText(glo::TimeSpan_t(remaining / 1000));
}

}  // namespace thr
