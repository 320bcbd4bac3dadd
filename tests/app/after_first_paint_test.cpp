// Work held back until the main window's first paint.
#include <gtest/gtest.h>

#include <QWidget>
#include <memory>

#include "app/startup_probe.h"
#include "tests/support/qt_test_app.h"

using namespace norvane;
using norvane::testing::flush_events;
using norvane::testing::run_events_until;
using norvane::testing::test_app;

namespace {

// A widget that counts its paints, so the test can tell what ran before the first.
class CountingWidget : public QWidget {
 public:
  int paints = 0;

 protected:
  void paintEvent(QPaintEvent*) override { ++paints; }
};

class AfterFirstPaintTest : public ::testing::Test {
 protected:
  void SetUp() override { test_app(); }
};

TEST_F(AfterFirstPaintTest, RunsOnceAfterTheFirstPaintOfAShownWindow) {
  CountingWidget window;
  window.resize(200, 100);
  int runs = 0;
  int paints_seen = -1;
  after_first_paint(&window, [&] {
    ++runs;
    paints_seen = window.paints;
  });
  window.show();
  ASSERT_TRUE(run_events_until([&] { return runs > 0; }));
  EXPECT_GE(paints_seen, 1) << "the window was painted before the work ran";
  window.update();
  flush_events();
  flush_events();
  EXPECT_EQ(runs, 1);
}

TEST_F(AfterFirstPaintTest, AWindowThatStartsHiddenDoesNotHoldTheWorkBack) {
  CountingWidget window;
  int runs = 0;
  after_first_paint(&window, [&] { ++runs; });
  ASSERT_TRUE(run_events_until([&] { return runs > 0; }));
  EXPECT_EQ(window.paints, 0);
  window.show();
  flush_events();
  EXPECT_EQ(runs, 1);
}

TEST_F(AfterFirstPaintTest, AWindowGoneBeforeItsPaintTakesTheWorkWithIt) {
  int runs = 0;
  {
    auto window = std::make_unique<CountingWidget>();
    after_first_paint(window.get(), [&] { ++runs; });
    window->show();
  }
  flush_events();
  flush_events();
  EXPECT_EQ(runs, 0);
}

}  // namespace
