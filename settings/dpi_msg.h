#pragma once
// CDPIMsg: the small borderless popup that shows the new DPI at the bottom right of the
// screen when the mouse reports a DPI change. The main window opens it and closes it
// two seconds after the last change; the object frees itself once its window is gone.

#include <QString>
#include <cstdint>
#include <functional>

#include "app/toolkit/window_base.h"

namespace norvane {

inline constexpr int kDpiPopupWidth = 200;
inline constexpr int kDpiPopupHeight = 50;

// "DPI :" followed, for wParam 0, 1 or 2, by the CPI value of lParam (units of 50).
QString dpi_popup_text(uintptr_t wparam, intptr_t lparam);

class CDPIMsg : public WindowBase {
 public:
  CDPIMsg();

  QString window_class_name() const override { return QStringLiteral("DPIWnd"); }
  QString skin_file() const override { return QStringLiteral("DPImsg.xml"); }

  QString text() const { return text_; }
  // Replaces the text, on screen too when the window is up.
  void set_text(const QString& text);

  // Called once the window is gone, just before the object frees itself.
  void set_on_gone(std::function<void()> on_gone) { on_gone_ = std::move(on_gone); }

 protected:
  void init() override;
  void on_final_message() override;

 private:
  QString text_;
  Control label_;
  std::function<void()> on_gone_;
};

}  // namespace norvane
