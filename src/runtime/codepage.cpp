#include "runtime/codepage.h"

#include <algorithm>
#include <array>

namespace Runtime {

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

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(QByteArrayView bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  while (p < end) {
    const unsigned char b = *p;
    if (b < 0x80) {
      ++p;
      continue;
    }
    int trail = 0;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the first trail byte
    if (b >= 0xC2 && b <= 0xDF) {
      trail = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
      trail = 2;
      if (b == 0xE0) low = 0xA0;
      if (b == 0xED) high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      trail = 3;
      if (b == 0xF0) low = 0x90;
      if (b == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (end - p <= trail) return false;
    if (p[1] < low || p[1] > high) return false;
    for (int i = 2; i <= trail; ++i) {
      if (p[i] < 0x80 || p[i] > 0xBF) return false;
    }
    p += trail + 1;
  }
  return true;
}

bool HasNonAscii(QByteArrayView bytes) {
  return std::any_of(bytes.begin(), bytes.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// Text that is valid UTF-8 and not plain ASCII is read as UTF-8, everything else as
// Windows-1252 (which decodes any bytes at all).
bool ReadsAsUtf8(QByteArrayView bytes) { return HasNonAscii(bytes) && IsValidUtf8(bytes); }

}  // namespace Runtime
