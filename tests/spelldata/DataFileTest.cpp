#include "spelldata/DataFile.h"
#include "TestSupport.h"
#include "spelldata/FileIO.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sys/file.h>
#include <unistd.h>

using namespace spelldata;
using testsupport::ReadBytes;
using testsupport::TempDir;
using testsupport::WriteBytes;

namespace {

SpellCollection threeKinds() {
    SpellCollection spells;
    spells.Append(testsupport::FullWizard());
    spells.Append(testsupport::FullPriest());
    spells.Append(testsupport::FullPsionic());
    return spells;
}

// Reads a set into a fresh collection; fails the test when it is refused.
SpellCollection readBack(const std::string& base, BookList& books) {
    SpellCollection spells;
    const ReadReport report = ReadDataFile(spells, books, base);
    EXPECT_TRUE(report.status.ok()) << report.status.message;
    return spells;
}

void expectSameRecords(const SpellCollection& a, const SpellCollection& b) {
    ASSERT_EQ(a.Count(), b.Count());
    for (int i = 0; i < a.Count(); ++i)
        EXPECT_EQ(a[i], b[i]) << "slot " << i;
}

// A minimal one-spell .Dat file, with `description` lines between the markers.
std::string oneSpellDat(const std::string& level, const std::string& descriptionLines,
                        const std::string& kind = "W") {
    return "1\r\nName\r\n0\r\n" + kind + "\r\n" + level +
           "\r\nsave\r\nrange\r\nsrc\r\naoe\r\nschool\r\nc\r\nd\r\nt\r\n" + std::string(256, '0') +
           "\r\n#9#\r\n" + descriptionLines + "#9#\r\n";
}

class DataFileTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string base = dir.file("SPELLS");
    BookList books = InitialBookList();
};

} // namespace

TEST(BasePathTest, RemovesTheExtensionOfTheFileNameOnly) {
    EXPECT_EQ(BasePath("C:\\A.B\\SPELLS.DAT"), "C:\\A.B\\SPELLS");
    EXPECT_EQ(BasePath("/home/u/a.b/spells.Dat"), "/home/u/a.b/spells");
    EXPECT_EQ(BasePath("/home/u/a.b/spells"), "/home/u/a.b/spells");
    EXPECT_EQ(BasePath("C:\\A.B\\SPELLS"), "C:\\A.B\\SPELLS");
    EXPECT_EQ(BasePath("spells.v2.Dat"), "spells.v2");
    EXPECT_EQ(BasePath("plain"), "plain");
}

