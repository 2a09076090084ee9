#include "sim/describe.h"

#include <string_view>

namespace sim {
namespace {

std::string Field(const protocol::CommandFrame& f) {
  return std::string(reinterpret_cast<const char*>(f.data()) + 3, 5);
}

}  // namespace

std::string DescribeCommand(const protocol::CommandFrame& f) {
  const std::string field = Field(f);
  const std::string_view arg(field.data() + 1, 4);
  switch (f[3]) {
    case 'S':
      return "Status";
    case 'B': {
      int n = 0;
      for (char c : arg) n = n * 10 + (c - '0');
      return "Out Bill " + std::to_string(n);
    }
    case '6':
      return "Powerful Out Bill";
    case 'C':
      return "Total Count";
    case 'T':
      return "All Bill Record";
    case 'I':
      if (arg == "0001") return "Clear Count";
      if (arg == "0002") return "Clear Error";
      if (arg == "0003") return "Clear Count and Error";
      return "Clear " + std::string(arg) + " (unknown)";
    case 'K':
      if (arg == "1010") return "Key Disable";
      if (arg == "0000") return "Key Enable";
      return "Keys " + std::string(arg);
    case 'R':
      return "Error Record";
    case 'U':
      return "Clear Err Record";
    case 'A':
      return "Calibration IR";
    case 'P':
      return "Get Password";
    case '7':
      if (arg == "1000") return "Password Enable";
      if (arg == "0000") return "Password Disable";
      return "Password " + std::string(arg) + " (unknown)";
    case 'D':
      return "DIP SWITCH";
    case 'X':
      return "DIP SWITCH live poll";
    case 'V':
      return "Version";
    case '0':
      return "self test step 0 (motor speed)";
    case '1':
      return "self test step 1 (right IR)";
    case '2':
      return "self test step 2 (left IR)";
    case '3':
      return "self test step 3 (encoder)";
    case '4':
      return "self test step 4 (display)";
    case '5':
      return "self test step 5 (counter)";
    default:
      return "unknown command " + field;
  }
}

std::string DescribeErrorCode(char code) {
  switch (code) {
    case '1':
      return "stack empty";
    case '2':
      return "jam";
    case '7':
      return "double bill";
    case 'I':
      return "count over 9999";
    default:
      return std::string("code ") + code;
  }
}

}  // namespace sim
