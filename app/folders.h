#pragma once
// The two folders every part of the program finds its files in.
//
// exe_folder_path(): the folder of the running executable, ending in '/'. Driver
// libraries, the hook library and res/ are loaded from there.
//
// data_folder_path(): where the stores live, ending in '/', the first of these that
// the user can write:
// 1. Data/ beside the executable (portable use), made when it is missing;
// 2. <XDG data home>/norvane/Data/ ($XDG_DATA_HOME, or ~/.local/share), as for an
//    installed program, or a Data/ beside it that is read-only, left by a run as
//    another user or on a read-only mount;
// 3. norvane-<uid>/Data/ in the temp folder, where the folder norvane-<uid> must be
//    the user's own and closed to others (another user may have made one first);
// 4. failing all, a new private folder in the temp folder, which lasts only this run.
// Folders the program makes are 0700; an existing one is left alone. Why a place was
// passed over goes to the trace.

#include <sys/types.h>

#include <string>

namespace norvane {

std::string exe_folder_path();
std::string data_folder_path();

// The environment data_folder_path works from, spelled out (for tests).
struct FolderInputs {
  std::string exe_folder;     // ends in '/'
  std::string xdg_data_home;  // "" when unset
  std::string home;           // "" when unset
  std::string temp_folder;    // "" for the system's
  uid_t uid = 0;              // the user the folders must belong to
  std::string xdg_runtime_dir = {};  // "" when unset
};

struct DataFolderChoice {
  std::string path;  // ends in '/'
  std::string note;  // the places passed over and why, one per line; "" for the first
};

DataFolderChoice choose_data_folder(const FolderInputs& inputs);

// The user's private folder for the single-instance lock and socket, without a
// trailing '/': $XDG_RUNTIME_DIR when it is a folder of the user's own closed to
// others, else norvane-<uid> in the temp folder, made 0700 and the user's own, else
// <home>/.cache/norvane. "" when there is no such folder.
std::string choose_runtime_folder(const FolderInputs& inputs);
std::string runtime_folder_path();

}  // namespace norvane
