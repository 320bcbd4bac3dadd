#include "app/folders.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "app/private_folder.h"
#include "core/trace.h"
#include "storage/atomic_file.h"

namespace norvane {
namespace fs = std::filesystem;
namespace {

std::string with_separator(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

// Why `dir` cannot hold the stores, or "" when it can: it is (or could be made) a
// folder in which files can be created.
std::string unusable_because(const fs::path& dir) {
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) {
    if (fs::exists(fs::symlink_status(dir, ec))) return "something other than a folder is in the way";
    if (const std::error_code made = create_private_folders(dir.string())) return made.message();
  }
  return folder_write_problem(dir.string());
}

void pass_over(std::string& note, const fs::path& dir, const std::string& why) {
  if (!note.empty()) note += '\n';
  note += dir.string() + ": " + why;
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

DataFolderChoice choose_data_folder(const FolderInputs& in) {
  DataFolderChoice choice;
  const fs::path beside = fs::path(with_separator(in.exe_folder)) / "Data";
  std::string why = unusable_because(beside);
  if (why.empty()) {
    choice.path = with_separator(beside.string());
    return choice;
  }
  pass_over(choice.note, beside, why);

  // XDG says a relative XDG_DATA_HOME is invalid and must be ignored.
  fs::path base;
  if (!in.xdg_data_home.empty() && fs::path(in.xdg_data_home).is_absolute()) {
    base = in.xdg_data_home;
  } else if (!in.home.empty()) {
    base = fs::path(in.home) / ".local" / "share";
  }
  if (!base.empty()) {
    const fs::path data = base / "norvane" / "Data";
    why = unusable_because(data);
    if (why.empty()) {
      choice.path = with_separator(data.string());
      return choice;
    }
    pass_over(choice.note, data, why);
  }

  // The temp folder is shared: only a folder of our own in it will do.
  const fs::path temp = in.temp_folder.empty() ? fs::path("/tmp") : fs::path(in.temp_folder);
  const fs::path own = temp / ("norvane-" + std::to_string(in.uid));
  why = make_private_folder(own.string(), in.uid);
  if (why.empty()) {
    why = unusable_because(own / "Data");
    if (why.empty()) {
      choice.path = with_separator((own / "Data").string());
      return choice;
    }
  }
  pass_over(choice.note, own, why);

  std::string pattern = (temp / ("norvane-" + std::to_string(in.uid) + "-XXXXXX")).string();
  if (::mkdtemp(pattern.data()) != nullptr) {
    pass_over(choice.note, pattern, "used for this run only; the stores will not be kept");
    choice.path = with_separator((fs::path(pattern) / "Data").string());
    create_private_folders(choice.path);
    return choice;
  }
  // Nowhere to write at all: the saves fail and say so.
  pass_over(choice.note, pattern, "cannot be made either");
  choice.path = with_separator(beside.string());
  return choice;
}

std::string choose_runtime_folder(const FolderInputs& in) {
  if (!in.xdg_runtime_dir.empty() && fs::path(in.xdg_runtime_dir).is_absolute()) {
    const std::string why = private_folder_problem(in.xdg_runtime_dir, in.uid);
    if (why.empty()) return fs::path(in.xdg_runtime_dir).lexically_normal().string();
    trace("runtime folder %s passed over: %s\n", in.xdg_runtime_dir.c_str(), why.c_str());
  }
  const fs::path temp = in.temp_folder.empty() ? fs::path("/tmp") : fs::path(in.temp_folder);
  const fs::path own = temp / ("norvane-" + std::to_string(in.uid));
  std::string why = make_private_folder(own.string(), in.uid);
  if (why.empty()) return own.string();
  trace("runtime folder %s passed over: %s\n", own.c_str(), why.c_str());
  if (!in.home.empty()) {
    const fs::path cache = fs::path(in.home) / ".cache" / "norvane";
    if (!create_private_folders(cache.string())) {
      why = private_folder_problem(cache.string(), in.uid);
      if (why.empty()) return cache.string();
      trace("runtime folder %s passed over: %s\n", cache.c_str(), why.c_str());
    }
  }
  return {};
}

std::string runtime_folder_path() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const char* home = std::getenv("HOME");
  const char* temp = std::getenv("TMPDIR");
  return choose_runtime_folder(
      FolderInputs{"", "", home ? home : "", temp ? temp : "", ::getuid(), runtime ? runtime : ""});
}

std::string data_folder_path() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  const char* temp = std::getenv("TMPDIR");
  const DataFolderChoice choice = choose_data_folder(FolderInputs{
      exe_folder_path(), xdg ? xdg : "", home ? home : "", temp ? temp : "", ::getuid()});
  if (!choice.note.empty()) trace("data folder %s, passed over:\n%s\n", choice.path.c_str(), choice.note.c_str());
  return choice.path;
}

}  // namespace norvane