TEST_F(DataFileTest, WriteReadWriteIsByteIdenticalForAllKinds) {
    SpellCollection spells = threeKinds();
    spells[0]->Description = "ends with a line end\r\n";
    spells[1]->Description = "";
    spells[2]->Description = "one\r\n\r\nthree after an empty line";
    std::string bytes(128, '\0');
    for (int i = 0; i < 128; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<char>(128 + i);
    spells[0]->Name = "High bytes " + bytes;
    books[3] = "Book of \xC9t\xE9";
    ASSERT_TRUE(WriteDataFile(spells, books, base).ok());
    const std::string dat = ReadBytes(base + ".Dat");
    const std::string sbk = ReadBytes(base + ".SBK");
    const std::string sbn = ReadBytes(base + ".SBN");

    BookList readBooks = InitialBookList();
    SpellCollection again = readBack(base, readBooks);
    expectSameRecords(spells, again);
    EXPECT_EQ(readBooks, books);

    ASSERT_TRUE(WriteDataFile(again, readBooks, base).ok());
    EXPECT_EQ(ReadBytes(base + ".Dat"), dat);
    EXPECT_EQ(ReadBytes(base + ".SBK"), sbk);
    EXPECT_EQ(ReadBytes(base + ".SBN"), sbn);
}

TEST_F(DataFileTest, WritesTheDocumentedLayout) {
    SpellCollection spells;
    SpellRecord r(SpellKind::Priest);
    r->Name = "Ember Psalm";
    r->Reversible = 1;
    r->Level = 5;
    r->Description = "Line one\r\nLine two";
    r->BookSet.set(0, true);
    r->BookSet.set(2, true);
    r->BookCounts[2] = 7;
    spells.Append(r);
    ASSERT_TRUE(WriteDataFile(spells, books, base).ok());

    const std::string bits = "101" + std::string(253, '0');
    EXPECT_EQ(ReadBytes(base + ".Dat"), "1\r\nEmber Psalm\r\n1\r\nR\r\n5\r\n\r\n\r\n\r\n\r\n\r\n"
                                        "\r\n\r\n\r\n\r\n" +
                                            bits + "\r\n#9#\r\nLine one\r\nLine two\r\n#9#\r\n");
    const std::string sbn = ReadBytes(base + ".SBN");
    ASSERT_EQ(sbn.size(), 256u);
    EXPECT_EQ(sbn[2], 7);
    const std::string sbk = ReadBytes(base + ".SBK");
    EXPECT_EQ(sbk.substr(0, 21), "None - (Full List)\r\n#");
    EXPECT_EQ(sbk.size(), 20u + 154u * 3u);
}

TEST_F(DataFileTest, EmptyCollectionWritesCountZeroAndReadsBackNothing) {
    ASSERT_TRUE(WriteDataFile(SpellCollection(), books, base).ok());
    EXPECT_EQ(ReadBytes(base + ".Dat"), "0\r\n");
    EXPECT_EQ(ReadBytes(base + ".SBN"), "");
    SpellCollection spells;
    const ReadReport report = ReadDataFile(spells, books, base);
    EXPECT_TRUE(report.status.ok());
    EXPECT_EQ(spells.Count(), 0);
}

TEST_F(DataFileTest, DescriptionsReadAsTheExactInverseOfWriting) {
    struct Case {
        std::string description;
        std::string between; // the lines the writer puts between the markers
        std::string readBack = description;
    } cases[] = {
        {"", "\r\n"},
        {"a\r\nb", "a\r\nb\r\n"},
        {"a\r\n", "a\r\n\r\n"},
        {"\r\n\r\n", "\r\n\r\n\r\n"},
        // Other line ends are written as CR LF.
        {"a\nb\rc", "a\r\nb\r\nc\r\n", "a\r\nb\r\nc"},
        {"a\r\r\nb\r", "a\r\n\r\nb\r\n\r\n", "a\r\n\r\nb\r\n"},
    };
    for (const Case& c : cases) {
        SpellCollection spells;
        SpellRecord r;
        r->Description = c.description;
        spells.Append(r);
        ASSERT_TRUE(WriteDataFile(spells, books, base).ok());
        const std::string dat = ReadBytes(base + ".Dat");
        EXPECT_NE(dat.find("#9#\r\n" + c.between + "#9#\r\n"), std::string::npos) << c.between;
        SpellCollection again = readBack(base, books);
        ASSERT_EQ(again.Count(), 1);
        EXPECT_EQ(again[0]->Description, c.readBack);
    }
}

TEST_F(DataFileTest, OtherLineEndsReadLikeCrLf) {
    std::string dat = oneSpellDat("3", "first\r\nsecond\r\n");
    std::string lf = dat, cr = dat;
    for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;)
        lf.erase(at, 1);
    for (std::size_t at; (at = cr.find("\r\n")) != std::string::npos;)
        cr.erase(at + 1, 1);
    for (const std::string& text : {dat, lf, cr}) {
        SpellCollection spells;
        BookList b = books;
        const ReadReport report =
            ParseDataSet(spells, b, text, nullptr, nullptr, {"x.Dat", "", ""});
        ASSERT_TRUE(report.status.ok()) << report.status.message;
        ASSERT_EQ(spells.Count(), 1);
        EXPECT_EQ(spells[0]->Level, 3);
        EXPECT_EQ(spells[0]->Description, "first\r\nsecond");
        EXPECT_EQ(*spells[0].castingTime(), "t");
    }
}

TEST_F(DataFileTest, InfoEntryComesBackAsPsionicLevel13) {
    SpellCollection spells;
    SpellRecord info(SpellKind::Psionic);
    info->Name = "About";
    info->Level = LevelInfo;
    spells.Append(info);
    ASSERT_TRUE(WriteDataFile(spells, books, base).ok());
    SpellCollection again = readBack(base, books);
    ASSERT_EQ(again.Count(), 1);
    EXPECT_EQ(again[0].kind(), SpellKind::Psionic);
    EXPECT_TRUE(again[0].isInfo());
    EXPECT_EQ(again[0]->Kind, 2);
}

