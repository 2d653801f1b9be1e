#pragma once
// Drawing objects selected into a painter for a scope: the painter's
// previous pen, brush or font comes back when the selector goes.

#include <QBrush>
#include <QFont>
#include <QPainter>
#include <QPen>
#include <optional>

#include "GLO_NonCopyable.h"

namespace gdi {

// Selects pens and brushes. The first selection of a kind remembers what
// the painter had; later ones leave that memory alone.
class ObjectSelector_t : public glo::NonCopyable_t {
 public:
  explicit ObjectSelector_t(QPainter& painter) noexcept : painter_(painter) {}
  ~ObjectSelector_t();

  void Select(const QPen& pen);
  void Select(const QBrush& brush);

 private:
  QPainter& painter_;
  std::optional<QPen> previousPen_;
  std::optional<QBrush> previousBrush_;
};

// Selects one font.
class SmartFont_t : public glo::NonCopyable_t {
 public:
  // Selects the font when one is given.
  SmartFont_t(QPainter& painter, const std::optional<QFont>& font);
  ~SmartFont_t();

  // Selecting while a font is selected is a program fault (glo::Exception_t
  // with an empty message).
  void Select(const QFont& font);

 private:
  QPainter& painter_;
  std::optional<QFont> previous_;
};

}  // namespace gdi
