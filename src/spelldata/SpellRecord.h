#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace spelldata {

// The three stored kinds. Info entries are psionic records at level 13.
enum class SpellKind : std::uint8_t { Wizard = 0, Priest = 1, Psionic = 2 };

// A level is one byte: 0 cantrip, 1..10, 11 devotion, 12 science, 13 info.
// Values above 13 may come from files and are kept as they are.
using SpellLevel = std::uint8_t;
inline constexpr SpellLevel LevelCantrip = 0;
inline constexpr SpellLevel LevelQuest = 10;
inline constexpr SpellLevel LevelDevotion = 11;
inline constexpr SpellLevel LevelScience = 12;
inline constexpr SpellLevel LevelInfo = 13;

// The one-letter form of a level used by the list and the quick info windows:
// "C", "1".."10", "D", "S", "I"; empty above 13.
std::string LevelLetter(SpellLevel level);
// The level as the list, the cards and the tool show it: its letter, or the
// number for a level above 13.
std::string LevelCode(SpellLevel level);

inline constexpr int MaxBooks = 256;

// Membership in spell books: bit b (byte b / 8, bit b % 8) set means the spell
// belongs to book number b.
class BookBits {
public:
    bool test(int book) const {
        return book >= 0 && book < MaxBooks && (bytes_[book / 8] >> (book % 8)) & 1;
    }
    void set(int book, bool on);
    void clear() { bytes_.fill(0); }
    // Sets book b's bit when character b of `digits` is '1' and clears every
    // other bit (books beyond the text too).
    void assignDigits(std::string_view digits);
    // Writes the MaxBooks digits of that form to `out`.
    void writeDigits(char* out) const;
    // Calls fn(book) for each book whose bit is set, in order.
    template <typename Fn> void forEachSet(Fn fn) const {
        for (int byte = 0; byte < MaxBooks / 8; ++byte) {
            for (unsigned bits = bytes_[static_cast<std::size_t>(byte)]; bits != 0;
                 bits &= bits - 1)
                fn(byte * 8 + __builtin_ctz(bits));
        }
    }
    bool operator==(const BookBits&) const = default;

private:
    std::array<std::uint8_t, MaxBooks / 8> bytes_{};
};

// Fields shared by all kinds. Strings hold the bytes as the files hold them
// (Windows-1252 in data files); nothing is converted on the way in or out.
struct TBasic {
    std::string Name;
    std::uint8_t Marked = 0;
    std::uint8_t Shown = 0;
    std::uint8_t Kind = 0; // always agrees with the record's class
    SpellLevel Level = 0;
    std::string SavingThrow;
    std::string Range;
    std::string Source;
    std::string AreaOfEffect;
    std::string School; // for psionic powers: the discipline
    std::uint8_t Reversible = 0;
    std::string Description; // lines separated by CR LF
    BookBits BookSet;
    std::array<std::uint8_t, MaxBooks> BookCounts{};

    bool operator==(const TBasic&) const = default;
};

struct TWiz : TBasic {
    std::string Components;
    std::string Duration;
    std::string CastingTime;
    TWiz() { Kind = 0; }
    bool operator==(const TWiz&) const = default;
};

struct TPri : TBasic {
    std::string Sphere;
    std::string Components;
    std::string Duration;
    std::string CastingTime;
    TPri() { Kind = 1; }
    bool operator==(const TPri&) const = default;
};

struct TPsi : TBasic {
    std::string InitialCost;
    std::string PowerScore;
    std::string MaintenanceCost;
    std::string PreparationTime;
    std::string Prerequisites;
    TPsi() { Kind = 2; }
    bool operator==(const TPsi&) const = default;
};

// One spell: a record of exactly one of the three classes. The common fields
// are reached with -> ; the kind's own fields with wiz()/pri()/psi(), which
// throw std::bad_variant_access when the record is of another kind.
class SpellRecord {
public:
    explicit SpellRecord(SpellKind kind = SpellKind::Wizard);

    SpellKind kind() const { return static_cast<SpellKind>(data_.index()); }

    TBasic& basic() { return const_cast<TBasic&>(std::as_const(*this).basic()); }
    const TBasic& basic() const {
        switch (data_.index()) {
        case 1:
            return *std::get_if<1>(&data_);
        case 2:
            return *std::get_if<2>(&data_);
        default:
            return *std::get_if<0>(&data_);
        }
    }
    TBasic* operator->() { return &basic(); }
    const TBasic* operator->() const { return &basic(); }

    TWiz& wiz() { return std::get<TWiz>(data_); }
    TPri& pri() { return std::get<TPri>(data_); }
    TPsi& psi() { return std::get<TPsi>(data_); }
    const TWiz& wiz() const { return std::get<TWiz>(data_); }
    const TPri& pri() const { return std::get<TPri>(data_); }
    const TPsi& psi() const { return std::get<TPsi>(data_); }

    // Components, Duration and CastingTime exist for wizard and priest kinds;
    // these return nullptr for psionic records.
    std::string* components();
    std::string* duration();
    std::string* castingTime();
    const std::string* components() const;
    const std::string* duration() const;
    const std::string* castingTime() const;

    // An Info entry: a psionic record at level 13.
    bool isInfo() const { return kind() == SpellKind::Psionic && basic().Level == LevelInfo; }

    bool operator==(const SpellRecord&) const = default;

private:
    std::variant<TWiz, TPri, TPsi> data_;
};

} // namespace spelldata
