#include "spelldata/Search.h"

#include "spelldata/Encoding.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

namespace spelldata {

namespace {

// Upper-cases a-z; every other byte stays as it is.
constexpr std::array<char, 256> makeUpperTable() {
    std::array<char, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[static_cast<std::size_t>(i)] = static_cast<char>(i >= 'a' && i <= 'z' ? i - 32 : i);
    return table;
}
constexpr std::array<char, 256> kUpper = makeUpperTable();

void appendUpper(std::string& out, const std::string& field) {
    const std::size_t at = out.size();
    out.resize(at + field.size());
    char* dst = out.data() + at;
    const char* src = field.data();
    const std::size_t n = field.size();
    // Arithmetic rather than the table, so that the compiler can vectorise it.
    for (std::size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(src[i]);
        const bool lower = static_cast<unsigned char>(c - 'a') < 26;
        dst[i] = static_cast<char>(c - (lower ? 32 : 0));
    }
}

bool contains(const std::string& haystack, const std::string& needle) {
    return memmem(haystack.data(), haystack.size(), needle.data(), needle.size()) != nullptr;
}

} // namespace

int SearchSpells(std::string_view needle, SpellCollection& spells, std::uint16_t count,
                 const SearchOptions& options) {
    std::string upperNeedle;
    upperNeedle.reserve(needle.size());
    for (const char c : needle)
        upperNeedle += kUpper[static_cast<unsigned char>(c)];
    const int last = std::min<int>(count, spells.Count());
    std::string text; // reused for every record
    int found = 0;
    for (int slot = 0; slot < last; ++slot) {
        SpellRecord& record = spells[slot];
        TBasic& b = record.basic();
        if (!options.entireList && !b.Shown)
            continue; // Shown is already clear
        text.clear();
        if (options.name)
            appendUpper(text, b.Name);
        if (options.description)
            appendUpper(text, b.Description);
        if (options.source)
            appendUpper(text, b.Source);
        if (options.school)
            appendUpper(text, b.School);
        if (options.sphere && record.kind() == SpellKind::Priest)
            appendUpper(text, record.pri().Sphere);
        b.Shown = !text.empty() && !upperNeedle.empty() && contains(text, upperNeedle) ? 1 : 0;
        found += b.Shown;
    }
    return found;
}

Status SearchBytesFromUtf8(std::string_view utf8, std::string& bytes) {
    const std::string missing = FirstCharacterNotIn1252(utf8);
    if (!missing.empty())
        return Status::Error(ErrorKind::Invalid,
                             "The character \"" + missing +
                                 "\" cannot occur in the collection; nothing was searched.");
    bytes = Utf8ToCp1252(utf8);
    return Status::Ok();
}

} // namespace spelldata
