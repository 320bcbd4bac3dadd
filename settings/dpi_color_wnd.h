#pragma once
// CDpiColorWnd: the small modal colour picker opened from the colour buttons of the
// settings page (DPI level colours and the lighting colour). A colour palette, sixteen
// preset swatches and three decimal edits for red, green and blue all edit one opaque
// ARGB colour; the dialog closes with 1 (confirmed) or 0 (cancelled).

#include <QPoint>
#include <array>
#include <cstdint>

#include "app/toolkit/window_base.h"

namespace norvane {

inline constexpr int kColorDialogWidth = 250;
inline constexpr int kColorDialogHeight = 200;
inline constexpr int kColorSwatches = 16;

// Colours of the swatches mouse_dpi_color_1..16, ARGB.
inline constexpr std::array<uint32_t, kColorSwatches> kColorSwatchPresets = {
    0xFF00FFFF, 0xFF6CFF00, 0xFF7F00FF, 0xFF007FFF, 0xFF0000FF, 0xFF7FFF00, 0xFFFF5400, 0xFFFF7F00,
    0xFFFFB400, 0xFFFFFF00, 0xFFFF0000, 0xFFFF00FF, 0xFF1EB40A, 0xFF48B1FF, 0xFFFF48B0, 0xFFFFFFFF};

class CDpiColorWnd : public WindowBase {
 public:
  CDpiColorWnd() = default;

  QString window_class_name() const override { return QStringLiteral("DpiColorWnd"); }
  QString skin_file() const override { return QStringLiteral("DpiColorDialog.xml"); }

  uint32_t color() const { return color_; }
  void set_color(uint32_t argb) { color_ = 0xFF000000u | argb; }
  // The screen point of the window's top-left corner (kept on screen when shown).
  void set_origin(QPoint origin) { origin_ = origin; }

  void notify(const Notification& n) override;

 protected:
  void init() override;

 private:
  void show_color();          // preview
  void select_in_palette();
  void write_edits();
  void on_component_typed(const Notification& n);

  uint32_t color_ = 0xFF000000u;
  QPoint origin_;
  Control palette_, preview_, red_, green_, blue_, confirm_, cancel_;
  std::array<Control, kColorSwatches> swatches_;
};

// Runs the dialog for `button`, a colour button of `owner`: seeded with `colorref`
// (byte 0 red, 1 green, 2 blue), placed so its top-right part lies under the button.
// On confirm writes the chosen colour back into `colorref` and returns true; on
// cancel leaves it alone and returns false.
bool run_color_dialog(WindowBase& owner, const Control& button, uint32_t& colorref);

}  // namespace norvane
