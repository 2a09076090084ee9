#include "sim/options.h"

#include <array>
#include <charconv>
#include <functional>
#include <map>
#include <sstream>

#include "platform/paths.h"

namespace sim {
namespace {

bool ToNumber(const std::string& text, long long low, long long high, long long& value) {
  const char* end = text.data() + text.size();
  const auto [p, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && p == end && value >= low && value <= high;
}

bool ToShare(const std::string& text, double& value) {
  std::istringstream in(text);
  in >> value;
  return in && in.eof() && value >= 0.0 && value <= 1.0;
}

// "1,2,3" into three bytes.
bool ToBytes(const std::string& text, std::array<std::uint8_t, 3>& bytes) {
  std::istringstream in(text);
  std::string part;
  std::size_t i = 0;
  while (std::getline(in, part, ',')) {
    long long v = 0;
    if (i >= 3 || !ToNumber(part, 0, 255, v)) return false;
    bytes[i++] = static_cast<std::uint8_t>(v);
  }
  return i == 3;
}

using Apply = std::function<bool(ProgramOptions&, const std::string&)>;

template <typename Part, typename Field>
Apply Number(Part Settings::*part, Field Part::*field, long long low, long long high) {
  return [=](ProgramOptions& o, const std::string& v) {
    long long n = 0;
    if (!ToNumber(v, low, high, n)) return false;
    (o.settings.*part).*field = static_cast<Field>(n);
    return true;
  };
}

struct Option {
  const char* value;  // name of the value in the help, nullptr for a flag
  const char* help;
  Apply apply;
};

Apply Share(double Faults::*member) {
  return [=](ProgramOptions& o, const std::string& v) {
    return ToShare(v, o.settings.faults.*member);
  };
}

const std::vector<std::pair<std::string, Option>>& Table() {
  static const std::vector<std::pair<std::string, Option>> table = {
      {"--com",
       {"N", "link $RM460_PREFIX/dosdevices/comN to the pseudo-terminal (default 1)",
        [](ProgramOptions& o, const std::string& v) {
          long long n = 0;
          if (!ToNumber(v, 1, 99, n)) return false;
          o.com = static_cast<int>(n);
          return true;
        }}},
      {"--device",
       {"PATH", "put the link at PATH instead of the comN link",
        [](ProgramOptions& o, const std::string& v) {
          o.device = v;
          return !v.empty();
        }}},
      {"--id",
       {"XY", "the dispenser's two-character ID (default 00)",
        [](ProgramOptions& o, const std::string& v) {
          o.settings.state.id = v;
          return v.size() == 2;
        }}},
      {"--stack",
       {"N", "bills in the cassette (default 500)",
        Number(&Settings::state, &DeviceState::stack, 0, 1000000)}},
      {"--total",
       {"N", "the total counter at start, 0-9999 (default 0)",
        Number(&Settings::state, &DeviceState::total, 0, 9999)}},
      {"--bill-record",
       {"N", "bills ever dispensed, shown by All Bill Record (default 0)",
        Number(&Settings::state, &DeviceState::billRecord, 0, 999999)}},
      {"--dip",
       {"BITS", "DIP switches 1 to 10, 1 = ON, e.g. 1000000001 (default all OFF)",
        [](ProgramOptions& o, const std::string& v) {
          if (v.size() != 10) return false;
          for (std::size_t i = 0; i < 10; ++i) {
            if (v[i] != '0' && v[i] != '1') return false;
            o.settings.state.dipOn[i] = v[i] == '1';
          }
          return true;
        }}},
      {"--password",
       {"A,B,C", "the three password values, 0-255 each (default 1,2,3)",
        [](ProgramOptions& o, const std::string& v) {
          return ToBytes(v, o.settings.state.password);
        }}},
      {"--firmware",
       {"A,B,C", "the version bytes, shown as A.BC (default 1,8,0)",
        [](ProgramOptions& o, const std::string& v) {
          return ToBytes(v, o.settings.state.firmware);
        }}},
      {"--test-mode",
       {nullptr, "the device's test switch is on: Status answers 't'",
        [](ProgramOptions& o, const std::string&) {
          o.settings.state.testMode = true;
          return true;
        }}},
      {"--motor-speed",
       {"N", "self-test motor speed, 0 = motor error (default 1480)",
        Number(&Settings::state, &DeviceState::motorSpeed, 0, 65535)}},
      {"--encoder",
       {"N", "self-test encoder value, 0 = encoder error (default 36)",
        Number(&Settings::state, &DeviceState::encoder, 0, 65535)}},
      {"--ack-ms",
       {"N", "ms from a command to its ACK (default 5)",
        Number(&Settings::timing, &Timing::ackMs, 0, 600000)}},
      {"--reply-ms",
       {"N", "ms from a command to its reply frame (default 25)",
        Number(&Settings::timing, &Timing::replyMs, 0, 600000)}},
      {"--bill-ms",
       {"N", "ms to feed one bill (default 250)",
        Number(&Settings::timing, &Timing::billMs, 0, 600000)}},
      {"--gap-ms",
       {"N", "ms between two frames of one answer (default 30)",
        Number(&Settings::timing, &Timing::frameGapMs, 0, 600000)}},
      {"--test-ms",
       {"N", "ms for one self-test step (default 150)",
        Number(&Settings::timing, &Timing::selfTestMs, 0, 600000)}},
      {"--silent",
       {nullptr, "fault: answer nothing at all",
        [](ProgramOptions& o, const std::string&) {
          o.settings.faults.silent = true;
          return true;
        }}},
      {"--drop", {"P", "fault: drop this share (0-1) of the answers", Share(&Faults::dropShare)}},
      {"--corrupt",
       {"P",
        "fault: corrupt this share (0-1) of the answers (a flipped bit or a "
        "wrong checksum)",
        Share(&Faults::corruptShare)}},
      {"--fail-ack",
       {"P",
        "fault: refuse this share (0-1) of the acknowledged commands with "
        "the failure byte",
        Share(&Faults::failShare)}},
      {"--split",
       {"MS", "fault: send every frame in two pieces MS apart",
        Number(&Settings::faults, &Faults::splitGapMs, 1, 600000)}},
      {"--delay",
       {"MS", "fault: wait MS more before every answer",
        Number(&Settings::faults, &Faults::extraDelayMs, 0, 600000)}},
      {"--jam-after",
       {"N", "fault: jam once, after N more bills",
        Number(&Settings::faults, &Faults::jamAfterBills, 0, 1000000)}},
      {"--double-after",
       {"N", "fault: detect a double bill once, after N more bills",
        Number(&Settings::faults, &Faults::doubleAfterBills, 0, 1000000)}},
      {"--seed",
       {"N", "seed of the fault generator (default 1)",
        [](ProgramOptions& o, const std::string& v) {
          long long n = 0;
          if (!ToNumber(v, 0, (1ll << 62), n)) return false;
          o.settings.faults.seed = static_cast<std::uint64_t>(n);
          return true;
        }}},
      {"--quiet",
       {nullptr, "print no line per frame",
        [](ProgramOptions& o, const std::string&) {
          o.quiet = true;
          return true;
        }}},
      {"--help",
       {nullptr, "show this text",
        [](ProgramOptions& o, const std::string&) {
          o.help = true;
          return true;
        }}},
  };
  return table;
}

}  // namespace

bool ParseOptions(const std::vector<std::string>& args, ProgramOptions& options,
                  std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::string value;
    bool inlineValue = false;
    if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = name.substr(eq + 1);
      name = name.substr(0, eq);
      inlineValue = true;
    }
    if (name == "-h") name = "--help";
    const Option* option = nullptr;
    for (const auto& [n, o] : Table()) {
      if (n == name) option = &o;
    }
    if (option == nullptr) {
      error = "unknown option " + args[i];
      return false;
    }
    if (option->value != nullptr && !inlineValue) {
      if (i + 1 >= args.size()) {
        error = name + " needs a value (" + option->value + ")";
        return false;
      }
      value = args[++i];
    } else if (option->value == nullptr && inlineValue) {
      error = name + " takes no value";
      return false;
    }
    if (!option->apply(options, value)) {
      error = "bad value for " + name + ": " + value;
      return false;
    }
  }
  return true;
}

