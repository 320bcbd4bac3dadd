#pragma once
// ColorPalette: the colour palette control of the colour dialog. A hue/saturation field
// (hue left to right, saturation top to bottom) beside a value strip
// (brightness top to bottom). Dragging in
// either picks a colour: colorChanged while the button is down, colorPicked when it is
// released. set_color() is quiet.

#include <QColor>
#include <QImage>
#include <QWidget>
#include <cstdint>

namespace norvane {

class ColorPalette : public QWidget {
  Q_OBJECT

 public:
  explicit ColorPalette(QWidget* parent = nullptr);

  uint32_t color() const;  // 0xAARRGGBB, always opaque
  void set_color(uint32_t argb);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  void colorChanged(uint32_t argb);
  void colorPicked(uint32_t argb);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  enum class Drag { kNone, kField, kStrip };
  QRect field_rect() const;
  QRect strip_rect() const;
  void pick(QPoint pos);
  void rebuild_field();

  int hue_ = 0;          // 0..359
  int saturation_ = 0;   // 0..255
  int value_ = 255;      // 0..255
  uint32_t exact_ = 0xFFFFFFFFu;  // the colour last set, returned as is until the user picks
  bool has_exact_ = false;
  Drag drag_ = Drag::kNone;
  QImage field_;
};

}  // namespace norvane
