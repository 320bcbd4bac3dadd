#include "app/folders.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

using namespace norvane;
namespace fs = std::filesystem;

namespace {

std::string folder(const QTemporaryDir& dir, const char* sub = "") {
  std::string p = dir.path().toStdString() + "/" + sub;
  if (p.back() != '/') p += '/';
  return p;
}

TEST(FoldersTest, ExeFolderEndsInSeparatorAndHoldsTheExecutable) {
  const std::string exe = exe_folder_path();
  ASSERT_FALSE(exe.empty());
  EXPECT_EQ(exe.back(), '/');
  EXPECT_TRUE(fs::exists(exe + "app_startup_tests"));
}

TEST(FoldersTest, DataBesideTheExecutableIsCreatedOnceAndLeftAlone) {
  QTemporaryDir exe;
  const std::string expected = folder(exe) + "Data/";
  EXPECT_FALSE(fs::exists(expected));
  EXPECT_EQ(data_folder_for(folder(exe), "", "/nonexistent-home"), expected);
  EXPECT_TRUE(fs::is_directory(expected));

  // An existing folder keeps its contents.
  std::ofstream(expected + "ms_1_marker") << "kept";
  EXPECT_EQ(data_folder_for(folder(exe), "", "/nonexistent-home"), expected);
  EXPECT_TRUE(fs::exists(expected + "ms_1_marker"));
}

TEST(FoldersTest, FallsBackToTheXdgDataHomeWhenDataCannotBeMadeBesideTheExecutable) {
  QTemporaryDir xdg, home;
  // The executable's folder is a path no directory can be created in (a file is in the
  // way of its parent), as for a program installed where the user cannot write.
  QTemporaryDir exe_parent;
  std::ofstream(folder(exe_parent) + "blocker") << "x";
  const std::string exe = folder(exe_parent) + "blocker/bin/";

  const std::string from_xdg = data_folder_for(exe, xdg.path().toStdString(), home.path().toStdString());
  EXPECT_EQ(from_xdg, folder(xdg) + "norvane/Data/");
  EXPECT_TRUE(fs::is_directory(from_xdg));

  // Unset (or relative, which XDG says to ignore) XDG_DATA_HOME: ~/.local/share.
  const std::string from_home = data_folder_for(exe, "relative/path", home.path().toStdString());
  EXPECT_EQ(from_home, folder(home) + ".local/share/norvane/Data/");
  EXPECT_TRUE(fs::is_directory(from_home));
}

TEST(FoldersTest, PlainFileNamedDataBesideTheExecutableSendsDataElsewhere) {
  QTemporaryDir exe, xdg;
  std::ofstream(folder(exe) + "Data") << "not a folder";
  const std::string data = data_folder_for(folder(exe), xdg.path().toStdString(), "");
  EXPECT_EQ(data, folder(xdg) + "norvane/Data/");
  EXPECT_TRUE(fs::is_regular_file(folder(exe) + "Data"));  // left as it was
}

}  // namespace
