#include "ReaderPromises.h"

#include "spelldata/DataFile.h"
#include "spelldata/Settings.h"
#include "spelldata/TextImport.h"

#include <cstdint>
#include <optional>
#include <unordered_set>

namespace promises {

using namespace spelldata;

namespace {

constexpr std::string_view kMarker = "#9#";
constexpr std::size_t kCountBytes = MaxBooks;

void expect(Findings& findings, bool ok, std::string what) {
    if (!ok)
        findings.push_back(std::move(what));
}

// Digits only, no sign, below 10^18 (leading zeros allowed); nullopt otherwise.
std::optional<std::uint64_t> digitsValue(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    while (text.size() > 1 && text.front() == '0')
        text.remove_prefix(1);
    if (text.size() > 18)
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value;
}

std::string joinLines(const std::vector<std::string_view>& lines, std::size_t from,
                      std::size_t to) {
    std::string out;
    for (std::size_t i = from; i < to; ++i) {
        if (i > from)
            out += "\r\n";
        out += lines[i];
    }
    return out;
}

bool namesFileAndPlace(const std::string& message, const std::vector<std::string>& files) {
    for (const std::string& file : files) {
        for (const char* place : {", line ", ", byte "}) {
            const std::string prefix = file + place;
            const std::size_t at = message.find(prefix);
            if (at != std::string::npos && at + prefix.size() < message.size() &&
                message[at + prefix.size()] >= '0' && message[at + prefix.size()] <= '9')
                return true;
        }
    }
    return false;
}

std::vector<std::string_view> kindFieldsOf(const SpellRecord& r) {
    switch (r.kind()) {
    case SpellKind::Wizard:
        return {r.wiz().Components, r.wiz().Duration, r.wiz().CastingTime};
    case SpellKind::Priest:
        return {r.pri().Sphere, r.pri().Components, r.pri().Duration, r.pri().CastingTime};
    case SpellKind::Psionic:
        break;
    }
    const TPsi& p = r.psi();
    return {p.InitialCost, p.PowerScore, p.MaintenanceCost, p.PreparationTime, p.Prerequisites};
}

// Walks the .Dat lines block by block, the way the format lays them out, and
// compares each accepted record with the lines of its block.
class DatWalker {
public:
    DatWalker(std::string_view dat, Findings& findings)
        : lines_(SplitLines(dat)), findings_(findings) {}

    std::optional<std::uint64_t> count() { return at_ == 0 ? digitsValue(take()) : std::nullopt; }

    void compare(const SpellRecord& r, int slot, const std::string* sbn) {
        const std::string where = "record " + std::to_string(slot) + ": ";
        if (at_ + 13 > lines_.size()) {
            findings_.push_back(where + "accepted, but the file has no whole block for it");
            return;
        }
        const TBasic& b = r.basic();
        expect(findings_, b.Name == take(), where + "name differs from its line");
        expect(findings_, b.Reversible == (take() == "1" ? 1 : 0), where + "reversible flag");
        const std::string_view kind = take();
        const char letter = "WRS"[static_cast<int>(r.kind())];
        expect(findings_, !kind.empty() && kind[0] == letter, where + "kind letter");
        expect(findings_, digitsValue(take()) == b.Level, where + "level");
        for (const std::string* field :
             {&b.SavingThrow, &b.Range, &b.Source, &b.AreaOfEffect, &b.School})
            expect(findings_, *field == take(), where + "a common field differs from its line");
        for (const std::string_view field : kindFieldsOf(r))
            expect(findings_, field == take(), where + "a kind field differs from its line");
        compareBooks(b, take(), where);
        take(); // the opening marker
        const std::size_t first = at_;
        while (at_ < lines_.size() && lines_[at_].substr(0, kMarker.size()) != kMarker)
            ++at_;
        expect(findings_, at_ < lines_.size(), where + "accepted without a closing marker");
        expect(findings_, b.Description == joinLines(lines_, first, at_),
               where + "description differs from its lines");
        ++at_;
        compareCounts(b, slot, sbn, where);
    }

