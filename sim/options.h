// The simulator program's command line.
#pragma once

#include <string>
#include <vector>

#include "sim/device_settings.h"

namespace sim {

struct ProgramOptions {
  Settings settings;
  int com = 1;         // links $RM460_PREFIX/dosdevices/comN
  std::string device;  // links this path instead, when given
  bool quiet = false;  // no line per frame
  bool help = false;
};

// Reads the arguments after the program's name. On a bad one returns false
// and says why in `error`.
bool ParseOptions(const std::vector<std::string>& args, ProgramOptions& options,
                  std::string& error);

std::string HelpText();

// Where the link to the pseudo-terminal goes.
std::string LinkPath(const ProgramOptions& options);

}  // namespace sim
