#include "toolkit/qt/qt_keys.h"

#include <gtest/gtest.h>

namespace {

using toolkit::qt::ShiftStateOf;
using toolkit::qt::VirtualKeyOf;

struct KeyCase {
  int key;
  Qt::KeyboardModifiers modifiers;
  std::uint16_t code;
};

TEST(VirtualKeys, QtKeysMapToVirtualKeyCodes) {
  const KeyCase cases[] = {
      {Qt::Key_Space, Qt::NoModifier, 0x20},     {Qt::Key_Space, Qt::ShiftModifier, 0x20},
      {Qt::Key_A, Qt::NoModifier, 'A'},          {Qt::Key_Z, Qt::ControlModifier, 'Z'},
      {Qt::Key_0, Qt::NoModifier, '0'},          {Qt::Key_7, Qt::NoModifier, '7'},
      {Qt::Key_7, Qt::KeypadModifier, 0x67},  // the number pad's 7
      {Qt::Key_Exclam, Qt::ShiftModifier, '1'},  {Qt::Key_Return, Qt::NoModifier, 0x0D},
      {Qt::Key_Enter, Qt::KeypadModifier, 0x0D}, {Qt::Key_Backspace, Qt::NoModifier, 0x08},
      {Qt::Key_Escape, Qt::NoModifier, 0x1B},    {Qt::Key_Shift, Qt::ShiftModifier, 0x10},
      {Qt::Key_Left, Qt::NoModifier, 0x25},      {Qt::Key_Delete, Qt::NoModifier, 0x2E},
      {Qt::Key_F1, Qt::NoModifier, 0x70},        {Qt::Key_F12, Qt::NoModifier, 0x7B},
      {Qt::Key_Comma, Qt::NoModifier, 0xBC},     {Qt::Key_MediaPlay, Qt::NoModifier, 0},
  };
  for (const KeyCase& c : cases) {
    EXPECT_EQ(VirtualKeyOf(c.key, c.modifiers), c.code) << "Qt key 0x" << std::hex << c.key;
  }
}

TEST(VirtualKeys, ModifiersMapToShiftState) {
  EXPECT_EQ(ShiftStateOf(Qt::NoModifier), 0u);
  EXPECT_EQ(ShiftStateOf(Qt::ShiftModifier), toolkit::ssShift);
  EXPECT_EQ(ShiftStateOf(Qt::ControlModifier | Qt::AltModifier), toolkit::ssCtrl | toolkit::ssAlt);
  // Qt leaves a modifier key's own flag off while it goes down.
  EXPECT_EQ(ShiftStateOf(Qt::NoModifier, Qt::Key_Shift), toolkit::ssShift);
  EXPECT_EQ(ShiftStateOf(Qt::ShiftModifier, Qt::Key_Control), toolkit::ssShift | toolkit::ssCtrl);
  // The number pad is no shift state.
  EXPECT_EQ(ShiftStateOf(Qt::KeypadModifier), 0u);
}

}  // namespace