    // After the last record: nothing but empty lines may be left.
    void expectNothingLeft() {
        for (std::size_t i = at_; i < lines_.size(); ++i)
            expect(findings_, lines_[i].empty(),
                   "accepted with line " + std::to_string(i + 1) + " after the last counted block");
    }

private:
    std::string_view take() { return at_ < lines_.size() ? lines_[at_++] : std::string_view(); }

    void compareBooks(const TBasic& b, std::string_view line, const std::string& where) {
        for (int i = 0; i < MaxBooks; ++i) {
            const bool set = static_cast<std::size_t>(i) < line.size() && line[i] == '1';
            if (b.BookSet.test(i) != set) {
                findings_.push_back(where + "book bit " + std::to_string(i));
                return;
            }
        }
    }

    void compareCounts(const TBasic& b, int slot, const std::string* sbn,
                       const std::string& where) {
        const std::size_t at = static_cast<std::size_t>(slot) * kCountBytes;
        for (std::size_t i = 0; i < kCountBytes; ++i) {
            const auto expected = sbn ? static_cast<std::uint8_t>((*sbn)[at + i]) : std::uint8_t{0};
            if (b.BookCounts[i] != expected) {
                findings_.push_back(where + "copy count of book " + std::to_string(i));
                return;
            }
        }
    }

