#include "TUI_IndefiniteProgressCtrl.h"

#include <QPainter>
#include <QTimerEvent>

#include "GDI_Exceptions.h"
#include "GDI_Selectors.h"

namespace tui {

IndefiniteProgressCtrl_t::IndefiniteProgressCtrl_t(QWidget* parent) : QProgressBar(parent)
{
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void IndefiniteProgressCtrl_t::SetRunning(bool running)
{
  running_ = running;
  UpdateTimer();
}

void IndefiniteProgressCtrl_t::UpdateTimer()
{
  if (running_ && isVisible()) {
    if (!timer_.isActive()) timer_.start(static_cast<int>(Period.count()), Qt::PreciseTimer, this);
  } else {
    timer_.stop();
  }
}

void IndefiniteProgressCtrl_t::showEvent(QShowEvent* event)
{
  QProgressBar::showEvent(event);
  UpdateTimer();
}

void IndefiniteProgressCtrl_t::hideEvent(QHideEvent* event)
{
  QProgressBar::hideEvent(event);
  UpdateTimer();
}

void IndefiniteProgressCtrl_t::timerEvent(QTimerEvent* event)
{
  if (event->timerId() != timer_.timerId()) {
    QProgressBar::timerEvent(event);
    return;
  }
  if (!running_) return;
  step_ = (step_ + 1) % BandPitch;
  repaint();
}

void IndefiniteProgressCtrl_t::paintEvent(QPaintEvent*)
{
  QPainter painter(this);
  gdi::GDI_Check(painter.isActive(), GLO_HERE);
  const QRect area = rect();
  const QPalette& colours = palette();
  painter.fillRect(area, colours.color(QPalette::Button));
  painter.setClipRect(area);
  gdi::ObjectSelector_t selector(painter);
  selector.Select(QPen(colours.color(QPalette::Highlight), 1));
  const int height = area.height();
  const int bands = area.width() / BandPitch + 2;
  int x = area.left() + step_ - BandPitch;
  for (int band = 0; band < bands; ++band, x += BandPitch)
    for (int i = 1; i <= BandWidth; ++i) painter.drawLine(x + i, area.top(), x + i + height, area.bottom());
  painter.setPen(colours.color(QPalette::Mid));
  painter.drawRect(area.adjusted(0, 0, -1, -1));
}

}  // namespace tui
