// The colour dialog: typed components are clamped and written back, swatches and the
// palette set the colour, confirm stores it as a COLORREF, cancel changes nothing, and
// the dialog opens where the user can reach it.

#include "settings/dpi_color_wnd.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include "settings/color_components.h"
#include "tests/support/modal_driver.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/skin_files.h"
#include "tests/support/skin_folder.h"

using namespace norvane;
using namespace norvane::testing;

namespace {

// An owner window with one colour button.
class OwnerWindow : public WindowBase {
 public:
  QString window_class_name() const override { return "Owner"; }
  QString skin_file() const override { return "owner.xml"; }
};

void type_into(WindowBase& w, const char* edit_name, const char* text) {
  auto* edit = qobject_cast<QLineEdit*>(w.find(edit_name).widget());
  ASSERT_NE(edit, nullptr);
  edit->selectAll();
  QTest::keyClicks(edit, text);
}

class ColorDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test_app();
    skins.write("DpiColorDialog.xml", source_skin("DpiColorDialog.xml"));
    skins.write("owner.xml",
                ui_document("owner", R"(<item><widget class="QPushButton" name="color_btn"/></item>)", 400, 300));
    ASSERT_TRUE(owner.create(nullptr, "", WindowStyle::kPopup | WindowStyle::kVisible, QSize(), QPoint(300, 200)));
  }
  Control button() { return owner.find("color_btn"); }

  TempSkinFolder skins;
  OwnerWindow owner;
};

TEST_F(ColorDialogTest, TypedComponentsAreClampedWrittenBackAndShown) {
  uint32_t colorref = 0x000000;
  QString after_300, after_minus_5, red_after_letters;
  uint32_t shown_after_300 = 0, palette_after_300 = 0, color_after_all = 0;
  ModalDriver driver;
  driver.on_next("DpiColorWnd", [&](WindowBase& w) {
    type_into(w, "g_edit", "300");
    after_300 = w.find("g_edit").text();
    shown_after_300 = w.find("color_show_control").bk_color();
    palette_after_300 = w.find("ColorPallet").color();
    type_into(w, "b_edit", "-5");
    after_minus_5 = w.find("b_edit").text();
    type_into(w, "r_edit", "12a");  // reading stops at the letter; in range, so left as typed
    red_after_letters = w.find("r_edit").text();
    color_after_all = static_cast<CDpiColorWnd&>(w).color();
    w.find("confirm_btn").click();
  });
  EXPECT_TRUE(run_color_dialog(owner, button(), colorref));
  EXPECT_EQ(after_300, "255");
  EXPECT_EQ(shown_after_300, 0xFF00FF00u);
  EXPECT_EQ(palette_after_300, 0xFF00FF00u);
  EXPECT_EQ(after_minus_5, "0");
  EXPECT_EQ(red_after_letters, "12a");
  EXPECT_EQ(color_after_all, 0xFF0CFF00u);
  EXPECT_EQ(colorref, 0x00FF0Cu);  // COLORREF: red in byte 0
}

TEST_F(ColorDialogTest, SwatchElevenConfirmedStoresRed) {
  uint32_t colorref = 0x00FF00;  // green to start with
  QString r, g, b;
  ModalDriver driver;
  driver.on_next("DpiColorWnd", [&](WindowBase& w) {
    EXPECT_EQ(w.find("g_edit").text(), "255");  // seeded from the record
    w.find("mouse_dpi_color_11").click();
    r = w.find("r_edit").text();
    g = w.find("g_edit").text();
    b = w.find("b_edit").text();
    EXPECT_EQ(w.find("ColorPallet").color(), 0xFFFF0000u);
    EXPECT_EQ(w.find("color_show_control").bk_color(), 0xFFFF0000u);
    w.find("confirm_btn").click();
  });
  EXPECT_TRUE(run_color_dialog(owner, button(), colorref));
  EXPECT_EQ(colorref, 0x0000FFu);
  EXPECT_EQ((QStringList{r, g, b}), (QStringList{"255", "0", "0"}));
}

