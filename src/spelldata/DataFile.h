#pragma once

#include "spelldata/BookList.h"
#include "spelldata/FileIO.h"
#include "spelldata/SpellCollection.h"
#include "spelldata/Status.h"

#include <functional>
#include <string>
#include <string_view>

namespace spelldata {

// A data file set is three files sharing one base path: base + ".Dat" (the
// spell records, text), base + ".SBK" (the book table, text) and base + ".SBN"
// (copies per book, 256 bytes per spell).

// The base path of a set named by `path`: the path without the extension of
// its file-name part (from the last "." after the last "/" or "\"). A path
// without such a "." is used whole.
std::string BasePath(std::string_view path);

struct DataSetPaths {
    std::string dat, sbk, sbn;
};

// The three file names of a set. Each is the exact-case name, or an existing
// file whose name differs only in letter case.
DataSetPaths DataSetFiles(const std::string& base);

// The outcome of a read: how many records were added, how many did not fit
// into the collection's free slots.
struct ReadReport {
    Status status;
    int added = 0;
    int refused = 0;
};

// Reads a data file set and appends its records after those already present.
// Reading is all-or-nothing: the three files are parsed completely before
// anything changes, and a malformed file is refused with an error naming the
// file and the line (or byte offset); the collection and `books` then stay as
// they were. A missing .Dat gives NotFound with the message "No Such File".
// A missing .SBK is created from `books`; a missing .SBN gives zero counts.
// An .SBN file must hold exactly 256 bytes per record of the .Dat file;
// anything else is taken for a damaged set and refused. The lines of the .SBK
// file are the book table, its last line with or without a line end (an empty
// file: no books). A .Dat file with more than empty lines after its last
// counted block is refused.
// A save of the set that was interrupted between its renames is finished
// first (see CommitTogether), or with PendingSave::Report refused with a
// message saying so, and temporary files that killed saves left are removed
// (see RemoveStaleSaveFiles).
// On success `books` holds the lines of the .SBK file. Records that do not fit
// into the free slots are left out and counted in `refused`.
// With MissingBookFile::Leave a missing .SBK file is not created (for callers
// that only read); the book table then stays as it was.
enum class MissingBookFile { Create, Leave };
ReadReport ReadDataFile(SpellCollection& spells, BookList& books, const std::string& base,
                        PendingSave pending = PendingSave::Finish,
                        MissingBookFile missingBooks = MissingBookFile::Create);

// Reads a data file set as a reading command needs it, without keeping the
// records: fn(record, index) is called for each record of the .Dat file, in
// file order, as soon as it is read; the record is valid during the call only,
// and its BookCounts are zero. The checks and errors are ReadDataFile's, and
// `books` gets the .SBK file's table as there. Nothing is written: an
// interrupted save is reported (PendingSave::Report) and a missing .SBK file
// is not created. Since the records are handed over before the whole set has
// been checked, a caller keeps what it needs and uses it only on success.
Status ScanDataFile(const std::string& base, BookList& books,
                    const std::function<void(const SpellRecord&, int)>& fn);

// The same as ReadDataFile, from the files' bytes. `sbk` and `sbn` are null when the file is
// missing; `names` gives the file names used in messages.
ReadReport ParseDataSet(SpellCollection& spells, BookList& books, std::string_view dat,
                        const std::string* sbk, const std::string* sbn, const DataSetPaths& names);

// Writes records 0..Count()-1 and the book table as a data file set. Each file
// goes to a temporary file first and replaces the old one only when every file
// has been written completely; on any error the old files stay as they were and
// the message names the file and the system's reason. An interrupted save is
// finished and stale temporary files removed first, as on reading. Records that cannot be
// stored faithfully (a line break in a one-line field, a description line that
// would read as the end marker) are refused before anything is written.
Status WriteDataFile(const SpellCollection& spells, const BookList& books, const std::string& base);

// The bytes of each file, as WriteDataFile writes them.
std::string FormatDatFile(const SpellCollection& spells);
std::string FormatBookFile(const BookList& books);
std::string FormatCountFile(const SpellCollection& spells);

// Checks that every record can be written and read back unchanged.
Status CheckWritable(const SpellCollection& spells);

} // namespace spelldata
