#pragma once

#include "spelldata/SpellCollection.h"
#include "spelldata/Status.h"

#include <string>
#include <string_view>
#include <vector>

namespace spelldata {

// The kind-and-level wording of the text output: "3rd Level Wizard Spell",
// "Priest Quest Prayer", "Cantrip", "Psionic Science". Levels above 13 give
// their decimal number.
std::string LevelText(const SpellRecord& record);

// The short code of the saved and printed list: "(W  3)", "(Pr 10)", "(Ps D)".
std::string ListCode(const SpellRecord& record);

// The saved list: "Spell List", one line per record (name, " (Reversible)"
// when set, three blanks, the list code), and an empty line. CR LF line ends.
std::string SaveList(const std::vector<const SpellRecord*>& records);

// One whole spell in the text spell format that the import reads, followed by
// `extraLines` empty lines.
std::string SaveSpell(const SpellRecord& record, int extraLines);

// The character set of text output: DOS writes the bytes as they are; UTF-8
// converts them from Windows-1252, with the rule character as U+2500.
enum class TextEncoding { Dos, Utf8 };

// The bytes of text output in UTF-8, without byte-order mark.
std::string TextOutputToUtf8(std::string_view bytes);

// Writes text output: appended to `path` (created when missing) when `append`
// is set, otherwise replacing it safely. UTF-8 output begins with a
// byte-order mark, except where it is appended to a file that has bytes.
Status WriteTextOutput(const std::string& path, const std::string& bytes, bool append,
                       TextEncoding encoding = TextEncoding::Dos);

// The remembered choice of encoding, a one-line file ("Text=DOS" or
// "Text=UTF-8") of its own beside the settings files. A missing or unknown
// file gives DOS.
inline constexpr const char* TextEncodingFileName = "QuarvineText.ini";
TextEncoding ReadTextEncoding(const std::string& path);
Status WriteTextEncoding(const std::string& path, TextEncoding encoding);

} // namespace spelldata
