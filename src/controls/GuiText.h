#pragma once

#include <QString>
#include <string>

// The collection keeps text as Windows-1252 bytes; the windows show Unicode.
QString FromBytes(const std::string& bytes);
std::string ToBytes(const QString& text);

// Descriptions keep CR LF between lines; Qt's editors use LF.
QString DescriptionToText(const std::string& bytes);
std::string TextToDescription(const QString& text);
