#include "app/program_page.h"

#include <utility>

#include "app/folders.h"
#include "app/key_names.h"

namespace norvane {

PageEnvironment program_page_environment() {
  PageEnvironment environment;
  environment.exe_folder = exe_folder_path();
  environment.data_folder = data_folder_path();
  SessionKeys keys = session_keys();
  environment.key_name = std::move(keys.name);
  environment.key_code = std::move(keys.code);
  return environment;
}

}  // namespace norvane
