// The language file has a text for every key the program can show: every language-key
// text, tooltip and list item of every skin, every key the code names, and every key
// name a stored key code or virtual key can be shown with.

#include <QComboBox>
#include <QDirIterator>
#include <QFile>
#include <QMenu>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/toolkit/resources.h"
#include "app/toolkit/skin_loader.h"
#include "app/toolkit/widget_access.h"
#include "macros/key_codes.h"
#include "macros/xkb_keyboard_layout.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/skin_files.h"

using namespace norvane;
using namespace norvane::testing;

namespace {

const char* const kSkins[] = {"main.xml", "msg.xml", "DpiColorDialog.xml", "DPImsg.xml", "traymenu.xml",
                              "shortcut.xml", "MS/MS_1/ms_1_page.xml", "MS/MS_1/ms_1_macropage.xml",
                              "keylistitem.xml", "MS/MS_1/profilename.xml", "MS/MS_1/ms_1_menu.xml",
                              "MS/MS_1/selectmacro.xml"};

class LanguageCoverageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test_app();
    resources().set_folder(source_res_folder());
    ASSERT_TRUE(resources().load_language("lan.xml"));
  }
  void TearDown() override { resources().shut_down(); }

  void expect_known(const QString& key, const QString& where) {
    if (!key.isEmpty()) {
      EXPECT_TRUE(resources().language().contains(key)) << qPrintable(where + ": " + key);
    }
  }
};

TEST_F(LanguageCoverageTest, EverySkinTextIsInTheLanguageFile) {
  int keys = 0;
  for (const char* skin : kSkins) {
    std::unique_ptr<QWidget> root(load_skin(skin));
    ASSERT_NE(root, nullptr) << skin;
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root.get());
    for (QWidget* w : widgets) {
      if (!detail::resource_mode(w)) continue;
      const QString where = QString::fromLatin1(skin) + " " + w->objectName();
      for (const char* property : {detail::kTextKey, detail::kTipKey}) {
        const QString key = w->property(property).toString();
        expect_known(key, where);
        keys += key.isEmpty() ? 0 : 1;
      }
      if (auto* combo = qobject_cast<QComboBox*>(w)) {
        for (int i = 0; i < combo->count(); ++i) expect_known(combo->itemData(i, detail::kItemKeyRole).toString(), where);
      }
      if (auto* menu = qobject_cast<QMenu*>(w)) {
        for (QAction* a : menu->actions()) {
          if (!a->isSeparator()) expect_known(a->property(detail::kTextKey).toString(), where);
          keys += a->isSeparator() ? 0 : 1;
        }
      }
    }
  }
  EXPECT_GT(keys, 100);  // the skins were read as language-key skins at all
}

TEST_F(LanguageCoverageTest, EveryKeyTheCodeNamesIsInTheLanguageFile) {
  static const QRegularExpression key_literal(QStringLiteral("\"([a-z0-9_]+_text)\""));
  int found = 0;
  for (const char* folder : {"core", "app", "settings", "buttons", "device", "storage", "macros", "protocol",
                             "input_capture"}) {
    QDirIterator it(QStringLiteral(NORVANE_SOURCE_DIR) + "/" + folder, {"*.cpp", "*.h"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
      QFile f(it.next());
      ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << qPrintable(f.fileName());
      const QString source = QString::fromUtf8(f.readAll());
      for (auto m = key_literal.globalMatch(source); m.hasNext();) {
        expect_known(m.next().captured(1), f.fileName());
        ++found;
      }
    }
  }
  EXPECT_GT(found, 10);
}

TEST_F(LanguageCoverageTest, EveryKeyNameIsInTheLanguageFile) {
  // Ask for the name of every code and every virtual key and collect the language keys
  // looked up on the way.
  const auto layout = XkbKeyboardLayout::compile({"evdev", "pc105", "us", "", ""});
  ASSERT_NE(layout, nullptr);
  std::set<std::string> asked;
  const LanguageTextUtf8Fn collect = [&asked](std::string_view key) {
    asked.insert(std::string(key));
    return std::string();
  };
  for (uint32_t code = 0; code < 256; ++code) key_name_from_code(code, *layout, collect);
  for (uint32_t vk = 0; vk < 256; ++vk) key_name_from_vk(vk, *layout, collect);
  for (const std::string& key : asked) expect_known(QString::fromStdString(key), QStringLiteral("key names"));
  for (const char* key : {"key_F12", "key_\\", "`", "Sleep", "Kana/Roma", "L_Button", "R_Button", "M_Button",
                          "Forward_Button", "Backward_Button", "key_Caplk", "key_Num_Enter"}) {
    EXPECT_EQ(asked.count(key), 1u) << key;
  }
}

}  // namespace
