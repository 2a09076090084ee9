// Qt keys as the toolkit's virtual key codes and shift states.
#pragma once

#include <Qt>
#include <cstdint>

#include "toolkit/std_controls.h"

namespace toolkit::qt {

// The virtual key code of a Qt key (space 0x20, letters and digits as their
// upper-case ASCII, Return 0x0D ...), or 0 for a key that has none.
std::uint16_t VirtualKeyOf(int key, Qt::KeyboardModifiers modifiers);
// The shift state while a key goes down; a modifier key going down counts
// itself as held.
TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, int key = 0);

}  // namespace toolkit::qt
