#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "settings/system_mouse_settings.h"

using namespace norvane;

namespace {

void install(const QTemporaryDir& dir, const QString& program) {
  QFile file(dir.filePath(program));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("#!/bin/sh\n");
  file.close();
  file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

}  // namespace

TEST(SystemMouseSettings, TheSessionsDesktopComesFirst) {
  EXPECT_EQ(mouse_settings_candidates("KDE").front(), (DesktopCommand{"systemsettings", {"kcm_mouse"}}));
  EXPECT_EQ(mouse_settings_candidates("XFCE").front(), (DesktopCommand{"xfce4-mouse-settings", {}}));
  EXPECT_EQ(mouse_settings_candidates("ubuntu:GNOME").front(), (DesktopCommand{"gnome-control-center", {"mouse"}}));
  EXPECT_EQ(mouse_settings_candidates("X-Cinnamon").front(), (DesktopCommand{"cinnamon-settings", {"mouse"}}));
  // Every known program is still offered, once.
  const auto all = mouse_settings_candidates("");
  const auto kde = mouse_settings_candidates("KDE");
  EXPECT_EQ(all.size(), kde.size());
  EXPECT_EQ(all.front(), (DesktopCommand{"gnome-control-center", {"mouse"}}));
}

TEST(SystemMouseSettings, StartsOnlyWhatIsInstalled) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  EXPECT_TRUE(find_mouse_settings_command("KDE", {dir.path()}).program.empty());

  install(dir, "xfce4-mouse-settings");
  install(dir, "kcmshell6");
  const DesktopCommand kde = find_mouse_settings_command("KDE", {dir.path()});
  EXPECT_EQ(kde.program, dir.filePath("kcmshell6").toStdString());
  EXPECT_EQ(kde.arguments, std::vector<std::string>{"kcm_mouse"});
  // A desktop whose own program is missing falls back to one that is there.
  EXPECT_EQ(find_mouse_settings_command("GNOME", {dir.path()}).program, dir.filePath("kcmshell6").toStdString());
}
