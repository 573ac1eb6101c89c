#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace Runtime {

// Windows-1252, all 256 byte values: the five bytes the code page leaves undefined map to
// the C1 control characters of the same value, so any file decodes and encodes back
// byte for byte.
QString DecodeWindows1252(QByteArrayView bytes);

// True when every character of `text` has a byte in Windows-1252.
bool FitsWindows1252(QStringView text);

// Encodes text that FitsWindows1252; a character without a byte in the code page becomes '?'.
QByteArray EncodeWindows1252(QStringView text);

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(QByteArrayView bytes);

// True when a byte of `bytes` is not ASCII.
bool HasNonAscii(QByteArrayView bytes);

// Text that is valid UTF-8 and not plain ASCII reads as UTF-8; anything else as
// Windows-1252, which decodes any bytes at all.
bool ReadsAsUtf8(QByteArrayView bytes);

}  // namespace Runtime
