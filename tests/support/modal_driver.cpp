#include "tests/support/modal_driver.h"

namespace norvane::testing {

ModalDriver::ModalDriver() {
  previous_ = WindowBase::set_modal_observer([this](WindowBase& w) { handle(w); });
}

ModalDriver::~ModalDriver() { WindowBase::set_modal_observer(std::move(previous_)); }

void ModalDriver::on_next(const QString& window_class, Action action) {
  actions_.push_back(Entry{window_class, std::move(action)});
}

void ModalDriver::click(const QString& window_class, const QString& control) {
  on_next(window_class, [control](WindowBase& w) { w.find(control).click(); });
}

void ModalDriver::handle(WindowBase& window) {
  const QString cls = window.window_class_name();
  seen_ << cls;
  for (auto it = actions_.begin(); it != actions_.end(); ++it) {
    if (it->window_class.isEmpty() || it->window_class == cls) {
      Action action = std::move(it->action);
      actions_.erase(it);
      action(window);
      return;
    }
  }
}

}  // namespace norvane::testing
