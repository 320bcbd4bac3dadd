#pragma once
// The language key of the message that tells why a macro file was refused.

#include "storage/macro_file.h"

namespace norvane {

const char* macro_file_problem_text_key(MacroFileProblem problem);

}  // namespace norvane
