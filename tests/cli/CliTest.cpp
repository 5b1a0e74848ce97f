#include "CliRun.h"
#include "cli/CliCommands.h"

#include "spelldata/BookList.h"
#include "spelldata/DataFile.h"
#include "spelldata/TextExport.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

using namespace spelldata;
using testsupport::ReadBytes;
using testsupport::TempDir;
using testsupport::WriteBytes;

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Position of the first line that begins with `prefix`; -1 when none does.
int Find(const std::vector<std::string>& lines, const std::string& prefix) {
    const auto it = std::find_if(lines.begin(), lines.end(),
                                 [&](const std::string& l) { return l.starts_with(prefix); });
    return it == lines.end() ? -1 : static_cast<int>(it - lines.begin());
}

SpellCollection Load(const std::string& base) {
    SpellCollection spells;
    BookList books = InitialBookList();
    const ReadReport report = ReadDataFile(spells, books, base);
    EXPECT_TRUE(report.status.ok()) << report.status.message;
    return spells;
}

// A data file set made from the sample text file.
class CliSample : public ::testing::Test {
protected:
    void SetUp() override {
        const CliResult r =
            Cli({"import", testsupport::SourcePath("samples/sample-spells.txt"), base});
        ASSERT_EQ(r.code, ExitOk) << r.err;
        EXPECT_EQ(r.out, "Imported 30 spells into " + base + ".Dat\n");
        EXPECT_EQ(r.err, "");
    }

    std::vector<std::string> List(const std::vector<std::string>& options) {
        std::vector<std::string> args = {"list", base};
        args.insert(args.end(), options.begin(), options.end());
        const CliResult r = Cli(args);
        EXPECT_EQ(r.code, ExitOk) << r.err;
        return SplitLines(r.out);
    }

    TempDir dir;
    const std::string base = dir.file("spells");
};

} // namespace

TEST(Cli, HelpForToolAndEachCommand) {
    for (const std::string flag : {"--help", "-h", "help"}) {
        const CliResult r = Cli({flag});
        EXPECT_EQ(r.code, ExitOk);
        EXPECT_TRUE(r.out.starts_with("Usage: quarvine-cli COMMAND")) << r.out;
        for (const char* command : {"import", "export", "info", "list", "search"})
            EXPECT_NE(r.out.find(std::string("  ") + command + " "), std::string::npos) << command;
        EXPECT_EQ(r.err, "");
    }
    for (const std::string command : {"import", "export", "info", "list", "search"}) {
        const CliResult r = Cli({command, "--help"});
        EXPECT_EQ(r.code, ExitOk) << command;
        EXPECT_TRUE(r.out.starts_with("Usage: quarvine-cli " + command + " ")) << r.out;
        EXPECT_EQ(r.err, "");
    }
}

TEST(Cli, UsageErrorsExitOne) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "no command"},
        {{"frobnicate"}, "unknown command 'frobnicate'"},
        {{"import", "only.txt"}, "import needs"},
        {{"import", "a", "b", "c"}, "import needs"},
        {{"export", "base"}, "export needs"},
        {{"info"}, "info needs"},
        {{"info", "a", "b"}, "info needs"},
        {{"list"}, "list needs"},
        {{"list", "base", "--sort", "weird"}, "--sort"},
        {{"list", "base", "--sort"}, "--sort needs a value"},
        {{"list", "base", "--levels", "11"}, "--levels"},
        {{"list", "base", "--levels", "1,,2"}, "--levels"},
        {{"list", "base", "--kinds", "W,X"}, "--kinds"},
        {{"list", "base", "--bogus"}, "unknown option --bogus"},
        {{"search", "base"}, "search needs"},
        {{"search", "base", ""}, "search needs"},
        {{"search", "base", "x", "--fields", "title"}, "--fields"},
        {{"export", "base", "out.txt", "--extra-lines", "0"}, "--extra-lines"},
        {{"export", "base", "out.txt", "--extra-lines", "67"}, "--extra-lines"},
        {{"export", "base", "out.txt", "--extra-lines", "5x"}, "--extra-lines"},
        {{"export", "base", "out.txt", "--extra-lines", "-1"}, "--extra-lines"},
        {{"export", "base", "out.txt", "--list", "--extra-lines"}, "needs a value"},
    };
    for (const auto& [args, fragment] : cases) {
        const CliResult r = Cli(args);
        const std::string label = args.empty() ? "(none)" : args.back();
        EXPECT_EQ(r.code, ExitUsage) << label;
        EXPECT_EQ(r.out, "") << label;
        EXPECT_TRUE(r.err.starts_with("quarvine-cli: ")) << r.err;
        EXPECT_NE(r.err.find(fragment), std::string::npos) << r.err;
    }
}

