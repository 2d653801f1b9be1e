#include "GDI_Selectors.h"

#include "GLO_Exception.h"

namespace gdi {

ObjectSelector_t::~ObjectSelector_t()
{
  if (previousPen_) painter_.setPen(*previousPen_);
  if (previousBrush_) painter_.setBrush(*previousBrush_);
}

void ObjectSelector_t::Select(const QPen& pen)
{
  if (!previousPen_) previousPen_ = painter_.pen();
  painter_.setPen(pen);
}

void ObjectSelector_t::Select(const QBrush& brush)
{
  if (!previousBrush_) previousBrush_ = painter_.brush();
  painter_.setBrush(brush);
}

SmartFont_t::SmartFont_t(QPainter& painter, const std::optional<QFont>& font) : painter_(painter)
{
  if (font) Select(*font);
}

SmartFont_t::~SmartFont_t()
{
  if (previous_) painter_.setFont(*previous_);
}

void SmartFont_t::Select(const QFont& font)
{
  if (previous_) throw glo::Exception_t(GLO_HERE, {}, {});
  previous_ = painter_.font();
  painter_.setFont(font);
}

}  // namespace gdi
