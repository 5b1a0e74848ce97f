#include "spelldata/SpellRecord.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace spelldata {

std::string LevelLetter(SpellLevel level) {
    switch (level) {
    case LevelCantrip:
        return "C";
    case LevelDevotion:
        return "D";
    case LevelScience:
        return "S";
    case LevelInfo:
        return "I";
    default:
        return level <= LevelQuest ? std::to_string(level) : std::string();
    }
}

std::string LevelCode(SpellLevel level) {
    const std::string letter = LevelLetter(level);
    return letter.empty() ? std::to_string(level) : letter;
}

void BookBits::set(int book, bool on) {
    if (book < 0 || book >= MaxBooks)
        return;
    const auto bit = static_cast<std::uint8_t>(1u << (book % 8));
    if (on)
        bytes_[book / 8] |= bit;
    else
        bytes_[book / 8] &= static_cast<std::uint8_t>(~bit);
}

void BookBits::assignDigits(std::string_view digits) {
    const std::size_t n = std::min<std::size_t>(digits.size(), MaxBooks);
    std::size_t i = 0;
#if defined(__SSE2__)
    // Sixteen digits at a time give two bytes of bits.
    const __m128i one = _mm_set1_epi8('1');
    for (; i + 16 <= n; i += 16) {
        const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i*>(digits.data() + i));
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chars, one)));
        bytes_[i / 8] = static_cast<std::uint8_t>(mask);
        bytes_[i / 8 + 1] = static_cast<std::uint8_t>(mask >> 8);
    }
#endif
    std::fill(bytes_.begin() + static_cast<std::ptrdiff_t>(i / 8), bytes_.end(), 0);
    for (; i < n; ++i)
        bytes_[i / 8] |= static_cast<std::uint8_t>((digits[i] == '1' ? 1u : 0u) << (i % 8));
}

namespace {

// The eight digits of each byte value, lowest bit first.
struct DigitTable {
    char digits[256][8];
    constexpr DigitTable() : digits() {
        for (unsigned value = 0; value < 256; ++value) {
            for (unsigned bit = 0; bit < 8; ++bit)
                digits[value][bit] = static_cast<char>('0' + ((value >> bit) & 1u));
        }
    }
};
constexpr DigitTable kDigits;

} // namespace

void BookBits::writeDigits(char* out) const {
    for (std::size_t byte = 0; byte < bytes_.size(); ++byte)
        std::memcpy(out + byte * 8, kDigits.digits[bytes_[byte]], 8);
}

namespace {
std::variant<TWiz, TPri, TPsi> makeData(SpellKind kind) {
    switch (kind) {
    case SpellKind::Priest:
        return TPri{};
    case SpellKind::Psionic:
        return TPsi{};
    case SpellKind::Wizard:
        break;
    }
    return TWiz{};
}

} // namespace

SpellRecord::SpellRecord(SpellKind kind) : data_(makeData(kind)) {}

// Wizard and priest records share three fields that psionic records lack.
#define QUARVINE_SPELL_FIELD(Getter, Field)                                                        \
    std::string* SpellRecord::Getter() {                                                           \
        if (auto* w = std::get_if<TWiz>(&data_))                                                   \
            return &w->Field;                                                                      \
        if (auto* p = std::get_if<TPri>(&data_))                                                   \
            return &p->Field;                                                                      \
        return nullptr;                                                                            \
    }                                                                                              \
    const std::string* SpellRecord::Getter() const {                                               \
        return const_cast<SpellRecord*>(this)->Getter();                                           \
    }

QUARVINE_SPELL_FIELD(components, Components)
QUARVINE_SPELL_FIELD(duration, Duration)
QUARVINE_SPELL_FIELD(castingTime, CastingTime)
#undef QUARVINE_SPELL_FIELD

} // namespace spelldata
