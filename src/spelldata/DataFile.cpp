#include "spelldata/DataFile.h"

#include "spelldata/DatFields.h"
#include "spelldata/FileIO.h"
#include "spelldata/TextLines.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>

namespace spelldata {

namespace {

constexpr std::string_view kMarker = "#9#";
constexpr std::string_view kCrLf = "\r\n";
constexpr std::size_t kCountRecord = MaxBooks;

// Parses a decimal number without sign; nullopt for anything else.
std::optional<unsigned long> parseNumber(std::string_view text) {
    unsigned long value = 0;
    if (text.empty())
        return std::nullopt;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// Reads the .Dat lines of one set; every failure names the file and the line.
class DatParser {
public:
    DatParser(std::string_view text, const std::string& name) : lines_(text), name_(name) {}

    Status parse(std::vector<SpellRecord>& out) {
        std::string_view line;
        if (!lines_.next(line))
            return error("the file is empty; its first line must be the number of spells");
        const auto count = parseNumber(line);
        if (!count)
            return error("the count line \"" + Excerpt(line) + "\" is not a number");
        out.reserve(std::min<unsigned long>(*count, SpellCollection::Capacity));
        for (unsigned long i = 0; i < *count; ++i) {
            // Parsed in place; after a failure the caller drops every record.
            if (Status s = parseBlock(out.emplace_back(), i, *count); !s)
                return s;
        }
        // More after the last counted block means the count line is wrong:
        // reading fewer spells than the file holds would lose the rest at
        // the next save.
        while (read(line)) {
            if (!line.empty())
                return error("the count line gives " + std::to_string(*count) +
                             " spells, but the file goes on after the last of them: \"" +
                             Excerpt(line) + "\"");
        }
        return Status::Ok();
    }

private:
    Status error(const std::string& what) const {
        const int line = std::max(1, lines_.lineNumber());
        return Status::Error(ErrorKind::Malformed,
                             name_ + ", line " + std::to_string(line) + ": " + what);
    }

    bool read(std::string_view& line) { return lines_.next(line); }

    // Reads one line into a field; false at the end of the file.
    bool field(std::string& to) {
        std::string_view line;
        if (!read(line))
            return false;
        to.assign(line);
        return true;
    }

    Status parseBlock(SpellRecord& record, unsigned long index, unsigned long count) {
        std::string_view name, reversible, kind, level;
        if (!read(name))
            return error("the file ends after " + std::to_string(index) + " of " +
                         std::to_string(count) + " spells");
        if (!read(reversible) || !read(kind))
            return truncated();
        if (kind.empty() || (kind[0] != 'W' && kind[0] != 'R' && kind[0] != 'S'))
            return error("the kind line \"" + Excerpt(kind) + "\" does not start with W, R or S");
        record = SpellRecord(kind[0] == 'W'   ? SpellKind::Wizard
                             : kind[0] == 'R' ? SpellKind::Priest
                                              : SpellKind::Psionic);
        TBasic& b = record.basic();
        b.Name.assign(name);
        b.Reversible = reversible == "1" ? 1 : 0;
        if (!read(level))
            return truncated();
        const auto levelValue = parseNumber(level);
        if (!levelValue || *levelValue > 255)
            return error("the level \"" + Excerpt(level) + "\" is not a number from 0 to 255");
        b.Level = static_cast<SpellLevel>(*levelValue);
        if (!ForEachDatField(record, [this](std::string& to) { return field(to); }))
            return truncated();
        return bookSetAndDescription(b);
    }

    Status bookSetAndDescription(TBasic& b) {
        std::string_view line;
        if (!read(line))
            return truncated();
        const std::size_t bits = std::min<std::size_t>(line.size(), MaxBooks);
        for (std::size_t i = 0; i < bits; ++i) {
            if (line[i] == '1')
                b.BookSet.set(static_cast<int>(i), true);
        }
        if (!read(line)) // the opening marker; its content is not examined
            return truncated();
        // The description lines run to the closing marker and are joined with
        // CR LF, the exact inverse of writing them. They are gathered first, so
        // that the description is allocated once and at its exact size.
        descriptionLines_.clear();
        std::size_t size = 0;
        while (read(line)) {
            if (line.substr(0, 3) == kMarker) {
                b.Description.reserve(size);
                for (std::size_t i = 0; i < descriptionLines_.size(); ++i) {
                    if (i > 0)
                        b.Description += kCrLf;
                    b.Description += descriptionLines_[i];
                }
                return Status::Ok();
            }
            size += (descriptionLines_.empty() ? 0 : kCrLf.size()) + line.size();
            descriptionLines_.push_back(line);
        }
        return error("the file ends inside the description of \"" + Excerpt(b.Name) +
                     "\" (no closing #9# line)");
    }

    Status truncated() const { return error("the file ends inside a spell"); }

    LineReader lines_;
    const std::string& name_;
    std::vector<std::string_view> descriptionLines_; // reused for every record
};

void appendLine(std::string& out, std::string_view line) {
    out += line;
    out += kCrLf;
}

// Calls fn for each line of a description, whatever its line ends.
template <typename Fn> void forEachLine(std::string_view text, Fn fn) {
    if (text.empty()) {
        fn(std::string_view());
        return;
    }
    LineReader lines(text);
    std::string_view line;
    while (lines.next(line))
        fn(line);
    const char last = text.back();
    if (last == '\r' || last == '\n')
        fn(std::string_view()); // a final line end leaves an empty last line
}

std::string_view kindLetter(SpellKind kind) {
    switch (kind) {
    case SpellKind::Priest:
        return "R";
    case SpellKind::Psionic:
        return "S";
    case SpellKind::Wizard:
        break;
    }
    return "W";
}

void appendRecord(std::string& out, const SpellRecord& record) {
    const TBasic& b = record.basic();
    appendLine(out, b.Name);
    appendLine(out, b.Reversible ? "1" : "0");
    appendLine(out, kindLetter(record.kind()));
    appendLine(out, std::to_string(b.Level));
    ForEachDatField(record, [&out](const std::string& field) {
        appendLine(out, field);
        return true;
    });
    char bits[MaxBooks];
    for (int i = 0; i < MaxBooks; ++i)
        bits[i] = b.BookSet.test(i) ? '1' : '0';
    appendLine(out, std::string_view(bits, MaxBooks));
    appendLine(out, kMarker);
    forEachLine(b.Description, [&](std::string_view line) { appendLine(out, line); });
    appendLine(out, kMarker);
}

bool hasLineBreak(const std::string& text) {
    return std::memchr(text.data(), '\r', text.size()) ||
           std::memchr(text.data(), '\n', text.size());
}

// True when a line of `text`, as forEachLine splits it, begins with the marker:
// lines begin at the start and after every CR or LF.
bool hasMarkerLine(std::string_view text) {
    for (std::size_t at = text.find(kMarker[0]); at != std::string_view::npos;
         at = text.find(kMarker[0], at + 1)) {
        if ((at == 0 || text[at - 1] == '\r' || text[at - 1] == '\n') &&
            text.substr(at, kMarker.size()) == kMarker)
            return true;
    }
    return false;
}

// The name and the .Dat fields each take one line of the block.
bool fitsOneLine(const SpellRecord& record) {
    return !hasLineBreak(record->Name) &&
           ForEachDatField(record, [](const std::string& field) { return !hasLineBreak(field); });
}

} // namespace

std::string BasePath(std::string_view path) {
    const std::size_t sep = path.find_last_of("/\\");
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string_view::npos || (sep != std::string_view::npos && dot < sep))
        return std::string(path);
    return std::string(path.substr(0, dot));
}

DataSetPaths DataSetFiles(const std::string& base) {
    return {ResolveFileCase(base + ".Dat"), ResolveFileCase(base + ".SBK"),
            ResolveFileCase(base + ".SBN")};
}

namespace {

// Checks the .SBN file of a set against the number of records the .Dat file
// holds, before anything is taken from it. The .SBK file has no count: its
// lines, however many, are the book table.
Status checkCountFile(std::size_t records, const std::string* sbn, const DataSetPaths& names) {
    const std::size_t countBytes = records * kCountRecord;
    if (sbn && sbn->size() < countBytes)
        return Status::Error(ErrorKind::Malformed,
                             names.sbn + ", byte " + std::to_string(sbn->size()) +
                                 ": the file ends early; " + std::to_string(records) +
                                 " spells need " + std::to_string(countBytes) + " bytes");
    // The writer stores exactly one record per spell. A longer file means the
    // count line of the .Dat file and the .SBN file disagree: one of them is
    // damaged, and reading on would drop spells without a word.
    if (sbn && sbn->size() > countBytes)
        return Status::Error(ErrorKind::Malformed,
                             names.sbn + ", byte " + std::to_string(countBytes) +
                                 ": the file holds copies for " +
                                 std::to_string(sbn->size() / kCountRecord) + " spells, but " +
                                 names.dat + " has " + std::to_string(records));
    return Status::Ok();
}

// The second half of reading a set, once the records are parsed: checks the
// count file against them, then commits records, counts and book table.
ReadReport commitSet(SpellCollection& spells, BookList& books, std::vector<SpellRecord>& records,
                     const std::string* sbk, const std::string* sbn, const DataSetPaths& names) {
    ReadReport report;
    if (Status s = checkCountFile(records.size(), sbn, names); !s) {
        report.status = s;
        return report;
    }
    BookList newBooks = books;
    if (sbk) {
        newBooks.clear();
        LineReader lines(*sbk);
        std::string_view line;
        while (lines.next(line))
            newBooks.emplace_back(line);
    }
    // Everything is read: commit.
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (sbn)
            std::memcpy(records[i]->BookCounts.data(), sbn->data() + i * kCountRecord,
                        kCountRecord);
        if (spells.Append(std::move(records[i])))
            ++report.added;
        else
            ++report.refused;
    }
    books = std::move(newBooks);
    return report;
}

} // namespace