TEST_F(DataFileTest, AddModeAppendsAndTakesTheNewBookList) {
    SpellCollection spells = threeKinds();
    books[1] = "Travel book";
    ASSERT_TRUE(WriteDataFile(spells, books, base).ok());
    BookList current = InitialBookList();
    current[1] = "Other";
    SpellCollection loaded;
    ASSERT_TRUE(ReadDataFile(loaded, current, base).status.ok());
    const ReadReport second = ReadDataFile(loaded, current, base);
    ASSERT_TRUE(second.status.ok());
    EXPECT_EQ(second.added, 3);
    ASSERT_EQ(loaded.Count(), 6);
    EXPECT_EQ(loaded[4], spells[1]);
    EXPECT_EQ(current[1], "Travel book");
    for (const SpellRecord& r : loaded)
        EXPECT_EQ(r->Marked, 0);
}

TEST_F(DataFileTest, MissingDatIsNoSuchFileAndChangesNothing) {
    SpellCollection spells = threeKinds();
    const ReadReport report = ReadDataFile(spells, books, dir.file("absent"));
    EXPECT_EQ(report.status.kind, ErrorKind::NotFound);
    EXPECT_EQ(report.status.message, "No Such File");
    EXPECT_EQ(spells.Count(), 3);
}

TEST_F(DataFileTest, MissingBookFileIsCreatedAndMissingCountsAreZero) {
    ASSERT_TRUE(WriteDataFile(threeKinds(), books, base).ok());
    std::filesystem::remove(base + ".SBK");
    std::filesystem::remove(base + ".SBN");
    books[7] = "Kept book";
    SpellCollection spells;
    ASSERT_TRUE(ReadDataFile(spells, books, base).status.ok());
    EXPECT_EQ(books[7], "Kept book");
    EXPECT_EQ(ReadBytes(base + ".SBK"), FormatBookFile(books));
    for (const SpellRecord& r : spells)
        EXPECT_EQ(r->BookCounts, (std::array<std::uint8_t, 256>{}));
}

TEST_F(DataFileTest, FilesDifferingInLetterCaseAreFoundAndReused) {
    ASSERT_TRUE(WriteDataFile(threeKinds(), books, base).ok());
    std::filesystem::rename(base + ".Dat", base + ".DAT");
    std::filesystem::rename(base + ".SBN", base + ".sbn");
    SpellCollection spells;
    const ReadReport report = ReadDataFile(spells, books, base);
    ASSERT_TRUE(report.status.ok()) << report.status.message;
    EXPECT_EQ(spells[0]->BookCounts[255], 255);

    ASSERT_TRUE(WriteDataFile(spells, books, base).ok());
    EXPECT_FALSE(std::filesystem::exists(base + ".Dat"));
    EXPECT_TRUE(std::filesystem::exists(base + ".DAT"));
    EXPECT_FALSE(std::filesystem::exists(base + ".SBN"));
}

// Every malformed set is refused with the file and line named, and leaves the
// collection and the book list exactly as they were.
TEST_F(DataFileTest, MalformedSetsAreRefusedWithoutChangingAnything) {
    const std::string good = oneSpellDat("3", "text\r\n");
    struct Case {
        const char* what;
        std::string dat;
        std::string sbn;
        std::string expected; // a piece of the message
    } cases[] = {
        {"count not a number", "x1\r\n", "", "line 1"},
        {"empty file", "", "", "line 1"},
        {"negative count", "-1\r\n", "", "line 1"},
        {"bad kind letter", oneSpellDat("3", "", "Q"), "", "line 4"},
        {"empty kind line", oneSpellDat("3", "", ""), "", "line 4"},
        {"level not a number", oneSpellDat("x", ""), "", "line 5"},
        {"level above 255", oneSpellDat("256", ""), "", "line 5"},
        {"fewer blocks than the count", "2" + good.substr(1), "", "1 of 2"},
        {"no closing marker", good.substr(0, good.size() - 5), "", "no closing #9#"},
        {"cut inside the fields", good.substr(0, 40), "", "ends inside"},
        {"short count file", good, std::string(255, '\0'), "byte 255"},
        {"count lower than the blocks", good + good.substr(3), "", "line 18"},
        {"text after the last block", good + "\r\n\r\nleft over\r\n", "", "line 20"},
    };
    for (const Case& c : cases) {
        SpellCollection spells = threeKinds();
        BookList before = books;
        BookList b = books;
        const std::string sbk = "None - (Full List)\r\nNew\r\n";
        const ReadReport report = ParseDataSet(
            spells, b, c.dat, &sbk, c.sbn.empty() ? nullptr : &c.sbn, {"S.Dat", "S.SBK", "S.SBN"});
        EXPECT_EQ(report.status.kind, ErrorKind::Malformed) << c.what;
        EXPECT_NE(report.status.message.find(c.expected), std::string::npos)
            << c.what << ": " << report.status.message;
        EXPECT_NE(report.status.message.find(c.sbn.empty() ? "S.Dat" : "S.SBN"), std::string::npos)
            << c.what;
        EXPECT_EQ(spells.Count(), 3) << c.what;
        EXPECT_EQ(b, before) << c.what;
    }
}

