#include "keypad/codepage.h"

#include <array>

namespace Modulo1 {

namespace {

// Bytes 0x80 to 0x9F. The five the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) keep their own value, as C1 control characters. Every other byte is Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

char16_t DecodeByte(unsigned char byte) {
  return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : char16_t{byte};
}

// The byte of `c` in Windows-1252, or -1 when the code page has none.
int EncodeChar(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
  for (size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == c) return static_cast<int>(0x80 + i);
  }
  return -1;
}

}  // namespace

QString DecodeWindows1252(QByteArrayView bytes) {
  QString text(bytes.size(), Qt::Uninitialized);
  QChar* out = text.data();
  for (const char byte : bytes) *out++ = QChar(DecodeByte(static_cast<unsigned char>(byte)));
  return text;
}

bool FitsWindows1252(QStringView text) {
  for (const QChar c : text) {
    if (EncodeChar(c.unicode()) < 0) return false;
  }
  return true;
}

QByteArray EncodeWindows1252(QStringView text) {
  QByteArray bytes;
  bytes.reserve(text.size());
  for (const QChar c : text) {
    const int byte = EncodeChar(c.unicode());
    bytes.append(static_cast<char>(byte < 0 ? '?' : byte));
  }
  return bytes;
}

}  // namespace Modulo1
