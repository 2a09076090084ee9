#include "toolkit/qt/qt_keys.h"

#include <utility>

namespace toolkit::qt {
namespace {

// Keys that are not letters or digits, with their codes.
constexpr std::pair<int, std::uint16_t> kKeyTable[] = {
    {Qt::Key_Backspace, 0x08},   {Qt::Key_Tab, 0x09},          {Qt::Key_Backtab, 0x09},
    {Qt::Key_Clear, 0x0C},       {Qt::Key_Return, 0x0D},       {Qt::Key_Enter, 0x0D},
    {Qt::Key_Shift, 0x10},       {Qt::Key_Control, 0x11},      {Qt::Key_Alt, 0x12},
    {Qt::Key_Pause, 0x13},       {Qt::Key_CapsLock, 0x14},     {Qt::Key_Escape, 0x1B},
    {Qt::Key_Space, 0x20},       {Qt::Key_PageUp, 0x21},       {Qt::Key_PageDown, 0x22},
    {Qt::Key_End, 0x23},         {Qt::Key_Home, 0x24},         {Qt::Key_Left, 0x25},
    {Qt::Key_Up, 0x26},          {Qt::Key_Right, 0x27},        {Qt::Key_Down, 0x28},
    {Qt::Key_Print, 0x2C},       {Qt::Key_Insert, 0x2D},       {Qt::Key_Delete, 0x2E},
    {Qt::Key_Meta, 0x5B},        {Qt::Key_Menu, 0x5D},         {Qt::Key_NumLock, 0x90},
    {Qt::Key_ScrollLock, 0x91},  {Qt::Key_Semicolon, 0xBA},    {Qt::Key_Colon, 0xBA},
    {Qt::Key_Equal, 0xBB},       {Qt::Key_Plus, 0xBB},         {Qt::Key_Comma, 0xBC},
    {Qt::Key_Less, 0xBC},        {Qt::Key_Minus, 0xBD},        {Qt::Key_Underscore, 0xBD},
    {Qt::Key_Period, 0xBE},      {Qt::Key_Greater, 0xBE},      {Qt::Key_Slash, 0xBF},
    {Qt::Key_Question, 0xBF},    {Qt::Key_QuoteLeft, 0xC0},    {Qt::Key_AsciiTilde, 0xC0},
    {Qt::Key_BracketLeft, 0xDB}, {Qt::Key_BraceLeft, 0xDB},    {Qt::Key_Backslash, 0xDC},
    {Qt::Key_Bar, 0xDC},         {Qt::Key_BracketRight, 0xDD}, {Qt::Key_BraceRight, 0xDD},
};

// The digit key under a shifted symbol on the common layout ("!" is Shift+1).
constexpr std::pair<int, char> kShiftedDigits[] = {
    {Qt::Key_Exclam, '1'},     {Qt::Key_At, '2'},       {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},     {Qt::Key_Percent, '5'},  {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},  {Qt::Key_Asterisk, '8'}, {Qt::Key_ParenLeft, '9'},
    {Qt::Key_ParenRight, '0'},
};

}  // namespace

std::uint16_t VirtualKeyOf(int key, Qt::KeyboardModifiers modifiers) {
  const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) {
    const int digit = key - Qt::Key_0;
    return static_cast<std::uint16_t>(keypad ? 0x60 + digit : '0' + digit);
  }
  if (keypad) {
    switch (key) {
      case Qt::Key_Asterisk:
        return 0x6A;
      case Qt::Key_Plus:
        return 0x6B;
      case Qt::Key_Minus:
        return 0x6D;
      case Qt::Key_Period:
        return 0x6E;
      case Qt::Key_Slash:
        return 0x6F;
      default:
        break;
    }
  }
  // Qt's letter keys are their upper-case ASCII codes already.
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<std::uint16_t>(key);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
    return static_cast<std::uint16_t>(0x70 + (key - Qt::Key_F1));
  }
  for (const auto& [qtKey, code] : kKeyTable) {
    if (qtKey == key) return code;
  }
  for (const auto& [qtKey, digit] : kShiftedDigits) {
    if (qtKey == key) return static_cast<std::uint16_t>(digit);
  }
  return 0;
}

TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, int key) {
  TShiftState shift = 0;
  if (key == Qt::Key_Shift) shift |= ssShift;
  if (key == Qt::Key_Control) shift |= ssCtrl;
  if (key == Qt::Key_Alt) shift |= ssAlt;
  if (modifiers.testFlag(Qt::ShiftModifier)) shift |= ssShift;
  if (modifiers.testFlag(Qt::ControlModifier)) shift |= ssCtrl;
  if (modifiers.testFlag(Qt::AltModifier)) shift |= ssAlt;
  return shift;
}

}  // namespace toolkit::qt