TEST(Cli, MissingOrMalformedFilesExitTwo) {
    TempDir dir;
    const std::string missing = dir.file("missing");
    for (const std::vector<std::string>& args : {std::vector<std::string>{"info", missing},
                                                 {"list", missing},
                                                 {"search", missing, "x"},
                                                 {"export", missing, dir.file("out.txt")}}) {
        const CliResult r = Cli(args);
        EXPECT_EQ(r.code, ExitBadFile) << args[0];
        EXPECT_NE(r.err.find("No Such File: " + missing + ".Dat"), std::string::npos) << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.txt")));

    WriteBytes(dir.file("bad.Dat"), "not a number\r\n");
    const CliResult bad = Cli({"info", dir.file("bad")});
    EXPECT_EQ(bad.code, ExitBadFile);
    EXPECT_EQ(bad.out, "");
    EXPECT_NE(bad.err.find("bad.Dat"), std::string::npos) << bad.err;

    const CliResult text = Cli({"import", dir.file("absent.txt"), dir.file("new")});
    EXPECT_EQ(text.code, ExitBadFile);
    EXPECT_NE(text.err.find("File Not Found, or beeing used by other application."),
              std::string::npos)
        << text.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("new.Dat")));
}

TEST_F(CliSample, ImportOfAFileWithoutSpellsKeepsTheTargetSet) {
    const std::string before = ReadBytes(base + ".Dat");
    for (const std::string text : {"", "\r\n\r\n", "no spells here\r\n"}) {
        WriteBytes(dir.file("empty.txt"), text);
        const CliResult r = Cli({"import", dir.file("empty.txt"), base});
        EXPECT_EQ(r.code, ExitBadFile);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "quarvine-cli: No spells found in " + dir.file("empty.txt") + "\n");
        EXPECT_EQ(ReadBytes(base + ".Dat"), before);
    }
}

// The reading commands change no file: a save of the set killed half-way is
// reported, not finished; a journal naming other files is refused.
TEST(Cli, ReadingCommandsReportAnInterruptedSaveAndChangeNothing) {
    TempDir dir;
    const std::string base = dir.file("SPELLS");
    ASSERT_TRUE(WriteDataFile(SpellCollection(), InitialBookList(), base).ok());
    const std::string dat = std::filesystem::canonical(dir.path()).string() + "/SPELLS.Dat";
    WriteBytes(dat + ".save-Ab12Cd", "0\r\n");
    const std::string valid =
        std::string("F") + dat + ".save-Ab12Cd" + '\0' + '\0' + dat + '\0' + "1" + '\0';
    const std::string foreign =
        std::string("F") + dat + ".save-Ab12Cd" + '\0' + '\0' + "/etc/passwd" + '\0' + "1" + '\0';
    for (const auto& [journal, expected] :
         {std::pair{valid, std::string("interrupted")},
          std::pair{foreign, std::string("SPELLS.Dat.commit can be removed")}}) {
        WriteBytes(base + ".Dat.commit", journal);
        for (const std::vector<std::string>& args : {std::vector<std::string>{"info", base},
                                                     {"list", base},
                                                     {"search", base, "x"},
                                                     {"export", base, dir.file("out.txt")}}) {
            const CliResult r = Cli(args);
            EXPECT_EQ(r.code, ExitBadFile) << args[0];
            EXPECT_NE(r.err.find(expected), std::string::npos) << r.err;
            EXPECT_EQ(ReadBytes(base + ".Dat.commit"), journal);
            EXPECT_EQ(ReadBytes(dat + ".save-Ab12Cd"), "0\r\n");
        }
    }
}

TEST_F(CliSample, InfoCountsKindsAndLevels) {
    for (const std::string suffix : {"", ".Dat", ".DAT"}) {
        const CliResult r = Cli({"info", base + suffix});
        ASSERT_EQ(r.code, ExitOk) << r.err;
        for (const char* line : {"Spells: 30\n", "Wizard spells: 13\n", "Priest prayers: 10\n",
                                 "Psionic powers and Info entries: 7\n", "  C: 2\n", "  9: 1\n",
                                 "  10: 1\n", "  D: 4\n", "  S: 2\n", "  I: 1\n"})
            EXPECT_NE(r.out.find(line), std::string::npos) << line << r.out;
    }
}