TEST_F(DataFileTest, ADescriptionLineStartingWithTheMarkerEndsTheDescription) {
    std::string dat = oneSpellDat("3", "kept\r\n#9# ends it\r\n");
    dat.resize(dat.size() - 5); // no closing marker of its own
    SpellCollection spells;
    const ReadReport report = ParseDataSet(spells, books, dat, nullptr, nullptr, {"S.Dat", "", ""});
    ASSERT_TRUE(report.status.ok()) << report.status.message;
    EXPECT_EQ(spells[0]->Description, "kept");
    // The closing marker that follows is then a line after the last block.
    const ReadReport more =
        ParseDataSet(spells, books, dat + "#9#\r\n", nullptr, nullptr, {"S.Dat", "", ""});
    EXPECT_NE(more.status.message.find("S.Dat, line 18"), std::string::npos) << more.status.message;
}

TEST_F(DataFileTest, RecordsThatWouldNotReadBackAreRefusedBeforeWriting) {
    ASSERT_TRUE(WriteDataFile(threeKinds(), books, base).ok());
    const std::string before = ReadBytes(base + ".Dat");
    SpellCollection spells = threeKinds();
    spells[1]->Range = "two\nlines";
    EXPECT_EQ(WriteDataFile(spells, books, base).kind, ErrorKind::Invalid);
    spells[1]->Range = "one line";
    spells[2]->Description = "fine\r\n#9# marker";
    const Status s = WriteDataFile(spells, books, base);
    EXPECT_EQ(s.kind, ErrorKind::Invalid);
    EXPECT_NE(s.message.find("Glass Mind"), std::string::npos);
    for (const char* text : {"#9# first", "a\r#9#", "a\n#9#x", "a\r\n\r\n#9#"}) {
        spells[2]->Description = text;
        EXPECT_EQ(WriteDataFile(spells, books, base).kind, ErrorKind::Invalid) << text;
    }
    EXPECT_EQ(ReadBytes(base + ".Dat"), before);
    spells[2]->Description = "a #9# b\r\n x#9#\r\n#9"; // no line begins with the marker
    EXPECT_TRUE(WriteDataFile(spells, books, base).ok());
}

TEST_F(DataFileTest, AFailedWriteLeavesTheOldSetIntact) {
    ASSERT_TRUE(WriteDataFile(threeKinds(), books, base).ok());
    const std::string dat = ReadBytes(base + ".Dat");
    const std::string sbn = ReadBytes(base + ".SBN");
    // A folder in the way of the .SBN file makes its rename fail after the
    // other temporaries were written.
    std::filesystem::remove(base + ".SBN");
    std::filesystem::create_directory(base + ".SBN");
    WriteBytes(base + ".SBN/keep", "x");
    SpellCollection changed = threeKinds();
    changed[0]->Name = "Changed";
    BookList otherBooks = books;
    otherBooks[1] = "Changed too";
    const Status s = WriteDataFile(changed, otherBooks, base);
    EXPECT_EQ(s.kind, ErrorKind::Io);
    EXPECT_NE(s.message.find("SPELLS.SBN"), std::string::npos) << s.message;
    EXPECT_EQ(ReadBytes(base + ".Dat"), dat);
    EXPECT_EQ(ReadBytes(base + ".SBK"), FormatBookFile(books));
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"SPELLS.Dat", "SPELLS.SBK", "SPELLS.SBN"}));
}

