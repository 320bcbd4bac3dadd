#include "app/toolkit/message_port.h"

#include <QCoreApplication>

#include "app/toolkit/message_event.h"

namespace norvane {

MessageEvent::MessageEvent(Message message, MessagePort::Completion completion)
    : QEvent(event_type()), message_(std::move(message)), completion_(std::move(completion)) {}

MessageEvent::~MessageEvent() {
  if (completion_) {
    auto completion = std::move(completion_);
    completion_ = nullptr;
    completion(false);
  }
}

QEvent::Type MessageEvent::event_type() {
  static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

void MessageEvent::complete() {
  if (completion_) {
    auto completion = std::move(completion_);
    completion_ = nullptr;
    completion(true);
  }
}

MessagePort::MessagePort(QObject* receiver) : receiver_(receiver) {}

bool MessagePort::post(uint32_t id, uintptr_t wparam, intptr_t lparam, Completion completion) {
  return post(Message{id, wparam, lparam, {}}, std::move(completion));
}

bool MessagePort::post(Message message, Completion completion) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (receiver_ != nullptr) {
      // postEvent is thread-safe and keeps the posting order for one receiver. The lock
      // keeps the receiver from being destroyed while the event is handed over.
      QCoreApplication::postEvent(receiver_, new MessageEvent(std::move(message), std::move(completion)));
      return true;
    }
  }
  if (completion) completion(false);
  return false;
}

bool MessagePort::is_open() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return receiver_ != nullptr;
}

void MessagePort::close() {
  std::lock_guard<std::mutex> lock(mutex_);
  receiver_ = nullptr;
}

void MessagePort::post_from_c(void* port, uint32_t id, uintptr_t wparam, intptr_t lparam) {
  if (port != nullptr) static_cast<MessagePort*>(port)->post(id, wparam, lparam);
}

}  // namespace norvane
