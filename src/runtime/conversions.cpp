#include "runtime/conversions.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "runtime/runtime_error.h"

namespace Runtime {

namespace {

bool IsAsciiDigit(QChar c) { return c.unicode() >= u'0' && c.unicode() <= u'9'; }

// Significant digits kept for the conversion. A double is decided by at most 767
// significant digits; further digits only matter through whether any of them is not 0,
// which one sticky digit at the end preserves. Leading zeros of a pure fraction count,
// but past 330 of them the value is below the smallest double anyway.
constexpr size_t kMaxKeptDigits = 1200;
// An integer part of more than 309 digits (leading zeros aside) exceeds the largest double.
constexpr size_t kMaxIntegerDigits = 309;

}  // namespace

double TextValue(QStringView text) {
  qsizetype i = 0;
  const qsizetype n = text.size();
  while (i < n && (text[i] == u' ' || text[i] == u'\t')) ++i;

  bool negative = false;
  if (i < n && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }

  // Integer digits, leading zeros dropped.
  std::string digits;
  while (i < n && text[i] == u'0') ++i;
  while (i < n && IsAsciiDigit(text[i])) {
    if (digits.size() <= kMaxIntegerDigits) digits.push_back(static_cast<char>(text[i].unicode()));
    ++i;
  }
  const bool integerTooLong = digits.size() > kMaxIntegerDigits;
  const bool integerNonZero = !digits.empty();

  if (i < n && text[i] == u'.') {
    ++i;
    if (digits.empty()) digits.push_back('0');
    digits.push_back('.');
    bool droppedNonZero = false;
    while (i < n && IsAsciiDigit(text[i])) {
      if (digits.size() < kMaxKeptDigits) {
        digits.push_back(static_cast<char>(text[i].unicode()));
      } else if (text[i] != u'0') {
        droppedNonZero = true;
      }
      ++i;
    }
    if (droppedNonZero) digits.push_back('1');
  }

  const double sign = negative ? -1.0 : 1.0;
  if (integerTooLong) return sign * std::numeric_limits<double>::infinity();
  if (digits.empty()) return 0.0;  // no number at all: "", "abc", "-", "."
  if (digits == "0.") return 0.0;

  double value = 0.0;
  const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                      std::chars_format::fixed);
  if (result.ec == std::errc::result_out_of_range) {
    value = integerNonZero ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (result.ec != std::errc{}) {
    value = 0.0;
  }
  return sign * value;
}

int16_t ToInt16(double x) {
  if (!std::isfinite(x)) throw RuntimeError(ErrorNumber::Overflow);
  // nearbyint in the default rounding mode (to nearest) sends halves to the even neighbour.
  const double rounded = std::nearbyint(x);
  if (rounded < -32768.0 || rounded > 32767.0) throw RuntimeError(ErrorNumber::Overflow);
  return static_cast<int16_t>(rounded);
}

QString SignedText(int16_t n) {
  return n < 0 ? QString::number(n) : QLatin1Char(' ') + QString::number(n);
}

}  // namespace Runtime
