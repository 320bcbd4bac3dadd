#pragma once
// The mouse wheel over value controls. A slider, combo box or spin box that takes every
// wheel turn changes a setting whenever the user scrolls a page past it, so the value
// controls of a skin take the wheel only while they have the keyboard focus (a click or
// Tab gives it to them; the wheel itself never does). Otherwise the wheel goes on to
// the control's parents, and the scroll area around it scrolls.
//
// The skin loader guards every skin it builds; scroll bars keep the wheel as always.

class QWidget;

namespace norvane {

// Guards `root` and every value control under it. Safe to call more than once.
void guard_wheel(QWidget* root);

}  // namespace norvane
