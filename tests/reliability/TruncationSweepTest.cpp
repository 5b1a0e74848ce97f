// A small data file set cut at every byte offset and with single bytes
// changed: each damaged set is either read fully and correctly or refused
// with the file and a line or byte named; it is never read half.
//
// "Read half" means accepted with another number of records than the count
// line gives, or with a record, book table or copy count that is not what
// the file holds. A changed byte inside a field value (a name, a description,
// a book name, a copy count) legitimately gives a different record: that
// record alone may differ, and every string of it must still be a line of the
// file (the shared reader checks verify that).

#include "ReaderPromises.h"
#include "TestSupport.h"
#include "spelldata/DataFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

using namespace spelldata;

namespace {

SpellCollection SweepRecords() {
    SpellCollection spells;
    SpellRecord wiz = testsupport::FullWizard("Ash Lantern");
    wiz->Description = "Two lines\r\n#9 is a rune, not a marker";
    spells.Append(wiz);
    SpellRecord pri = testsupport::FullPriest("Psalm of Ten");
    pri->Level = 10;
    pri->Description.clear();
    pri->BookSet.set(3, true);
    pri->BookCounts[3] = 9;
    spells.Append(pri);
    SpellRecord info = testsupport::FullPsionic("About");
    info->Level = LevelInfo;
    info->Description = "\r\nAfter an empty line\r\n";
    spells.Append(info);
    return spells;
}

BookList SweepBooks() {
    return {std::string(NoBookLine), "Tome of Ash", std::string(FreeBookLine), "Road Book"};
}

promises::DataSetInput SweepSet() {
    const SpellCollection spells = SweepRecords();
    promises::DataSetInput set;
    set.dat = FormatDatFile(spells);
    set.haveSbk = set.haveSbn = true;
    set.sbk = FormatBookFile(SweepBooks());
    set.sbn = FormatCountFile(spells);
    return set;
}

enum class Part { Dat, Sbk, Sbn };
constexpr std::array<Part, 3> kParts = {Part::Dat, Part::Sbk, Part::Sbn};

std::string& PartOf(promises::DataSetInput& set, Part part) {
    return part == Part::Dat ? set.dat : part == Part::Sbk ? set.sbk : set.sbn;
}

const char* NameOf(Part part) {
    return part == Part::Dat   ? promises::DatName
           : part == Part::Sbk ? promises::SbkName
                               : promises::SbnName;
}

// For every byte of the .Dat file, the record whose block holds it (-1 for the
// count line). A line end belongs to the line it ends.
std::vector<int> RecordOfDatByte(const std::string& dat) {
    std::vector<int> owner(dat.size(), -1);
    int record = -1;
    int markers = 0;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < dat.size(); ++i) {
        owner[i] = record;
        if (dat[i] != '\n')
            continue;
        const std::string_view line(dat.data() + lineStart, i - lineStart);
        if (record < 0 || (line == "#9#\r" && ++markers % 2 == 0))
            ++record;
        lineStart = i + 1;
    }
    return owner;
}

struct Tally {
    int cases = 0, refused = 0, same = 0, oneFieldChanged = 0, bookLinesCut = 0;
};

// What a damaged set read as, compared with the undamaged one.
class SweepCheck {
public:
    SweepCheck()
        : original_(SweepRecords()), books_(SweepBooks()), owner_(RecordOfDatByte(dat())) {}

    // `changedRecord`: the only record allowed to differ (-1: none may).
    void run(const promises::DataSetInput& damaged, Part part, const std::string& what,
             int changedRecord, bool booksMayDiffer, Tally& tally) {
        ++tally.cases;
        promises::DataSetRead read;
        for (const std::string& f : promises::CheckDataSet(damaged, &read))
            ADD_FAILURE() << what << ": " << f;
        if (!read.accepted) {
            ++tally.refused;
            EXPECT_NE(read.message.find(NameOf(part)), std::string::npos)
                << what << ": the refusal does not name the damaged file: " << read.message;
            return;
        }
        ASSERT_EQ(read.spells.Count(), original_.Count()) << what << ": read half";
        int differing = 0;
        for (int i = 0; i < original_.Count(); ++i) {
            if (read.spells[i] == original_[i])
                continue;
            ++differing;
            EXPECT_EQ(i, changedRecord) << what << ": record " << i << " read differently";
        }
        EXPECT_TRUE(booksMayDiffer || read.books == books_) << what << ": book table differs";
        if (differing == 0 && read.books == books_)
            ++tally.same;
        else
            ++tally.oneFieldChanged;
    }

    const std::string& dat() const { return set_.dat; }
    const promises::DataSetInput& set() const { return set_; }
    int datRecordOf(std::size_t offset) const { return owner_[offset]; }

private:
    promises::DataSetInput set_ = SweepSet();
    SpellCollection original_;
    BookList books_;
    std::vector<int> owner_;
};

