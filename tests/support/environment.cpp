#include "tests/support/environment.h"

#include <cstdlib>
#include <stdexcept>

namespace testing_support {

void SetEnvironment(const std::string& name, const std::string& value) {
#if defined(_WIN32)
  const int failed = ::_putenv_s(name.c_str(), value.c_str());
#else
  const int failed = ::setenv(name.c_str(), value.c_str(), 1);
#endif
  if (failed != 0) throw std::runtime_error("cannot set " + name);
}

std::string Environment(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value != nullptr ? value : "";
}

}  // namespace testing_support