    std::vector<std::string_view> lines_;
    std::size_t at_ = 0;
    Findings& findings_;
};

SpellRecord priorRecord(SpellKind kind, const std::string& name) {
    SpellRecord r(kind);
    r->Name = name;
    r->Level = 4;
    r->Description = "Already here.\r\n";
    r->BookSet.set(1, true);
    r->BookCounts[1] = 2;
    return r;
}

// Writes the records and books as a set and reads them back into a fresh
// collection: the same records and book table must come back, and writing
// them again must give the same bytes.
void checkWritesBack(const SpellCollection& spells, const BookList& books, Findings& findings) {
    if (Status s = CheckWritable(spells); !s) {
        findings.push_back("accepted records cannot be written back: " + s.message);
        return;
    }
    const std::string dat = FormatDatFile(spells);
    const std::string sbk = FormatBookFile(books);
    const std::string sbn = FormatCountFile(spells);
    SpellCollection again;
    BookList againBooks;
    const ReadReport report =
        ParseDataSet(again, againBooks, dat, &sbk, &sbn, {DatName, SbkName, SbnName});
    if (!report.status) {
        findings.push_back("the written-back set is refused: " + report.status.message);
        return;
    }
    expect(findings, again.Count() == spells.Count(), "written back: record count differs");
    for (int i = 0; i < spells.Count() && i < again.Count(); ++i)
        expect(findings, again[i] == spells[i], "written back: record " + std::to_string(i));
    expect(findings, againBooks == books, "written back: book table differs");
    expect(findings, FormatDatFile(again) == dat, "written back twice: .Dat bytes differ");
}

void checkRefusal(const ReadReport& report, const SpellCollection& spells, const BookList& books,
                  Findings& findings) {
    expect(findings, report.status.kind == ErrorKind::Malformed,
           "refused, but not as malformed: " + report.status.message);
    expect(findings, namesFileAndPlace(report.status.message, {DatName, SbkName, SbnName}),
           "refusal names no file and line or byte: " + report.status.message);
    const SpellCollection prior = PriorCollection();
    bool same = spells.Count() == prior.Count();
    for (int i = 0; same && i < prior.Count(); ++i)
        same = spells[i] == prior[i];
    expect(findings, same, "refused, but the collection changed");
    expect(findings, books == PriorBooks(), "refused, but the book table changed");
}

void checkAcceptance(const DataSetInput& input, const ReadReport& report,
                     const SpellCollection& spells, const BookList& books, Findings& findings) {
    const SpellCollection prior = PriorCollection();
    for (int i = 0; i < prior.Count(); ++i)
        expect(findings, spells[i] == prior[i], "accepted, but an earlier record changed");
    DatWalker walker(input.dat, findings);
    const auto count = walker.count();
    expect(findings, count.has_value(), "accepted, but the count line is not a number");
    if (!count)
        return;
    expect(findings, static_cast<std::uint64_t>(report.added + report.refused) == *count,
           "accepted with " + std::to_string(report.added + report.refused) +
               " records, the count line says " + std::to_string(*count));
    expect(findings, spells.Count() == prior.Count() + report.added, "Count differs from added");
    const std::string* sbn = input.haveSbn ? &input.sbn : nullptr;
    expect(findings, !sbn || sbn->size() == *count * kCountBytes,
           "accepted a .SBN file whose size does not fit the count line");
    if (!findings.empty())
        return;
    for (int i = prior.Count(); i < spells.Count(); ++i)
        walker.compare(spells[i], i - prior.Count(), sbn);
    if (report.refused == 0)
        walker.expectNothingLeft();
    if (input.haveSbk) {
        BookList lines;
        for (const std::string_view line : SplitLines(input.sbk))
            lines.emplace_back(line);
        expect(findings, books == lines, "the book table is not the lines of the .SBK file");
    } else {
        expect(findings, books == PriorBooks(), "no .SBK file, but the book table changed");
    }
}

} // namespace

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        lines.push_back(text.substr(start, i - start));
        i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
        start = i;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

DataSetInput SplitDataSetInput(std::string_view bytes) {
    DataSetInput input;
    std::size_t cut = bytes.find(DataSetSeparator);
    input.dat.assign(bytes.substr(0, cut));
    if (cut == std::string_view::npos)
        return input;
    bytes.remove_prefix(cut + DataSetSeparator.size());
    input.haveSbk = true;
    cut = bytes.find(DataSetSeparator);
    input.sbk.assign(bytes.substr(0, cut));
    if (cut == std::string_view::npos)
        return input;
    input.haveSbn = true;
    input.sbn.assign(bytes.substr(cut + DataSetSeparator.size()));
    return input;
}

std::string JoinDataSetInput(const DataSetInput& input) {
    std::string out = input.dat;
    if (input.haveSbk || input.haveSbn)
        out.append(DataSetSeparator).append(input.sbk);
    if (input.haveSbn)
        out.append(DataSetSeparator).append(input.sbn);
    return out;
}

SpellCollection PriorCollection() {
    SpellCollection spells;
    spells.Append(priorRecord(SpellKind::Priest, "Prior Psalm"));
    spells.Append(priorRecord(SpellKind::Psionic, "Prior Mind"));
    return spells;
}

BookList PriorBooks() {
    return {std::string(NoBookLine), "Prior Book", std::string(FreeBookLine)};
}

Findings CheckDataSet(const DataSetInput& input, DataSetRead* result) {
    Findings findings;
    SpellCollection spells = PriorCollection();
    BookList books = PriorBooks();
    const ReadReport report =
        ParseDataSet(spells, books, input.dat, input.haveSbk ? &input.sbk : nullptr,
                     input.haveSbn ? &input.sbn : nullptr, {DatName, SbkName, SbnName});
    if (!report.status) {
        checkRefusal(report, spells, books, findings);
    } else {
        checkAcceptance(input, report, spells, books, findings);
        SpellCollection added;
        for (int i = PriorCollection().Count(); i < spells.Count(); ++i)
            added.Append(spells[i]);
        if (findings.empty())
            checkWritesBack(added, books, findings);
        spells = std::move(added);
    }
    if (result) {
        result->accepted = report.status.ok();
        result->message = report.status.message;
        result->spells = std::move(spells);
        result->books = std::move(books);
    }
    return findings;
}

namespace {

// The values a field line can give: what follows the line's first ": ", with
// the one-half sign of code page 437 also in its Windows-1252 form.
std::unordered_set<std::string> fieldValues(const std::vector<std::string_view>& lines) {
    std::unordered_set<std::string> values;
    for (const std::string_view line : lines) {
        const std::size_t at = line.find(": ");
        if (at == std::string_view::npos)
            continue;
        std::string value(line.substr(at + 2));
        values.insert(value);
        ReplaceByte(value, static_cast<char>(171), static_cast<char>(189));
        values.insert(std::move(value));
    }
    return values;
}

std::vector<const std::string*> importedFields(const SpellRecord& r) {
    const TBasic& b = r.basic();
    std::vector<const std::string*> fields = {&b.SavingThrow, &b.Range, &b.AreaOfEffect};
    if (r.kind() == SpellKind::Psionic) {
        const TPsi& p = r.psi();
        fields.insert(fields.end(), {&p.InitialCost, &p.PowerScore, &p.MaintenanceCost,
                                     &p.PreparationTime, &p.Prerequisites});
        return fields;
    }
    fields.insert(fields.end(), {r.components(), r.duration(), r.castingTime()});
    if (r.kind() == SpellKind::Priest)
        fields.push_back(&r.pri().Sphere);
    return fields;
}

bool hasMarkerLine(const std::string& description) {
    for (const std::string_view line : SplitLines(description)) {
        if (line.substr(0, kMarker.size()) == kMarker)
            return true;
    }
    return false;
}

void checkImportedRecord(const SpellRecord& r, int slot,
                         const std::unordered_set<std::string_view>& lines,
                         const std::unordered_set<std::string>& values, Findings& findings) {
    const std::string where = "record " + std::to_string(slot) + ": ";
    expect(findings, r->Marked == 0 && r->Shown == 1, where + "Marked/Shown not 0/1");
    expect(findings, r->Level <= LevelInfo, where + "level above Info");
    for (const std::string* field : importedFields(r)) {
        if (!field->empty())
            expect(findings, values.count(*field) > 0,
                   where + "field value \"" + *field + "\" is no line's value");
    }
    const std::string& d = r->Description;
    expect(findings, d.empty() || d.ends_with("\r\n"), where + "description without CR LF end");
    for (const std::string_view line : SplitLines(d))
        expect(findings, lines.count(line) > 0, where + "description line not in the input");
}

} // namespace

Findings CheckTextImport(std::string_view bytes) {
    Findings findings;
    SpellCollection spells;
    const ImportReport report = ImportSpellTextBytes(bytes, spells);
    expect(findings, report.status.ok(), "import from bytes failed: " + report.status.message);
    expect(findings, report.imported == spells.Count() && report.refused == 0,
           "imported count differs from Count");
    const std::string text = SpellTextAsRead(bytes);
    const std::vector<std::string_view> lineList = SplitLines(text);
    int opening = 0;
    // A description may end in the text before five rule characters.
    std::unordered_set<std::string_view> lines(lineList.begin(), lineList.end());
    for (const std::string_view line : lineList) {
        const std::size_t five = line.find(std::string(5, RuleChar));
        opening += (!line.empty() && line[0] == RuleChar) || five != std::string_view::npos;
        if (five != std::string_view::npos)
            lines.insert(line.substr(0, five));
    }
    expect(findings, spells.Count() <= opening, "more records than lines that open a block");
    const std::unordered_set<std::string> values = fieldValues(lineList);
    for (int i = 0; i < spells.Count(); ++i)
        checkImportedRecord(spells[i], i, lines, values, findings);
    if (!findings.empty())
        return findings;
    bool markerLine = false;
    for (const SpellRecord& r : spells)
        markerLine = markerLine || hasMarkerLine(r->Description);
    if (markerLine) {
        // A description line that begins with the end marker cannot be saved;
        // the writer must say so rather than write it.
        expect(findings, CheckWritable(spells).kind == ErrorKind::Invalid,
               "a marker line in a description was not refused by the writer");
        return findings;
    }
    SpellCollection saved;
    for (SpellRecord r : spells) {
        r->Shown = 0; // not kept in the data file
        saved.Append(std::move(r));
    }
    checkWritesBack(saved, InitialBookList(), findings);
    return findings;
}

namespace {

IniSettings sentinelIni() {
    IniSettings ini;
    ini.mainTop = -7;
    ini.DescFontName = "untouched";
    ini.ListFontName = "untouched";
    ini.DescFontSize = 99;
    return ini;
}

// A number as the ini reader takes it: blanks around it, an optional "+".
std::optional<long long> iniNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    const bool negative = !text.empty() && text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    long long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9' || value > 10'000'000'000LL)
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

void checkIniValues(const IniSettings& ini, const std::vector<std::string_view>& lines,
                    Findings& findings) {
    const int numbers[] = {ini.mainTop, ini.mainLeft, ini.mainHeight, ini.mainWidth,
                           ini.viewTop, ini.viewLeft, ini.viewHeight, ini.viewWidth};
    for (std::size_t i = 0; i < 8; ++i)
        expect(findings, iniNumber(lines[i]) == numbers[i],
               "ini line " + std::to_string(i + 1) + " read as another number");
    expect(findings, iniNumber(lines[11]) == ini.DescFontSize, "ini line 12 read wrongly");
    expect(findings, ini.viewMaximised == (lines[8] == "1"), "ini line 9 read wrongly");
    expect(findings, ini.showDescription == (lines[9] == "1"), "ini line 10 read wrongly");
    expect(findings, ini.DescFontName == lines[10], "ini line 11 not taken whole");
    expect(findings, ini.ListFontName == lines[12], "ini line 13 not taken whole");
    expect(findings, ini.mainMaximised == (lines.size() > 13 && lines[13] == "1"),
           "ini line 14 read wrongly");
}

} // namespace

