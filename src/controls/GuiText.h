#pragma once

#include <QByteArray>
#include <QString>
#include <string>

// The collection keeps text as Windows-1252 bytes; the windows show Unicode.
QString FromBytes(const std::string& bytes);
std::string ToBytes(const QString& text);

// Descriptions keep CR LF between lines; Qt's editors use LF.
QString DescriptionToText(const std::string& bytes);
std::string TextToDescription(const QString& text);

// File names are the system's bytes, which need not be valid UTF-8. A path
// keeps them through the windows: valid parts decode as QFile::decodeName
// does, and each byte that is not part of a valid sequence becomes the lone
// surrogate U+DC00 + byte, which PathToBytes turns back into that byte. So a
// name the system lists opens again, whatever its bytes.
QString PathFromBytes(const QByteArray& bytes);
QString PathFromBytes(const std::string& bytes);
QByteArray PathToBytes(const QString& path);
std::string NativePath(const QString& path);
