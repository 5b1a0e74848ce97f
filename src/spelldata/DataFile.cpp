#include "spelldata/DataFile.h"

#include "spelldata/DatFields.h"
#include "spelldata/FileIO.h"
#include "spelldata/FileLines.h"
#include "spelldata/TextLines.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <functional>
#include <memory>
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

SpellKind kindOfLetter(char letter) {
    return letter == 'W'   ? SpellKind::Wizard
           : letter == 'R' ? SpellKind::Priest
                           : SpellKind::Psionic;
}

// Reads the .Dat lines of one set; every failure names the file and the line.
// The records go to a Sink: sink.expect(count) is told the count line,
// sink.record(kind) gives an empty record of that kind to fill in, and
// sink.done(record) hears that it is complete.
template <typename Sink> class DatParser {
public:
    DatParser(FileLineReader& lines, const std::string& name) : lines_(lines), name_(name) {}

    Status parse(Sink& sink) {
        Status s = parseLines(sink);
        // A file that could not be read to its end is a read error, not a
        // short file.
        return lines_.status() ? s : lines_.status();
    }

private:
    Status parseLines(Sink& sink) {
        std::string_view line;
        if (!lines_.next(line))
            return error("the file is empty; its first line must be the number of spells");
        const auto count = parseNumber(line);
        if (!count)
            return error("the count line \"" + Excerpt(line) + "\" is not a number");
        sink.expect(*count);
        for (unsigned long i = 0; i < *count; ++i) {
            lines_.release(); // no line of an earlier block is held any more
            if (Status s = parseBlock(sink, i, *count); !s)
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
            lines_.release();
        }
        return Status::Ok();
    }

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

    Status parseBlock(Sink& sink, unsigned long index, unsigned long count) {
        std::string_view name, reversible, kind, level;
        if (!read(name))
            return error("the file ends after " + std::to_string(index) + " of " +
                         std::to_string(count) + " spells");
        if (!read(reversible) || !read(kind))
            return truncated();
        if (kind.empty() || (kind[0] != 'W' && kind[0] != 'R' && kind[0] != 'S'))
            return error("the kind line \"" + Excerpt(kind) + "\" does not start with W, R or S");
        SpellRecord& record = sink.record(kindOfLetter(kind[0]));
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
        if (Status s = bookSetAndDescription(b); !s)
            return s;
        sink.done(record);
        return Status::Ok();
    }

    Status bookSetAndDescription(TBasic& b) {
        std::string_view line;
        if (!read(line))
            return truncated();
        b.BookSet.assignDigits(line);
        if (!read(line)) // the opening marker; its content is not examined
            return truncated();
        // The description lines run to the closing marker and are joined with
        // CR LF, the exact inverse of writing them. They are gathered first, so
        // that the description is allocated once and at its exact size.
        descriptionLines_.clear();
        std::size_t size = 0;
        // Lines that follow each other in the buffer, each ended by CR LF,
        // are already the joined description: one copy takes them all.
        bool adjacent = true;
        while (read(line)) {
            if (line.substr(0, 3) == kMarker) {
                setDescription(b.Description, size, adjacent);
                return Status::Ok();
            }
            if (!descriptionLines_.empty()) {
                const std::string_view last = descriptionLines_.back();
                adjacent = adjacent && line.data() == last.data() + last.size() + 2 &&
                           last.data()[last.size()] == '\r' && last.data()[last.size() + 1] == '\n';
                size += kCrLf.size();
            }
            size += line.size();
            descriptionLines_.push_back(line);
        }
        return error("the file ends inside the description of \"" + Excerpt(b.Name) +
                     "\" (no closing #9# line)");
    }

    Status truncated() const { return error("the file ends inside a spell"); }

    void setDescription(std::string& to, std::size_t size, bool adjacent) const {
        to.clear();
        if (descriptionLines_.empty())
            return;
        if (adjacent) {
            to.assign(descriptionLines_.front().data(), size);
            return;
        }
        to.reserve(size);
        for (std::size_t i = 0; i < descriptionLines_.size(); ++i) {
            if (i > 0)
                to += kCrLf;
            to += descriptionLines_[i];
        }
    }

    FileLineReader& lines_;
    const std::string& name_;
    std::vector<std::string_view> descriptionLines_; // reused for every record
};

// Keeps every record read, in file order.
struct KeepRecords {
    std::vector<SpellRecord>& records;

    void expect(unsigned long count) {
        records.reserve(std::min<unsigned long>(count, SpellCollection::Capacity));
    }
    // Parsed in place; after a failure the caller drops every record.
    SpellRecord& record(SpellKind kind) { return records.emplace_back(kind); }
    void done(const SpellRecord&) {}
};

