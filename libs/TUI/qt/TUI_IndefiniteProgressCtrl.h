#pragma once
// The bar shown while no percentage is known: slanted stripes in the
// highlight colour that move one pixel every 25 ms and repeat every 26
// steps, over the scroll-bar colour.

#include <QBasicTimer>
#include <QProgressBar>
#include <chrono>

#include "GLO_NonCopyable.h"

namespace tui {

class IndefiniteProgressCtrl_t : public QProgressBar, public glo::NonCopyable_t {
  Q_OBJECT

 public:
  static constexpr std::chrono::milliseconds Period{25};
  // The stripes are 13 pixels wide and 26 apart; the step runs 0 to 25.
  static constexpr int BandPitch = 26;
  static constexpr int BandWidth = 13;

  // Running, at step 0.
  explicit IndefiniteProgressCtrl_t(QWidget* parent = nullptr);

  bool Running() const noexcept { return running_; }
  // Stopped, the stripes stand still where they are.
  void SetRunning(bool running);
  int Step() const noexcept { return step_; }
  // The animation's timer while it ticks (the bar is shown and running), else
  // 0.
  int TimerId() const noexcept { return timer_.timerId(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  // A hidden bar does not wake the program 40 times a second.
  void UpdateTimer();

  QBasicTimer timer_;
  int step_ = 0;
  bool running_ = true;
};

}  // namespace tui
