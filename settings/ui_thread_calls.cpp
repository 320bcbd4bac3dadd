#include "settings/ui_thread_calls.h"

#include <QMetaObject>
#include <utility>

namespace norvane {

void UiThreadCalls::post(std::function<void()> call) {
  QMetaObject::invokeMethod(&context_, std::move(call), Qt::QueuedConnection);
}

}  // namespace norvane
