#pragma once
// What a start does when another copy of the program already runs: it asks that copy
// to come forward and exits. A copy that does not answer within a few seconds (hung,
// or stopped in a debugger) is named to the user in a message box instead of being
// waited on without a word.

#include "app/single_instance.h"

namespace norvane {

// Returns the exit code of a second start (1). Needs the resources (language file,
// skins) set up for the message box.
int run_second_start(SingleInstance& instance, int wait_ms = kActivationWaitMs);

}  // namespace norvane
