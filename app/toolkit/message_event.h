#pragma once
// Internal: the Qt event that carries a posted message to a window's host widget.

#include <QEvent>

#include "app/toolkit/message_port.h"
#include "core/messages.h"

namespace norvane {

class MessageEvent : public QEvent {
 public:
  MessageEvent(Message message, MessagePort::Completion completion);
  ~MessageEvent() override;  // runs the completion with delivered = false if never handled

  static QEvent::Type event_type();
  const Message& message() const { return message_; }
  // Runs the completion with delivered = true (once).
  void complete();

 private:
  Message message_;
  MessagePort::Completion completion_;
};

}  // namespace norvane