ReadReport ParseDataSet(SpellCollection& spells, BookList& books, std::string_view dat,
                        const std::string* sbk, const std::string* sbn, const DataSetPaths& names) {
    std::vector<SpellRecord> records;
    if (Status s = DatParser(dat, names.dat).parse(records); !s)
        return {s};
    return commitSet(spells, books, records, sbk, sbn, names);
}

namespace {

// Before a set is read or written: a save that was killed between its renames
// is finished (or, for a reader that may not write, reported), so the files
// belong to one save; then what killed saves left behind is removed.
Status settleInterruptedSaves(const DataSetPaths& names, PendingSave pending) {
    if (Status s = FinishInterruptedCommit({names.dat, names.sbk, names.sbn}, pending); !s)
        return s;
    if (pending == PendingSave::Finish) {
        // Temporary files lie beside the real files, behind any links.
        for (const std::string* path : {&names.dat, &names.sbk, &names.sbn})
            RemoveStaleSaveFiles(ResolveLinks(*path));
        RemoveStaleSaveFiles(names.dat + ".commit");
    }
    return Status::Ok();
}

} // namespace

ReadReport ReadDataFile(SpellCollection& spells, BookList& books, const std::string& base,
                        PendingSave pending, MissingBookFile missingBooks) {
    const DataSetPaths names = DataSetFiles(base);
    if (Status s = settleInterruptedSaves(names, pending); !s)
        return {s};
    std::vector<SpellRecord> records;
    {
        std::string dat;
        if (Status s = ReadFileBytes(names.dat, dat); !s) {
            if (s.kind == ErrorKind::NotFound)
                s.message = "No Such File";
            return {s};
        }
        if (Status s = DatParser(dat, names.dat).parse(records); !s)
            return {s};
    } // the records hold copies of their text, so the file's bytes go before the commit
    // A book or count file that cannot be opened counts as missing; one that
    // is there but cannot be read (a folder, a pipe, a failing disk) is an
    // error, so that it is neither replaced nor taken for empty.
    std::string sbk, sbn;
    const Status sbkRead = ReadFileBytes(names.sbk, sbk);
    const Status sbnRead = ReadFileBytes(names.sbn, sbn);
    for (const Status* s : {&sbkRead, &sbnRead}) {
        if (!*s && s->kind != ErrorKind::NotFound)
            return {*s};
    }
    const bool haveSbk = sbkRead.ok();
    const bool haveSbn = sbnRead.ok();
    ReadReport report = commitSet(spells, books, records, haveSbk ? &sbk : nullptr,
                                  haveSbn ? &sbn : nullptr, names);
    // A set without its book file gets one, holding the table in use.
    if (report.status && !haveSbk && missingBooks == MissingBookFile::Create)
        WriteFileAtomically(names.sbk, FormatBookFile(books));
    return report;
}

