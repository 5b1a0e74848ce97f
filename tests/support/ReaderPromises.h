#pragma once

// What the readers of outside bytes promise, as checks that the fuzz targets
// and the regression and sweep tests share. Each check feeds the bytes to one
// reader and returns the promises it found broken (empty when all held), so a
// fuzz target can abort on a finding and a GoogleTest can print them.
//
// Plain C++ and the core only: the fuzz build has no GoogleTest and no Qt.

#include "spelldata/BookList.h"
#include "spelldata/SpellCollection.h"

#include <string>
#include <string_view>
#include <vector>

namespace promises {

using Findings = std::vector<std::string>;

// One input split into the three files of a data file set. The parts are
// separated by DataSetSeparator: no separator means only a .Dat file, one
// separator a .Dat and a .SBK file, two (or more) all three files.
inline constexpr std::string_view DataSetSeparator = "\n==QVPART==\n";

struct DataSetInput {
    std::string dat, sbk, sbn;
    bool haveSbk = false;
    bool haveSbn = false;
};

DataSetInput SplitDataSetInput(std::string_view bytes);
std::string JoinDataSetInput(const DataSetInput& input);

// File names used in the readers' messages.
inline constexpr const char* DatName = "case.Dat";
inline constexpr const char* SbkName = "case.SBK";
inline constexpr const char* SbnName = "case.SBN";

// The collection and book list a read starts from: two records and a short
// book table, so that a read that changes them is seen.
spelldata::SpellCollection PriorCollection();
spelldata::BookList PriorBooks();

// The outcome of reading a data file set on top of PriorCollection().
struct DataSetRead {
    bool accepted = false;
    std::string message;
    spelldata::SpellCollection spells; // the records the read added
    spelldata::BookList books;
};

// Reads the set and checks: a refusal is Malformed, names one of the three
// files with a line or byte, and leaves the collection and book list as they
// were; an acceptance adds exactly the number of records the count line
// gives, keeps every string of the file intact, takes the book table from the
// .SBK file, and writes back to bytes that read again to the same records.
Findings CheckDataSet(const DataSetInput& input, DataSetRead* result = nullptr);

// Imports the bytes as a text spell file and checks: one record per block
// that the input opens, every field value and description line taken whole
// from a line of the input, and the records saved as a data file set read
// back to the same records.
Findings CheckTextImport(std::string_view bytes);

// The settings readers. A refused ini file names the file and the line and
// leaves the settings as they were; an accepted one holds the lines' values
// and writes back to bytes that read to the same settings. The file list is
// its lines and writes back to the same entries. The colour file is refused
// below 84 bytes (naming the byte) and otherwise holds the first 84 bytes as
// 21 little-endian values.
Findings CheckIniFile(std::string_view bytes);
Findings CheckFileList(std::string_view bytes);
Findings CheckColourFile(std::string_view bytes);

// Lines as the readers split them: CR LF, a lone LF and a lone CR each end a
// line; a last line needs no line end.
std::vector<std::string_view> SplitLines(std::string_view text);

} // namespace promises
