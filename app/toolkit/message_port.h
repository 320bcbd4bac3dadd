#pragma once
// MessagePort: the thread-safe address of a window's message queue.
//
// Any thread may post a numbered message (id, wParam, lParam) through a port; the
// window handles it later on the UI thread, in arrival order, in its custom message
// handler (WindowBase::handle_custom_message). The port outlives its window: once the
// window is gone, posting fails instead of touching freed memory, so a worker thread
// or a driver library may keep a port as long as it likes.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "core/messages.h"

class QObject;

namespace norvane {

class MessagePort {
 public:
  // Runs on the receiver's thread after the handler returned (delivered = true), or
  // wherever the message is dropped undelivered (delivered = false: the window was
  // gone or went away before the message came up). Either way it runs exactly once,
  // so a message that carries an allocation can always free it.
  using Completion = std::function<void(bool delivered)>;

  // Queues the message for the window. Returns false when the window is gone; the
  // completion then runs at once with delivered = false.
  bool post(uint32_t id, uintptr_t wparam = 0, intptr_t lparam = 0, Completion completion = {});
  // The same for a message with a payload.
  bool post(Message message, Completion completion = {});

  // True while the window can still receive messages.
  bool is_open() const;

  // A C post target for the driver libraries (`post(context, id, w, l)`), valid as
  // long as this port lives. Keep the shared_ptr alive while a library holds it.
  static void post_from_c(void* port, uint32_t id, uintptr_t wparam, intptr_t lparam);

  // Used by the window that owns the queue.
  explicit MessagePort(QObject* receiver);
  void close();

 private:
  mutable std::mutex mutex_;
  QObject* receiver_;
};

using MessagePortPtr = std::shared_ptr<MessagePort>;

}  // namespace norvane
