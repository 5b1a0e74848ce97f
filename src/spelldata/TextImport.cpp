#include "TextImport.h"

#include "FileIO.h"
#include "TextLines.h"

#include <array>
#include <vector>

namespace spelldata {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kFourRules = "\xC4\xC4\xC4\xC4";
constexpr std::string_view kFiveRules = "\xC4\xC4\xC4\xC4\xC4";

bool contains(std::string_view text, std::string_view word) {
    return text.find(word) != std::string_view::npos;
}

bool opensBlock(std::string_view line) {
    return !line.empty() && line[0] == RuleChar;
}

// Finds a "(...)" group: the first "(" and the first ")" after it.
bool findGroup(const std::string& line, std::size_t& open, std::size_t& close) {
    open = line.find('(');
    if (open == std::string::npos)
        return false;
    close = line.find(')', open + 1);
    return close != std::string::npos;
}

// Name line: "Name (School) (Second school) Reversible".
void applyNameLine(std::string_view text, TBasic& b) {
    std::string line(text);
    const std::size_t reversible = line.find("Reversible");
    b.Reversible = reversible != std::string::npos ? 1 : 0;
    if (b.Reversible) {
        // The blank that separates the flag from what comes before goes with it.
        const std::size_t cut =
            reversible > 0 && line[reversible - 1] == ' ' ? reversible - 1 : reversible;
        line.erase(cut);
    }
    std::size_t open = 0, close = 0;
    for (int group = 0; group < 2 && findGroup(line, open, close); ++group) {
        if (group > 0)
            b.School += ", ";
        b.School += line.substr(open + 1, close - open - 1);
        line.erase(open, close - open + 1);
    }
    b.Name = std::move(line);
}

SpellKind kindFromLevelLine(std::string_view line, SpellKind previous) {
    SpellKind kind = previous;
    if (contains(line, "Wiz") || contains(line, "antri"))
        kind = SpellKind::Wizard;
    if (contains(line, "Pri"))
        kind = SpellKind::Priest;
    if (contains(line, "Psi"))
        kind = SpellKind::Psionic;
    return kind;
}

// Reads lines for the import, with "no line" at the end of the file.
class ImportReader {
public:
    explicit ImportReader(std::string_view text) : lines_(text) {}
    bool atEnd() const { return lines_.atEnd(); }
    bool next(std::string_view& line) { return lines_.next(line); }
    // Reads a line; at the end of the file it yields an empty line.
    std::string_view nextOrEmpty() {
        std::string_view line;
        return lines_.next(line) ? line : std::string_view();
    }
    bool skip(int n) {
        std::string_view line;
        for (int i = 0; i < n; ++i) {
            if (!lines_.next(line))
                return false;
        }
        return true;
    }

private:
    LineReader lines_;
};

// "Author:  Jane Doe" sets Source to what stands from the third byte after the
// first colon; a following non-empty line continues it.
void applyAttribution(std::string_view line, ImportReader& in, TBasic& b) {
    const std::size_t colon = line.find(':');
    b.Source = colon + 3 <= line.size() ? std::string(line.substr(colon + 3)) : std::string();
    const std::string_view continuation = in.nextOrEmpty();
    if (continuation.empty())
        return;
    b.Source += ' ';
    b.Source += continuation;
    if (in.nextOrEmpty().empty() && in.nextOrEmpty().empty())
        in.nextOrEmpty();
}

// Reads the description; returns the line that ended it (the next block's
// separator), or false at the end of the file.
bool readDescription(ImportReader& in, TBasic& b, std::string_view& current,
                     std::vector<std::string_view>& lines) {
    // The lines are gathered first, so that the description is allocated once
    // and at its exact size.
    lines.clear();
    bool haveLine = in.next(current);
    bool first = true;
    while (haveLine && !contains(current, kFiveRules)) {
        if (first && current.empty())
            current = in.nextOrEmpty();
        first = false;
        // Most description lines have no colon; one scan for it spares the two
        // label searches.
        if (contains(current, ":") &&
            (contains(current, "Author:") || contains(current, "Page:"))) {
            applyAttribution(current, in, b);
        } else {
            lines.push_back(current);
        }
        haveLine = in.next(current);
    }
    std::size_t size = 0;
    for (const std::string_view line : lines)
        size += line.size() + kCrLf.size();
    b.Description.clear();
    b.Description.reserve(size);
    for (const std::string_view line : lines) {
        b.Description += line;
        b.Description += kCrLf;
    }
    return haveLine;
}

// Reads one block after its separator. Returns false when the file ended
// inside the header or the field block (the record keeps what it has).
bool readHeaderAndFields(ImportReader& in, SpellRecord& record, SpellKind& kind) {
    std::string_view nameLine, levelLine, line;
    const bool haveName = in.next(nameLine);
    const bool haveLevel = haveName && in.skip(1) && in.next(levelLine);
    kind = kindFromLevelLine(levelLine, kind);
    record = SpellRecord(kind);
    TBasic& b = record.basic();
    applyNameLine(nameLine, b);
    b.Level = LevelFromText(levelLine);
    b.Marked = 0;
    b.Shown = 1;
    if (!haveLevel || !in.skip(2))
        return false;
    while (in.next(line)) {
        if (!ApplyFieldLine(line, record))
            return true;
    }
    return false;
}

} // namespace

