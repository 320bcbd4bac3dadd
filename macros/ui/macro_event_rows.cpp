#include "macros/ui/macro_event_rows.h"

#include <QMargins>

#include "app/toolkit/resources.h"
#include "macros/ui/macro_editor_controls.h"

namespace norvane {

using namespace macro_controls;

namespace {

// Images of the rows and the room their text leaves for them.
const QString kMouseImage = QStringLiteral("res='skins/mouse.svg' dest='2,2,28,28'");
const QString kKeyImage = QStringLiteral("res='skins/keyboard_key_action.svg' dest='5,6,35,24'");
const QString kMoveImage = QStringLiteral("res='skins/move.svg' dest='2,2,28,28'");
const QString kReleaseImage = QStringLiteral("res='skins/macro_key_up.svg' dest='5,6,21,24'");
const QString kPressImage = QStringLiteral("res='skins/macro_key_down.svg' dest='5,6,21,24'");
constexpr int kTextAfterSmallImage = 34;
constexpr int kTextAfterKeyImage = 42;
constexpr int kTextAfterActionImage = 28;
constexpr int kTextWithoutImage = 8;

constexpr char kPressKey[] = "key_down_action";
constexpr char kReleaseKey[] = "key_up_action";
constexpr char kMoveTextKey[] = "mouse_move_text";

bool is_mouse_button(uint8_t code) { return code >= kCodeLeftButton && code <= kCodeForwardButton; }

void set_left_padding(Control control, int left) { control.set_padding(QMargins(left, 0, 0, 0)); }

}  // namespace

QString event_key_name(const MacroEvent& event, const MacroKeyNameFn& key_name) {
  if (event.kind == kKindMove) return resources().text(QString::fromLatin1(kMoveTextKey));
  if (!key_name) return QString::number(event.code);
  return QString::fromStdU16String(key_name(event.code));
}

void show_event_row_key(const Control& row, const MacroEvent& event, const MacroKeyNameFn& key_name) {
  Control key = row.find(QString::fromLatin1(kRowKey));
  const QString name = event_key_name(event, key_name);
  key.set_text(name);
  key.set_tooltip(name);
  if (event.kind == kKindMove) {
    key.set_bk_image(kMoveImage);
    set_left_padding(key, kTextAfterSmallImage);
  } else if (is_mouse_button(event.code)) {
    key.set_bk_image(kMouseImage);
    set_left_padding(key, kTextAfterSmallImage);
  } else {
    key.set_bk_image(kKeyImage);
    set_left_padding(key, kTextAfterKeyImage);
  }
}

void show_event_row_delay(const Control& row, uint16_t delay) {
  Control(row.find(QString::fromLatin1(kRowDelay))).set_text(QString::number(delay));
}

void show_event_row_offsets(const Control& row, int32_t x, int32_t y) {
  Control action = row.find(QString::fromLatin1(kRowAction));
  action.set_resource_text(false);
  action.set_text(QStringLiteral("X: %1 Y: %2").arg(x).arg(y));
}

void fill_event_row(const Control& row, const MacroEvent& event, const MacroKeyNameFn& key_name) {
  Control action = row.find(QString::fromLatin1(kRowAction));
  switch (event.kind) {
    case kKindPress:
    case kKindRelease:
      show_event_row_key(row, event, key_name);
      action.set_resource_text(true);
      action.set_text(QString::fromLatin1(event.kind == kKindPress ? kPressKey : kReleaseKey));
      action.set_bk_image(event.kind == kKindPress ? kPressImage : kReleaseImage);
      set_left_padding(action, kTextAfterActionImage);
      break;
    case kKindMove:
      show_event_row_key(row, event, key_name);
      action.set_bk_image(QString());
      set_left_padding(action, kTextWithoutImage);
      show_event_row_offsets(row, event.x, event.y);
      break;
    default:
      return;  // not an event the editor knows: the row stays blank
  }
  show_event_row_delay(row, event.delay);
}

}  // namespace norvane
