#include "settings/dpi_color_wnd.h"

#include <QGuiApplication>
#include <QScreen>

#include "core/profile_record.h"
#include "settings/color_components.h"

namespace norvane {
namespace {

QString swatch_name(int number) { return QStringLiteral("mouse_dpi_color_%1").arg(number); }

// The dialog's rectangle at `origin`, moved as little as needed to lie inside the work
// area of the screen it would appear on, so a button near a screen edge still opens
// a dialog the user can reach.
QRect on_screen(QPoint origin) {
  QRect rect(origin, QSize(kColorDialogWidth, kColorDialogHeight));
  QScreen* screen = QGuiApplication::screenAt(origin);
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return rect;
  const QRect work = screen->availableGeometry();
  if (rect.right() > work.right()) rect.moveRight(work.right());
  if (rect.bottom() > work.bottom()) rect.moveBottom(work.bottom());
  if (rect.left() < work.left()) rect.moveLeft(work.left());
  if (rect.top() < work.top()) rect.moveTop(work.top());
  return rect;
}

}  // namespace

void CDpiColorWnd::init() {
  const QRect placed = on_screen(origin_);
  move_to(placed.topLeft(), placed.size());

  confirm_ = find(QStringLiteral("confirm_btn"));
  cancel_ = find(QStringLiteral("cancel_btn"));
  preview_ = find(QStringLiteral("color_show_control"));
  palette_ = find(QStringLiteral("ColorPallet"));
  red_ = find(QStringLiteral("r_edit"));
  green_ = find(QStringLiteral("g_edit"));
  blue_ = find(QStringLiteral("b_edit"));
  for (int i = 0; i < kColorSwatches; ++i) {
    swatches_[static_cast<size_t>(i)] = find(swatch_name(i + 1));
    swatches_[static_cast<size_t>(i)].set_bk_color(kColorSwatchPresets[static_cast<size_t>(i)]);
  }

  select_in_palette();
  show_color();
  write_edits();
}

void CDpiColorWnd::notify(const Notification& n) {
  if (n.is(NotifyType::click)) {
    if (n.sender == confirm_ && confirm_) {
      close(1);
      return;
    }
    if (n.sender == cancel_ && cancel_) {
      close(0);
      return;
    }
    for (int i = 0; i < kColorSwatches; ++i) {
      if (swatches_[static_cast<size_t>(i)] && n.sender == swatches_[static_cast<size_t>(i)]) {
        color_ = kColorSwatchPresets[static_cast<size_t>(i)];
        select_in_palette();
        show_color();
        write_edits();
        return;
      }
    }
    return;
  }
  if ((n.is(NotifyType::colorchanged) || n.is(NotifyType::colorchangedbuttonup)) && palette_ &&
      n.sender == palette_) {
    color_ = 0xFF000000u | palette_.color();
    show_color();
    write_edits();
    return;
  }
  if (n.is(NotifyType::textchanged)) on_component_typed(n);
}

void CDpiColorWnd::on_component_typed(const Notification& n) {
  ColorChannel channel;
  if (red_ && n.sender == red_) {
    channel = ColorChannel::kRed;
  } else if (green_ && n.sender == green_) {
    channel = ColorChannel::kGreen;
  } else if (blue_ && n.sender == blue_) {
    channel = ColorChannel::kBlue;
  } else {
    return;
  }
  Control edit = n.sender;
  const TypedComponent typed = read_typed_component(edit.text().toStdU16String());
  if (typed.clamped) {
    edit.set_text(QString::number(typed.value));
    edit.set_caret_to_end();
  }
  color_ = with_component(color_, channel, typed.value);
  select_in_palette();
  show_color();
}

void CDpiColorWnd::show_color() { preview_.set_bk_color(color_); }

void CDpiColorWnd::select_in_palette() { palette_.set_color(color_); }

void CDpiColorWnd::write_edits() {
  red_.set_text(QString::number(component_of(color_, ColorChannel::kRed)));
  green_.set_text(QString::number(component_of(color_, ColorChannel::kGreen)));
  blue_.set_text(QString::number(component_of(color_, ColorChannel::kBlue)));
}

bool run_color_dialog(WindowBase& owner, const Control& button, uint32_t& colorref) {
  CDpiColorWnd dialog;
  dialog.set_color(colorref_to_argb(colorref));
  const QRect at = button.screen_rect();
  dialog.set_origin(QPoint(at.left() - 200, at.bottom() + 1));
  if (!dialog.create(&owner, QString(), WindowStyle::kPopup | WindowStyle::kToolWindow | WindowStyle::kVisible,
                     QSize(kColorDialogWidth, kColorDialogHeight))) {
    return false;
  }
  if (dialog.show_modal() != 1) return false;
  colorref = argb_to_colorref(dialog.color());
  return true;
}

}  // namespace norvane