std::string FormatDatFile(const SpellCollection& spells) {
    std::size_t size = 16;
    for (const SpellRecord& r : spells)
        size += 400 + r->Description.size() + r->Name.size();
    std::string out;
    out.reserve(size);
    appendLine(out, std::to_string(spells.Count()));
    for (const SpellRecord& r : spells)
        appendRecord(out, r);
    return out;
}

std::string FormatBookFile(const BookList& books) {
    std::string out;
    for (const std::string& line : books)
        appendLine(out, line);
    return out;
}

std::string FormatCountFile(const SpellCollection& spells) {
    std::string out;
    out.reserve(static_cast<std::size_t>(spells.Count()) * kCountRecord);
    for (const SpellRecord& r : spells)
        out.append(reinterpret_cast<const char*>(r->BookCounts.data()), kCountRecord);
    return out;
}

Status CheckWritable(const SpellCollection& spells) {
    for (int slot = 0; slot < spells.Count(); ++slot) {
        const SpellRecord& r = spells[slot];
        if (!fitsOneLine(r))
            return Status::Error(ErrorKind::Invalid,
                                 "The spell \"" + r->Name +
                                     "\" has a line break in a one-line field; the file "
                                     "was not saved.");
        if (hasMarkerLine(r->Description))
            return Status::Error(ErrorKind::Invalid,
                                 "The description of \"" + r->Name +
                                     "\" has a line beginning with #9#, which would end it "
                                     "early when read back; the file was not saved.");
    }
    return Status::Ok();
}

Status WriteDataFile(const SpellCollection& spells, const BookList& books,
                     const std::string& base) {
    if (Status s = CheckWritable(spells); !s)
        return s;
    const DataSetPaths names = DataSetFiles(base);
    if (Status s = settleInterruptedSaves(names, PendingSave::Finish); !s)
        return s;
    SaveFile files[3] = {SaveFile(names.dat), SaveFile(names.sbk), SaveFile(names.sbn)};
    const std::string contents[3] = {FormatDatFile(spells), FormatBookFile(books),
                                     FormatCountFile(spells)};
    for (int i = 0; i < 3; ++i) {
        Status s = files[i].open();
        if (s)
            s = files[i].write(contents[i]);
        if (s)
            s = files[i].finish();
        if (!s)
            return s;
    }
    return CommitTogether({&files[0], &files[1], &files[2]});
}

} // namespace spelldata
