#include "spelldata/TextImport.h"

#include "spelldata/Encoding.h"
#include "spelldata/FileIO.h"
#include "spelldata/TextLines.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace spelldata {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kFourRules = "\xC4\xC4\xC4\xC4";
constexpr std::string_view kFiveRules = "\xC4\xC4\xC4\xC4\xC4";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool contains(std::string_view text, std::string_view word) {
    return text.find(word) != std::string_view::npos;
}

// Where a line opens the next block: 0 when it begins with the rule
// character, else the start of five rule characters in a row; npos when it
// opens none.
std::size_t blockStart(std::string_view line) {
    if (!line.empty() && line[0] == RuleChar)
        return 0;
    return line.find(kFiveRules);
}

bool isBlank(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// Collects the numbers of skipped lines as ranges of consecutive lines.
void noteSkipped(std::vector<LineRange>& skipped, int line) {
    if (!skipped.empty() && skipped.back().last + 1 == line)
        skipped.back().last = line;
    else
        skipped.push_back({line, line});
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
    explicit ImportReader(std::string_view text) : text_(text), lines_(text) {}
    std::string_view text() const { return text_; }
    bool atEnd() const { return lines_.atEnd(); }
    int lineNumber() const { return lines_.lineNumber(); }
    // True when nothing but blank lines is left.
    bool restIsBlank() const { return isBlank(text_.substr(lines_.offset())); }
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
    std::string_view text_;
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

// True when `line`, a part of `text`, is followed there by CR LF.
bool endsWithCrLf(std::string_view line, std::string_view text) {
    if (line.data() == nullptr) // the empty line read past the end
        return false;
    const std::size_t end = static_cast<std::size_t>(line.data() - text.data()) + line.size();
    return text.substr(end, 2) == kCrLf;
}

// The description: each line followed by CR LF. When the lines follow each
// other in `text`, each ended by CR LF there, that is the text as it stands,
// taken in one copy.
void setDescription(std::string& to, const std::vector<std::string_view>& lines,
                    std::string_view text) {
    std::size_t size = 0;
    bool adjacent = true;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        size += lines[i].size() + kCrLf.size();
        adjacent = adjacent && endsWithCrLf(lines[i], text) &&
                   (i == 0 || lines[i].data() == lines[i - 1].data() + lines[i - 1].size() + 2);
    }
    if (adjacent && !lines.empty()) {
        to.assign(lines.front().data(), size);
        return;
    }
    to.clear();
    to.reserve(size);
    for (const std::string_view line : lines) {
        to += line;
        to += kCrLf;
    }
}

// Reads the description; returns the line that ended it (the next block's
// separator), or false at the end of the file. Text before the rule
// characters of that line is the description's last line.
bool readDescription(ImportReader& in, TBasic& b, std::string_view& current,
                     std::vector<std::string_view>& lines) {
    // The lines are gathered first, so that the description is allocated once
    // and at its exact size.
    lines.clear();
    bool haveLine = in.next(current);
    bool first = true;
    while (haveLine) {
        // Most description lines hold neither a rule character nor a colon;
        // one scan for both spares them the searches for separators and labels.
        const bool plain = !first && FindEitherByte(current.data(), current.size(), RuleChar,
                                                    ':') == current.size();
        if (plain) {
            lines.push_back(current);
            haveLine = in.next(current);
            continue;
        }
        if (const std::size_t rules = current.find(kFiveRules); rules != std::string_view::npos) {
            if (rules > 0)
                lines.push_back(current.substr(0, rules));
            break;
        }
        if (first && current.empty())
            current = in.nextOrEmpty();
        first = false;
        if (contains(current, ":") &&
            (contains(current, "Author:") || contains(current, "Page:"))) {
            applyAttribution(current, in, b);
        } else {
            lines.push_back(current);
        }
        haveLine = in.next(current);
    }
    setDescription(b.Description, lines, in.text());
    return haveLine;
}

// The first three lines after a separator: name, one ignored, level.
struct BlockHeader {
    std::array<std::string_view, 3> lines{};
    int count = 0;    // lines read before the end of the file or a separator
    bool cut = false; // lines[count] holds five rule characters: the next block
};

BlockHeader readHeader(ImportReader& in) {
    BlockHeader h;
    while (h.count < 3 && in.next(h.lines[static_cast<std::size_t>(h.count)])) {
        if (contains(h.lines[static_cast<std::size_t>(h.count)], kFiveRules)) {
            h.cut = true;
            break;
        }
        ++h.count;
    }
    return h;
}

// Reads one block's fields after its header into a record of the kind its
// level line names. Returns false when the file ended inside the header or the
// field block (the record keeps what it has).
bool readFields(ImportReader& in, const BlockHeader& header, SpellRecord& record) {
    const std::string_view nameLine = header.lines[0];
    const std::string_view levelLine = header.lines[2];
    const bool haveLevel = header.count == 3;
    TBasic& b = record.basic();
    applyNameLine(nameLine, b);
    b.Level = LevelFromText(levelLine);
    b.Marked = 0;
    b.Shown = 1;
    if (!haveLevel || !in.skip(2))
        return false;
    std::string_view line;
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

namespace {

// The labels of field lines. A line may name several; the first that
// ApplyFieldLine checks decides.
enum FieldLabel : unsigned {
    LabelRange = 1u << 0,
    LabelComponents = 1u << 1,
    LabelDuration = 1u << 2,
    LabelCastingTime = 1u << 3,
    LabelArea = 1u << 4,
    LabelAoe = 1u << 5,
    LabelSaving = 1u << 6,
    LabelSchool = 1u << 7,
    LabelSphere = 1u << 8,
    LabelPreparation = 1u << 9,
    LabelMaintenance = 1u << 10,
    LabelCost = 1u << 11,
    LabelPrerequisites = 1u << 12,
    LabelPower = 1u << 13,
};

// The label that begins `rest`, if any.
unsigned labelAt(std::string_view rest) {
    unsigned found = 0;
    auto at = [&](std::string_view word, unsigned label) {
        if (rest.starts_with(word))
            found |= label;
    };
    switch (rest[0]) {
    case 'A':
        at("Area of Effect", LabelArea);
        at("AOE", LabelAoe);
        break;
    case 'C':
        at("Componen", LabelComponents);
        at("Casting Time", LabelCastingTime);
        at("Cost", LabelCost);
        break;
    case 'D':
        at("Durat", LabelDuration);
        break;
    case 'M':
        at("Maint", LabelMaintenance);
        break;
    case 'P':
        at("Preparat", LabelPreparation);
        at("Prereq", LabelPrerequisites);
        at("Power", LabelPower);
        break;
    case 'R':
        at("Range", LabelRange);
        break;
    case 'S':
        at("Saving", LabelSaving);
        at("School", LabelSchool);
        at("Sphere", LabelSphere);
        break;
    default:
        break;
    }
    return found;
}

// The labels that occur anywhere in a line. Every label begins with a capital
// from A to S, and a line holds few of them: only there is a label looked for.
unsigned labelsIn(std::string_view line) {
    unsigned found = 0;
    std::size_t i = 0;
#if defined(__SSE2__)
    if (line.size() >= 16) {
        const __m128i belowA = _mm_set1_epi8('A' - 1);
        const __m128i aboveS = _mm_set1_epi8('S' + 1);
        // Blocks of sixteen; the last ends at the line's end and skips what
        // the one before it has seen.
        for (std::size_t seen = 0; seen < line.size(); i += 16) {
            const std::size_t at = std::min(i, line.size() - 16);
            const __m128i bytes =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(line.data() + at));
            // A signed comparison: bytes from 128 up count as below 'A'.
            auto capitals = static_cast<unsigned>(_mm_movemask_epi8(
                _mm_and_si128(_mm_cmpgt_epi8(bytes, belowA), _mm_cmplt_epi8(bytes, aboveS))));
            capitals &= ~0u << (seen - at);
            for (; capitals != 0; capitals &= capitals - 1)
                found |=
                    labelAt(line.substr(at + static_cast<std::size_t>(__builtin_ctz(capitals))));
            seen = at + 16;
        }
        return found;
    }
#endif
    for (; i < line.size(); ++i)
        found |= labelAt(line.substr(i));
    return found;
}

} // namespace

bool ApplyFieldLine(std::string_view text, SpellRecord& record) {
    if (contains(text, kFourRules))
        return false;
    const std::size_t colon = text.find(": ");
    if (colon == std::string_view::npos)
        return true;
    std::string value(text.substr(colon + 2));
    TBasic& b = record.basic();
    const SpellKind kind = record.kind();
    const bool spell = kind != SpellKind::Psionic;
    auto put = [&](std::string* field) {
        if (field)
            *field = std::move(value);
    };
    const unsigned labels = labelsIn(text);
    auto has = [labels](unsigned label) { return (labels & label) != 0; };
    if (has(LabelRange))
        put(&b.Range);
    else if (has(LabelComponents))
        put(record.components());
    else if (has(LabelDuration))
        put(record.duration());
    else if (has(LabelCastingTime))
        put(record.castingTime());
    else if (has(LabelArea | LabelAoe))
        put(&b.AreaOfEffect);
    else if (has(LabelSaving)) {
        // The one-half sign of code page 437 becomes that of Windows-1252.
        ReplaceByte(value, static_cast<char>(171), static_cast<char>(189));
        put(&b.SavingThrow);
    } else if (has(LabelSchool | LabelSphere))
        put(kind == SpellKind::Priest ? &record.pri().Sphere : nullptr);
    else if (spell)
        return true; // the remaining labels belong to psionic powers only
    else if (has(LabelPreparation))
        put(&record.psi().PreparationTime);
    else if (has(LabelMaintenance))
        put(&record.psi().MaintenanceCost);
    else if (has(LabelCost))
        put(&record.psi().InitialCost);
    else if (has(LabelPrerequisites))
        put(&record.psi().Prerequisites);
    else if (has(LabelPower))
        put(&record.psi().PowerScore);
    return true;
}

namespace {

constexpr std::string_view kUtf8Rule = "\xE2\x94\x80"; // U+2500

// Well-formed UTF-8 whose separator lines are made of U+2500.
bool hasUtf8Separators(std::string_view text) {
    std::string five;
    for (int i = 0; i < 5; ++i)
        five += kUtf8Rule;
    const bool separators = text.starts_with(kUtf8Rule) ||
                            text.find("\n" + std::string(kUtf8Rule)) != std::string_view::npos ||
                            text.find("\r" + std::string(kUtf8Rule)) != std::string_view::npos ||
                            text.find(five) != std::string_view::npos;
    return separators && IsValidUtf8(text);
}

// The text in the bytes the collection holds: U+2500 becomes the rule
// character, every other character its Windows-1252 byte, or "?" when the
// code page lacks it (counted in `lost`). Byte-order marks are dropped.
std::string decodeUtf8Spells(std::string_view text, int& lost) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const char32_t cp = DecodeUtf8(text, i);
        if (cp == 0x2500) {
            out += RuleChar;
        } else if (cp != 0xFEFF) {
            const int byte = Cp1252Byte(cp);
            lost += byte < 0 ? 1 : 0;
            out += byte < 0 ? '?' : static_cast<char>(byte);
        }
    }
    return out;
}

