#include "app/second_start.h"

#include <cstdio>

#include "app/toolkit/msg_wnd.h"
#include "core/trace.h"

namespace norvane {

int run_second_start(SingleInstance& instance, int wait_ms) {
  if (instance.activate_running_instance(wait_ms)) return 1;
  trace("single instance: the running copy did not answer within %d ms\n", wait_ms);
  std::fputs("norvane: another copy is running but does not answer\n", stderr);
  show_message_box(nullptr, QString::fromLatin1(kWarningTitleKey), QStringLiteral("instance_not_answering_text"));
  return 1;
}

}  // namespace norvane
