#include <langinfo.h>

#include <cctype>
#include <cstdio>
#include <ctime>

#include "platform/date_format.h"

namespace platform {
namespace {

std::tm ToTm(const LocalDateTime& dt) {
  std::tm tm{};
  tm.tm_year = dt.year - 1900;
  tm.tm_mon = dt.month - 1;
  tm.tm_mday = dt.day;
  tm.tm_hour = dt.hour;
  tm.tm_min = dt.minute;
  tm.tm_sec = dt.second;
  tm.tm_isdst = -1;
  return tm;
}

std::string Strftime(const char* format, const LocalDateTime& dt) {
  std::tm tm = ToTm(dt);
  char buffer[128];
  const std::size_t n = std::strftime(buffer, sizeof buffer, format, &tm);
  return std::string(buffer, n);
}

// The first character of a locale format that is neither a conversion nor a
// letter or digit is taken as its separator.
char SeparatorOf(const char* format, char fallback) {
  if (format == nullptr) return fallback;
  for (const char* p = format; *p != '\0'; ++p) {
    if (*p == '%') {
      if (p[1] != '\0') ++p;
      continue;
    }
    if (!std::isalnum(static_cast<unsigned char>(*p)) && *p != ' ') return *p;
  }
  return fallback;
}

}  // namespace

char DateSeparator() {
  return SeparatorOf(nl_langinfo(D_FMT), '/');
}
char TimeSeparator() {
  return SeparatorOf(nl_langinfo(T_FMT), ':');
}

std::string ShortDateString(const LocalDateTime& dt) {
  return Strftime(nl_langinfo(D_FMT), dt);
}

std::string LongTimeString(const LocalDateTime& dt) {
  return Strftime(nl_langinfo(T_FMT), dt);
}

}  // namespace platform