Findings CheckIniFile(std::string_view bytes) {
    Findings findings;
    IniSettings ini = sentinelIni();
    const std::string name = "case.ini";
    const Status s = ParseIniFile(std::string(bytes), name, ini);
    const std::vector<std::string_view> lines = SplitLines(bytes);
    if (!s) {
        expect(findings, s.kind == ErrorKind::Malformed, "ini refused, not as malformed");
        expect(findings, namesFileAndPlace(s.message, {name}), "ini refusal: " + s.message);
        expect(findings, ini == sentinelIni(), "ini refused, but the settings changed");
        return findings;
    }
    expect(findings, lines.size() >= 13, "ini accepted with fewer than 13 lines");
    if (!findings.empty())
        return findings;
    checkIniValues(ini, lines, findings);
    IniSettings again = sentinelIni();
    const Status back = ParseIniFile(FormatIniFile(ini), name, again);
    expect(findings, back.ok() && again == ini, "ini written back reads differently");
    return findings;
}

Findings CheckFileList(std::string_view bytes) {
    Findings findings;
    std::vector<std::string> entries = {"untouched"};
    ParseFileList(bytes, entries);
    const std::vector<std::string_view> lines = SplitLines(bytes);
    expect(findings, entries == std::vector<std::string>(lines.begin(), lines.end()),
           "file list entries are not the lines");
    std::vector<std::string> again;
    ParseFileList(FormatFileList(entries), again);
    expect(findings, again == entries, "file list written back reads differently");
    return findings;
}

