#pragma once
// The two folders every part of the program finds its files in.
//
// exe_folder_path(): the folder of the running executable, ending in '/'. Driver
// libraries, the hook library and res/ are loaded from there.
//
// data_folder_path(): where the stores live, ending in '/'. Data/ beside the executable
// when it exists there or can be made there (portable use); otherwise, as for an
// installed program that cannot write beside /usr/bin, <XDG data home>/norvane/Data/
// ($XDG_DATA_HOME, or ~/.local/share). The folder is created when missing; an existing
// one is left alone.

#include <string>

namespace norvane {

std::string exe_folder_path();
std::string data_folder_path();

// The rule behind data_folder_path, with its inputs spelled out (for tests):
// `exe_folder` ends in '/'; `xdg_data_home` and `home` as in the environment ("" when
// unset).
std::string data_folder_for(const std::string& exe_folder, const std::string& xdg_data_home,
                            const std::string& home);

}  // namespace norvane
