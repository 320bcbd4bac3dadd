// Skins: language keys shown as their texts, resource-text mode per control, includes,
// background images and colours, list rows.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QLabel>
#include <QListWidget>
#include <QStackedWidget>
#include <QTest>

#include "app/toolkit/language_table.h"
#include "app/toolkit/resources.h"
#include "tests/app/toolkit/test_window.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/skin_folder.h"

using namespace norvane;
using namespace norvane::testing;

namespace {

const char kMain[] = R"(
 <item><widget class="QLabel" name="title"><property name="text"><string>mouse_name_text</string></property></widget></item>
 <item><widget class="QLabel" name="ms_1_label_power"><property name="text"><string>charging_text</string></property></widget></item>
 <item><widget class="QLabel" name="plain"><property name="resourcetext" stdset="0"><bool>false</bool></property>
   <property name="text"><string>mouse_name_text</string></property></widget></item>
 <item><widget class="QStackedWidget" name="device_tab_switch">
   <widget class="QWidget" name="page_slot"><property name="include" stdset="0"><string>MS/MS_1/page.xml</string></property></widget>
   <widget class="QWidget" name="missing_slot"><property name="include" stdset="0"><string>MS/MS_1/none.xml</string></property></widget>
 </widget></item>
 <item><widget class="QListWidget" name="ms_1_list_profile"/></item>
 <item><widget class="QLineEdit" name="ms_1_edit_dpi_1"/></item>
)";

const char kRoot[] = R"(<property name="resourcetext" stdset="0"><bool>true</bool></property>)";

class SkinsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test_app();
    skins.write_language({{"mouse_name_text", "Norvane M1"}, {"charging_text", "Charging"}, {"ok_text", "OK"}});
    skins.write("main.xml", ui_document("main", kMain, 800, 572, kRoot));
    skins.write("MS/MS_1/page.xml",
                ui_document("ms_1_page", R"(<item><widget class="QLabel" name="ms_1_sleep_label">
                  <property name="text"><string>ok_text</string></property></widget></item>)"));
    skins.write("keylistitem.xml", ui_document("keylistitem", R"(
      <item><widget class="QLabel" name="key"/></item><item><widget class="QLabel" name="delay"/></item>)", 300, 30));
    ASSERT_TRUE(window.create(nullptr, "", WindowStyle::kNone));
  }
  TempSkinFolder skins;
  TestWindow window{"Norvane", "main.xml"};
};

TEST_F(SkinsTest, LanguageKeysShowTheirTexts) {
  EXPECT_EQ(window.find("title").shown_text(), "Norvane M1");
  EXPECT_EQ(window.find("title").text(), "mouse_name_text");
  EXPECT_EQ(window.find("plain").shown_text(), "mouse_name_text");
  // Included skins inherit the mode and are translated too.
  EXPECT_EQ(window.find("ms_1_sleep_label").shown_text(), "OK");
  // An unknown key shows itself.
  window.find("title").set_text("no_such_text");
  EXPECT_EQ(window.find("title").shown_text(), "no_such_text");
}

TEST_F(SkinsTest, ControlsSwitchBetweenKeyAndPlainText) {
  Control power = window.find("ms_1_label_power");
  power.set_resource_text(false);
  power.set_text("57%");
  EXPECT_EQ(power.shown_text(), "57%");
  power.set_resource_text(true);
  power.set_text("charging_text");
  EXPECT_EQ(power.shown_text(), "Charging");
  power.set_resource_text(false);  // the key stays, shown as is
  EXPECT_EQ(power.shown_text(), "charging_text");
}

TEST_F(SkinsTest, EditsHoldWhatWasTypedEvenInResourceTextSkins) {
  Control edit = window.find("ms_1_edit_dpi_1");
  edit.set_text("1600");
  EXPECT_FALSE(edit.is_resource_text());
  QTest::keyClicks(edit.widget(), "5");
  EXPECT_EQ(edit.text(), "16005");
  edit.set_text("ok_text");  // a key-like value stays as it is
  EXPECT_EQ(edit.shown_text(), "ok_text");
}

TEST_F(SkinsTest, ReloadingTheLanguageRetranslatesOpenWindows) {
  skins.write_language({{"mouse_name_text", "Maus"}});
  EXPECT_EQ(window.find("title").shown_text(), "Maus");
}

