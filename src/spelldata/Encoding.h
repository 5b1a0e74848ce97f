#pragma once

#include <string>
#include <string_view>

namespace spelldata {

// Conversions between the single-byte code pages of the files and Unicode
// (UTF-8), for the windows. The core keeps text as the files' bytes and never
// converts on its own.

// Windows-1252 to UTF-8. The five bytes that code page leaves undefined map to
// the C1 control characters of the same value, so every byte survives a round
// trip through Utf8ToCp1252.
std::string Cp1252ToUtf8(std::string_view bytes);

// UTF-8 to Windows-1252. Characters the code page lacks become '?'; when
// `lossless` is given it is set to false if that happened. Malformed UTF-8
// sequences are taken byte by byte as '?'.
std::string Utf8ToCp1252(std::string_view utf8, bool* lossless = nullptr);

// The Windows-1252 byte of a code point; -1 when the code page lacks it.
int Cp1252Byte(char32_t cp);

// Decodes the UTF-8 sequence at `at` and moves `at` past it. A malformed
// sequence gives U+FFFD and moves one byte on.
char32_t DecodeUtf8(std::string_view utf8, std::size_t& at);

// True when every byte sequence of `text` is well-formed UTF-8.
bool IsValidUtf8(std::string_view text);

// The first character of UTF-8 text that Windows-1252 lacks, as UTF-8; empty
// when every character has a byte.
std::string FirstCharacterNotIn1252(std::string_view utf8);

// Appends a code point as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);

// DOS code page 437 to UTF-8 (the code page of the text spell format).
std::string Cp437ToUtf8(std::string_view bytes);

// The lower-case form of a Windows-1252 byte: A-Z, the accented capitals
// C0-DE (not the multiplication sign D7), and the capitals with a caron, OE
// and Y with diaeresis of the 80-9F row. Every other byte is its own.
constexpr unsigned char FoldCase1252(unsigned char c) {
    if (c >= 'A' && c <= 'Z')
        return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return static_cast<unsigned char>(c + 32);
    switch (c) {
    case 0x8A: // S caron
    case 0x8C: // OE
    case 0x8E: // Z caron
        return static_cast<unsigned char>(c + 16);
    case 0x9F: // Y diaeresis
        return 0xFF;
    default:
        return c;
    }
}

// Compares two Windows-1252 strings without regard to letter case (ASCII and
// the accented letters of the code page).
bool EqualsIgnoringCase1252(std::string_view a, std::string_view b);

// Compares two strings without regard to ASCII letter case.
bool AsciiEqualsIgnoringCase(std::string_view a, std::string_view b);

} // namespace spelldata
