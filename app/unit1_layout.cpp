#include "app/unit1.h"

namespace app {

// Placeholder until the window's layout lands.
void LayOut(TForm1&) {}

}  // namespace app
