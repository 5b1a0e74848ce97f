#include "spelldata/SpellRecord.h"

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

TBasic& SpellRecord::basic() {
    return std::visit([](auto& r) -> TBasic& { return r; }, data_);
}

const TBasic& SpellRecord::basic() const {
    return std::visit([](const auto& r) -> const TBasic& { return r; }, data_);
}

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
