#pragma once

// What the fuzz targets check for each input, shared with the tests that replay the seed
// corpus and the inputs the fuzzers found. Each check returns an empty string when the
// input passes, else what went wrong.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringView>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "keypad/keypad.h"
#include "keypad_snapshot.h"
#include "runtime/conversions.h"
#include "runtime/runtime_error.h"

namespace orvida_fuzz {

// --- numbers --------------------------------------------------------------------------------

inline bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// The number that `text` begins with, as plain ASCII for strtod: blanks and tabs skipped,
// an optional sign, digits, at most one '.', more digits. Empty when it holds no digit.
inline std::string NumberPrefix(QStringView text) {
  qsizetype i = 0;
  const qsizetype n = text.size();
  while (i < n && (text[i] == u' ' || text[i] == u'\t')) ++i;
  std::string prefix;
  if (i < n && (text[i] == u'+' || text[i] == u'-')) {
    prefix.push_back(static_cast<char>(text[i++].unicode()));
  }
  bool anyDigit = false;
  while (i < n && IsDigit(text[i].unicode())) {
    prefix.push_back(static_cast<char>(text[i++].unicode()));
    anyDigit = true;
  }
  if (i < n && text[i] == u'.') {
    prefix.push_back('.');
    ++i;
    while (i < n && IsDigit(text[i].unicode())) {
      prefix.push_back(static_cast<char>(text[i++].unicode()));
      anyDigit = true;
    }
  }
  return anyDigit ? prefix : std::string();
}

// TextValue agrees with strtod (which rounds correctly in the "C" locale) to the bit, the
// sign of a zero aside, and ToInt16 either gives the nearest whole number or raises
// Overflow exactly when that number is outside -32768..32767.
inline std::string CheckTextValue(QStringView text) {
  const double value = Runtime::TextValue(text);
  if (std::isnan(value)) return "TextValue gave NaN";
  const std::string prefix = NumberPrefix(text);
  const double expected = prefix.empty() ? 0.0 : std::strtod(prefix.c_str(), nullptr);
  if (!(value == expected)) {
    return "TextValue gave " + std::to_string(value) + ", strtod " + std::to_string(expected);
  }
  const double nearest = std::nearbyint(value);
  const bool fits = std::isfinite(value) && nearest >= -32768.0 && nearest <= 32767.0;
  try {
    const int16_t n = Runtime::ToInt16(value);
    if (!fits) return "ToInt16 accepted " + std::to_string(value);
    if (static_cast<double>(n) != nearest) return "ToInt16 rounded " + std::to_string(value);
  } catch (const Runtime::RuntimeError& error) {
    if (error.number() != Runtime::ErrorNumber::Overflow) return "ToInt16 raised another error";
    if (fits) return "ToInt16 refused " + std::to_string(value);
  }
  return {};
}

// Checks the bytes read as UTF-8 text (as typed) and as raw UTF-16 code units (any QChar,
// unpaired surrogates included).
inline std::string CheckTextValueBytes(const uint8_t* data, size_t size) {
  const QString utf8 =
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  std::string problem = CheckTextValue(utf8);
  if (!problem.empty()) return "as UTF-8: " + problem;
  std::u16string units(size / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  problem = CheckTextValue(units);
  if (!problem.empty()) return "as UTF-16: " + problem;
  return {};
}

// --- conf.ini -------------------------------------------------------------------------------

using orvida_test::CurrentTable;
using orvida_test::Table;

inline bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Loads `path`: true when it loaded, false when it raised the error of a short file or a
// number out of range with a line of the file; `problem` tells about anything else.
inline bool LoadChecked(const QString& path, std::string& problem) {
  try {
    Modulo1::LoadKeypadConfig(path);
    return true;
  } catch (const Runtime::RuntimeError& error) {
    if (error.number() != Runtime::ErrorNumber::InputPastEndOfFile &&
        error.number() != Runtime::ErrorNumber::Overflow) {
      problem = "unexpected error " + std::to_string(error.code());
    } else if (error.line() < 1 || error.line() > 3 * Modulo1::kKeypadSlots) {
      problem = "error names line " + std::to_string(error.line());
    } else if (error.path() != path) {
      problem = "error names another file";
    }
    return false;
  }
}

// Any bytes at `path` either load or raise the error of a bad file; what loads saves back
// to bytes that load to the very same table.
inline std::string CheckKeypadLoad(const QByteArray& bytes, const QString& path) {
  Modulo1::ClearKeypad();
  if (!WriteFile(path, bytes)) return "cannot write " + path.toStdString();
  std::string problem;
  if (!LoadChecked(path, problem)) return problem;
  const Table loaded = CurrentTable();
  const QByteArray saved = Modulo1::KeypadConfigBytes();
  Modulo1::ClearKeypad();
  if (!WriteFile(path, saved)) return "cannot write " + path.toStdString();
  if (!LoadChecked(path, problem)) return "the saved table does not load back: " + problem;
  if (!(CurrentTable() == loaded)) return "the saved table loads back different";
  return {};
}

}  // namespace orvida_fuzz