TEST_F(CliSample, ListInEachSortOrder) {
    const auto byName = List({});
    ASSERT_EQ(byName.size(), 30u);
    EXPECT_EQ(byName.front(), "About This Collection   (Ps I)");
    EXPECT_NE(Find(byName, "Mend the Broken Oath  (Reversible)   (W  2)"), -1);
    EXPECT_LT(Find(byName, "Brass Sparrow"), Find(byName, "Bread of the Wayfarer"));
    EXPECT_LT(Find(byName, "Bread of the Wayfarer"), Find(byName, "Candle for the Lost"));

    const auto byLevel = List({"--sort", "level"});
    ASSERT_EQ(byLevel.size(), 30u);
    EXPECT_EQ(byLevel[0], "Tidy Hearth    (W  C)");
    EXPECT_EQ(byLevel[1], "Whistling Ember    (W  C)");
    EXPECT_EQ(Find(byLevel, "Cathedral of Living Bough"), Find(byLevel, "Orrery of Unmade") + 1);
    EXPECT_EQ(Find(byLevel, "Borrowed Hearing"), Find(byLevel, "Cathedral of Living Bough") + 1);
    EXPECT_EQ(byLevel.back(), "About This Collection   (Ps I)");

    const auto byType = List({"--sort", "type"});
    ASSERT_EQ(byType.size(), 30u);
    for (std::size_t i = 0; i < byType.size(); ++i) {
        const char* code = i < 13 ? "(W  " : i < 23 ? "(Pr " : "(Ps ";
        EXPECT_NE(byType[i].find(code), std::string::npos) << i << ": " << byType[i];
    }
    EXPECT_TRUE(byType[0].starts_with("Brass Sparrow Messenger"));
    EXPECT_LT(Find(byType, "Cathedral of Living Bough"), Find(byType, "Tithe of Stars"));

    const auto byTypeLevel = List({"--sort", "type-level"});
    ASSERT_EQ(byTypeLevel.size(), 30u);
    const int cathedral = Find(byTypeLevel, "Cathedral of Living Bough");
    ASSERT_GT(cathedral, 0);
    EXPECT_TRUE(byTypeLevel[cathedral - 1].starts_with("Tithe of Stars"))
        << byTypeLevel[cathedral - 1];
    EXPECT_EQ(Find(byTypeLevel, "Cathedral of Living Bough"), 22);
    EXPECT_NE(byTypeLevel[23].find("(Ps "), std::string::npos) << byTypeLevel[23];
}

TEST_F(CliSample, ListFiltersByLevelAndKind) {
    EXPECT_EQ(List({"--sort", "level", "--levels", "9,10"}),
              (std::vector<std::string>{"Orrery of Unmade Hours    (W  9)",
                                        "Cathedral of Living Bough    (Pr 10)"}));
    EXPECT_EQ(List({"--kinds", "P", "--levels", "1"}),
              (std::vector<std::string>{"Bread of the Wayfarer    (Pr 1)",
                                        "Candle for the Lost    (Pr 1)"}));
    const auto psionic = List({"--kinds", "S"});
    ASSERT_EQ(psionic.size(), 7u);
    for (const std::string& line : psionic)
        EXPECT_NE(line.find("   (Ps "), std::string::npos) << line;
    EXPECT_EQ(List({"--kinds", "W,P", "--levels", "D,S,I"}).size(), 0u);
    EXPECT_EQ(List({"--levels", "D,S"}).size(), 6u);
}

TEST(Cli, NamesDifferingOnlyInCaseSortTogether) {
    TempDir dir;
    SpellCollection spells;
    for (const char* name : {"bravo", "Alpha", "charlie", "ALPHA", "Bravo2", "alpha"}) {
        SpellRecord r(SpellKind::Wizard);
        r->Name = name;
        r->Level = 1;
        ASSERT_TRUE(spells.Append(r));
    }
    ASSERT_TRUE(WriteDataFile(spells, InitialBookList(), dir.file("case")).ok());
    for (const std::string sort : {"name", "level", "type", "type-level"}) {
        const CliResult r = Cli({"list", dir.file("case"), "--sort", sort});
        ASSERT_EQ(r.code, ExitOk) << r.err;
        const auto lines = SplitLines(r.out);
        ASSERT_EQ(lines.size(), 6u);
        std::vector<std::string> names;
        for (const std::string& line : lines)
            names.push_back(line.substr(0, line.find("   (W  1)")));
        std::vector<std::string> firstThree(names.begin(), names.begin() + 3);
        std::sort(firstThree.begin(), firstThree.end());
        EXPECT_EQ(firstThree, (std::vector<std::string>{"ALPHA", "Alpha", "alpha"})) << sort;
        EXPECT_EQ(std::vector<std::string>(names.begin() + 3, names.end()),
                  (std::vector<std::string>{"bravo", "Bravo2", "charlie"}))
            << sort;
    }
}

