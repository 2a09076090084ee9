#include "toolkit/qt/qt_form_binding.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTextBlock>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/qt/qt_test_app.h"
#include "toolkit/memo.h"
#include "toolkit/std_controls.h"

namespace {

using namespace toolkit;

// A small window with one control of each kind, two of them on a panel.
class TestForm : public TForm {
 public:
  TestForm() : TForm(nullptr, "TestForm") {
    SetCaption("Test v1");
    ClientWidth = 400;
    ClientHeight = 300;
    Left = 20;
    Top = 30;
    MaximizeButton = false;
    AutoScroll = true;
    Panel->Bounds = {10, 10, 200, 120};
    Button->Bounds = {5, 5, 90, 25};
    Button->SetCaption("Status");
    Lamp->Bounds = {5, 40, 12, 12};
    Lamp->SetColor(clAppWorkSpace);
    Digits->Bounds = {220, 10, 60, 21};
    Digits->SetText("1");
    Digits->SetMaxLength(4);
    Digits->OnKeyPress = [this](TObject*, char& key) {
      seen.push_back(key);
      if (!(key >= '0' && key <= '9') && key != static_cast<char>(VK_BACK)) key = 0;
    };
    Free->Bounds = {220, 40, 60, 21};
    Combo->Bounds = {220, 70, 80, 21};
    Combo->SetItems({"COM1", "COM2", "COM3"});
    Combo->SetItemIndex(0);
    Check->Bounds = {220, 100, 80, 17};
    Check->SetCaption("Debug");
    Pane->Bounds = {10, 140, 300, 100};
    Pane->SetColor(clBlack);
    Pane->SetFontColor(clLime);
    Pane->SetReadOnly(true);
    Pane->Append("first");
    Bevel->Bounds = {320, 0, 2, 300};
    Bevel->Bevel = true;
  }

  TPanel* Panel = new TPanel(this, this, "Panel2");
  TButton* Button = new TButton(this, Panel, "StatusBtn");
  TLabel* Lamp = new TLabel(this, Panel, "D1");
  TEdit* Digits = new TEdit(this, this, "EdiOutBill");
  TEdit* Free = new TEdit(this, this, "Edit1");
  TComboBox* Combo = new TComboBox(this, this, "ComboBox1");
  TCheckBox* Check = new TCheckBox(this, this, "Debug");
  TMemo* Pane = new TMemo(this, this, "Memo1");
  TPanel* Bevel = new TPanel(this, this, "Panel1");
  std::vector<char> seen;
};

class FormBindingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    binding.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(binding.Window()));
  }

  template <typename W>
  W* Widget(const TControl& control) {
    auto* widget = qobject_cast<W*>(binding.WidgetOf(control));
    EXPECT_NE(widget, nullptr) << control.Name;
    return widget;
  }

  qt_test::RecordingLoop loop;
  TestForm form;
  qt::FormBinding binding{form};
  std::vector<std::string> events;
};

TEST_F(FormBindingTest, WindowFollowsTheForm) {
  QWidget* window = binding.Window();
  EXPECT_EQ(window->windowTitle(), "Test v1");
  EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowSystemMenuHint));
  auto* scroll = qobject_cast<QScrollArea*>(window);
  ASSERT_NE(scroll, nullptr);
  EXPECT_EQ(scroll->viewport()->size(), QSize(400, 300));
  EXPECT_EQ(scroll->widget()->size(), QSize(400, 300));
  EXPECT_EQ(scroll->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);

  // Positions are relative to the parent control.
  auto* button = Widget<QPushButton>(*form.Button);
  EXPECT_EQ(button->parentWidget(), binding.WidgetOf(*form.Panel));
  EXPECT_EQ(button->geometry(), QRect(5, 5, 90, 25));
  EXPECT_EQ(binding.WidgetOf(*form.Panel)->geometry(), QRect(10, 10, 200, 120));
  EXPECT_EQ(Widget<QFrame>(*form.Bevel)->frameShadow(), QFrame::Sunken);
  EXPECT_EQ(Widget<QLineEdit>(*form.Digits)->maxLength(), 4);
  EXPECT_EQ(Widget<QPlainTextEdit>(*form.Pane)->maximumBlockCount(),
            static_cast<int>(PaneLineLimit));

  form.SetCaption("");
  EXPECT_EQ(window->windowTitle(), "");
}

TEST_F(FormBindingTest, ClosingTheWindowClosesTheForm) {
  bool closed = false;
  form.OnClose = [&](TObject*) { closed = true; };
  binding.Window()->close();
  EXPECT_TRUE(closed);
  EXPECT_TRUE(form.Closed());
  EXPECT_TRUE(loop.Terminated());
}

