#include "formats/SpellSheets.h"

#include "formats/SpellFields.h"
#include "spelldata/Encoding.h"
#include "spelldata/TextLines.h"

#include <map>

using namespace spelldata;

namespace formats {

namespace {

// The fields of a record in UTF-8 by JSON key, and their labels in order.
struct Fields {
    std::map<std::string, std::string> byKey;
    std::vector<std::pair<std::string, std::string>> labelled; // label, value

    explicit Fields(const SpellRecord& record) {
        ForEachTextField(record, [this](const char* key, const char* label, const std::string& v) {
            byKey[key] = Cp1252ToUtf8(v);
            labelled.emplace_back(label, byKey[key]);
        });
    }

    std::string get(const char* key) const {
        const auto it = byKey.find(key);
        return it == byKey.end() ? std::string() : it->second;
    }
};

// Column header and the JSON keys whose value fills it (the first present).
struct CsvColumn {
    const char* header;
    std::vector<const char*> keys;
};

const std::vector<CsvColumn>& csvLayout() {
    static const std::vector<CsvColumn> layout = {
        {"Kind", {}},
        {"Level", {}},
        {"Name", {"name"}},
        {"Reversible", {}},
        {"School or Discipline", {"school", "discipline"}},
        {"Sphere", {"sphere"}},
        {"Range", {"range"}},
        {"Components", {"components"}},
        {"Duration", {"duration"}},
        {"Casting Time", {"castingTime"}},
        {"Area of Effect", {"areaOfEffect"}},
        {"Saving Throw", {"savingThrow"}},
        {"Power Score", {"powerScore"}},
        {"Initial Cost", {"initialCost"}},
        {"Maintenance Cost", {"maintenanceCost"}},
        {"Preparation Time", {"preparationTime"}},
        {"Prerequisites", {"prerequisites"}},
        {"Source", {"source"}},
        {"Books", {}},
        {"Description", {"description"}},
    };
    return layout;
}

void appendCsvField(std::string& out, const std::string& field) {
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        out += field;
        return;
    }
    out += '"';
    for (const char c : field) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

void appendCsvRow(std::string& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        appendCsvField(out, fields[i]);
    }
    out += "\r\n";
}

std::vector<std::string> csvRow(const SpellRecord& record, const BookList& books) {
    const Fields fields(record);
    std::vector<std::string> row;
    for (const CsvColumn& column : csvLayout()) {
        std::string value;
        for (const char* key : column.keys) {
            if (fields.byKey.contains(key))
                value = fields.get(key);
        }
        row.push_back(value);
    }
    row[0] = KindWord(record);
    row[1] = LevelWord(record->Level);
    row[3] = record->Reversible ? "yes" : "no";
    row[18] = BookSummary(record, books);
    return row;
}

// Backslash before the characters that start inline markup or HTML.
std::string escapeInline(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (std::string_view("\\`*_[]<>|").find(c) != std::string_view::npos)
            out += '\\';
        out += c == '\r' || c == '\n' ? ' ' : c;
    }
    return out;
}

// A description line as a paragraph of its own: leading blanks dropped (they
// would make a code block) and a character that would open a heading, quote,
// list or rule at the start of the line escaped.
std::string paragraph(std::string_view line) {
    const std::size_t start = line.find_first_not_of(" \t");
    std::string text =
        escapeInline(line.substr(start == std::string_view::npos ? line.size() : start));
    std::size_t at = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9')
        ++at;
    const bool numbered = at > 0 && at < text.size() && (text[at] == '.' || text[at] == ')');
    if (numbered ||
        (!text.empty() && std::string_view("#>-+=~").find(text[0]) != std::string_view::npos))
        text.insert(numbered ? at : 0, 1, '\\');
    return text;
}

void appendListItem(std::string& out, std::string_view label, const std::string& value) {
    if (value.empty())
        return;
    out += "- **";
    out += label;
    out += ":** ";
    out += escapeInline(value);
    out += '\n';
}

void appendMarkdownSpell(std::string& out, const SpellRecord& record, const BookList& books) {
    const Fields fields(record);
    std::string heading = escapeInline(fields.get("name"));
    for (std::size_t at = heading.find('#'); at != std::string::npos;
         at = heading.find('#', at + 2))
        heading.insert(at, 1, '\\');
    out += "# " + heading + "\n\n";
    appendListItem(out, "Kind", KindWord(record));
    appendListItem(out, "Level", LevelWord(record->Level));
    if (record->Reversible)
        appendListItem(out, "Reversible", "yes");
    for (const auto& [label, value] : fields.labelled) {
        if (label != std::string_view("Name") && label != std::string_view("Description"))
            appendListItem(out, label, value);
    }
    appendListItem(out, "Books", BookSummary(record, books));
    const std::string description = fields.get("description");
    LineReader lines(description);
    std::string_view line;
    while (lines.next(line)) {
        if (line.find_first_not_of(" \t") != std::string_view::npos)
            out += "\n" + paragraph(line) + "\n";
    }
    out += '\n';
}

} // namespace

const std::vector<std::string>& CsvColumns() {
    static const std::vector<std::string> headers = [] {
        std::vector<std::string> h;
        for (const CsvColumn& column : csvLayout())
            h.emplace_back(column.header);
        return h;
    }();
    return headers;
}

std::string SpellsToCsv(const std::vector<const SpellRecord*>& spells, const BookList& books) {
    std::string out;
    appendCsvRow(out, CsvColumns());
    for (const SpellRecord* spell : spells)
        appendCsvRow(out, csvRow(*spell, books));
    return out;
}

std::string SpellsToMarkdown(const std::vector<const SpellRecord*>& spells, const BookList& books) {
    std::string out;
    for (const SpellRecord* spell : spells)
        appendMarkdownSpell(out, *spell, books);
    return out;
}

std::string KindWord(const SpellRecord& record) {
    if (record.isInfo())
        return "Info";
    switch (record.kind()) {
    case SpellKind::Priest:
        return "Priest Prayer";
    case SpellKind::Psionic:
        return "Psionic Power";
    case SpellKind::Wizard:
        break;
    }
    return "Wizard Spell";
}

std::string LevelWord(SpellLevel level) {
    switch (level) {
    case LevelCantrip:
        return "Cantrip";
    case LevelDevotion:
        return "Devotion";
    case LevelScience:
        return "Science";
    case LevelInfo:
        return "Info";
    default:
        return std::to_string(level);
    }
}

std::string BookSummary(const SpellRecord& record, const BookList& books) {
    std::string out;
    for (int b = 0; b < MaxBooks; ++b) {
        const int copies = record->BookCounts[static_cast<std::size_t>(b)];
        if (!record->BookSet.test(b) && copies == 0)
            continue;
        if (!out.empty())
            out += "; ";
        out += IsBookPosition(books, b) ? Cp1252ToUtf8(books[static_cast<std::size_t>(b)])
                                        : "Book " + std::to_string(b);
        if (copies > 0)
            out += " (" + std::to_string(copies) + (copies == 1 ? " copy)" : " copies)");
    }
    return out;
}

} // namespace formats
