#pragma once
// PopupMenu: a pop-up menu built from a menu skin, reporting the chosen item to its
// owner window as message UM_MENU_COMMAND (1027).
//
// A menu skin is a UI document whose root is a QMenu: actions (or sub-menus) named as
// the items, their texts language keys, an optional dynamic property `userdata` on an
// action, checkable actions for check items:
//
//   <ui version="4.0"><widget class="QMenu" name="traymenu">
//     <property name="resourcetext" stdset="0"><bool>true</bool></property>
//     <addaction name="configuration"/><addaction name="separator"/><addaction name="exit"/>
//     <action name="configuration"><property name="text"><string>configuration_text</string></property></action>
//     ...
//   </widget></ui>
//
// When an item is chosen, the owner receives 1027 with the MenuCommand of the item as
// its payload (payload_of<MenuCommand>).

#include <QPoint>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>

#include "app/toolkit/message_port.h"

class QMenu;

namespace norvane {

struct MenuCommand {
  QString name;       // the item's name
  QString user_data;  // its `userdata` property
  QString text;       // the text shown
  bool checked = false;  // check state after the click
};

class PopupMenu {
 public:
  PopupMenu();
  ~PopupMenu();  // closes the menu
  PopupMenu(const PopupMenu&) = delete;
  PopupMenu& operator=(const PopupMenu&) = delete;

  // Builds the menu from `skin_file` and opens it at `screen_point` (kept on screen).
  // Returns false when the skin is missing or its root is not a menu.
  bool open(MessagePortPtr owner, const QString& skin_file, QPoint screen_point);
  // The same, placed by `place`, which is given the size the menu lays itself out in and
  // returns the screen point of its top-left corner.
  using Placement = std::function<QPoint(QSize menu_size)>;
  bool open(MessagePortPtr owner, const QString& skin_file, const Placement& place);
  // Moves an open menu so its top-left corner is at `screen_point`.
  void move_to(QPoint screen_point);
  void close();
  bool is_open() const;

  // Items of the top level that are visible (separators not counted).
  int visible_item_count() const;
  // Chooses an item by name, as the user would (searching sub-menus too). Returns false
  // when there is no enabled item of that name.
  bool choose(const QString& item_name);

  QMenu* menu() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace norvane
