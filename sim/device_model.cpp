#include "sim/device_model.h"

#include <algorithm>
#include <cctype>

#include "sim/describe.h"

namespace sim {
namespace {

std::string FourDigits(int n) {
  std::string s = std::to_string(std::clamp(n, 0, 9999));
  return std::string(4 - s.size(), '0') + s;
}

bool AllDigits(const std::string& s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Commands that change the device and are acknowledged before anything else.
bool Acknowledged(char code) {
  return code == 'B' || code == '6' || code == 'I' || code == 'K' || code == 'U' || code == 'A' ||
         code == '7';
}

bool Understood(char code, const std::string& arg) {
  switch (code) {
    case 'B':
      return AllDigits(arg);
    case 'I':
      return arg == "0001" || arg == "0002" || arg == "0003";
    case '7':
      return arg == "1000" || arg == "0000";
    case '6':
    case 'K':
    case 'U':
    case 'A':
      return true;
    default:
      return code >= '0' && code <= '5';
  }
}

// Record codes 20 to 31 are kept at index code - 20.
constexpr std::size_t DoubleRecord = 0;     // 20 "Double Bill"
constexpr std::size_t OverCountRecord = 1;  // 21 "Over 9999"
constexpr std::size_t MotorRecord = 2;      // 22 "MOTOR Error", where a jam stalls the feed

}  // namespace

struct DeviceModel::Plan {
  std::uint8_t id10;
  std::uint8_t id1;
  std::vector<Answer> answers;

