#include "app/toolkit/color_palette.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace norvane {
namespace {
constexpr int kStripWidth = 18;
constexpr int kGap = 8;
}  // namespace

ColorPalette::ColorPalette(QWidget* parent) : QWidget(parent) {
  setCursor(Qt::CrossCursor);
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

QSize ColorPalette::sizeHint() const { return QSize(200, 120); }
QSize ColorPalette::minimumSizeHint() const { return QSize(60, 40); }

uint32_t ColorPalette::color() const {
  if (has_exact_) return exact_;
  return 0xFF000000u | (QColor::fromHsv(hue_, saturation_, value_).rgb() & 0x00FFFFFFu);
}

void ColorPalette::set_color(uint32_t argb) {
  const QColor c = QColor::fromRgb(argb | 0xFF000000u);
  const int hue = c.hsvHue();
  if (hue >= 0) hue_ = hue;  // grey has no hue: keep the last one
  saturation_ = c.hsvSaturation();
  value_ = c.value();
  exact_ = argb | 0xFF000000u;
  has_exact_ = true;
  update();
}

QRect ColorPalette::field_rect() const {
  return QRect(0, 0, std::max(1, width() - kStripWidth - kGap), height());
}

QRect ColorPalette::strip_rect() const {
  return QRect(width() - kStripWidth, 0, kStripWidth, height());
}

void ColorPalette::rebuild_field() {
  const QRect r = field_rect();
  field_ = QImage(r.size(), QImage::Format_RGB32);
  for (int y = 0; y < r.height(); ++y) {
    const int s = 255 - (r.height() > 1 ? y * 255 / (r.height() - 1) : 0);
    auto* line = reinterpret_cast<QRgb*>(field_.scanLine(y));
    for (int x = 0; x < r.width(); ++x) {
      const int h = r.width() > 1 ? x * 359 / (r.width() - 1) : 0;
      line[x] = QColor::fromHsv(h, s, 255).rgb();
    }
  }
}

void ColorPalette::resizeEvent(QResizeEvent*) { rebuild_field(); }

void ColorPalette::paintEvent(QPaintEvent*) {
  if (field_.size() != field_rect().size()) rebuild_field();
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRect field = field_rect();
  const QRect strip = strip_rect();
  p.drawImage(field.topLeft(), field_);
  // Darken the field by the current value so it previews what a pick gives.
  p.fillRect(field, QColor(0, 0, 0, 255 - value_));

  QLinearGradient g(strip.topLeft(), strip.bottomLeft());
  g.setColorAt(0, QColor::fromHsv(hue_, saturation_, 255));
  g.setColorAt(1, Qt::black);
  p.fillRect(strip, g);

  // Markers: a ring on the field, a bar on the strip.
  const int fx = field.width() > 1 ? hue_ * (field.width() - 1) / 359 : 0;
  const int fy = field.height() > 1 ? (255 - saturation_) * (field.height() - 1) / 255 : 0;
  p.setPen(QPen(value_ > 128 ? Qt::black : Qt::white, 2));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPoint(field.left() + fx, field.top() + fy), 5, 5);
  const int sy = strip.top() + (strip.height() > 1 ? (255 - value_) * (strip.height() - 1) / 255 : 0);
  p.setPen(QPen(Qt::white, 2));
  p.drawRect(QRect(strip.left() - 2, sy - 2, strip.width() + 3, 4));
}

void ColorPalette::pick(QPoint pos) {
  if (drag_ == Drag::kField) {
    const QRect f = field_rect();
    const int x = std::clamp(pos.x() - f.left(), 0, f.width() - 1);
    const int y = std::clamp(pos.y() - f.top(), 0, f.height() - 1);
    hue_ = f.width() > 1 ? x * 359 / (f.width() - 1) : 0;
    saturation_ = 255 - (f.height() > 1 ? y * 255 / (f.height() - 1) : 0);
  } else if (drag_ == Drag::kStrip) {
    const QRect s = strip_rect();
    const int y = std::clamp(pos.y() - s.top(), 0, s.height() - 1);
    value_ = 255 - (s.height() > 1 ? y * 255 / (s.height() - 1) : 0);
  }
  has_exact_ = false;
  update();
}

void ColorPalette::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint pos = event->position().toPoint();
  drag_ = strip_rect().contains(pos) ? Drag::kStrip : field_rect().contains(pos) ? Drag::kField : Drag::kNone;
  if (drag_ == Drag::kNone) return;
  pick(pos);
  emit colorChanged(color());
}

void ColorPalette::mouseMoveEvent(QMouseEvent* event) {
  if (drag_ == Drag::kNone) return;
  pick(event->position().toPoint());
  emit colorChanged(color());
}

void ColorPalette::mouseReleaseEvent(QMouseEvent* event) {
  if (drag_ == Drag::kNone || event->button() != Qt::LeftButton) return;
  pick(event->position().toPoint());
  drag_ = Drag::kNone;
  emit colorPicked(color());
}

}  // namespace norvane
