// Everything that makes one simulated dispenser differ from another: what it
// holds, how fast it answers, and which faults it fakes.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace sim {

// How long the device takes, in milliseconds after the last byte of a command.
struct Timing {
  std::uint32_t ackMs = 5;         // the ACK byte
  std::uint32_t replyMs = 25;      // a reply frame; also after the last bill of a dispense
  std::uint32_t billMs = 250;      // feeding one bill
  std::uint32_t frameGapMs = 30;   // between two frames of one answer ('r' entries, 'y' 'z')
  std::uint32_t selfTestMs = 150;  // one self-test step
};

// Faults the device fakes. Shares run from 0 (never) to 1 (always) and are
// drawn from a generator seeded with `seed`, so a run repeats exactly.
struct Faults {
  bool silent = false;             // answers nothing at all
  double dropShare = 0.0;          // answers (an ACK or a frame) that never leave
  double corruptShare = 0.0;       // answers with a flipped bit or a wrong checksum
  double failShare = 0.0;          // acknowledged commands refused with the failure byte
  std::uint32_t splitGapMs = 0;    // >0: every frame leaves in two pieces this far apart
  std::uint32_t extraDelayMs = 0;  // added before every answer
  int jamAfterBills = -1;          // >=0: the bill after this many more bills jams (once)
  int doubleAfterBills = -1;       // >=0: the bill after this many more bills is a double (once)
  std::uint64_t seed = 1;
};

// What the device holds.
struct DeviceState {
  std::string id = "00";                       // two characters
  std::array<bool, 10> dipOn{};                // [0] is switch 1; all off by default
  int stack = 500;                             // bills in the cassette
  int total = 0;                               // the total counter, 0 to 9999
  std::uint32_t billRecord = 0;                // bills ever dispensed, six digits shown
  std::array<std::uint8_t, 12> errorRecord{};  // counts of record codes 20 to 31
  bool startKeyLocked = false;
  bool clearKeyLocked = false;
  std::array<std::uint8_t, 3> password{1, 2, 3};
  bool passwordEnabled = false;
  std::array<std::uint8_t, 3> firmware{1, 8, 0};  // shown as 1.80
  bool testMode = false;                          // the test switch on the device is on
  char error = 0;                                 // pending error condition ('E' code), 0 for none
  // Self-test results.
  std::uint16_t motorSpeed = 1480;  // step '0'; 0 means the motor did not turn
  std::uint16_t rightIr = 512;      // step '1'
  std::uint16_t leftIr = 498;       // step '2'
  std::uint16_t encoder = 36;       // step '3'; 0 means no encoder signal
};

struct Settings {
  DeviceState state;
  Timing timing;
  Faults faults;
};

}  // namespace sim
