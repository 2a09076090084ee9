#include "protocol/text_numbers.h"

#include <gtest/gtest.h>

#include <string>

namespace protocol {
namespace {

TEST(StrToInt, ConvertsLikeTheToolkit) {
  struct Case {
    std::string_view text;
    std::int32_t value;
  };
  const Case cases[] = {
      {"0", 0},
      {"12", 12},
      {"0012", 12},
      {"  12  ", 12},
      {"-5", -5},
      {"+7", 7},
      {"$1F", 31},
      {"0x1F", 31},
      {"0X1f", 31},
      {"-$10", -16},
      {"$FFFFFFFF", -1},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
  };
  for (const Case& c : cases) EXPECT_EQ(StrToInt(c.text), c.value) << "'" << c.text << "'";
}

TEST(StrToInt, RejectsWithTheToolkitsMessage) {
  const std::string_view bad[] = {
      "",   " ",  "-",   "+ 1",        "1 2",         "1a",         "$",
      "0x", "$G", "1.5", "2147483648", "-2147483649", "$100000000", "99999999999999999999"};
  for (std::string_view text : bad) {
    try {
      StrToInt(text);
      ADD_FAILURE() << "'" << text << "' converted";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.what(), "'" + std::string(text) + "' is not a valid integer value");
    }
  }
}

TEST(FirstChar, IsTheFirstByteOrZero) {
  EXPECT_EQ(FirstChar(""), 0);
  EXPECT_EQ(FirstChar("7"), '7');
  EXPECT_EQ(FirstChar("12"), '1');
  EXPECT_EQ(FirstChar("\xE9"), 0xE9);
}

}  // namespace
}  // namespace protocol