// The record a changed byte may alter. A changed line end can join two lines
// or split one, which moves the change to the record of the next byte.
int RecordAllowedToChange(const SweepCheck& check, Part part, std::size_t offset) {
    if (part == Part::Sbn)
        return static_cast<int>(offset / MaxBooks);
    if (part == Part::Sbk)
        return -1;
    const int here = check.datRecordOf(offset);
    const char c = check.dat()[offset];
    if ((c == '\r' || c == '\n') && offset + 2 < check.dat().size())
        return std::max(here, check.datRecordOf(offset + 2));
    return here;
}

} // namespace

TEST(TruncationSweepTest, EveryCutIsReadWholeOrRefusedNamingTheFile) {
    SweepCheck check;
    Tally tally;
    for (const Part part : kParts) {
        promises::DataSetInput set = check.set();
        const std::string whole = PartOf(set, part);
        for (std::size_t cut = 0; cut < whole.size(); ++cut) {
            PartOf(set, part) = whole.substr(0, cut);
            const std::string what = std::string(NameOf(part)) + " cut at " + std::to_string(cut);
            // The book file has no count of its lines: cut anywhere it is a
            // whole, shorter table. The records must stay as they were.
            const bool shorterTable = part == Part::Sbk;
            check.run(set, part, what, -1, shorterTable, tally);
            if (shorterTable)
                ++tally.bookLinesCut;
        }
    }
    const std::size_t total =
        check.set().dat.size() + check.set().sbk.size() + check.set().sbn.size();
    EXPECT_EQ(tally.cases, static_cast<int>(total));
    // Only cuts that leave whole files can be read: after the last marker of
    // the .Dat file, and anywhere in the book file.
    EXPECT_GT(tally.refused, (tally.cases - tally.bookLinesCut) * 9 / 10);
    EXPECT_LE(tally.oneFieldChanged, tally.bookLinesCut);
    std::printf("cut cases: %d, refused %d, read as the whole set %d, book file cut at a line "
                "end read as a shorter book table %d\n",
                tally.cases, tally.refused, tally.same, tally.oneFieldChanged);
}

TEST(TruncationSweepTest, EverySingleByteChangeIsReadWholeOrRefused) {
    SweepCheck check;
    Tally tally;
    // Bit flips, and the bytes that matter to the format's structure.
    const std::array<unsigned char, 9> replacements = {'\r', '\n', '#', '0', '1',
                                                       'W',  'S',  ' ', 0xFF};
    for (const Part part : kParts) {
        promises::DataSetInput set = check.set();
        const std::string whole = PartOf(set, part);
        for (std::size_t at = 0; at < whole.size(); ++at) {
            std::vector<char> values;
            for (const int bit : {0, 2, 5, 7})
                values.push_back(static_cast<char>(whole[at] ^ (1 << bit)));
            for (const unsigned char r : replacements) {
                if (static_cast<char>(r) != whole[at])
                    values.push_back(static_cast<char>(r));
            }
            for (const char value : values) {
                PartOf(set, part) = whole;
                PartOf(set, part)[at] = value;
                const std::string what = std::string(NameOf(part)) + " byte " + std::to_string(at) +
                                         " set to " +
                                         std::to_string(static_cast<unsigned char>(value));
                check.run(set, part, what, RecordAllowedToChange(check, part, at),
                          part == Part::Sbk, tally);
            }
        }
    }
    EXPECT_GT(tally.cases, 10000);
    EXPECT_GT(tally.refused, 0);
    std::printf("changed-byte cases: %d, refused %d, read the same %d, one field changed %d\n",
                tally.cases, tally.refused, tally.same, tally.oneFieldChanged);
}

// The two checks the sweep asked for, one case each with the full message.
TEST(TruncationSweepTest, ACountFileForMoreSpellsThanTheCountLineIsRefused) {
    promises::DataSetInput set = SweepSet();
    promises::DataSetRead whole;
    ASSERT_TRUE(promises::CheckDataSet(set, &whole).empty());
    SpellCollection two;
    two.Append(whole.spells[0]);
    two.Append(whole.spells[1]);
    set.dat = FormatDatFile(two); // the .SBN file still has copies for three
    promises::DataSetRead read;
    EXPECT_TRUE(promises::CheckDataSet(set, &read).empty());
    EXPECT_FALSE(read.accepted);
    EXPECT_EQ(read.message, "case.SBN, byte 512: the file holds copies for 3 spells, but "
                            "case.Dat has 2");
}

TEST(TruncationSweepTest, AnEmptyBookFileOrOneWithoutFinalLineEndIsItsLines) {
    promises::DataSetInput set = SweepSet();
    promises::DataSetRead read;
    for (const std::string sbk : {"", "None - (Full List)\r\nTome of A", "Only line"}) {
        set.sbk = sbk;
        EXPECT_TRUE(promises::CheckDataSet(set, &read).empty()) << sbk;
        EXPECT_TRUE(read.accepted) << read.message;
        EXPECT_EQ(read.spells.Count(), SweepRecords().Count());
        EXPECT_EQ(read.books.size(), static_cast<std::size_t>(
                                         std::count(sbk.begin(), sbk.end(), '\n') + !sbk.empty()));
    }
    EXPECT_EQ(read.books.back(), "Only line");
}