TEST_F(CliSample, SearchChosenFields) {
    const auto search = [&](const std::vector<std::string>& extra) {
        std::vector<std::string> args = {"search", base};
        args.insert(args.end(), extra.begin(), extra.end());
        const CliResult r = Cli(args);
        EXPECT_EQ(r.code, ExitOk) << r.err;
        return SplitLines(r.out);
    };
    const std::vector<std::string> ember = {"Whistling Ember "};
    // The name ends with a blank and the description follows it directly.
    EXPECT_EQ(search({"Ember The caster", "--fields", "name,description"}), ember);
    EXPECT_EQ(search({"ember the CASTER"}), ember);
    EXPECT_TRUE(search({"Ember The caster", "--fields", "name"}).empty());
    EXPECT_TRUE(search({"Ember The caster", "--fields", "description"}).empty());
    EXPECT_EQ(search({"Ember The caster", "--fields", "description,name"}), ember);
    EXPECT_EQ(search({"Healing", "--fields", "sphere"}),
              (std::vector<std::string>{"Lamb's Wool Shroud "}));
    EXPECT_EQ(search({"Necromancy", "--fields", "school"}),
              (std::vector<std::string>{"Drowned Bell Tolling ", "Lamb's Wool Shroud "}));
}

TEST_F(CliSample, ExportMatchesTheCoreWriters) {
    const SpellCollection spells = Load(base);
    ASSERT_EQ(spells.Count(), 30);
    const auto whole = [&](int extra) {
        std::string text;
        for (const SpellRecord& r : spells)
            text += SaveSpell(r, extra);
        return text;
    };
    std::vector<const SpellRecord*> all;
    for (const SpellRecord& r : spells)
        all.push_back(&r);

    const std::string out = dir.file("out.txt");
    WriteBytes(out, "old content\r\n");
    ASSERT_EQ(Cli({"export", base, out}).code, ExitOk);
    EXPECT_EQ(ReadBytes(out), whole(2));

    ASSERT_EQ(Cli({"export", base + ".Dat", out, "--extra-lines", "5"}).code, ExitOk);
    EXPECT_EQ(ReadBytes(out), whole(5));

    ASSERT_EQ(Cli({"export", base, out, "--list"}).code, ExitOk);
    EXPECT_EQ(ReadBytes(out), SaveList(all));

    ASSERT_EQ(Cli({"export", base, out, "--append", "--extra-lines", "1"}).code, ExitOk);
    EXPECT_EQ(ReadBytes(out), SaveList(all) + whole(1));

    const std::string fresh = dir.file("fresh.txt");
    ASSERT_EQ(Cli({"export", base, fresh, "--append", "--list"}).code, ExitOk);
    EXPECT_EQ(ReadBytes(fresh), SaveList(all));

    ASSERT_EQ(Cli({"export", base, out, "--extra-lines", "66"}).code, ExitOk);
    EXPECT_EQ(ReadBytes(out), whole(66));
}

TEST_F(CliSample, ExportRejectsExtraLinesOutOfRangeAndUnwritableOutput) {
    const std::string out = dir.file("out.txt");
    for (const std::string n : {"0", "67"}) {
        const CliResult r = Cli({"export", base, out, "--extra-lines", n});
        EXPECT_EQ(r.code, ExitUsage) << n;
        EXPECT_FALSE(std::filesystem::exists(out)) << n;
    }
    const CliResult r = Cli({"export", base, dir.file("no/such/folder/out.txt")});
    EXPECT_EQ(r.code, ExitBadFile);
    EXPECT_NE(r.err, "");
}

