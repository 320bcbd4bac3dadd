#include "app/toolkit/busy_ring.h"

#include <QPainter>
#include <algorithm>
#include <QPen>

namespace norvane {

namespace {

constexpr int kTurnMs = 900;
constexpr int kArcDegrees = 100;

}  // namespace

BusyRing::BusyRing(QWidget* parent) : QWidget(parent) {
  QSizePolicy policy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  policy.setRetainSizeWhenHidden(true);
  setSizePolicy(policy);
  spin_.setStartValue(0);
  spin_.setEndValue(360);
  spin_.setDuration(kTurnMs);
  spin_.setLoopCount(-1);
  connect(&spin_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
    angle_ = value.toInt();
    update();
  });
}

void BusyRing::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const int side = std::min(width(), height());
  const qreal pen_width = std::max(1.5, side / 8.0);
  const QRectF box((width() - side) / 2.0 + pen_width / 2, (height() - side) / 2.0 + pen_width / 2,
                   side - pen_width, side - pen_width);
  QColor arc = palette().color(QPalette::WindowText);
  QColor track = arc;
  track.setAlphaF(0.18);
  p.setPen(QPen(track, pen_width));
  p.drawEllipse(box);
  QPen pen(arc, pen_width);
  pen.setCapStyle(Qt::RoundCap);
  p.setPen(pen);
  // Qt counts angles anticlockwise in sixteenths of a degree; the arc turns clockwise.
  p.drawArc(box, (90 - angle_) * 16, -kArcDegrees * 16);
}

void BusyRing::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  spin_.start();
}

void BusyRing::hideEvent(QHideEvent* event) {
  spin_.stop();
  QWidget::hideEvent(event);
}

}  // namespace norvane
