#pragma once
// The button-function menu: the pop-up menu of every function a button can be given,
// opened beside the button caption that was clicked. Its items are named as the menu
// items of the button function table; the chosen one reaches the owner window as
// message 1027 (PopupMenu).

#include <QPoint>
#include <QRect>
#include <QSize>

#include "app/toolkit/message_port.h"
#include "app/toolkit/popup_menu.h"

namespace norvane {

inline constexpr char kFunctionMenuSkin[] = "MS/MS_1/ms_1_menu.xml";

// The lower edge of a raised menu lies this far below the top of its button.
inline constexpr int kRaisedMenuBottomBelowButtonTop = 25;

// Where the menu's top-left corner goes for the button at `button` (screen
// coordinates): at the button's top, right beside it. A menu of `menu` size that would
// reach the bottom of `screen` is raised so that its lower edge lies 25 pixels below
// the top of the button (never above the top of the screen); x stays.
QPoint function_menu_origin(const QRect& button, const QSize& menu, const QRect& screen);

// Opens the menu for the button at `button` on the screen that holds it (the primary
// screen when none does); the previous menu of `menu` is closed first. False when the
// skin cannot be loaded.
bool open_function_menu(PopupMenu& menu, MessagePortPtr owner, const QRect& button);

}  // namespace norvane