// Notes the text lines of a header that a separator cut off; `cutLine` is
// the number of the separator's line.
void noteCutHeader(const BlockHeader& header, int cutLine, std::vector<LineRange>& skipped) {
    for (int i = 0; i < header.count; ++i) {
        if (!isBlank(header.lines[static_cast<std::size_t>(i)]))
            noteSkipped(skipped, cutLine - header.count + i);
    }
}

ImportReport importBlocks(std::string_view text, SpellCollection& spells) {
    ImportReport report;
    ImportReader in(text);
    std::string_view current;
    bool haveCurrent = in.next(current);
    bool afterDescription = false;                  // current ended a description
    std::vector<std::string_view> descriptionLines; // reused for every block
    SpellKind kind = SpellKind::Wizard; // a first block that names no kind is a wizard spell
    while (haveCurrent) {
        const std::size_t start = blockStart(current);
        // Text that opens no block, or stands before a separator outside a
        // description, belongs to no spell.
        if ((start == std::string_view::npos || (start > 0 && !afterDescription)) &&
            !isBlank(current.substr(0, start)))
            noteSkipped(report.skipped, in.lineNumber());
        afterDescription = false;
        if (start == std::string_view::npos) {
            haveCurrent = in.next(current);
            continue;
        }
        if (in.restIsBlank())
            break; // a separator followed by blank lines only opens no spell
        const BlockHeader header = readHeader(in);
        if (header.cut) {
            // A separator within the header: the block is cut off before its
            // fields and is no spell; the separator opens the next one.
            noteCutHeader(header, in.lineNumber(), report.skipped);
            current = header.lines[static_cast<std::size_t>(header.count)];
            continue;
        }
        kind = kindFromLevelLine(header.lines[2], kind);
        // The record is made in its slot; one that does not fit is read all
        // the same, so that reading goes on after it, and then dropped.
        const bool fits = !spells.Full();
        std::optional<SpellRecord> dropped;
        SpellRecord& record = fits ? spells.AppendUnmarked(kind) : dropped.emplace(kind);
        const bool complete = readFields(in, header, record);
        if (complete) {
            haveCurrent = readDescription(in, record.basic(), current, descriptionLines);
            afterDescription = true;
        }
        ++(fits ? report.imported : report.refused);
        if (!complete)
            break;
    }
    return report;
}

} // namespace

