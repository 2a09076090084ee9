// 8-bit text in and out of Qt: each byte is one character, so every byte
// value survives the round trip.
#pragma once

#include <QString>
#include <string>

namespace toolkit::qt {

inline QString ToQString(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string ToStdString(const QString& text) {
  const QByteArray bytes = text.toLatin1();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace toolkit::qt
