#pragma once
// Folders of the user's own in places other users can write (the shared temp folder):
// a folder there is used only when it is a real folder (no link), owned by the user
// and closed to everyone else. Someone who created it first gets no say in where
// the program keeps its files.

#include <sys/types.h>

#include <string>

namespace norvane {

// Why `path` is not a folder only `uid` can use, or "" when it is one.
std::string private_folder_problem(const std::string& path, uid_t uid);

// Creates `path` (its parent must exist) with mode 0700 when it is missing, then checks
// it as above. Returns "" when the folder can be used, else why not.
std::string make_private_folder(const std::string& path, uid_t uid);

// Whether a new file can be created in the folder `path` (a file is made and removed
// again); "" when it can, else why not.
std::string folder_write_problem(const std::string& path);

}  // namespace norvane