SpellLevel LevelFromText(std::string_view line) {
    struct Row {
        std::string_view word, digits;
        SpellLevel level;
    };
    static constexpr std::array<Row, 14> rows = {{
        {"Tenth", "10", 10},
        {"Cantrip", "0", 0},
        {"First", "1", 1},
        {"Secon", "2", 2},
        {"Third", "3", 3},
        {"Fourt", "4", 4},
        {"Fifth", "5", 5},
        {"Sixth", "6", 6},
        {"Seven", "7", 7},
        {"Eight", "8", 8},
        {"Ninth", "9", 9},
        {"Devoti", "", 11},
        {"Scienc", "", 12},
        {"param", "Info", 13},
    }};
    if (contains(line, "Quest"))
        return 10;
    for (const Row& row : rows) {
        if (contains(line, row.word) || (!row.digits.empty() && contains(line, row.digits)))
            return row.level;
    }
    return 0;
}

void ReplaceByte(std::string& text, char from, char to) {
    for (char& c : text) {
        if (c == from)
            c = to;
    }
}

bool ApplyFieldLine(std::string_view text, SpellRecord& record) {
    if (contains(text, kFourRules))
        return false;
    if (!contains(text, ": "))
        return true;
    const std::string_view line = text;
    std::string value(line.substr(line.find(": ") + 2));
    TBasic& b = record.basic();
    const SpellKind kind = record.kind();
    const bool spell = kind != SpellKind::Psionic;
    auto put = [&](std::string* field) {
        if (field)
            *field = value;
    };
    if (contains(line, "Range"))
        put(&b.Range);
    else if (contains(line, "Componen"))
        put(record.components());
    else if (contains(line, "Durat"))
        put(record.duration());
    else if (contains(line, "Casting Time"))
        put(record.castingTime());
    else if (contains(line, "Area of Effect") || contains(line, "AOE"))
        put(&b.AreaOfEffect);
    else if (contains(line, "Saving")) {
        // The one-half sign of code page 437 becomes that of Windows-1252.
        ReplaceByte(value, static_cast<char>(171), static_cast<char>(189));
        put(&b.SavingThrow);
    } else if (contains(line, "School") || contains(line, "Sphere"))
        put(kind == SpellKind::Priest ? &record.pri().Sphere : nullptr);
    else if (spell)
        return true; // the remaining labels belong to psionic powers only
    else if (contains(line, "Preparat"))
        put(&record.psi().PreparationTime);
    else if (contains(line, "Maint"))
        put(&record.psi().MaintenanceCost);
    else if (contains(line, "Cost"))
        put(&record.psi().InitialCost);
    else if (contains(line, "Prereq"))
        put(&record.psi().Prerequisites);
    else if (contains(line, "Power"))
        put(&record.psi().PowerScore);
    return true;
}

ImportReport ImportSpellTextBytes(std::string_view text, SpellCollection& spells) {
    // A Ctrl-Z ends the file.
    if (const std::size_t eof = text.find('\x1A'); eof != std::string_view::npos)
        text = text.substr(0, eof);
    ImportReport report;
    ImportReader in(text);
    std::string_view current;
    bool haveCurrent = in.next(current);
    std::vector<std::string_view> descriptionLines; // reused for every block
    SpellKind kind = SpellKind::Wizard; // a first block that names no kind is a wizard spell
    while (haveCurrent && !in.atEnd()) {
        if (!opensBlock(current)) {
            haveCurrent = in.next(current);
            continue;
        }
        SpellRecord record;
        const bool complete = readHeaderAndFields(in, record, kind);
        if (complete)
            haveCurrent = readDescription(in, record.basic(), current, descriptionLines);
        if (spells.Append(std::move(record)))
            ++report.imported;
        else
            ++report.refused;
        if (!complete)
            break;
    }
    return report;
}

ImportReport ImportSpellText(const std::string& path, SpellCollection& spells) {
    std::string bytes;
    if (Status s = ReadFileBytes(path, bytes); !s) {
        if (s.kind == ErrorKind::NotFound)
            s.message = "File Not Found, or beeing used by other application.";
        return {s};
    }
    return ImportSpellTextBytes(bytes, spells);
}

} // namespace spelldata
