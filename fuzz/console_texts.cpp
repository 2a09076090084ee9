#include "fuzz/console_texts.h"

#include <cctype>
#include <string_view>

namespace fuzz {
namespace {

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

// The acknowledgement texts, the failure byte's text, the device's error
// texts and the status texts without a variable part.
constexpr std::string_view kFixed[] = {
    "Out Bill ...OK",
    ">> Clear Account ...OK",
    ">> Clear Error message...OK",
    ">> Clear Account and Error message...OK",
    ">> Disable Key ...OK",
    ">> Enable Key...OK",
    ">> Clear Error Record...OK",
    ">> Calibration IR...OK",
    ">> Password Enable...OK",
    ">> Password Disable...OK",
    "Out Bill...OK",
    "Protocol failure...",
    "no bills during being dispensed by host commend.",
    "Jam 1 or Jam 2",
    "Chain",
    "Half",
    "Short",
    "no bills during being dispensed by start switch.",
    "Double",
    "over count 4000 pcs",
    "E11 -> Receiving error during commnunication test.",
    "E12 : Encoder error.(No encoder signal during motor operation test.)",
    "E13 : IR Left Open error.",
    "E14 : IR Right Open error",
    "E15 : IR Left Short error",
    "E16 : IR Right Short error",
    "E17 : IR Left & Right are in difference with more than 20.",
    "! Calibration IR Error...code H",
    "! Bill Count Over 9999...",
    "! IR Working Error...code g",
    "! IR Left dirty...code L",
    "! IR Right dirty...code r",
    "Busy...",
    "Ready...",
    "Test_Mode",
    "_START Key [ UNLOCK ]",
    "_START Key [ LOCK ]",
    "_CLEAR Key [ UNLOCK ]",
    "_CLEAR Key [ LOCK ]",
    ">> Password is",
};

constexpr std::string_view kRecordLabels[] = {
    "-Double Bill    ",
    "-Over 9999    ",
    "-MOTOR Error    ",
    "-IR_LEFT START Error    ",
    "-IR_RIGHT START Error    ",
    "-IR_LEFT Calibration Error    ",
    "-IR_RIGHT Calibration Error    ",
    "-IR Working Error    ",
    "-Calibreation IR Error    ",
    "-IR Left & Right different more than 20 Error    ",
    "-IR Right Dirty Error    ",
    "-IR Left Dirty Error    ",
};

constexpr long long kInt32Min = -2147483648LL;
constexpr long long kInt32Max = 2147483647LL;
// Four count characters taken as digits, whatever bytes they are.
constexpr long long kCountMin = (0 - 48) * 1111;
constexpr long long kCountMax = (255 - 48) * 1111;

// "n n n" with three byte values.
bool IsThreeBytes(std::string_view s) {
  const std::size_t a = s.find(' ');
  if (a == std::string_view::npos) return false;
  const std::size_t b = s.find(' ', a + 1);
  if (b == std::string_view::npos) return false;
  return IsDecimal(std::string(s.substr(0, a)), 0, 255) &&
         IsDecimal(std::string(s.substr(a + 1, b - a - 1)), 0, 255) &&
         IsDecimal(std::string(s.substr(b + 1)), 0, 255);
}

// ">> OutBill = " n, or with ";   " (n - requested) "  bills during being dispensed".
bool IsOutBillLine(std::string_view s) {
  constexpr std::string_view head = ">> OutBill = ";
  constexpr std::string_view tail = "  bills during being dispensed";
  if (!StartsWith(s, head)) return false;
  s.remove_prefix(head.size());
  const std::size_t semi = s.find(";   ");
  if (semi == std::string_view::npos) return IsDecimal(std::string(s), kCountMin, kCountMax);
  if (!EndsWith(s, tail)) return false;
  const std::string n(s.substr(0, semi));
  const std::string d(s.substr(semi + 4, s.size() - semi - 4 - tail.size()));
  // The difference is never 0: equal counts take the short form.
  return IsDecimal(n, kCountMin, kCountMax) &&
         IsDecimal(d, kCountMin - kInt32Max, kCountMax - kInt32Min) && d != "0";
}

}  // namespace

bool IsDecimal(const std::string& text, long long min, long long max) {
  std::string_view s = text;
  const bool negative = !s.empty() && s[0] == '-';
  if (negative) s.remove_prefix(1);
  if (s.empty() || s.size() > 19) return false;
  if (s[0] == '0' && (s.size() > 1 || negative)) return false;
  long long v = 0;
  for (char c : s) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    v = v * 10 + (c - '0');
  }
  if (negative) v = -v;
  return v >= min && v <= max;
}

bool IsResultLine(const std::string& line) {
  const std::string_view s = line;
  for (std::string_view text : kFixed) {
    if (s == text) return true;
  }
  for (std::string_view label : kRecordLabels) {
    if (StartsWith(s, label) && IsDecimal(line.substr(label.size()), 0, 255)) return true;
  }
  // "Error..." and the detail byte, whatever it is.
  if (StartsWith(s, "Error...") && s.size() == 9) return true;
  if (StartsWith(s, ">> Total Count = ")) {
    return IsDecimal(line.substr(17), kCountMin, kCountMax);
  }
  if (StartsWith(s, ">> Test Count = ")) return IsDecimal(line.substr(16), kInt32Min, kInt32Max);
  if (IsThreeBytes(s)) return true;
  if (IsOutBillLine(s)) return true;
  // Stepping: the bills still to go, or where it stopped.
  if (IsDecimal(line, 1, kInt32Max)) return true;
  constexpr std::string_view stopped = " bills during being dispensed";
  if (StartsWith(s, "-") && EndsWith(s, stopped) && s.size() > 1 + stopped.size()) {
    return IsDecimal(line.substr(1, s.size() - 1 - stopped.size()), kInt32Min, kInt32Max);
  }
  // The record file's path and the system's reason.
  constexpr std::string_view unwritable = "Record file D://RM460_Record.txt cannot be written: ";
  if (StartsWith(s, unwritable)) return s.size() > unwritable.size();
  return false;
}

bool IsReceivedLine(const std::string& line) {
  if (line == "Rx : 06" || line == "Rx : 0a") return true;
  // "Rx : " and ten "HH " groups of upper-case hex digits.
  if (line.size() != 5 + 30 || !StartsWith(line, "Rx : 02 ")) return false;
  for (std::size_t i = 0; i < 10; ++i) {
    const char* g = line.data() + 5 + 3 * i;
    for (int k = 0; k < 2; ++k) {
      if (!std::isdigit(static_cast<unsigned char>(g[k])) && (g[k] < 'A' || g[k] > 'F')) {
        return false;
      }
    }
    if (g[2] != ' ') return false;
  }
  return EndsWith(line, "03 ");
}

}  // namespace fuzz
