#pragma once
// The toolkit layer: everything the program's windows use, over Qt Widgets.
//
// The program is written against a small set of operations: skinned windows, controls
// found by name, notifications with type names, numbered messages and timers, pop-up
// menus and a tray icon. This layer offers exactly those, so window and page code
// never depends on how Qt does things, and the rest of the program stays testable
// (timers run on fake time in tests, dialogs can be driven without a person).
//
//   Resources      resources.h     skin folder, style sheet, language file (key -> text)
//   load_skin      skin_loader.h   UI documents built at run time; `include`,
//                                  `virtualwnd`, `resourcetext`, `group` properties
//   Control        control.h       a control by name: text, look, values, selection,
//                                  list rows, scrolling; quiet unless asked to notify
//   Notification   notification.h  type names ("click", "itemselect", ...) + sender +
//                                  two numbers; NotifyTarget receives them
//   WindowBase     window_base.h   a skinned window: create, show, modal runs with a
//                                  close code, free-on-close, routing to named pages,
//                                  posted messages, window and control timers
//   MessagePort    message_port.h  thread-safe address of a window's message queue
//   TimerService   timer_service.h numbered repeating timers; real (QTimer) or fake
//   PopupMenu      popup_menu.h    menus from menu skins, item chosen -> message 1027
//   TrayIcon       tray_icon.h     notification-area icon, clicks -> message 1025
//   ColorPalette   color_palette.h the colour palette control
//   BusyRing       busy_ring.h     a small spinning ring while work is under way
//
// Threads: everything here runs on the UI thread except MessagePort::post, which any
// thread may call. Worker threads get their own queue (app/thread_message_queue.h).
//
// A typical window:
//
//   class CMainWnd : public WindowBase {
//     QString window_class_name() const override { return "Norvane"; }
//     QString skin_file() const override { return "main.xml"; }
//     void init() override {
//       add_virtual_window("MS_1_Page", &page_);   // page controls notify the page
//       exit_btn_ = find("exit_btn");
//     }
//     void on_click(const Notification& n) override { if (n.sender == exit_btn_) hide(); }
//     bool handle_custom_message(const Message& m) override { ... }
//     void on_timer(int id) override { ... }
//   };

#include "app/toolkit/color_palette.h"
#include "app/toolkit/control.h"
#include "app/toolkit/language_table.h"
#include "app/toolkit/message_port.h"
#include "app/toolkit/notification.h"
#include "app/toolkit/popup_menu.h"
#include "app/toolkit/resources.h"
#include "app/toolkit/skin_loader.h"
#include "app/toolkit/timer_service.h"
#include "app/toolkit/tray_icon.h"
#include "app/toolkit/window_base.h"
