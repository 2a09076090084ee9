// Setting an environment variable for the running test program, on every
// system the tests build for.
#pragma once

#include <string>

namespace testing_support {

void SetEnvironment(const std::string& name, const std::string& value);
// The variable's value, "" when it is not set.
std::string Environment(const std::string& name);

}  // namespace testing_support