// Fills one reused record per kind and hands each to a function as soon as it
// is complete, so that no record is kept.
struct PassRecords {
    const std::function<void(const SpellRecord&, int)>& fn;
    SpellRecord reused[3] = {SpellRecord(SpellKind::Wizard), SpellRecord(SpellKind::Priest),
                             SpellRecord(SpellKind::Psionic)};
    int index = 0;

    void expect(unsigned long) {}
    SpellRecord& record(SpellKind kind) {
        return reused[static_cast<std::size_t>(kind)]; // the parser sets every field anew
    }
    void done(const SpellRecord& r) { fn(r, index++); }
};

template <typename Sink>
Status parseDat(FileLineReader& lines, const std::string& name, Sink& sink) {
    return DatParser<Sink>(lines, name).parse(sink);
}

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

// What writing a description needs to know of it, found in one pass: whether
// a line of it, as forEachLine splits it, begins with the marker (lines begin
// at the start and after every CR or LF), and whether every line break is a
// CR LF pair. A text of that kind is its lines as forEachLine gives them,
// joined with CR LF.
struct DescriptionScan {
    bool markerLine = false;
    bool onlyCrLf = true;
};

DescriptionScan scanDescription(std::string_view text) {
    DescriptionScan scan;
    scan.markerLine = text.starts_with(kMarker);
    for (std::size_t at = FindLineEnd(text.data(), text.size()); at < text.size();) {
        std::size_t next = at + 1;
        if (text[at] == '\r' && next < text.size() && text[next] == '\n')
            ++next;
        else
            scan.onlyCrLf = false;
        scan.markerLine = scan.markerLine || text.substr(next, kMarker.size()) == kMarker;
        at = next + FindLineEnd(text.data() + next, text.size() - next);
    }
    return scan;
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

// `onlyCrLf`: every line break of the description is CR LF (see scanDescription).
void appendRecord(std::string& out, const SpellRecord& record, bool onlyCrLf) {
    const TBasic& b = record.basic();
    appendLine(out, b.Name);
    appendLine(out, b.Reversible ? "1" : "0");
    appendLine(out, kindLetter(record.kind()));
    char level[4];
    const auto printed = std::to_chars(level, level + sizeof level, b.Level);
    appendLine(out, std::string_view(level, static_cast<std::size_t>(printed.ptr - level)));
    ForEachDatField(record, [&out](const std::string& field) {
        appendLine(out, field);
        return true;
    });
    char bits[MaxBooks];
    b.BookSet.writeDigits(bits);
    appendLine(out, std::string_view(bits, MaxBooks));
    appendLine(out, kMarker);
    if (onlyCrLf)
        appendLine(out, b.Description); // a final CR LF leaves the empty last line
    else
        forEachLine(b.Description, [&](std::string_view line) { appendLine(out, line); });
    appendLine(out, kMarker);
}

bool hasLineBreak(const std::string& text) {
    return FindLineEnd(text.data(), text.size()) != text.size();
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

// The size of the pieces in which a .Dat file is read: small enough to stay
// in the processor's cache between reading and parsing.
constexpr std::size_t kReadChunk = 256 * 1024;

// Checks the .SBN file of a set against the number of records the .Dat file
// holds, before anything is taken from it; `sbnSize` is null when there is
// no .SBN file. The .SBK file has no count: its lines, however many, are the
// book table.
Status checkCountFile(std::size_t records, const std::size_t* sbnSize, const DataSetPaths& names) {
    const std::size_t countBytes = records * kCountRecord;
    if (sbnSize && *sbnSize < countBytes)
        return Status::Error(ErrorKind::Malformed,
                             names.sbn + ", byte " + std::to_string(*sbnSize) +
                                 ": the file ends early; " + std::to_string(records) +
                                 " spells need " + std::to_string(countBytes) + " bytes");
    // The writer stores exactly one record per spell. A longer file means the
    // count line of the .Dat file and the .SBN file disagree: one of them is
    // damaged, and reading on would drop spells without a word.
    if (sbnSize && *sbnSize > countBytes)
        return Status::Error(ErrorKind::Malformed,
                             names.sbn + ", byte " + std::to_string(countBytes) +
                                 ": the file holds copies for " +
                                 std::to_string(*sbnSize / kCountRecord) + " spells, but " +
                                 names.dat + " has " + std::to_string(records));
    return Status::Ok();
}

// The book table a set brings: the lines of its .SBK file, or the current
// table when the set has none.
BookList bookTable(const BookList& current, const std::string* sbk) {
    if (!sbk)
        return current;
    BookList table;
    LineReader lines(*sbk);
    std::string_view line;
    while (lines.next(line))
        table.emplace_back(line);
    return table;
}

// The last step of reading a set, once everything is read and checked: the
// records go into the collection, as many as fit, and the book table is
// replaced.
ReadReport commitSet(SpellCollection& spells, BookList& books, std::vector<SpellRecord>& records,
                     BookList newBooks) {
    ReadReport report;
    const std::size_t total = records.size();
    report.added = spells.Append(std::move(records));
    report.refused = static_cast<int>(total) - report.added;
    books = std::move(newBooks);
    return report;
}

void copyCounts(const char* bytes, std::vector<SpellRecord>& records, std::size_t first,
                std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        std::memcpy(records[first + i]->BookCounts.data(), bytes + i * kCountRecord, kCountRecord);
}

// Reads each record's copies per book from an .SBN file whose size has been
// checked, a few hundred records at a time.
Status readCounts(InputFile& sbn, std::vector<SpellRecord>& records) {
    constexpr std::size_t perRead = 256;
    const auto buffer = std::make_unique_for_overwrite<char[]>(perRead * kCountRecord);
    for (std::size_t first = 0; first < records.size(); first += perRead) {
        const std::size_t n = std::min(perRead, records.size() - first);
        const std::size_t want = n * kCountRecord;
        for (std::size_t done = 0; done < want;) {
            std::size_t got = 0;
            if (Status s = sbn.read(buffer.get() + done, want - done, got); !s)
                return s;
            if (got == 0) // cut short since it was opened
                return Status::Error(ErrorKind::Malformed,
                                     sbn.path() + ", byte " +
                                         std::to_string(first * kCountRecord + done) +
                                         ": the file ends early");
            done += got;
        }
        copyCounts(buffer.get(), records, first, n);
    }
    return Status::Ok();
}

} // namespace

ReadReport ParseDataSet(SpellCollection& spells, BookList& books, std::string_view dat,
                        const std::string* sbk, const std::string* sbn, const DataSetPaths& names) {
    std::vector<SpellRecord> records;
    FileLineReader lines(dat);
    KeepRecords sink{records};
    if (Status s = parseDat(lines, names.dat, sink); !s)
        return {s};
    const std::size_t sbnSize = sbn ? sbn->size() : 0;
    if (Status s = checkCountFile(records.size(), sbn ? &sbnSize : nullptr, names); !s)
        return {s};
    if (sbn)
        copyCounts(sbn->data(), records, 0, records.size());
    return commitSet(spells, books, records, bookTable(books, sbk));
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

// Parses the .Dat file of a set a piece at a time, so that its bytes and the
// records never need to be in memory together.
template <typename Sink> Status readDat(const DataSetPaths& names, Sink& sink) {
    InputFile dat;
    if (Status s = dat.open(names.dat); !s) {
        if (s.kind == ErrorKind::NotFound)
            s.message = "No Such File";
        return s;
    }
    FileLineReader lines(dat, std::min(dat.size() + 1, kReadChunk));
    return parseDat(lines, names.dat, sink);
}

// The .SBK and .SBN files of a set, opened after its .Dat file was read.
struct SideFiles {
    std::string sbk;
    bool haveSbk = false;
    InputFile sbn;
    bool haveSbn = false;

    // A book or count file that cannot be opened counts as missing; one that
    // is there but cannot be read (a folder, a pipe, a failing disk) is an
    // error, so that it is neither replaced nor taken for empty.
    Status open(const DataSetPaths& names, std::size_t records) {
        const Status sbkRead = ReadFileBytes(names.sbk, sbk);
        const Status sbnOpen = sbn.open(names.sbn);
        for (const Status* s : {&sbkRead, &sbnOpen}) {
            if (!*s && s->kind != ErrorKind::NotFound)
                return *s;
        }
        haveSbk = sbkRead.ok();
        haveSbn = sbnOpen.ok();
        const std::size_t sbnSize = sbn.size();
        return checkCountFile(records, haveSbn ? &sbnSize : nullptr, names);
    }
};

} // namespace

ReadReport ReadDataFile(SpellCollection& spells, BookList& books, const std::string& base,
                        PendingSave pending, MissingBookFile missingBooks) {
    const DataSetPaths names = DataSetFiles(base);
    if (Status s = settleInterruptedSaves(names, pending); !s)
        return {s};
    std::vector<SpellRecord> records;
    KeepRecords sink{records};
    if (Status s = readDat(names, sink); !s)
        return {s};
    SideFiles side;
    if (Status s = side.open(names, records.size()); !s)
        return {s};
    if (side.haveSbn) {
        if (Status s = readCounts(side.sbn, records); !s)
            return {s};
    }
    ReadReport report =
        commitSet(spells, books, records, bookTable(books, side.haveSbk ? &side.sbk : nullptr));
    // A set without its book file gets one, holding the table in use.
    if (!side.haveSbk && missingBooks == MissingBookFile::Create)
        WriteFileAtomically(names.sbk, FormatBookFile(books));
    return report;
}

Status ScanDataFile(const std::string& base, BookList& books,
                    const std::function<void(const SpellRecord&, int)>& fn) {
    const DataSetPaths names = DataSetFiles(base);
    if (Status s = settleInterruptedSaves(names, PendingSave::Report); !s)
        return s;
    PassRecords sink{fn};
    if (Status s = readDat(names, sink); !s)
        return s;
    SideFiles side;
    if (Status s = side.open(names, static_cast<std::size_t>(sink.index)); !s)
        return s;
    books = bookTable(books, side.haveSbk ? &side.sbk : nullptr);
    return Status::Ok();
}

std::string FormatDatFile(const SpellCollection& spells) {
    std::size_t size = 16;
    for (const SpellRecord& r : spells)
        size += 400 + r->Description.size() + r->Name.size();
    std::string out;
    out.reserve(size);
    appendLine(out, std::to_string(spells.Count()));
    for (const SpellRecord& r : spells)
        appendRecord(out, r, scanDescription(r->Description).onlyCrLf);
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

namespace {

// CheckWritable, also noting for each record whether its description has CR LF
// breaks only, for the writer.
Status checkRecords(const SpellCollection& spells, std::vector<char>* onlyCrLf) {
    for (int slot = 0; slot < spells.Count(); ++slot) {
        const SpellRecord& r = spells[slot];
        if (!fitsOneLine(r))
            return Status::Error(ErrorKind::Invalid,
                                 "The spell \"" + r->Name +
                                     "\" has a line break in a one-line field; the file "
                                     "was not saved.");
        const DescriptionScan scan = scanDescription(r->Description);
        if (scan.markerLine)
            return Status::Error(ErrorKind::Invalid,
                                 "The description of \"" + r->Name +
                                     "\" has a line beginning with #9#, which would end it "
                                     "early when read back; the file was not saved.");
        if (onlyCrLf)
            onlyCrLf->push_back(scan.onlyCrLf ? 1 : 0);
    }
    return Status::Ok();
}

} // namespace

Status CheckWritable(const SpellCollection& spells) {
    return checkRecords(spells, nullptr);
}

namespace {

// The .Dat and .SBN files go to the disk a piece at a time as they are
// formatted: the piece is still in the processor's cache when it is written,
// and the whole file is never in memory.
constexpr std::size_t kWriteChunk = 256 * 1024;

Status writeDatFile(SaveFile& file, const SpellCollection& spells,
                    const std::vector<char>& onlyCrLf) {
    std::string piece;
    piece.reserve(kWriteChunk + 8 * 1024);
    appendLine(piece, std::to_string(spells.Count()));
    for (int slot = 0; slot < spells.Count(); ++slot) {
        appendRecord(piece, spells[slot], onlyCrLf[static_cast<std::size_t>(slot)] != 0);
        if (piece.size() >= kWriteChunk) {
            if (Status s = file.write(piece); !s)
                return s;
            piece.clear();
        }
    }
    return file.write(piece);
}

Status writeCountFile(SaveFile& file, const SpellCollection& spells) {
    std::string piece;
    piece.reserve(kWriteChunk);
    for (const SpellRecord& r : spells) {
        piece.append(reinterpret_cast<const char*>(r->BookCounts.data()), kCountRecord);
        if (piece.size() >= kWriteChunk) {
            if (Status s = file.write(piece); !s)
                return s;
            piece.clear();
        }
    }
    return file.write(piece);
}

} // namespace

Status WriteDataFile(const SpellCollection& spells, const BookList& books,
                     const std::string& base) {
    std::vector<char> onlyCrLf;
    onlyCrLf.reserve(static_cast<std::size_t>(spells.Count()));
    if (Status s = checkRecords(spells, &onlyCrLf); !s)
        return s;
    const DataSetPaths names = DataSetFiles(base);
    if (Status s = settleInterruptedSaves(names, PendingSave::Finish); !s)
        return s;
    SaveFile files[3] = {SaveFile(names.dat), SaveFile(names.sbk), SaveFile(names.sbn)};
    const std::function<Status(SaveFile&)> writers[3] = {
        [&](SaveFile& f) { return writeDatFile(f, spells, onlyCrLf); },
        [&](SaveFile& f) { return f.write(FormatBookFile(books)); },
        [&](SaveFile& f) { return writeCountFile(f, spells); }};
    for (int i = 0; i < 3; ++i) {
        Status s = files[i].open();
        if (s)
            s = writers[i](files[i]);
        if (s)
            s = files[i].finish();
        if (!s)
            return s;
    }
    return CommitTogether({&files[0], &files[1], &files[2]});
}

} // namespace spelldata