TEST_F(SkinsTest, IncludeLoadsThePageAndAMissingIncludeLeavesThePlaceholderEmpty) {
  Control page = window.find("ms_1_page");
  ASSERT_TRUE(page.valid());
  EXPECT_EQ(page.widget()->parentWidget(), window.find("page_slot").widget());
  EXPECT_TRUE(window.find("missing_slot").valid());
  EXPECT_TRUE(window.find("missing_slot").widget()->findChildren<QWidget*>().isEmpty());

  Control tabs = window.find("device_tab_switch");
  tabs.select_item(-1);
  EXPECT_EQ(tabs.selected_item(), -1);
  EXPECT_TRUE(page.widget()->isHidden() || window.find("page_slot").widget()->isHidden());
  tabs.select_item(0);
  EXPECT_EQ(tabs.selected_item(), 0);
  EXPECT_FALSE(window.find("page_slot").widget()->isHidden());
  // The page shown fills the stack, also when it was never the current page before.
  tabs.select_item(1);
  EXPECT_EQ(window.find("missing_slot").widget()->geometry(), tabs.widget()->contentsRect());
}

TEST_F(SkinsTest, BackgroundImageAttributesPlaceTheImage) {
  Control label = window.find("title");
  label.set_bk_image("res='skins/move.png' dest='2,2,28,28'");
  EXPECT_EQ(label.bk_image(), "res='skins/move.png' dest='2,2,28,28'");
  auto* image = label.widget()->findChild<QLabel*>("nv_bkimage_label");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->geometry(), QRect(2, 2, 26, 26));
  label.set_bk_image("");
  EXPECT_EQ(label.widget()->findChild<QLabel*>("nv_bkimage_label"), nullptr);

  label.set_bk_color(0xFF00FFFF);
  EXPECT_EQ(label.bk_color(), 0xFF00FFFFu);
  EXPECT_TRUE(label.widget()->styleSheet().contains("rgba(0, 255, 255, 255)"));
}

TEST_F(SkinsTest, ListRowsAreAddedSelectedAndRemoved) {
  Control list = window.find("ms_1_list_profile");
  list.add_label_row("Profile 1", 22);
  list.add_label_row("charging_text", 22);  // names are shown as they are
  Control row = list.add_row_from_skin("keylistitem.xml", 30);
  ASSERT_TRUE(row.valid());
  row.find("key").set_text("A");
  EXPECT_EQ(list.row_count(), 3);
  EXPECT_EQ(list.row_text(1), "charging_text");
  list.set_row_text(0, "Profile One");
  EXPECT_EQ(list.row_text(0), "Profile One");
  EXPECT_EQ(list.row_text(2), "") << "a skin row has no text of its own";
  EXPECT_FALSE(list.row(0).valid()) << "a label row is the list's item, not a widget";
  EXPECT_EQ(list.row(2).find("key").shown_text(), "A");
  EXPECT_EQ(qobject_cast<QListWidget*>(list.widget())->item(0)->sizeHint().height(), 22);
  list.row(2).set_fixed_height(40);
  EXPECT_EQ(qobject_cast<QListWidget*>(list.widget())->item(2)->sizeHint().height(), 40);

  list.select_item(2);
  list.ensure_row_visible(2);
  EXPECT_TRUE(list.remove_row(0));
  EXPECT_FALSE(list.remove_row(5));
  EXPECT_EQ(list.row_count(), 2);
  EXPECT_EQ(list.selected_item(), 1);
  list.remove_all_rows();
  EXPECT_EQ(list.row_count(), 0);
  EXPECT_TRUE(window.notifications.received.empty());
}

TEST(LanguageTableTest, DamagedFileKeepsWhatWasReadBeforeTheDamage) {
  QByteArray xml = "<Language><Text key=\"a_text\">A &amp; B</Text><Text key=\"b_text\">B</Text><Text key=";
  QBuffer buffer(&xml);
  buffer.open(QIODevice::ReadOnly);
  LanguageTable table;
  QString error;
  EXPECT_FALSE(table.load(buffer, &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(table.text("a_text"), "A & B");
  EXPECT_EQ(table.text("b_text"), "B");
  EXPECT_EQ(table.text_or_key("c_text"), "c_text");
  EXPECT_TRUE(table.text("c_text").isEmpty());
}

}  // namespace
