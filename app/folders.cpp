#include "app/folders.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace norvane {
namespace fs = std::filesystem;
namespace {

std::string with_separator(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

// True when `dir` is a directory afterwards (it was one, or it could be made).
bool ensure_directory(const fs::path& dir, bool with_parents) {
  std::error_code ec;
  if (fs::is_directory(dir, ec)) return true;
  if (fs::exists(fs::symlink_status(dir, ec))) return false;  // a file is in the way
  if (with_parents) {
    fs::create_directories(dir, ec);
  } else {
    fs::create_directory(dir, ec);
  }
  return !ec && fs::is_directory(dir, ec);
}

}  // namespace

std::string exe_folder_path() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec || exe.empty()) {
    const fs::path cwd = fs::current_path(ec);
    return with_separator(ec ? std::string(".") : cwd.string());
  }
  return with_separator(exe.parent_path().string());
}

std::string data_folder_for(const std::string& exe_folder, const std::string& xdg_data_home,
                            const std::string& home) {
  const fs::path beside = fs::path(with_separator(exe_folder)) / "Data";
  if (ensure_directory(beside, false)) return with_separator(beside.string());

  // XDG says a relative XDG_DATA_HOME is invalid and must be ignored.
  fs::path base;
  if (!xdg_data_home.empty() && fs::path(xdg_data_home).is_absolute()) {
    base = xdg_data_home;
  } else if (!home.empty()) {
    base = fs::path(home) / ".local" / "share";
  } else {
    base = fs::temp_directory_path();
  }
  const fs::path data = base / "norvane" / "Data";
  ensure_directory(data, true);  // if even this fails, file operations fail later, quietly
  return with_separator(data.string());
}

std::string data_folder_path() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  return data_folder_for(exe_folder_path(), xdg != nullptr ? xdg : "", home != nullptr ? home : "");
}

}  // namespace norvane