Findings CheckColourFile(std::string_view bytes) {
    Findings findings;
    ColourSlots slots;
    for (int i = 1; i <= ColourSlotCount; ++i)
        slots[i] = 0x12345600u + static_cast<ColourValue>(i);
    const ColourSlots before = slots;
    const std::string name = "case.Col";
    const Status s = ParseColourFile(std::string(bytes), name, slots);
    if (bytes.size() < 84) {
        expect(findings, s.kind == ErrorKind::Malformed, "short colour file not refused");
        expect(findings, namesFileAndPlace(s.message, {name}), "colour refusal: " + s.message);
        expect(findings, slots == before, "colour file refused, but the slots changed");
        return findings;
    }
    expect(findings, s.ok(), "colour file of 84 bytes or more refused: " + s.message);
    // Values that are no colours give the slot's default, and are counted.
    ColourSlots defaults;
    SetDefaultColours(defaults);
    int wrong = 0;
    for (int i = 1; i <= ColourSlotCount; ++i) {
        const std::size_t at = static_cast<std::size_t>(i - 1) * 4;
        ColourValue v = 0;
        for (std::size_t k = 0; k < 4; ++k)
            v |= static_cast<ColourValue>(static_cast<unsigned char>(bytes[at + k])) << (8 * k);
        const bool colour = v <= 0xFFFFFFu || (v >= 0x80000000u && v <= 0x8000001Eu);
        wrong += colour ? 0 : 1;
        expect(findings, slots[i] == (colour ? v : defaults[i]),
               "colour slot " + std::to_string(i) + " read wrongly");
    }
    ColourSlots again;
    int replaced = -1;
    ParseColourFile(std::string(bytes), name, again, &replaced);
    expect(findings, replaced == wrong, "replaced colour values miscounted");
    expect(findings, wrong > 0 || FormatColourFile(slots) == bytes.substr(0, 84),
           "colour slots write back to other bytes");
    return findings;
}

} // namespace promises
