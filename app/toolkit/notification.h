#pragma once
// Notifications: what a window (or a page registered with it) hears from its controls.
//
// A notification carries a type, the sending control (and its name) and two
// numbers. Only user actions raise notifications; programmatic changes made through
// Control are quiet unless the call asks for a notification (Notify::kRaise), which then
// raises exactly what the user action would have raised.
//
// | Control                                   | User action            | Type             | wparam / lparam        |
// |-------------------------------------------|------------------------|------------------|------------------------|
// | push button, tool button                  | click                  | "click"          | 0 / 0                  |
// | check box (or checkable button, no group) | click                  | "checkclick"     | new state 1/0 / 0      |
// | option (radio button, grouped button)     | becomes selected       | "selectchanged"  | 1 / 0                  |
// | combo box, list                           | selection changes      | "itemselect"     | new index / old index  |
// | slider                                    | value changes          | "valuechanged"   | value / 0              |
// | line edit, text edit                      | text typed             | "textchanged"    | 0 / 0                  |
// | line edit                                 | Enter pressed          | "return"         | 0 / 0                  |
// | any named control                         | focus gained / lost    | "setfocus" / "killfocus" |                |
// | any named control                         | pointer enters / leaves| "mouseenter" / "mouseleave" |             |
// | colour palette                            | colour dragged         | "colorchanged"   | ARGB / 0               |
// | colour palette                            | mouse button released  | "colorchangedbuttonup" | ARGB / 0         |
// | any control                               | its control timer fires| "timer"          | timer id / 0           |

#include <QString>
#include <cstdint>

#include "app/toolkit/control.h"

namespace norvane {

enum class NotifyType : uint8_t {
  click,
  selectchanged,
  itemselect,
  checkclick,
  killfocus,
  setfocus,
  timer,
  valuechanged,
  mouseenter,
  mouseleave,
  return_pressed,
  textchanged,
  colorchanged,
  colorchangedbuttonup,
};

// The type's name as the table above gives it ("click", "return", ...), for traces.
const char* type_name(NotifyType type);

struct Notification {
  NotifyType type = NotifyType::click;
  QString sender_name;     // the control's name (its objectName)
  Control sender;          // the control itself
  intptr_t wparam = 0;
  intptr_t lparam = 0;
  QString virtual_window;  // page name the control belongs to ("" = the window itself)

  bool is(NotifyType t) const { return type == t; }
  bool from(const char* name) const { return sender_name == QLatin1String(name); }
};

// Anything that receives notifications: windows, and page objects registered with a
// window under a name (WindowBase::add_virtual_window).
class NotifyTarget {
 public:
  virtual ~NotifyTarget() = default;
  virtual void notify(const Notification& n) = 0;
};

}  // namespace norvane