TEST_F(DataFileTest, WritingIntoAReadOnlyFolderReportsTheFileAndKeepsTheOld) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root may write into read-only folders";
    ASSERT_TRUE(WriteDataFile(threeKinds(), books, base).ok());
    const std::string dat = ReadBytes(base + ".Dat");
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    const Status s = WriteDataFile(SpellCollection(), books, base);
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    EXPECT_EQ(s.kind, ErrorKind::Io);
    EXPECT_NE(s.message.find("SPELLS.Dat"), std::string::npos);
    EXPECT_EQ(ReadBytes(base + ".Dat"), dat);
}

TEST_F(DataFileTest, LoadingPastCapacityKeepsWhatFitsAndCountsTheRest) {
    SpellCollection big;
    for (int i = 0; i < 10; ++i)
        big.Append(testsupport::FullWizard("Spell " + std::to_string(i)));
    ASSERT_TRUE(WriteDataFile(big, books, base).ok());
    SpellCollection spells;
    SpellRecord filler;
    while (spells.Count() < SpellCollection::Capacity - 4)
        spells.Append(filler);
    const ReadReport report = ReadDataFile(spells, books, base);
    EXPECT_TRUE(report.status.ok());
    EXPECT_EQ(report.added, 4);
    EXPECT_EQ(report.refused, 6);
    EXPECT_EQ(spells.Count(), SpellCollection::Capacity);
    EXPECT_EQ(spells[SpellCollection::Capacity - 1]->Name, "Spell 3");
}

// Collections, settings and text output kept behind symbolic links (synced
// folders, dotfiles) are saved through the link: the link stays, the file it
// points at gets the new bytes, and no temporary file is left beside either.
TEST_F(DataFileTest, SavesFollowSymbolicLinks) {
    namespace fs = std::filesystem;
    fs::create_directory(dir.file("real"));
    fs::create_directory(dir.file("real/deeper"));
    // .Dat through an absolute link, .SBK through a relative one, .SBN through
    // a chain of two links.
    WriteBytes(dir.file("real/set.Dat"), "old");
    WriteBytes(dir.file("real/set.SBK"), "old");
    WriteBytes(dir.file("real/deeper/set.SBN"), "old");
    fs::create_symlink(dir.file("real/set.Dat"), base + ".Dat");
    fs::create_symlink("real/set.SBK", base + ".SBK");
    fs::create_symlink("deeper/set.SBN", dir.file("real/hop.SBN"));
    fs::create_symlink("real/hop.SBN", base + ".SBN");
    const SpellCollection spells = threeKinds();
    ASSERT_TRUE(WriteDataFile(spells, books, base).ok());
    for (const char* ext : {".Dat", ".SBK", ".SBN"})
        EXPECT_TRUE(fs::is_symlink(base + ext)) << ext;
    EXPECT_TRUE(fs::is_symlink(dir.file("real/hop.SBN")));
    EXPECT_EQ(ReadBytes(dir.file("real/set.Dat")), FormatDatFile(spells));
    EXPECT_EQ(ReadBytes(dir.file("real/set.SBK")), FormatBookFile(books));
    EXPECT_EQ(ReadBytes(dir.file("real/deeper/set.SBN")), FormatCountFile(spells));
    BookList again;
    const SpellCollection back = readBack(base, again);
    ASSERT_EQ(back.Count(), 3);
    EXPECT_EQ(back[2], spells[2]);

    fs::create_symlink("real/Quarvine.ini", dir.file("Quarvine.ini")); // not there yet
    ASSERT_TRUE(WriteFileAtomically(dir.file("Quarvine.ini"), "[x]\r\n").ok());
    EXPECT_TRUE(fs::is_symlink(dir.file("Quarvine.ini")));
    EXPECT_EQ(ReadBytes(dir.file("real/Quarvine.ini")), "[x]\r\n");
    std::size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
        files += fs::is_regular_file(entry.symlink_status()) ? 1 : 0;
    EXPECT_EQ(files, 4u); // the three set files and the settings file
}