TEST_F(FormBindingTest, ButtonKeyDownCarriesTheVirtualKeyAndShiftState) {
  form.Button->OnKeyDown = [&](TObject*, std::uint16_t& key, TShiftState shift) {
    events.push_back("key " + std::to_string(key) + " shift " + std::to_string(shift));
  };
  auto* button = Widget<QPushButton>(*form.Button);
  const auto press = [button](int key, Qt::KeyboardModifiers modifiers) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(button, &event);
  };
  press(Qt::Key_A, Qt::ControlModifier);
  press(Qt::Key_Shift, Qt::ShiftModifier);  // a modifier alone is a key down too
  press(Qt::Key_Space, Qt::ShiftModifier | Qt::AltModifier);
  press(Qt::Key_MediaPlay, Qt::NoModifier);  // no virtual key: not reported
  EXPECT_EQ(events,
            (std::vector<std::string>{"key 65 shift 4", "key 16 shift 1", "key 32 shift 3"}));
}

TEST_F(FormBindingTest, SpaceKeyDownComesBeforeTheClickItMakes) {
  form.Button->OnKeyDown = [&](TObject*, std::uint16_t& key, TShiftState) {
    events.push_back("down " + std::to_string(key));
  };
  form.Button->OnClick = [&](TObject*) { events.push_back("click"); };
  auto* button = Widget<QPushButton>(*form.Button);
  QTest::keyPress(button, Qt::Key_Space);
  EXPECT_EQ(events, std::vector<std::string>{"down 32"});
  QTest::keyRelease(button, Qt::Key_Space);
  EXPECT_EQ(events, (std::vector<std::string>{"down 32", "click"}));
  // Enter presses a focused button on key down.
  QTest::keyClick(button, Qt::Key_Return);
  EXPECT_EQ(events, (std::vector<std::string>{"down 32", "click", "down 13", "click"}));
}

TEST_F(FormBindingTest, MouseClickReachesOnlyAnEnabledButton) {
  int clicks = 0;
  form.Button->OnClick = [&](TObject*) { ++clicks; };
  auto* button = Widget<QPushButton>(*form.Button);
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
  form.Button->SetEnabled(false);
  EXPECT_FALSE(button->isEnabled());
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
}

TEST_F(FormBindingTest, AnErrorInAHandlerIsShownAndTheNextEventRuns) {
  int clicks = 0;
  form.Button->OnClick = [&](TObject*) {
    if (++clicks == 1) throw std::runtime_error("'' is not a valid integer value");
  };
  auto* button = Widget<QPushButton>(*form.Button);
  QTest::mouseClick(button, Qt::LeftButton);
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(loop.errors, std::vector<std::string>{"'' is not a valid integer value"});
}

TEST_F(FormBindingTest, TypedCharactersPassTheKeyPressHandler) {
  auto* edit = Widget<QLineEdit>(*form.Digits);
  form.Digits->SetText("");
  QTest::keyClicks(edit, "12a456");
  EXPECT_EQ(form.seen, (std::vector<char>{'1', '2', 'a', '4', '5', '6'}));
  EXPECT_EQ(form.Digits->Text(), "1245");  // 'a' swallowed, '6' over the limit
  EXPECT_EQ(edit->text(), "1245");
  QTest::keyClick(edit, Qt::Key_Backspace);
  EXPECT_EQ(form.Digits->Text(), "124");
  EXPECT_EQ(edit->text(), "124");
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(form.seen.back(), '\r');
  EXPECT_EQ(form.Digits->Text(), "124");
}

