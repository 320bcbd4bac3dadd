#pragma once
// The input hook library (Hook.so beside the executable), loaded at run time. It
// captures key and mouse-button input for macro recording and shortcut capture and
// posts it as message 1034 to the window that installed the hook (its interface:
// input_capture/hook_abi.h). The program works without it: every function of the table
// is then null and callers skip it.

#include <stdint.h>

#include <string>
#include <string_view>

#include "input_capture/hook_abi.h"

namespace norvane {

inline constexpr char kHookLibraryFile[] = "Hook.so";

// The seven entry points, in the order the library has always been resolved in.
// A member is null when the library or that name is missing.
struct HookFunctions {
  nv_installmousehook_fn installmousehook = nullptr;
  nv_removemousehook_fn removemousehook = nullptr;
  nv_enablemousehook_fn enablemousehook = nullptr;
  nv_installhook_fn installhook = nullptr;
  nv_removehook_fn removehook = nullptr;
  nv_enablehook_fn enablehook = nullptr;
  nv_mousewheelenable_fn mousewheelenable = nullptr;
  // Beyond the seven; null in libraries that lack them.
  nv_hookcapturescope_fn capturescope = nullptr;  // where the capture sees input
  nv_hookeventtime_fn eventtime = nullptr;        // when a posted event happened
};

// The language key of the one-line hint a window that started a capture shows when
// input outside the program cannot be captured (empty when it can, or when nothing is
// captured). `scope` is what capturescope returned after installhook.
std::string_view capture_hint_key(int scope);

class HookLibrary {
 public:
  HookLibrary() = default;
  ~HookLibrary();  // unload()
  HookLibrary(const HookLibrary&) = delete;
  HookLibrary& operator=(const HookLibrary&) = delete;

  // Loads the library and resolves the names it has; the library's trace lines then go
  // to the program's trace. Returns false (with a trace line) when it cannot be loaded;
  // the table then stays empty.
  bool load(const std::string& path);
  bool loaded() const { return handle_ != nullptr; }

  // The table handed to the settings page. Its address stays the same for the life of
  // this object; its entries are cleared when the library is unloaded.
  const HookFunctions& functions() const { return functions_; }

  // Stops all capturing: removemousehook, then removehook, each only when present.
  void remove_hooks();

  // Clears the table and releases the library.
  void unload();

 private:
  void* handle_ = nullptr;
  HookFunctions functions_;
  nv_hooksettrace_fn set_trace_ = nullptr;
};

}  // namespace norvane