std::string HelpText() {
  std::string text =
      "Usage: rm460-sim [options]\n"
      "Serves a simulated RM460 dispenser on a pseudo-terminal and links the COM\n"
      "name to it while it runs; the earlier link is put back at exit.\n\nOptions:\n";
  for (const auto& [name, o] : Table()) {
    std::string left = "  " + name + (o.value != nullptr ? std::string(" ") + o.value : "");
    if (left.size() < 22) left.resize(22, ' ');
    text += left + " " + o.help + "\n";
  }
  text +=
      "\nThe console's COMn is the device that $RM460_PREFIX/dosdevices/comn links to\n"
      "(RM460_PREFIX is ~/.rm460 when unset), else /dev/ttyS(n-1). A real dispenser\n"
      "is linked the same way, best by its name under /dev/serial/by-id (stable\n"
      "across replugging):\n"
      "  ln -sfn /dev/serial/by-id/usb-FTDI_...-port0 ~/.rm460/dosdevices/com1\n"
      "A real serial device needs membership of the group dialout. See rm460-sim(1).\n";
  return text;
}

std::string LinkPath(const ProgramOptions& options) {
  if (!options.device.empty()) return options.device;
  return platform::Prefix() + "/dosdevices/com" + std::to_string(options.com);
}

}  // namespace sim
