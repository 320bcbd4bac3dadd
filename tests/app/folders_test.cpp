#include "app/folders.h"

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <functional>

using namespace norvane;
namespace fs = std::filesystem;

namespace {

std::string folder(const QTemporaryDir& dir, const char* sub = "") {
  std::string p = dir.path().toStdString() + "/" + sub;
  if (p.back() != '/') p += '/';
  return p;
}

mode_t permissions(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
  return info.st_mode & 07777;
}

constexpr uid_t kNobody = 65534;

// Runs `work` in a child process as a user without special rights, so that folder
// permissions hold even when the tests run as root, and returns what it returned.
// The user is `kNobody` under root, else the test's own.
std::string as_ordinary_user(const std::function<std::string(uid_t)>& work) {
  int channel[2];
  if (::pipe(channel) != 0) return "no pipe";
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(channel[0]);
    uid_t uid = ::getuid();
    if (::geteuid() == 0) {
      if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(3);
      uid = kNobody;
    }
    const std::string out = work(uid);
    const ssize_t written = ::write(channel[1], out.data(), out.size());
    ::_exit(written == static_cast<ssize_t>(out.size()) ? 0 : 4);
  }
  ::close(channel[1]);
  std::string out;
  char buffer[512];
  ssize_t n;
  while ((n = ::read(channel[0], buffer, sizeof buffer)) > 0) out.append(buffer, static_cast<size_t>(n));
  ::close(channel[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "child failed";
  return out;
}

// A folder every user may enter and write, as the temp folder is.
void open_to_all(const QTemporaryDir& dir) { fs::permissions(dir.path().toStdString(), fs::perms::all); }

}  // namespace

TEST(FoldersTest, ExeFolderEndsInSeparatorAndHoldsTheExecutable) {
  const std::string exe = exe_folder_path();
  ASSERT_FALSE(exe.empty());
  EXPECT_EQ(exe.back(), '/');
  EXPECT_TRUE(fs::exists(exe + "app_startup_tests"));
}

TEST(FoldersTest, DataBesideTheExecutableIsCreatedPrivateOnceAndLeftAlone) {
  QTemporaryDir exe;
  const std::string expected = folder(exe) + "Data/";
  EXPECT_FALSE(fs::exists(expected));
  const DataFolderChoice first = choose_data_folder({folder(exe), "", "/nonexistent-home", "", ::getuid()});
  EXPECT_EQ(first.path, expected);
  EXPECT_EQ(first.note, "");
  EXPECT_TRUE(fs::is_directory(expected));
  EXPECT_EQ(permissions(expected) & 077, 0u);

  // An existing folder keeps its contents.
  std::ofstream(expected + "ms_1_marker") << "kept";
  EXPECT_EQ(choose_data_folder({folder(exe), "", "/nonexistent-home", "", ::getuid()}).path, expected);
  EXPECT_TRUE(fs::exists(expected + "ms_1_marker"));
  EXPECT_EQ(fs::directory_iterator(expected)->path().filename(), "ms_1_marker") << "the write check leaves nothing";
}

TEST(FoldersTest, FallsBackToTheXdgDataHomeWhenDataCannotBeMadeBesideTheExecutable) {
  QTemporaryDir xdg, home;
  // The executable's folder is a path no directory can be created in (a file is in the
  // way of its parent), as for a program installed where the user cannot write.
  QTemporaryDir exe_parent;
  std::ofstream(folder(exe_parent) + "blocker") << "x";
  const std::string exe = folder(exe_parent) + "blocker/bin/";

  const DataFolderChoice from_xdg =
      choose_data_folder({exe, xdg.path().toStdString(), home.path().toStdString(), "", ::getuid()});
  EXPECT_EQ(from_xdg.path, folder(xdg) + "norvane/Data/");
  EXPECT_TRUE(fs::is_directory(from_xdg.path));
  EXPECT_NE(from_xdg.note.find(exe + "Data"), std::string::npos) << from_xdg.note;
  EXPECT_EQ(permissions(folder(xdg) + "norvane") & 077, 0u);

  // Unset (or relative, which XDG says to ignore) XDG_DATA_HOME: ~/.local/share.
  const DataFolderChoice from_home =
      choose_data_folder({exe, "relative/path", home.path().toStdString(), "", ::getuid()});
  EXPECT_EQ(from_home.path, folder(home) + ".local/share/norvane/Data/");
  EXPECT_TRUE(fs::is_directory(from_home.path));
  EXPECT_EQ(permissions(folder(home) + ".local"), 0700u);
}

TEST(FoldersTest, PlainFileNamedDataBesideTheExecutableSendsDataElsewhere) {
  QTemporaryDir exe, xdg;
  std::ofstream(folder(exe) + "Data") << "not a folder";
  const DataFolderChoice choice = choose_data_folder({folder(exe), xdg.path().toStdString(), "", "", ::getuid()});
  EXPECT_EQ(choice.path, folder(xdg) + "norvane/Data/");
  EXPECT_TRUE(fs::is_regular_file(folder(exe) + "Data"));  // left as it was
}

// A Data folder that is there but read-only to the user (made by a run as root, or
// on a read-only mount) must not swallow every save: the stores go to the XDG folder.
TEST(FoldersTest, ADataFolderTheUserCannotWriteSendsTheStoresToTheXdgFolder) {
  QTemporaryDir exe, xdg;
  open_to_all(exe);
  open_to_all(xdg);
  const std::string data = folder(exe) + "Data/";
  fs::create_directory(data);
  fs::permissions(data, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                            fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);

  const std::string chosen = as_ordinary_user([&](uid_t uid) {
    return choose_data_folder({folder(exe), xdg.path().toStdString(), "", "", uid}).path;
  });
  EXPECT_EQ(chosen, folder(xdg) + "norvane/Data/");
  EXPECT_TRUE(fs::is_empty(data));
}

// With nowhere else to go the stores land in the temp folder, and only in a folder
// of the user's own there: one that another user made first is passed over.
TEST(FoldersTest, TheTempFolderIsUsedOnlyThroughAFolderOfTheUsersOwn) {
  QTemporaryDir exe, temp;
  std::ofstream(folder(exe) + "Data") << "in the way";
  const uid_t me = ::getuid();

  const DataFolderChoice own = choose_data_folder({folder(exe), "", "", temp.path().toStdString(), me});
  const std::string own_folder = folder(temp) + "norvane-" + std::to_string(me) + "/";
  EXPECT_EQ(own.path, own_folder + "Data/");
  EXPECT_EQ(permissions(own_folder), 0700u);
  EXPECT_EQ(permissions(own.path), 0700u);

  // Seen by another user (uid me + 1), that folder belongs to someone else.
  const uid_t other = me + 1;
  const std::string planted = folder(temp) + "norvane-" + std::to_string(other) + "/";
  fs::create_directories(planted + "Data");
  fs::permissions(planted, fs::perms::all);
  const DataFolderChoice passed_over = choose_data_folder({folder(exe), "", "", temp.path().toStdString(), other});
  EXPECT_NE(passed_over.path.rfind(planted, 0), 0u) << passed_over.path;
  EXPECT_EQ(passed_over.path.rfind(folder(temp) + "norvane-" + std::to_string(other) + "-", 0), 0u)
      << passed_over.path;
  EXPECT_NE(passed_over.note.find("belongs to user"), std::string::npos) << passed_over.note;
  EXPECT_TRUE(fs::is_empty(planted + "Data"));

  // A link in place of the folder is no folder of ours either.
  const std::string linked = folder(temp) + "norvane-" + std::to_string(me + 2);
  fs::create_directory_symlink(own_folder, linked);
  const DataFolderChoice through_link =
      choose_data_folder({folder(exe), "", "", temp.path().toStdString(), me + 2});
  EXPECT_NE(through_link.path.rfind(linked + "/", 0), 0u) << through_link.path;
}

// The single-instance lock and socket live where no other user can reach them.
TEST(FoldersTest, TheRuntimeFolderIsAlwaysOneOfTheUsersOwn) {
  QTemporaryDir runtime, temp, home;
  const uid_t me = ::getuid();
  const std::string xdg = runtime.path().toStdString();
  const std::string home_path = home.path().toStdString();
  EXPECT_EQ(choose_runtime_folder({"", "", home_path, temp.path().toStdString(), me, xdg}), xdg);
  // An XDG_RUNTIME_DIR left open to others, but ours, is closed again and used.
  fs::permissions(xdg, fs::perms::all);
  EXPECT_EQ(choose_runtime_folder({"", "", home_path, temp.path().toStdString(), me, xdg}), xdg);
  EXPECT_EQ(permissions(xdg), 0700u);

  // Without XDG_RUNTIME_DIR: norvane-<uid> in the temp folder, made private.
  const std::string own = choose_runtime_folder({"", "", home_path, temp.path().toStdString(), me, ""});
  EXPECT_EQ(own, folder(temp) + "norvane-" + std::to_string(me));
  EXPECT_EQ(permissions(own), 0700u);

  // Another user got there first (here with a link to a folder of theirs): passed
  // over for a folder in the home's cache.
  QTemporaryDir shared, theirs;
  fs::create_directory_symlink(theirs.path().toStdString(), folder(shared) + "norvane-" + std::to_string(me));
  const std::string cached = choose_runtime_folder({"", "", home_path, shared.path().toStdString(), me, ""});
  EXPECT_EQ(cached, folder(home) + ".cache/norvane");
  EXPECT_EQ(permissions(cached), 0700u);
  EXPECT_TRUE(fs::is_empty(theirs.path().toStdString()));

  // Folders of another user are never used, not even for want of any other: then
  // there is no lock at all.
  EXPECT_EQ(choose_runtime_folder({"", "", home_path, temp.path().toStdString(), me + 1, xdg}), "");
}
