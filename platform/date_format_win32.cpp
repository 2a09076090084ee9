// Windows: the user's locale settings give the separators and the short date
// and long time formats, as the system's own programs show them.
#include <cstdio>
#include <string>

#include "platform/date_format.h"

// Last, after our own comm declarations (through the clock), which its macros
// would rewrite.
#include <windows.h>

namespace platform {
namespace {

SYSTEMTIME ToSystemTime(const LocalDateTime& dt) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(dt.year);
  st.wMonth = static_cast<WORD>(dt.month);
  st.wDay = static_cast<WORD>(dt.day);
  st.wHour = static_cast<WORD>(dt.hour);
  st.wMinute = static_cast<WORD>(dt.minute);
  st.wSecond = static_cast<WORD>(dt.second);
  st.wMilliseconds = static_cast<WORD>(dt.millisecond);
  return st;
}

std::string LocaleText(LCTYPE what) {
  char buffer[128] = {};
  const int n = ::GetLocaleInfoA(LOCALE_USER_DEFAULT, what, buffer, sizeof buffer);
  return n > 0 ? std::string(buffer) : std::string();
}

// The first character of a locale picture that is neither a field letter, a
// digit, a space nor quoted text is its separator ("M/d/yyyy" -> '/').
char SeparatorOf(const std::string& picture, char fallback) {
  bool quoted = false;
  for (char c : picture) {
    if (c == '\'') {
      quoted = !quoted;
      continue;
    }
    if (quoted) continue;
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || c == ' ') {
      continue;
    }
    return c;
  }
  return fallback;
}

}  // namespace

char DateSeparator() {
  return SeparatorOf(LocaleText(LOCALE_SSHORTDATE), '/');
}
char TimeSeparator() {
  return SeparatorOf(LocaleText(LOCALE_STIMEFORMAT), ':');
}

std::string ShortDateString(const LocalDateTime& dt) {
  const SYSTEMTIME st = ToSystemTime(dt);
  char buffer[128] = {};
  const int n =
      ::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buffer, sizeof buffer);
  return n > 0 ? std::string(buffer) : std::string();
}

std::string LongTimeString(const LocalDateTime& dt) {
  const SYSTEMTIME st = ToSystemTime(dt);
  char buffer[128] = {};
  // Without a picture and without flags the call uses the long time format.
  const int n = ::GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, buffer, sizeof buffer);
  return n > 0 ? std::string(buffer) : std::string();
}

}  // namespace platform
