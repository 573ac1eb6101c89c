#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace Modulo1 {

// Windows-1252, all 256 byte values: the five bytes the code page leaves undefined map to
// the C1 control characters of the same value, so any file decodes and encodes back
// byte for byte.
QString DecodeWindows1252(QByteArrayView bytes);

// True when every character of `text` has a byte in Windows-1252.
bool FitsWindows1252(QStringView text);

// Encodes text that FitsWindows1252; a character without a byte in the code page becomes '?'.
QByteArray EncodeWindows1252(QStringView text);

}  // namespace Modulo1
