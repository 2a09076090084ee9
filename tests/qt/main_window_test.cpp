// The console's real main window on the Qt binding, offscreen.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/unit1.h"
#include "tests/qt/qt_test_app.h"
#include "toolkit/qt/qt_form_binding.h"

namespace {

using toolkit::TControl;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app::ResetProgramState();
    form = std::make_unique<app::TForm1>(nullptr);
    form->Created();
    binding = std::make_unique<toolkit::qt::FormBinding>(*form);
    binding->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(binding->Window()));
  }

  void TearDown() override {
    binding.reset();
    form.reset();
    app::ResetProgramState();
  }

  std::vector<TControl*> Controls() const {
    std::vector<TControl*> controls;
    for (int i = 0; i < form->ComponentCount(); ++i) {
      if (auto* c = dynamic_cast<TControl*>(form->Components(i))) controls.push_back(c);
    }
    return controls;
  }

  template <typename W>
  W* Widget(const TControl* control) const {
    return qobject_cast<W*>(binding->WidgetOf(*control));
  }

  qt_test::RecordingLoop loop;
  std::unique_ptr<app::TForm1> form;
  std::unique_ptr<toolkit::qt::FormBinding> binding;
};

bool Overlap(const toolkit::TBounds& a, const toolkit::TBounds& b) {
  return a.Left < b.Left + b.Width && b.Left < a.Left + a.Width && a.Top < b.Top + b.Height &&
         b.Top < a.Top + a.Height;
}

TEST_F(MainWindowTest, EveryControlHasItsPlaceInTheClientArea) {
  EXPECT_EQ(binding->Window()->windowTitle(), "RM460 v1.8");
  const auto controls = Controls();
  for (TControl* c : controls) {
    ASSERT_NE(binding->WidgetOf(*c), nullptr) << c->Name;
    const toolkit::TBounds& b = c->Bounds;
    EXPECT_GT(b.Width, 0) << c->Name;
    EXPECT_GT(b.Height, 0) << c->Name;
    // Inside its parent: the panel it sits on, or the 1146 x 439 client area.
    const bool onForm = c->Parent() == form.get();
    const int width = onForm ? form->ClientWidth : c->Parent()->Bounds.Width;
    const int height = onForm ? form->ClientHeight : c->Parent()->Bounds.Height;
    EXPECT_TRUE(b.Left >= 0 && b.Top >= 0 && b.Left + b.Width <= width &&
                b.Top + b.Height <= height)
        << c->Name << " at " << b.Left << "," << b.Top << " " << b.Width << "x" << b.Height;
  }
  for (std::size_t i = 0; i < controls.size(); ++i) {
    for (std::size_t j = i + 1; j < controls.size(); ++j) {
      if (controls[i]->Parent() != controls[j]->Parent()) continue;
      EXPECT_FALSE(Overlap(controls[i]->Bounds, controls[j]->Bounds))
          << controls[i]->Name << " overlaps " << controls[j]->Name;
    }
  }
}

TEST_F(MainWindowTest, SpaceOnExitIsSwallowedAndAMouseClickCloses) {
  auto* exit = Widget<QPushButton>(form->Exitbtn);
  ASSERT_NE(exit, nullptr);
  QTest::keyClick(exit, Qt::Key_Space);  // key down sets the latch, its click clears it
  EXPECT_FALSE(form->Closed());
  QTest::keyPress(exit, Qt::Key_Space);
  QTest::mouseClick(Widget<QPushButton>(form->Button2), Qt::LeftButton);  // not guarded
  QTest::mouseClick(exit, Qt::LeftButton);  // only clears the latch left by the key down
  EXPECT_FALSE(form->Closed());
  QTest::mouseClick(exit, Qt::LeftButton);
  EXPECT_TRUE(form->Closed());
  EXPECT_TRUE(loop.Terminated());
}

TEST_F(MainWindowTest, CountFieldTakesTypedDigitsOnly) {
  auto* count = Widget<QLineEdit>(form->EdiOutBill);
  ASSERT_NE(count, nullptr);
  QTest::keyClick(count, Qt::Key_Backspace);
  QTest::keyClicks(count, "12a4");
  EXPECT_EQ(form->EdiOutBill->Text(), "124");
  QTest::keyClicks(count, "56");
  EXPECT_EQ(form->EdiOutBill->Text(), "1245");
  EXPECT_EQ(count->text(), "1245");
}

TEST_F(MainWindowTest, DebugShowsAndHidesTheDebugPane) {
  auto* debug = Widget<QCheckBox>(form->Debug);
  QWidget* pane = binding->WidgetOf(*form->Memo3);
  EXPECT_FALSE(pane->isVisible());
  QTest::mouseClick(debug, Qt::LeftButton, {}, QPoint(5, debug->height() / 2));
  EXPECT_TRUE(pane->isVisible());
  QTest::mouseClick(debug, Qt::LeftButton, {}, QPoint(5, debug->height() / 2));
  EXPECT_FALSE(pane->isVisible());
}

}  // namespace
