#pragma once
// CMsgWnd: the program's one message box. It shows a title and a message, both given
// as language keys (or a message already composed from language texts), and closes
// with 1 for its OK button and 0 for Cancel (or when the user closes it any other way).

#include <QString>

#include "app/toolkit/window_base.h"

namespace norvane {

inline constexpr char kWarningTitleKey[] = "warning_title_text";

class CMsgWnd : public WindowBase {
 public:
  CMsgWnd(QString title_key, QString message_key);

  // The message is shown as it is, not looked up in the language file.
  void set_message_is_text(bool on) { message_is_text_ = on; }

  QString window_class_name() const override { return QStringLiteral("MsgWnd"); }
  QString skin_file() const override { return QStringLiteral("msg.xml"); }

  // Only its own buttons matter; nothing is passed on.
  void notify(const Notification& n) override;

 protected:
  void init() override;

 private:
  QString title_key_;
  QString message_key_;
  bool message_is_text_ = false;
  Control ok_, cancel_, title_, message_;
};

// Builds the message box over `owner`, centres it, runs it modally and returns its
// result: 1 for OK, 0 for Cancel. Returns 0 when the skin cannot be loaded.
int show_message_box(WindowBase* owner, const QString& title_key, const QString& message_key);
// The same with a message that is already written out.
int show_message_box_text(WindowBase* owner, const QString& title_key, const QString& message_text);

}  // namespace norvane