TEST_F(DataFileTest, EmptyLinesAfterTheLastBlockAreAcceptedAndLongBadLinesQuotedShort) {
    const std::string good = oneSpellDat("3", "text\r\n");
    WriteBytes(base + ".Dat", good + "\r\n\n\r\n");
    EXPECT_EQ(readBack(base, books).Count(), 1);

    // A binary file without a line break: read in linear time, refused with
    // a message that quotes only the start of its first line.
    std::string binary(16 << 20, '\x01');
    for (std::size_t i = 0; i < binary.size(); i += 7)
        binary[i] = static_cast<char>(i % 9); // no CR, no LF
    WriteBytes(base + ".Dat", binary);
    SpellCollection spells;
    const auto start = std::chrono::steady_clock::now();
    const ReadReport report = ReadDataFile(spells, books, base);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(report.status.kind, ErrorKind::Malformed);
    EXPECT_LT(report.status.message.size(), 300u) << report.status.message.substr(0, 300);
    EXPECT_LT(took, std::chrono::seconds(5));
    for (const std::string& kind : {std::string(4000, 'Q'), std::string("W")}) {
        const std::string level = kind == "W" ? std::string(5000, '7') : "3";
        WriteBytes(base + ".Dat", oneSpellDat(level, "", kind));
        const ReadReport r = ReadDataFile(spells, books, base);
        EXPECT_EQ(r.status.kind, ErrorKind::Malformed);
        EXPECT_LT(r.status.message.size(), 300u) << r.status.message.substr(0, 300);
    }
}