namespace {

// The text the import reads: cut at a Ctrl-Z, a leading byte-order mark
// dropped, and UTF-8 decoded into `decoded` (any other text is read byte for
// byte, without a copy).
// True when the bytes hold neither a Ctrl-Z nor the first byte of U+2500:
// then they are read as they are.
bool isPlainPiece(std::string_view bytes) {
    return FindEitherByte(bytes.data(), bytes.size(), '\x1A', kUtf8Rule[0]) == bytes.size();
}

// `plain`: the caller has found that isPlainPiece holds for all of `text`.
std::string_view textToRead(std::string_view text, std::string& decoded, int& lost,
                            bool plain = false) {
    // Most files are plain, found in one pass (or by the caller on the way in).
    if (!text.starts_with(kByteOrderMark) && (plain || isPlainPiece(text)))
        return text;
    if (const std::size_t eof = text.find('\x1A'); eof != std::string_view::npos)
        text = text.substr(0, eof);
    const bool marked = text.starts_with(kByteOrderMark);
    if (marked)
        text.remove_prefix(kByteOrderMark.size());
    if ((marked && IsValidUtf8(text)) || (!marked && hasUtf8Separators(text))) {
        decoded = decodeUtf8Spells(text, lost);
        return decoded;
    }
    return text;
}

} // namespace