// Text files as users have them: joined without a final line end, with junk
// before the first spell and blank lines after the last separator, or in UTF-8.
TEST(Cli, ImportNeverMergesSpellsAndNamesWhatItSkipsOrCannotStore) {
    TempDir dir;
    const std::string rule(72, '\xC4');
    const auto block = [&](const std::string& name) {
        return rule + "\r\n" + name + " (School)\r\n\r\n1st Level Wizard Spell\r\n\r\n\r\n" +
               "Range            : 1\r\n" + rule + "\r\nText of " + name;
    };
    const std::string joined =
        "junk\r\n" + block("A") + block("B") + "\r\n" + block("C") + "\r\n" + rule + "\r\n\r\n";
    WriteBytes(dir.file("joined.txt"), joined);
    CliResult r = Cli({"import", dir.file("joined.txt"), dir.file("set")});
    EXPECT_EQ(r.code, ExitOk) << r.err;
    EXPECT_EQ(r.out, "Imported 3 spells into " + dir.file("set") + ".Dat\n");
    EXPECT_EQ(r.err, "quarvine-cli: warning: Line 1 of " + dir.file("joined.txt") +
                         " holds no spell and was skipped.\n");
    const SpellCollection spells = Load(dir.file("set"));
    ASSERT_EQ(spells.Count(), 3);
    EXPECT_EQ(spells[0]->Description, "Text of A\r\n");
    EXPECT_EQ(spells[1]->Name, "B ");
    EXPECT_EQ(spells[2]->Name, "C ");

    std::string utf8 = TextOutputToUtf8(block("OMEGA"));
    for (std::size_t at = utf8.find("OMEGA"); at != std::string::npos; at = utf8.find("OMEGA"))
        utf8.replace(at, 5, "\xCE\xA9");
    WriteBytes(dir.file("utf8.txt"), "\xEF\xBB\xBF" + utf8);
    r = Cli({"import", dir.file("utf8.txt"), dir.file("greek")});
    EXPECT_EQ(r.code, ExitOk) << r.err;
    EXPECT_EQ(r.err, "quarvine-cli: warning: 2 characters could not be stored (Windows-1252 "
                     "lacks them) and became \"?\".\n");
    EXPECT_EQ(Load(dir.file("greek"))[0]->Name, "? ");
}

TEST_F(CliSample, ExportWritesUtf8AndThroughSymbolicLinks) {
    std::filesystem::create_directory(dir.file("real"));
    std::filesystem::create_symlink(dir.file("real/out.txt"), dir.file("out.txt"));
    for (const bool utf8 : {false, true}) {
        std::vector<std::string> args = {"export", base, dir.file("out.txt")};
        if (utf8)
            args.push_back("--utf8");
        const CliResult r = Cli(args);
        EXPECT_EQ(r.code, ExitOk) << r.err;
        EXPECT_TRUE(std::filesystem::is_symlink(dir.file("out.txt")));
        const std::string text = ReadBytes(dir.file("real/out.txt"));
        EXPECT_EQ(text.starts_with("\xEF\xBB\xBF\xE2\x94\x80"), utf8);
        EXPECT_EQ(text.find('\xC4') == std::string::npos, utf8);
        const CliResult back = Cli({"import", dir.file("out.txt"), dir.file("back")});
        EXPECT_EQ(back.out, "Imported 30 spells into " + dir.file("back") + ".Dat\n");
        EXPECT_EQ(back.err, "");
    }
}

TEST_F(CliSample, ReadingCommandsWriteNothingAndTakeAnyBookFile) {
    std::filesystem::remove(base + ".SBK");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"info", base}, {"list", base}, {"search", base, "fire"}}) {
        EXPECT_EQ(Cli(args).code, ExitOk) << args[0];
        EXPECT_FALSE(std::filesystem::exists(base + ".SBK")) << args[0];
    }
    WriteBytes(base + ".SBK", "");
    CliResult r = Cli({"info", base});
    EXPECT_EQ(r.code, ExitOk) << r.err;
    EXPECT_TRUE(r.out.ends_with("Books:\n")) << r.out;
    WriteBytes(base + ".SBK", "None - (Full List)\r\nLast book");
    r = Cli({"info", base});
    EXPECT_EQ(r.code, ExitOk) << r.err;
    EXPECT_TRUE(r.out.ends_with("Books:\n  1 Last book: 0 spells\n")) << r.out;
}

TEST_F(CliSample, DoubleDashEndsOptionsAndForeignCharactersSearchNothing) {
    CliResult r = Cli({"search", base, "--", "--fire"});
    EXPECT_EQ(r.code, ExitOk) << r.err;
    EXPECT_EQ(r.out, "");
    r = Cli({"search", base, "--", "--help"});
    EXPECT_EQ(r.code, ExitOk) << r.err;
    EXPECT_EQ(r.out, "");
    r = Cli({"search", base, "--fields", "name", "--", "whistling"});
    EXPECT_EQ(SplitLines(r.out), (std::vector<std::string>{"Whistling Ember "}));
    r = Cli({"search", base, "fire \xCE\xA9"});
    EXPECT_EQ(r.code, ExitUsage);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "quarvine-cli: The character \"\xCE\xA9\" cannot occur in the collection; "
                     "nothing was searched.\n");
    r = Cli({"import", "--help"});
    EXPECT_EQ(r.out.find("empty book list"), std::string::npos);
    EXPECT_NE(r.out.find("154 free book positions"), std::string::npos) << r.out;
}