namespace {

namespace fs = std::filesystem;

// A journal as a save writes it: mode byte, then per file the temporary
// file, the copy of the old file, the target and whether there was one.
std::string journal(char mode, const std::vector<std::array<std::string, 4>>& entries) {
    std::string out(1, mode);
    for (const auto& entry : entries)
        for (const std::string& field : entry)
            out += field + '\0';
    return out;
}

std::set<std::string> folderNames(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

} // namespace

TEST_F(DataFileTest, AJournalNamingOtherFilesIsRefusedAndTouchesNothing) {
    ASSERT_TRUE(WriteDataFile(threeKinds(), books, base).ok());
    const fs::path folder = fs::canonical(dir.path());
    TempDir elsewhere;
    const std::string victim = fs::canonical(elsewhere.path()).string() + "/keep.txt";
    const std::string neighbour = (folder / "OTHER.Dat").string();
    const std::string dat = (folder / "SPELLS.Dat").string();
    const std::string temp = dat + ".save-Ab12Cd";
    const std::string journalFile = base + ".Dat.commit";
    const std::string cases[] = {
        journal('F', {{victim, "", dat, "1"}}),     // the victim renamed over the set
        journal('F', {{temp, "", victim, "1"}}),    // something renamed over the victim
        journal('B', {{temp, "", victim, "0"}}),    // the victim unlinked
        journal('B', {{temp, victim, dat, "1"}}),   // the victim as the old copy
        journal('B', {{temp, "", neighbour, "0"}}), // another set in the same folder
        journal('F', {{dat + "x.save-Ab12Cd", "", dat, "1"}}),
        journal('F', {{(folder / "sub/../SPELLS.Dat.save-Ab12Cd").string(), "", dat, "1"}}),
        journal('F', {{temp, "", (folder / "x/../SPELLS.Dat").string(), "1"}}),
        "F/etc/passwd", // not a journal at all
        std::string(4096, '\xff'),
    };
    const std::string before[] = {ReadBytes(base + ".Dat"), ReadBytes(base + ".SBK"),
                                  ReadBytes(base + ".SBN")};
    for (const std::string& bytes : cases) {
        WriteBytes(victim, "the user's own file");
        WriteBytes(neighbour, "another set");
        WriteBytes(temp, "1\r\n");
        WriteBytes(journalFile, bytes);
        const std::set<std::string> names = folderNames(folder);
        SpellCollection spells;
        const ReadReport read = ReadDataFile(spells, books, base);
        const Status save = WriteDataFile(threeKinds(), books, base);
        for (const Status& s : {read.status, save}) {
            EXPECT_EQ(s.kind, ErrorKind::Malformed) << s.message;
            EXPECT_NE(s.message.find("SPELLS.Dat.commit can be removed"), std::string::npos)
                << s.message;
            EXPECT_LT(s.message.size(), 400u);
        }
        EXPECT_EQ(spells.Count(), 0);
        EXPECT_EQ(ReadBytes(victim), "the user's own file");
        EXPECT_EQ(ReadBytes(neighbour), "another set");
        EXPECT_EQ(folderNames(folder), names);
        EXPECT_EQ(ReadBytes(base + ".Dat"), before[0]);
        EXPECT_EQ(ReadBytes(base + ".SBK"), before[1]);
        EXPECT_EQ(ReadBytes(base + ".SBN"), before[2]);
    }
}

TEST_F(DataFileTest, AnInterruptedSaveIsFinishedOnlyByReadersThatMayWrite) {
    ASSERT_TRUE(WriteDataFile(threeKinds(), books, base).ok());
    SpellCollection one;
    one.Append(testsupport::FullPriest("Only Psalm"));
    const std::string folder = fs::canonical(dir.path()).string();
    const std::string dat = folder + "/SPELLS.Dat", sbn = folder + "/SPELLS.SBN";
    // Killed after the new .SBN was renamed, before the .Dat was.
    WriteBytes(dat + ".save-Xy12Zw", FormatDatFile(one));
    WriteBytes(sbn, FormatCountFile(one));
    WriteBytes(base + ".Dat.commit", journal('F', {{dat + ".save-Xy12Zw", "", dat, "1"},
                                                   {sbn + ".save-Qq34Rr", "", sbn, "1"}}));
    const std::set<std::string> names = folderNames(dir.path());
    SpellCollection spells;
    const ReadReport reported = ReadDataFile(spells, books, base, PendingSave::Report);
    EXPECT_EQ(reported.status.kind, ErrorKind::Io);
    EXPECT_NE(reported.status.message.find("interrupted"), std::string::npos);
    EXPECT_EQ(folderNames(dir.path()), names);
    EXPECT_EQ(spells.Count(), 0);

    SpellCollection finished = readBack(base, books);
    ASSERT_EQ(finished.Count(), 1);
    EXPECT_EQ(finished[0]->Name, "Only Psalm");
    EXPECT_EQ(folderNames(dir.path()),
              (std::set<std::string>{"SPELLS.Dat", "SPELLS.SBK", "SPELLS.SBN"}));
}

TEST_F(DataFileTest, OpenAndSaveRemoveOnlyStaleTemporaryFilesOfTheSet) {
    ASSERT_TRUE(WriteDataFile(threeKinds(), books, base).ok());
    const std::string stale[] = {"SPELLS.Dat.save-Ab12Cd", "SPELLS.SBN.save-000000",
                                 "SPELLS.SBK.old4242-0", "SPELLS.Dat.commit.save-zzZZ99"};
    const std::string others[] = {
        "SPELLS.Dat.backup",      "SPELLS.Dat.save-Ab12C",  "SPELLS.Dat.save-Ab12Cd7",
        "SPELLS.Dat.save-Ab-2Cd", "SPELLS.SBK.old",         "SPELLS.SBK.old42-",
        "OTHER.Dat.save-Ab12Cd",  "SPELLS.txt.save-Ab12Cd", "SPELLS.Dat.old12-3x"};
    const std::string running = "SPELLS.SBK.save-Run123";
    const std::set<std::string> set = {"SPELLS.Dat", "SPELLS.SBK", "SPELLS.SBN"};
    for (int round = 0; round < 3; ++round) {
        for (const std::string& name : stale)
            WriteBytes(dir.file(name), "left by a killed save");
        for (const std::string& name : others)
            WriteBytes(dir.file(name), "not ours");
        WriteBytes(dir.file(running), "being written");
        // A save in another process still holds its temporary file.
        const int held = ::open(dir.file(running).c_str(), O_RDONLY);
        ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
        std::set<std::string> expected = set;
        expected.insert(std::begin(others), std::end(others));
        expected.insert(running);
        SpellCollection spells;
        if (round == 0) {
            EXPECT_TRUE(ReadDataFile(spells, books, base, PendingSave::Report).status.ok());
            expected.insert(std::begin(stale), std::end(stale)); // a reader that may not write
        } else if (round == 1) {
            EXPECT_TRUE(ReadDataFile(spells, books, base).status.ok());
        } else {
            EXPECT_TRUE(WriteDataFile(threeKinds(), books, base).ok());
        }
        ::close(held);
        EXPECT_EQ(folderNames(dir.path()), expected) << "round " << round;
        for (const std::string& name : others)
            EXPECT_EQ(ReadBytes(dir.file(name)), "not ours");
    }
}

// A set large enough to be read in several pieces, with descriptions of all
// line ends, reads back as the bytes say, the same as from memory.
TEST_F(DataFileTest, ALargeSetReadsTheSameFromTheFileAsFromItsBytes) {
    SpellCollection spells;
    for (int i = 0; i < 700; ++i) {
        SpellRecord r = i % 3 == 0   ? testsupport::FullWizard()
                        : i % 3 == 1 ? testsupport::FullPriest()
                                     : testsupport::FullPsionic();
        r->Name += " " + std::to_string(i);
        const char* ends[] = {"\r\n", "\n", "\r"};
        r->Description.clear();
        for (int line = 0; line < i % 9; ++line)
            r->Description +=
                std::string(40 + i % 200, static_cast<char>('a' + line)) + ends[(i + line) % 3];
        r->BookSet.set(i % 256, true);
        spells.Append(r);
    }
    ASSERT_TRUE(WriteDataFile(spells, books, base).ok());
    ASSERT_GT(ReadBytes(base + ".Dat").size(), 600'000u);
    SpellCollection fromFile = readBack(base, books);
    SpellCollection fromBytes;
    const DataSetPaths names = DataSetFiles(base);
    const std::string sbk = ReadBytes(names.sbk), sbn = ReadBytes(names.sbn);
    ASSERT_TRUE(
        ParseDataSet(fromBytes, books, ReadBytes(names.dat), &sbk, &sbn, names).status.ok());
    expectSameRecords(fromFile, fromBytes);
    ASSERT_EQ(fromFile.Count(), 700);
    EXPECT_EQ(fromFile[699]->Name, spells[699]->Name);
    EXPECT_TRUE(fromFile[699].basic().BookSet.test(699 % 256));
    // Written again, the bytes are the same.
    const std::string first = ReadBytes(names.dat);
    ASSERT_TRUE(WriteDataFile(fromFile, books, base).ok());
    EXPECT_EQ(ReadBytes(names.dat), first);
}

// Scanning a set hands over, one by one, the records reading would load (without
// their copy counts), and refuses what reading refuses with the same message.
TEST_F(DataFileTest, ScanningSeesWhatReadingLoadsAndRefusesWhatItRefuses) {
    SpellCollection spells = threeKinds();
    spells[0]->BookCounts[4] = 2;
    SpellRecord bare(SpellKind::Wizard); // after a full wizard: nothing of it may remain
    bare->Name = "Bare";
    spells.Append(bare);
    books[3] = "Third";
    ASSERT_TRUE(WriteDataFile(spells, books, base).ok());
    BookList readBooks = InitialBookList();
    SpellCollection loaded = readBack(base, readBooks);
    std::vector<SpellRecord> seen;
    BookList scanBooks = InitialBookList();
    const Status scanned = ScanDataFile(base, scanBooks, [&](const SpellRecord& r, int slot) {
        EXPECT_EQ(slot, static_cast<int>(seen.size()));
        seen.push_back(r);
    });
    ASSERT_TRUE(scanned.ok()) << scanned.message;
    EXPECT_EQ(scanBooks, readBooks);
    ASSERT_EQ(static_cast<int>(seen.size()), loaded.Count());
    for (int i = 0; i < loaded.Count(); ++i) {
        SpellRecord expected = loaded[i];
        expected->BookCounts = {};
        EXPECT_EQ(seen[static_cast<std::size_t>(i)], expected) << "slot " << i;
    }

    WriteBytes(base + ".SBN", ReadBytes(base + ".SBN").substr(0, 300));
    BookList b = InitialBookList();
    SpellCollection none;
    const Status refused = ScanDataFile(base, b, [](const SpellRecord&, int) {});
    EXPECT_EQ(refused.kind, ErrorKind::Malformed);
    EXPECT_EQ(refused.message, ReadDataFile(none, b, base).status.message);
    EXPECT_EQ(ScanDataFile(dir.file("NONE"), b, [](const SpellRecord&, int) {}).kind,
              ErrorKind::NotFound);
}
