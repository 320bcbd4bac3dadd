#pragma once
// Text control of the virtual mouse, one command per line ("plug 2.4", "dpi",
// "battery 0 57", "sleep", ...; "help" lists them). Used by the control socket
// and vm_execute_command. The reply is zero or more lines of output followed
// by a final line "ok" or "error: <why>".

#include <string>
#include <string_view>

namespace norvane::vmouse {

class VirtualMouse;

// Runs one line; returns true when the command succeeded.
bool run_control_command(VirtualMouse& mouse, std::string_view line, std::string& reply);

}  // namespace norvane::vmouse
