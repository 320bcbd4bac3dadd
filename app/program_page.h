#pragma once
// The settings page as the program runs it: its files beside the executable, its
// stores in the data folder, key names and codes in the session's keyboard layout.

#include "settings/ms1_page.h"

namespace norvane {

PageEnvironment program_page_environment();

}  // namespace norvane
