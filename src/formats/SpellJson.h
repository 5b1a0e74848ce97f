#pragma once

#include "spelldata/BookList.h"
#include "spelldata/SpellCollection.h"
#include "spelldata/Status.h"

#include <string>
#include <string_view>
#include <vector>

namespace formats {

// The JSON spell export: a UTF-8 object with "format": "quarvine-spells",
// "version": 1, the book table and one object per spell with named fields,
// its books and copies (docs/FORMATS.md has the layout). Text goes from
// Windows-1252 to UTF-8 with the five bytes that code page leaves undefined as
// U+0081, U+008D, U+008F, U+0090 and U+009D, so every byte a record holds
// comes back on reading.
inline constexpr const char* JsonFormatTag = "quarvine-spells";
inline constexpr int JsonVersion = 1;

std::string SpellsToJson(const std::vector<const spelldata::SpellRecord*>& spells,
                         const spelldata::BookList& books);

// Reads a JSON spell export. All or nothing: on success `spells` and `books`
// are replaced by the file's records and book table; on any error both stay
// as they were and the message names `name` and the place: the parser's byte
// offset (with line and column) for text that is not JSON, the path of the
// value ("spells[2].level") for JSON that is not a spell export of this
// version, or a value that a data file set cannot keep (a character
// Windows-1252 lacks, a line break in a one-line field, a description line
// beginning with the data file's end marker "#9#").
spelldata::Status SpellsFromJson(std::string_view json, const std::string& name,
                                 spelldata::SpellCollection& spells, spelldata::BookList& books);

// The same, from a file; NotFound when it cannot be read.
spelldata::Status ReadSpellsJson(const std::string& path, spelldata::SpellCollection& spells,
                                 spelldata::BookList& books);

// True when the path's file name ends in ".json" (any letter case).
bool IsJsonPath(std::string_view path);

} // namespace formats
