#include "app/toolkit/popup_menu.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <algorithm>
#include <utility>

#include "app/toolkit/skin_loader.h"
#include "app/toolkit/widget_access.h"
#include "core/trace.h"

namespace norvane {
namespace {

QAction* find_action(QMenu* menu, const QString& name) {
  for (QAction* action : menu->actions()) {
    if (action->isSeparator()) continue;
    if (action->objectName() == name) return action;
    if (QMenu* sub = action->menu()) {
      if (sub->objectName() == name) return action;
      if (QAction* found = find_action(sub, name)) return found;
    }
  }
  return nullptr;
}

}  // namespace

struct PopupMenu::Impl {
  QPointer<QMenu> menu;
  MessagePortPtr owner;

  void report(QAction* action) {
    if (!owner || action == nullptr || action->menu() != nullptr) return;
    MenuCommand command{action->objectName(), action->property(detail::kUserData).toString(), action->text(),
                        action->isChecked()};
    owner->post(Message{UM_MENU_COMMAND, 0, 0, std::move(command)});
  }
};

PopupMenu::PopupMenu() : impl_(std::make_unique<Impl>()) {}

PopupMenu::~PopupMenu() { close(); }

bool PopupMenu::open(MessagePortPtr owner, const QString& skin_file, QPoint screen_point) {
  return open(std::move(owner), skin_file, [screen_point](QSize) { return screen_point; });
}

bool PopupMenu::open(MessagePortPtr owner, const QString& skin_file, const Placement& place) {
  close();
  QString error;
  QWidget* root = load_skin(skin_file, nullptr, &error);
  auto* menu = qobject_cast<QMenu*>(root);
  if (menu == nullptr) {
    trace("menu %s: %s\n", qPrintable(skin_file), root == nullptr ? qPrintable(error) : "root is not a menu");
    delete root;
    return false;
  }
  impl_->menu = menu;
  impl_->owner = std::move(owner);
  Impl* impl = impl_.get();
  QObject::connect(menu, &QMenu::triggered, menu, [impl](QAction* action) { impl->report(action); });
  menu->ensurePolished();
  menu->popup(place ? place(menu->sizeHint()) : QPoint());
  return true;
}

void PopupMenu::move_to(QPoint screen_point) {
  if (impl_->menu) impl_->menu->popup(screen_point);
}

void PopupMenu::close() {
  if (impl_->menu) {
    QMenu* menu = impl_->menu;
    impl_->menu = nullptr;
    menu->hide();
    menu->deleteLater();
  }
}

bool PopupMenu::is_open() const { return impl_->menu && impl_->menu->isVisible(); }

int PopupMenu::visible_item_count() const {
  if (!impl_->menu) return 0;
  const auto actions = impl_->menu->actions();
  return static_cast<int>(std::count_if(actions.begin(), actions.end(),
                                        [](QAction* a) { return a->isVisible() && !a->isSeparator(); }));
}

bool PopupMenu::choose(const QString& item_name) {
  if (!impl_->menu) return false;
  QAction* action = find_action(impl_->menu, item_name);
  if (action == nullptr || !action->isEnabled() || action->menu() != nullptr) return false;
  // As a click would: toggle a check item, close the menu, report the item.
  if (action->isCheckable()) action->setChecked(!action->isChecked());
  impl_->menu->hide();
  impl_->report(action);
  return true;
}

QMenu* PopupMenu::menu() const { return impl_->menu; }

}  // namespace norvane