std::string SpellTextAsRead(std::string_view bytes, int* unstorable) {
    std::string decoded;
    int lost = 0;
    const std::string_view text = textToRead(bytes, decoded, lost);
    if (unstorable)
        *unstorable = lost;
    return std::string(text);
}

namespace {

ImportReport importBytes(std::string_view bytes, SpellCollection& spells, bool plain) {
    std::string decoded;
    int lost = 0;
    ImportReport report = importBlocks(textToRead(bytes, decoded, lost, plain), spells);
    report.unstorable = lost;
    return report;
}

// A whole file in one buffer, read a piece at a time; each piece is looked at
// for isPlainPiece while it is still in the processor's cache.
struct SpellFile {
    std::unique_ptr<char[]> bytes;
    std::size_t size = 0;
    bool plain = true;

    Status read(const std::string& path) {
        InputFile file;
        if (Status s = file.open(path); !s)
            return s;
        constexpr std::size_t piece = 256 * 1024;
        std::size_t capacity = file.size() + 1; // one more: the end shows at once
        bytes = std::make_unique_for_overwrite<char[]>(capacity);
        while (true) {
            if (size == capacity) // the file grew since it was opened
                grow(capacity *= 2);
            std::size_t got = 0;
            if (Status s = file.read(bytes.get() + size, std::min(piece, capacity - size), got); !s)
                return s;
            if (got == 0)
                return Status::Ok();
            plain = plain && isPlainPiece(std::string_view(bytes.get() + size, got));
            size += got;
        }
    }

    void grow(std::size_t capacity) {
        auto larger = std::make_unique_for_overwrite<char[]>(capacity);
        std::memcpy(larger.get(), bytes.get(), size);
        bytes = std::move(larger);
    }
};

} // namespace

ImportReport ImportSpellTextBytes(std::string_view bytes, SpellCollection& spells) {
    return importBytes(bytes, spells, false);
}

namespace {

std::string describeSkipped(const std::vector<LineRange>& skipped, const std::string& file) {
    const bool one = skipped.size() == 1 && skipped[0].first == skipped[0].last;
    std::string text = one ? "Line " : "Lines ";
    for (std::size_t i = 0; i < skipped.size(); ++i) {
        text += (i > 0 ? ", " : "") + std::to_string(skipped[i].first);
        if (skipped[i].last > skipped[i].first)
            text += "-" + std::to_string(skipped[i].last);
    }
    return text + " of " + file + (one ? " holds" : " hold") + " no spell and " +
           (one ? "was" : "were") + " skipped.";
}

} // namespace

std::string ImportNotes(const ImportReport& report, const std::string& file) {
    std::string notes;
    if (!report.skipped.empty())
        notes = describeSkipped(report.skipped, file);
    if (report.unstorable > 0) {
        const bool one = report.unstorable == 1;
        notes += (notes.empty() ? "" : "\n") + std::to_string(report.unstorable) +
                 (one ? " character" : " characters") +
                 " could not be stored (Windows-1252 lacks " + (one ? "it" : "them") +
                 ") and became \"?\".";
    }
    return notes;
}

ImportReport ImportSpellText(const std::string& path, SpellCollection& spells) {
    SpellFile file;
    if (Status s = file.read(path); !s) {
        if (s.kind == ErrorKind::NotFound)
            s.message = "File Not Found, or beeing used by other application.";
        ImportReport failed;
        failed.status = s;
        return failed;
    }
    ImportReport report =
        importBytes(std::string_view(file.bytes.get(), file.size), spells, file.plain);
    if (report.imported == 0 && report.refused == 0)
        report.status = Status::Error(ErrorKind::Malformed, "No spells found in " + path);
    return report;
}

} // namespace spelldata
