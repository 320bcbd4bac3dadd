// The page's macro editor: opened modally from the "Macros" button with the page's
// macro library, and followed by the re-sync of the macro copies in button slots.

#include "app/toolkit/window_base.h"
#include "core/trace.h"
#include "macros/ui/macro_editor.h"
#include "settings/ms1_page.h"

namespace norvane {

void CMS_1_Page::open_macro_editor() {
  if (window_ == nullptr) return;
  MacroEditorContext context;
  context.library = &macro_library_;
  context.store_folder = store_folder_;
  context.data_folder = environment_.data_folder;
  context.hooks = hook_functions_;
  context.key_name = environment_.key_name;
  context.key_code = environment_.key_code;
  context.clock = environment_.clock;
  context.file_dialogs = environment_.macro_file_dialogs;
  if (run_macro_editor(*window_, std::move(context)) < 0) trace("macro editor: its skin could not be loaded\n");
  // Whatever the editor did, the buttons that run macros follow the library by name.
  resync_macros_with_library();
}

}  // namespace norvane