  void Ack(std::uint64_t due) { answers.push_back({{protocol::ACK}, due, "ACK"}); }
  void Failure(std::uint64_t due, const std::string& why) {
    answers.push_back({{protocol::FailureByte}, due, "failure byte (" + why + ")"});
  }
  void Frame(char code, std::uint8_t b4, std::uint8_t b5, std::uint8_t b6, std::uint8_t b7,
             std::uint64_t due, const std::string& note) {
    protocol::CommandFrame f{
        protocol::STX, id10, id1, static_cast<std::uint8_t>(code), b4, b5, b6, b7, 0,
        protocol::ETX};
    f[8] = protocol::FrameChecksum(f);
    answers.push_back({{f.begin(), f.end()}, due, std::string("'") + code + "' " + note});
  }
  void Frame(char code, const std::string& data, std::uint64_t due, const std::string& note) {
    Frame(code, static_cast<std::uint8_t>(data[0]), static_cast<std::uint8_t>(data[1]),
          static_cast<std::uint8_t>(data[2]), static_cast<std::uint8_t>(data[3]), due, note);
  }
};

DeviceModel::DeviceModel(const Settings& settings)
    : state_(settings.state), timing_(settings.timing) {
  SetFaults(settings.faults);
}

void DeviceModel::SetFaults(const Faults& faults) {
  transmitter_.SetFaults(faults);
  jamLeft_ = faults.jamAfterBills;
  doubleLeft_ = faults.doubleAfterBills;
}

void DeviceModel::StartSession() {
  assembler_.Reset();
  transmitter_.Reset();
  versionOwed_ = true;
}

std::vector<Answer> DeviceModel::Receive(const std::uint8_t* bytes, std::size_t count,
                                         std::uint64_t nowMs) {
  std::vector<Answer> out;
  const auto frames = assembler_.Add(bytes, count);
  if (const std::size_t noise = assembler_.TakeDiscarded(); noise > 0 && trace_) {
    trace_(nowMs, "   (" + std::to_string(noise) + " stray bytes ignored)");
  }
  for (const auto& frame : frames) Handle(frame, nowMs, out);
  return out;
}

void DeviceModel::Handle(const protocol::CommandFrame& f, std::uint64_t nowMs,
                         std::vector<Answer>& out) {
  const std::uint8_t id10 = state_.id.size() > 0 ? static_cast<std::uint8_t>(state_.id[0]) : '0';
  const std::uint8_t id1 = state_.id.size() > 1 ? static_cast<std::uint8_t>(state_.id[1]) : '0';
  const bool mine = f[1] == id10 && f[2] == id1;
  // The live DIP poll always goes to "00", and the device answers it as "00".
  const bool livePoll = f[3] == 'X' && f[1] == '0' && f[2] == '0';
  std::string line = "<- " + protocol::HexLine(f) + DescribeCommand(f);
  if (!mine && !livePoll) {
    if (trace_) trace_(nowMs, line + "  [another ID: no answer]");
    return;
  }
  Plan plan{mine ? id10 : std::uint8_t{'0'}, mine ? id1 : std::uint8_t{'0'}, {}};
  if (protocol::FrameChecksum(f) != f[8]) {
    if (trace_) trace_(nowMs, line + "  [bad checksum]");
    plan.Failure(nowMs + timing_.ackMs, "bad checksum");
  } else {
    if (trace_) trace_(nowMs, line);
    Execute(f, nowMs, plan);
  }
  for (Answer& a : plan.answers) {
    transmitter_.Send(std::move(a), timing_.frameGapMs, nowMs, out, trace_);
  }
}

void DeviceModel::Execute(const protocol::CommandFrame& f, std::uint64_t nowMs, Plan& plan) {
  const char code = static_cast<char>(f[3]);
  const std::string arg(f.begin() + 4, f.begin() + 8);
  const std::uint64_t ack = nowMs + timing_.ackMs;
  const std::uint64_t reply = nowMs + timing_.replyMs;
  const std::uint32_t gap = timing_.frameGapMs;

  // Questions are answered at any time, also while bills are being fed.
  switch (code) {
    case 'S':
      Status(nowMs, plan);
      return;
    case 'C':
      plan.Frame('c', FourDigits(state_.total), reply,
                 "total count " + std::to_string(state_.total));
      return;
    case 'T': {
      const std::uint32_t n = state_.billRecord % 1000000;
      auto digit = [&](std::uint32_t place) { return static_cast<std::uint8_t>(n / place % 10); };
      plan.Frame('y', 0, 0, digit(100000), digit(10000), reply, "bill record, high digits");
      plan.Frame('z', digit(1000), digit(100), digit(10), digit(1), reply + gap,
                 "bill record, low digits: " + std::to_string(n));
      return;
    }
    case 'R':
      for (std::size_t i = 0; i < state_.errorRecord.size(); ++i) {
        plan.Frame('r', static_cast<std::uint8_t>(20 + i), state_.errorRecord[i], '0', '0',
                   reply + i * gap,
                   "error record " + std::to_string(20 + i) + ": " +
                       std::to_string(state_.errorRecord[i]));
      }
      return;
    case 'P':
      plan.Frame('p', state_.passwordEnabled ? '1' : '0', state_.password[0], state_.password[1],
                 state_.password[2], reply,
                 "password " + std::to_string(state_.password[0]) + " " +
                     std::to_string(state_.password[1]) + " " + std::to_string(state_.password[2]) +
                     (state_.passwordEnabled ? " (enabled)" : " (disabled)"));
      return;
    case 'D':
    case 'X': {
      // A set bit is a switch that is off.
      std::uint8_t b4 = 0;
      std::uint8_t b5 = 0;
      std::string on;
      for (std::size_t i = 0; i < state_.dipOn.size(); ++i) {
        on += state_.dipOn[i] ? '1' : '0';
        if (state_.dipOn[i]) continue;
        if (i < 2) {
          b4 |= static_cast<std::uint8_t>(0x02 >> i);
        } else {
          b5 |= static_cast<std::uint8_t>(0x80 >> (i - 2));
        }
      }
      plan.Frame(code == 'D' ? 'd' : 'x', b4, b5, '0', '0', reply,
                 "DIP switches 1-10 " + on + " (1 = ON)");
      return;
    }
    case 'V':
      plan.Frame('v', state_.firmware[0], state_.firmware[1], state_.firmware[2], 0, reply,
                 "firmware " + std::to_string(state_.firmware[0]) + "." +
                     std::to_string(state_.firmware[1]) + std::to_string(state_.firmware[2]));
      return;
    default:
      break;
  }

  // The rest change the device.
  if (!Understood(code, arg)) {
    plan.Failure(ack, "unknown command");
    return;
  }
  if (Busy(nowMs)) {
    plan.Failure(ack, "busy");
    return;
  }
  if (Acknowledged(code) && transmitter_.RefuseNext()) {
    plan.Failure(ack, "refused");
    return;
  }
  switch (code) {
    case 'B':
      Dispense(std::stoi(arg), nowMs, plan);
      return;
    case '6':
      plan.Ack(ack);
      PowerfulOut(nowMs);
      return;
    case 'I':
      plan.Ack(ack);
      if (arg != "0002") state_.total = 0;
      if (arg != "0001") state_.error = 0;
      return;
    case 'K':
      plan.Ack(ack);
      state_.startKeyLocked = arg[0] != '0';
      state_.clearKeyLocked = arg[2] != '0';
      return;
    case 'U':
      plan.Ack(ack);
      state_.errorRecord.fill(0);
      return;
    case 'A':
      plan.Ack(ack);
      return;
    case '7':
      plan.Ack(ack);
      state_.passwordEnabled = arg[0] == '1';
      return;
    default:
      SelfTest(code, nowMs, plan);
      return;
  }
}

void DeviceModel::Status(std::uint64_t nowMs, Plan& plan) {
  char letter = 'r';
  char detail = '0';
  std::string words = "ready";
  if (Busy(nowMs)) {
    letter = 'w';
    words = "busy";
  } else if (state_.error != 0) {
    letter = 'e';
    detail = state_.error;
    words = std::string("error ") + detail + " (" + DescribeErrorCode(detail) + ")";
  } else if (state_.testMode) {
    letter = 't';
    words = "test mode";
  }
  words += std::string(", START key ") + (state_.startKeyLocked ? "locked" : "unlocked") +
           ", CLEAR key " + (state_.clearKeyLocked ? "locked" : "unlocked");
  const std::uint64_t reply = nowMs + timing_.replyMs;
  plan.Frame('s', static_cast<std::uint8_t>(letter), static_cast<std::uint8_t>(detail),
             state_.startKeyLocked ? '1' : '0', state_.clearKeyLocked ? '1' : '0', reply,
             "status " + words);
  if (versionOwed_) {
    versionOwed_ = false;
    plan.Frame('v', state_.firmware[0], state_.firmware[1], state_.firmware[2], 0,
               reply + timing_.frameGapMs,
               "firmware " + std::to_string(state_.firmware[0]) + "." +
                   std::to_string(state_.firmware[1]) + std::to_string(state_.firmware[2]));
  }
}

void DeviceModel::Dispense(int count, std::uint64_t nowMs, Plan& plan) {
  const std::uint64_t start = nowMs + timing_.ackMs;
  plan.Ack(start);
  int out = 0;
  int fed = 0;  // bills that went through the feed, also one that jammed or doubled
  char fault = state_.error;
  while (fault == 0 && out < count) {
    if (state_.stack <= 0) {
      fault = '1';
    } else if (state_.total >= 9999) {
      fault = 'I';
      Count(OverCountRecord);
    } else if (jamLeft_ == 0) {
      fault = '2';
      jamLeft_ = -1;
      --state_.stack;
      stuckBill_ = true;
      ++fed;
      Count(MotorRecord);
    } else if (doubleLeft_ == 0) {
      fault = '7';
      doubleLeft_ = -1;
      state_.stack = std::max(0, state_.stack - 2);  // the pair goes to the reject tray
      ++fed;
      Count(DoubleRecord);
    } else {
      --state_.stack;
      ++state_.total;
      ++state_.billRecord;
      ++out;
      ++fed;
      if (jamLeft_ > 0) --jamLeft_;
      if (doubleLeft_ > 0) --doubleLeft_;
    }
  }
  std::uint64_t due = start + static_cast<std::uint64_t>(fed) * timing_.billMs + timing_.replyMs;
  if (fault != 0) {
    state_.error = fault;
    plan.Frame('E', static_cast<std::uint8_t>(fault), '0', '0', '0', due, DescribeErrorCode(fault));
    due += timing_.frameGapMs;
  }
  plan.Frame('b', FourDigits(out), due, "dispensed " + std::to_string(out));
  busyUntilMs_ = due;
}

void DeviceModel::PowerfulOut(std::uint64_t nowMs) {
  // Full motor power for one bill's time: pushes out a jammed bill, or else
  // one bill from the stack.
  busyUntilMs_ = nowMs + timing_.ackMs + timing_.billMs;
  if (stuckBill_) {
    stuckBill_ = false;
    if (state_.error == '2') state_.error = 0;
  } else if (state_.stack > 0) {
    --state_.stack;
  } else {
    return;
  }
  state_.total = std::min(state_.total + 1, 9999);
  ++state_.billRecord;
}

void DeviceModel::SelfTest(char step, std::uint64_t nowMs, Plan& plan) {
  static const char* const names[] = {"motor speed", "right IR", "left IR",
                                      "encoder",     "display",  "counter"};
  const std::uint16_t values[] = {
      state_.motorSpeed, state_.rightIr, state_.leftIr, state_.encoder, 0, 0};
  const auto i = static_cast<std::size_t>(step - '0');
  plan.Frame(step, '0', '0', static_cast<std::uint8_t>(values[i] >> 8),
             static_cast<std::uint8_t>(values[i] & 0xFF), nowMs + timing_.selfTestMs,
             std::string(names[i]) + " " + std::to_string(values[i]));
}

void DeviceModel::Count(std::size_t recordIndex) {
  auto& n = state_.errorRecord[recordIndex];
  if (n < 255) ++n;
}

}  // namespace sim
