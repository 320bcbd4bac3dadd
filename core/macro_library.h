#pragma once
// The macro library: the ordered list of macros, whose order is that of macro.data
// and of every macro list on screen.

#include <memory>
#include <vector>

#include "core/macro_record.h"

namespace norvane {

using MacroLibrary = std::vector<std::unique_ptr<MacroRecord>>;

}  // namespace norvane
