#include "spelldata/Search.h"

#include "spelldata/Encoding.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

#if defined(__SSE2__)
// Looks at 16 places at a time for the needle's first and last byte, and
// compares the rest only where both are found. Most of the text is passed
// over without a byte-by-byte look.
bool containsWide(std::string_view text, std::string_view needle) {
    const std::size_t m = needle.size();
    const char* p = text.data();
    const __m128i first = _mm_set1_epi8(needle.front());
    const __m128i last = _mm_set1_epi8(needle.back());
    std::size_t i = 0;
    for (; i + m - 1 + 16 <= text.size(); i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + m - 1));
        auto mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
        while (mask != 0) {
            const auto at = static_cast<std::size_t>(__builtin_ctz(mask));
            if (std::memcmp(p + i + at + 1, needle.data() + 1, m - 2) == 0)
                return true;
            mask &= mask - 1;
        }
    }
    return memmem(p + i, text.size() - i, needle.data(), m) != nullptr;
}
#endif

} // namespace

bool ContainsBytes(std::string_view text, std::string_view needle) {
    if (needle.empty() || text.size() < needle.size())
        return false;
    if (needle.size() == 1)
        return std::memchr(text.data(), needle[0], text.size()) != nullptr;
#if defined(__SSE2__)
    return containsWide(text, needle);
#else
    return memmem(text.data(), text.size(), needle.data(), needle.size()) != nullptr;
#endif
}

SpellMatcher::SpellMatcher(std::string_view needle, const SearchOptions& options)
    : options_(options) {
    needle_.reserve(needle.size());
    for (const char c : needle)
        needle_ += kUpper[static_cast<unsigned char>(c)];
}

bool SpellMatcher::Matches(const SpellRecord& record) {
    const TBasic& b = record.basic();
    text_.clear();
    if (options_.name)
        appendUpper(text_, b.Name);
    if (options_.description)
        appendUpper(text_, b.Description);
    if (options_.source)
        appendUpper(text_, b.Source);
    if (options_.school)
        appendUpper(text_, b.School);
    if (options_.sphere && record.kind() == SpellKind::Priest)
        appendUpper(text_, record.pri().Sphere);
    return ContainsBytes(text_, needle_);
}

int SearchSpells(std::string_view needle, SpellCollection& spells, std::uint16_t count,
                 const SearchOptions& options) {
    SpellMatcher matcher(needle, options);
    const int last = std::min<int>(count, spells.Count());
    int found = 0;
    for (int slot = 0; slot < last; ++slot) {
        TBasic& b = spells[slot].basic();
        if (!options.entireList && !b.Shown)
            continue; // Shown is already clear
        b.Shown = matcher.Matches(spells[slot]) ? 1 : 0;
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