TEST_F(FormBindingTest, PasteKeyIsFilteredButTheMenuPasteIsNot) {
  QGuiApplication::clipboard()->setText("x9");
  auto* digits = Widget<QLineEdit>(*form.Digits);
  QTest::keyClick(digits, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(form.seen, std::vector<char>{0x16});
  EXPECT_EQ(form.Digits->Text(), "1");

  // What the context menu's Paste does.
  digits->end(false);
  digits->paste();
  EXPECT_EQ(form.Digits->Text(), "1x9");

  auto* free = Widget<QLineEdit>(*form.Free);
  QTest::keyClicks(free, "ab");
  QTest::keyClick(free, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(form.Free->Text(), "abx9");
  EXPECT_EQ(free->text(), "abx9");
}

TEST_F(FormBindingTest, CheckBoxClickTogglesTheControl) {
  int clicks = 0;
  form.Check->OnClick = [&](TObject*) { ++clicks; };
  auto* check = Widget<QCheckBox>(*form.Check);
  QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(5, check->height() / 2));
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(form.Check->Checked());
  EXPECT_TRUE(check->isChecked());
  form.Check->SetChecked(false);
  EXPECT_FALSE(check->isChecked());
}

TEST_F(FormBindingTest, ComboSelectionAndTypedText) {
  auto* combo = Widget<QComboBox>(*form.Combo);
  EXPECT_EQ(combo->count(), 3);
  EXPECT_EQ(combo->currentText(), "COM1");
  QTest::keyClick(combo, Qt::Key_Down);
  EXPECT_EQ(form.Combo->ItemIndex(), 1);
  EXPECT_EQ(form.Combo->Text(), "COM2");

  QTest::keyClick(combo->lineEdit(), Qt::Key_Backspace);
  QTest::keyClicks(combo->lineEdit(), "7");
  EXPECT_EQ(form.Combo->ItemIndex(), -1);
  EXPECT_EQ(form.Combo->Text(), "COM7");
  EXPECT_EQ(combo->currentText(), "COM7");

  form.Combo->SetItemIndex(2);
  EXPECT_EQ(combo->currentIndex(), 2);
  EXPECT_EQ(combo->currentText(), "COM3");
}

TEST_F(FormBindingTest, PaneShowsTheControlsLinesAndItsClick) {
  auto* pane = Widget<QPlainTextEdit>(*form.Pane);
  EXPECT_EQ(pane->toPlainText(), "first");
  EXPECT_TRUE(pane->isReadOnly());
  EXPECT_EQ(pane->palette().color(QPalette::Base), QColor(0, 0, 0));
  EXPECT_EQ(pane->palette().color(QPalette::Text), QColor(0, 255, 0));
  form.Pane->Append("Rx : 02 30 31");
  EXPECT_EQ(pane->toPlainText(), "first\nRx : 02 30 31");

  form.Pane->OnClick = [&](TObject*) { form.Pane->Clear(); };
  QTest::mouseClick(pane->viewport(), Qt::LeftButton);
  EXPECT_EQ(form.Pane->LineCount(), 0u);
  EXPECT_EQ(pane->toPlainText(), "");
  form.Pane->Append("again");
  EXPECT_EQ(pane->toPlainText(), "again");
  form.Pane->SetReadOnly(false);
  EXPECT_FALSE(pane->isReadOnly());
}

TEST_F(FormBindingTest, PaneDropsItsOldestLinesWithTheControl) {
  auto* pane = Widget<QPlainTextEdit>(*form.Pane);
  for (std::size_t i = 0; i < PaneLineLimit + 5; ++i) form.Pane->Append(std::to_string(i));
  EXPECT_EQ(static_cast<std::size_t>(pane->blockCount()), form.Pane->LineCount());
  EXPECT_EQ(pane->document()->firstBlock().text().toStdString(), form.Pane->Lines().front());
  EXPECT_EQ(pane->document()->lastBlock().text().toStdString(), form.Pane->LastLine());
}

TEST_F(FormBindingTest, StateChangesAreMirrored) {
  auto* button = Widget<QPushButton>(*form.Button);
  form.Button->SetCaption("Stop");
  EXPECT_EQ(button->text(), "Stop");
  EXPECT_EQ(button->accessibleName(), "Stop");
  EXPECT_EQ(button->accessibleDescription(), "StatusBtn");
  form.Button->SetAccessibleName("Status poll");
  EXPECT_EQ(button->accessibleName(), "Status poll");

  auto* lamp = Widget<QLabel>(*form.Lamp);
  EXPECT_TRUE(lamp->autoFillBackground());
  EXPECT_EQ(lamp->palette().color(QPalette::Window), QColor(0xAB, 0xAB, 0xAB));
  form.Lamp->SetColor(clRed);
  EXPECT_EQ(lamp->palette().color(QPalette::Window), QColor(255, 0, 0));
  form.Lamp->SetFontColor(clBlue);
  EXPECT_EQ(lamp->palette().color(QPalette::WindowText), QColor(0, 0, 255));
  form.Lamp->SetCaption("87");
  EXPECT_EQ(lamp->text(), "87");

  form.Digits->SetEnabled(false);
  EXPECT_FALSE(Widget<QLineEdit>(*form.Digits)->isEnabled());
  form.Pane->SetVisible(false);
  EXPECT_FALSE(Widget<QPlainTextEdit>(*form.Pane)->isVisible());
  form.Pane->SetVisible(true);
  EXPECT_TRUE(Widget<QPlainTextEdit>(*form.Pane)->isVisible());
  form.Digits->SetText("77");
  EXPECT_EQ(Widget<QLineEdit>(*form.Digits)->text(), "77");
  form.SetCaption("RM460 v2.0");
  EXPECT_EQ(binding.Window()->windowTitle(), "RM460 v2.0");
}

TEST(FormBindingFonts, BoldAndScaleComeFromTheControl) {
  qt_test::RecordingLoop loop;
  TForm form(nullptr, "Form");
  auto* big = new TEdit(&form, &form, "EdiOutBill");
  big->SetFontScale(3);
  auto* bold = new TButton(&form, &form, "DipBtn");
  bold->SetFontBold(true);
  auto* plain = new TLabel(&form, &form, "Label1");
  qt::FormBinding binding(form);
  const QFont base = binding.WidgetOf(*plain)->font();
  EXPECT_FALSE(base.bold());
  EXPECT_EQ(binding.WidgetOf(*big)->font().pixelSize(), 3 * base.pixelSize());
  EXPECT_TRUE(binding.WidgetOf(*bold)->font().bold());
}

}  // namespace
