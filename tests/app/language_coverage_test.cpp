// The language file has a text for every key the program can show: every language-key
// text, tooltip and list item of every skin, and every key the code names.

#include <QComboBox>
#include <QDirIterator>
#include <QFile>
#include <QMenu>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include "app/toolkit/resources.h"
#include "app/toolkit/skin_loader.h"
#include "app/toolkit/widget_access.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/skin_files.h"

using namespace norvane;
using namespace norvane::testing;

namespace {

const char* const kSkins[] = {"main.xml", "msg.xml", "DpiColorDialog.xml", "DPImsg.xml", "traymenu.xml",
                              "MS/MS_1/ms_1_page.xml"};

class LanguageCoverageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test_app();
    resources().set_folder(source_res_folder());
    ASSERT_TRUE(resources().load_language("lan.xml"));
  }
  void TearDown() override { resources().shut_down(); }

  void expect_known(const QString& key, const QString& where) {
    if (!key.isEmpty()) EXPECT_TRUE(resources().language().contains(key)) << qPrintable(where + ": " + key);
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
  for (const char* folder : {"app", "settings", "buttons", "device", "storage", "macros", "protocol"}) {
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

}  // namespace