TEST_F(ColorDialogTest, CancelChangesNothing) {
  uint32_t colorref = 0x563412;
  ModalDriver driver;
  driver.on_next("DpiColorWnd", [&](WindowBase& w) {
    w.find("mouse_dpi_color_3").click();
    type_into(w, "r_edit", "7");
    w.find("cancel_btn").click();
  });
  EXPECT_FALSE(run_color_dialog(owner, button(), colorref));
  EXPECT_EQ(colorref, 0x563412u);
}

TEST_F(ColorDialogTest, SwatchesShowTheirPresetsAndThePaletteDrivesTheEdits) {
  uint32_t colorref = 0x0000FF;  // red: full value, so a pick in the hue field gives a bright colour
  ModalDriver driver;
  driver.on_next("DpiColorWnd", [&](WindowBase& w) {
    for (int i = 0; i < kColorSwatches; ++i) {
      EXPECT_EQ(w.find(QStringLiteral("mouse_dpi_color_%1").arg(i + 1)).bk_color(),
                kColorSwatchPresets[static_cast<size_t>(i)]);
    }
    QWidget* palette = w.find("ColorPallet").widget();
    ASSERT_NE(palette, nullptr);
    QTest::mousePress(palette, Qt::LeftButton, {}, QPoint(palette->width() / 4, palette->height() / 3));
    QTest::mouseRelease(palette, Qt::LeftButton, {}, QPoint(palette->width() / 4, palette->height() / 3));
    const uint32_t picked = w.find("ColorPallet").color();
    EXPECT_NE(picked, 0xFFFF0000u);
    EXPECT_EQ(static_cast<CDpiColorWnd&>(w).color(), picked);
    EXPECT_EQ(w.find("r_edit").text(), QString::number(component_of(picked, ColorChannel::kRed)));
    EXPECT_EQ(w.find("g_edit").text(), QString::number(component_of(picked, ColorChannel::kGreen)));
    EXPECT_EQ(w.find("b_edit").text(), QString::number(component_of(picked, ColorChannel::kBlue)));
    w.find("confirm_btn").click();
  });
  EXPECT_TRUE(run_color_dialog(owner, button(), colorref));
  EXPECT_NE(colorref, 0x0000FFu);
}

TEST_F(ColorDialogTest, OpensUnderTheButtonAndStaysOnScreen) {
  const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
  QRect placed;
  ModalDriver driver;
  driver.on_next("DpiColorWnd", [&](WindowBase& w) {
    placed = w.frame_rect();
    w.find("cancel_btn").click();
  });
  uint32_t colorref = 0;
  run_color_dialog(owner, button(), colorref);
  const QRect at = button().screen_rect();
  EXPECT_EQ(placed, QRect(at.left() - 200, at.bottom() + 1, kColorDialogWidth, kColorDialogHeight));

  owner.move_to(QPoint(work.left(), work.bottom() - 20));  // button at the screen's bottom-left corner
  driver.on_next("DpiColorWnd", [&](WindowBase& w) {
    placed = w.frame_rect();
    w.find("cancel_btn").click();
  });
  run_color_dialog(owner, button(), colorref);
  EXPECT_TRUE(work.contains(placed)) << placed.x() << "," << placed.y();
}

}  // namespace

TEST(ColorComponents, ReadsTheLeadingNumberAndClampsIt) {
  struct Case {
    const char16_t* text;
    int value;
    bool clamped;
  };
  for (const Case& c : {Case{u"", 0, false}, Case{u"abc", 0, false}, Case{u"  42", 42, false},
                        Case{u"+7", 7, false}, Case{u"-0", 0, false}, Case{u"255", 255, false},
                        Case{u"256", 255, true}, Case{u"-1", 0, true}, Case{u"12x300", 12, false},
                        Case{u"99999999999999999999999", 255, true}, Case{u"-99999999999999999999", 0, true}}) {
    const TypedComponent t = read_typed_component(c.text);
    EXPECT_EQ(t.value, c.value) << QString::fromStdU16String(c.text).toStdString();
    EXPECT_EQ(t.clamped, c.clamped) << QString::fromStdU16String(c.text).toStdString();
  }
  EXPECT_EQ(with_component(0x00112233, ColorChannel::kGreen, 0xAB), 0xFF11AB33u);
  EXPECT_EQ(with_component(0xFF112233, ColorChannel::kRed, 300), 0xFFFF2233u);
}
