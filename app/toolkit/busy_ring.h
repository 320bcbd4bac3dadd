#pragma once
// BusyRing: a small spinning ring that says work is under way (skin class "BusyRing").
// It turns only while it is shown and keeps its place in the layout while hidden, so
// showing it moves nothing around it. The arc takes the style sheet's `color`, the
// track a faint shade of it.

#include <QVariantAnimation>
#include <QWidget>

namespace norvane {

class BusyRing : public QWidget {
  Q_OBJECT

 public:
  explicit BusyRing(QWidget* parent = nullptr);

  QSize sizeHint() const override { return QSize(16, 16); }
  QSize minimumSizeHint() const override { return QSize(12, 12); }
  // Degrees the arc has turned; changes only while the ring is shown.
  int angle() const { return angle_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  QVariantAnimation spin_;
  int angle_ = 0;
};

}  // namespace norvane
