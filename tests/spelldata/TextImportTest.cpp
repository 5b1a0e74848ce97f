#include "spelldata/TextImport.h"

#include "spelldata/TextExport.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace spelldata;

namespace {

const std::string kRule(72, RuleChar);
const std::string kFour(4, RuleChar);
const std::string kFive(5, RuleChar);

std::string Lines(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
    std::string text;
    for (const std::string& line : lines)
        text += line + end;
    return text;
}

// One block as the writer lays it out: separator, name, blank, level, two
// blanks, fields, field end, description lines.
std::vector<std::string> Block(const std::string& name, const std::string& level,
                               const std::vector<std::string>& fields,
                               const std::vector<std::string>& description) {
    std::vector<std::string> lines = {kRule, name, "", level, "", ""};
    lines.insert(lines.end(), fields.begin(), fields.end());
    lines.push_back(kRule);
    lines.insert(lines.end(), description.begin(), description.end());
    return lines;
}

SpellCollection Import(std::string_view text, ImportReport* report = nullptr) {
    SpellCollection spells;
    const ImportReport r = ImportSpellTextBytes(text, spells);
    EXPECT_TRUE(r.status.ok());
    EXPECT_EQ(r.imported, spells.Count());
    if (report)
        *report = r;
    return spells;
}

// The non-empty text fields of a record, by name; its name and description
// are checked on their own.
std::map<std::string, std::string> Fields(const SpellRecord& r) {
    return testsupport::RecordFields(r, {"Name", "Description"});
}

} // namespace

TEST(TextImport, LevelFromTextFirstMatchingRowDecides) {
    const std::vector<std::pair<std::string, SpellLevel>> cases = {
        {"Cantrip", 0},
        {"1st Level Wizard Spell", 1},
        {"2nd Level Priest Prayer", 2},
        {"3rd", 3},
        {"4th Level Wizard Spell", 4},
        {"5th", 5},
        {"6th", 6},
        {"7th", 7},
        {"8th", 8},
        {"9th Level Wizard Spell", 9},
        {"10th Level Wizard Spell", 10},
        {"Priest Quest Prayer", 10},
        {"Tenth circle", 10},
        {"First", 1},
        {"Second", 2},
        {"Third", 3},
        {"Fourth", 4},
        {"Fifth", 5},
        {"Sixth", 6},
        {"Seventh", 7},
        {"Eighth", 8},
        {"Ninth", 9},
        {"11th Level Wizard Spell", 1}, // "1" hits, "10" does not occur
        {"20th", 0},                    // the "0" row comes before the "2" row
        {"Quest of the 3rd", 10},
        {"Devotion 5", 5},
        {"Psionic Devotion", 11},
        {"Psionic Science", 12},
        {"Psionic Information", 13},
        {"parameters", 13},
        {"Info", 13},
        {"third", 0}, // case matters
        {"", 0},
        {"Level unknown", 0},
    };
    for (const auto& [line, level] : cases)
        EXPECT_EQ(LevelFromText(line), level) << line;
}

TEST(TextImport, KindComesFromLevelLineAndCarriesOver) {
    const std::vector<std::pair<std::string, SpellKind>> cases = {
        {"3rd Level", SpellKind::Wizard}, // first block without a kind word
        {"Priest Quest Prayer", SpellKind::Priest},
        {"4th", SpellKind::Priest}, // carried over
        {"Psionic Science", SpellKind::Psionic},
        {"5th", SpellKind::Psionic},    // carried over
        {"Cantrip", SpellKind::Wizard}, // "antri"
        {"Wizard Priest", SpellKind::Priest},
        {"1st Level Wizard Spell", SpellKind::Wizard},
        {"Wizard turned Psionic", SpellKind::Psionic},
    };
    std::vector<std::string> lines;
    for (const auto& c : cases) {
        const auto block = Block("Spell", c.first, {}, {"Text"});
        lines.insert(lines.end(), block.begin(), block.end());
    }
    const SpellCollection spells = Import(Lines(lines));
    ASSERT_EQ(spells.Count(), static_cast<int>(cases.size()));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const SpellRecord& r = spells[static_cast<int>(i)];
        EXPECT_EQ(r.kind(), cases[i].second) << cases[i].first;
        EXPECT_EQ(r->Kind, static_cast<std::uint8_t>(cases[i].second)) << cases[i].first;
    }
}

TEST(TextImport, NameLineGivesNameSchoolAndReversible) {
    struct Case {
        std::string line, name, school;
        int reversible;
    };
    const std::vector<Case> cases = {
        {"Light (Alteration) Reversible", "Light ", "Alteration", 1},
        {"Light (Alteration)", "Light ", "Alteration", 0},
        {"Light (Alteration)  Reversible", "Light  ", "Alteration", 1},
        {"Name(School)Reversible", "Name", "School", 1},
        {"Reversible", "", "", 1},
        {"Fireball (Evocation) (Fire)", "Fireball  ", "Evocation, Fire", 0},
        {"A (B) (C) (D)", "A   (D)", "B, C", 0},
        {"Plain Name", "Plain Name", "", 0},
        {"Unpaired (Open", "Unpaired (Open", "", 0},
        {"Odd) order (x", "Odd) order (x", "", 0},
        {"Back) (Alt)", "Back) ", "Alt", 0},
        {"Two (A) (B", "Two  (B", "A", 0},
        {"Empty () group", "Empty  group", "", 0},
    };
    std::vector<std::string> lines;
    for (const Case& c : cases) {
        const auto block = Block(c.line, "1st Level Wizard Spell", {}, {"Text"});
        lines.insert(lines.end(), block.begin(), block.end());
    }
    const SpellCollection spells = Import(Lines(lines));
    ASSERT_EQ(spells.Count(), static_cast<int>(cases.size()));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const TBasic& b = spells[static_cast<int>(i)].basic();
        EXPECT_EQ(b.Name, cases[i].name) << cases[i].line;
        EXPECT_EQ(b.School, cases[i].school) << cases[i].line;
        EXPECT_EQ(b.Reversible, cases[i].reversible) << cases[i].line;
    }
}

TEST(TextImport, FieldLineLabelTableByKind) {
    using F = std::map<std::string, std::string>;
    struct Case {
        SpellKind kind;
        std::string line;
        F expected;
    };
    const SpellKind W = SpellKind::Wizard, P = SpellKind::Priest, S = SpellKind::Psionic;
    const std::vector<Case> cases = {
        {W, "Range            : Touch", {{"Range", "Touch"}}},
        {W, "RANGE: Touch", {}},
        {W, "Range:Touch", {}},
        {W, "Range :  far  ", {{"Range", " far  "}}},
        {W, "Components       : V, S, M", {{"Components", "V, S, M"}}},
        {W, "Duration: 1 turn: then more", {{"Duration", "1 turn: then more"}}},
        {W, "Casting Time     : 3", {{"CastingTime", "3"}}},
        {W, "Area of Effect   : 20-foot cube", {{"AreaOfEffect", "20-foot cube"}}},
        {W, "AOE: one creature", {{"AreaOfEffect", "one creature"}}},
        {W, "Saving Throw     : Neg.", {{"SavingThrow", "Neg."}}},
        {W, "School           : Evocation", {}},
        {W, "Initial Cost: 10", {}},
        {W, "Power Score: Int", {}},
        {W, "Prerequisites: none", {}},
        {W, "Something else: value", {}},
        {P, "Priest Sphere    : Healing", {{"Sphere", "Healing"}}},
        {P, "School: Necromantic", {{"Sphere", "Necromantic"}}},
        {P, "Area of Effect: Range of sight", {{"Range", "Range of sight"}}},
        {P, "Casting Time: Duration of the hymn", {{"Duration", "Duration of the hymn"}}},
        {P, "Components       : V", {{"Components", "V"}}},
        {P, "Maintanance Cost : 4 per turn", {}},
        {S, "Power Score      : Int -3", {{"PowerScore", "Int -3"}}},
        {S, "Initial Cost     : 6", {{"InitialCost", "6"}}},
        {S, "Maintanance Cost : 4 per turn", {{"MaintenanceCost", "4 per turn"}}},
        {S, "Range            : 0", {{"Range", "0"}}},
        {S, "Preparation Time : 1", {{"PreparationTime", "1"}}},
        {S, "Area of Effect   : personal", {{"AreaOfEffect", "personal"}}},
        {S, "Prerequisites    : Contact", {{"Prerequisites", "Contact"}}},
        {S, "Saving Throw: none", {{"SavingThrow", "none"}}},
        {S, "Components       : V", {}},
        {S, "Duration: 1 round", {}},
        {S, "Casting Time: 1", {}},
        {S, "Sphere: All", {}},
        {S, "Power Score: Maintain focus", {{"MaintenanceCost", "Maintain focus"}}},
        {S, "Prerequisites: Initial Cost", {{"InitialCost", "Initial Cost"}}},
        // Labels late in longer lines, across and after every sixteenth byte.
        {W, "Notes about something longer: Range", {{"Range", "Range"}}},
        {S, "Something else entirely, here: x Power", {{"PowerScore", "x Power"}}},
        {W, "Range: 123456789", {{"Range", "123456789"}}},
        {W, "\xC9\xD3 notes on the \xC0 and more: Duration", {{"Duration", "Duration"}}},
    };
    for (const Case& c : cases) {
        SpellRecord r(c.kind);
        EXPECT_TRUE(ApplyFieldLine(c.line, r)) << c.line;
        EXPECT_EQ(Fields(r), c.expected) << c.line;
    }
}

TEST(TextImport, FieldLineWithFourRuleCharactersEndsTheBlock) {
    SpellRecord r(SpellKind::Wizard);
    EXPECT_FALSE(ApplyFieldLine(kFour, r));
    EXPECT_FALSE(ApplyFieldLine("Range: x" + kFour, r));
    EXPECT_TRUE(Fields(r).empty());
    EXPECT_TRUE(ApplyFieldLine("Range: " + std::string(3, RuleChar), r));
    EXPECT_EQ(r->Range, std::string(3, RuleChar));
    EXPECT_TRUE(ApplyFieldLine("Range: later", r));
    EXPECT_EQ(r->Range, "later");
}

TEST(TextImport, HalfSignIsReplacedOnlyInSavingThrow) {
    SpellRecord r(SpellKind::Wizard);
    ApplyFieldLine("Saving Throw     : \xAB and \xAB", r);
    ApplyFieldLine("Range            : 1\xAB miles", r);
    ApplyFieldLine("Area of Effect   : \xAB mile", r);
    EXPECT_EQ(r->SavingThrow, "\xBD and \xBD");
    EXPECT_EQ(r->Range, "1\xAB miles");
    EXPECT_EQ(r->AreaOfEffect, "\xAB mile");

    std::string text = "a\xAB\xAB"
                       "b";
    ReplaceByte(text, '\xAB', '\xBD');
    EXPECT_EQ(text, "a\xBD\xBD"
                    "b");
}

TEST(TextImport, CompleteBlockSetsFieldsAndDefaults) {
    const std::string text = Lines(Block(
        "Ember Psalm (Evocation) Reversible", "5th Level Priest Prayer",
        {"Priest Sphere    : Elemental (Fire)", "Range            : 60 yards",
         "Components       : V, S", "Duration         : Instantaneous", "Casting Time     : 8",
         "Area of Effect   : one creature", "Saving Throw     : \xAB"},
        {"Line one.", "Line two."}));
    const SpellCollection spells = Import(text);
    ASSERT_EQ(spells.Count(), 1);
    const SpellRecord& r = spells[0];
    ASSERT_EQ(r.kind(), SpellKind::Priest);
    EXPECT_EQ(r->Name, "Ember Psalm ");
    EXPECT_EQ(r->Level, 5);
    EXPECT_EQ(r->Reversible, 1);
    EXPECT_EQ(r->Marked, 0);
    EXPECT_EQ(r->Shown, 1);
    EXPECT_EQ(r->Description, "Line one.\r\nLine two.\r\n");
    const std::map<std::string, std::string> expected = {
        {"School", "Evocation"},          {"Sphere", "Elemental (Fire)"}, {"Range", "60 yards"},
        {"Components", "V, S"},           {"Duration", "Instantaneous"},  {"CastingTime", "8"},
        {"AreaOfEffect", "one creature"}, {"SavingThrow", "\xBD"}};
    EXPECT_EQ(Fields(r), expected);
    EXPECT_EQ(r->BookSet, BookBits());
    for (const std::uint8_t count : r->BookCounts)
        EXPECT_EQ(count, 0);
}

TEST(TextImport, AttributionLinesSetSource) {
    struct Case {
        std::vector<std::string> description;
        std::string source, text;
    };
    const std::vector<Case> cases = {
        {{"Text", "Author:  Jane Doe", "", "More"}, "Jane Doe", "Text\r\nMore\r\n"},
        {{"Author: Jane Doe", ""}, "ane Doe", ""},
        {{"Author:", ""}, "", ""},
        {{"Written by Author:  Someone", ""}, "Someone", ""},
        {{"Author:  A", "", "Page:  12", ""}, "12", ""}, // replaced, not extended
        // A continuation line, then one discarded line that is not empty.
        {{"Page:  12", "of the Tome", "gone", "kept"}, "12 of the Tome", "kept\r\n"},
        // Empty discarded lines make room for up to three discards.
        {{"Author:  A", "B", "", "", "gone", "kept"}, "A B", "kept\r\n"},
        {{"Author:  A", "B", "", "gone", "kept"}, "A B", "kept\r\n"},
        {{"Author:  A", "B", "", "", ""}, "A B", ""},
    };
    for (const Case& c : cases) {
        const SpellCollection spells =
            Import(Lines(Block("X (Y)", "1st Level Wizard Spell", {}, c.description)) + kRule);
        ASSERT_EQ(spells.Count(), 1) << c.source;
        EXPECT_EQ(spells[0]->Source, c.source) << c.description[0];
        EXPECT_EQ(spells[0]->Description, c.text) << c.description[0];
    }
}

TEST(TextImport, DescriptionRules) {
    struct Case {
        std::vector<std::string> description;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {{"", "Text"}, "Text\r\n"},
        {{"", "", "Text"}, "\r\nText\r\n"},
        {{"A", "", "B"}, "A\r\n\r\nB\r\n"},
        {{"Text", "", ""}, "Text\r\n\r\n\r\n"},
        {{"x" + kFour + "y", "z"}, "x" + kFour + "y\r\nz\r\n"},
        {{"a", "b" + kFive + "c", "not read"}, "a\r\nb\r\n"},
    };
    for (const Case& c : cases) {
        const std::string text =
            Lines(Block("X (Y)", "1st Level Wizard Spell", {}, c.description)) + kRule;
        const SpellCollection spells = Import(text);
        ASSERT_EQ(spells.Count(), 1);
        EXPECT_EQ(spells[0]->Description, c.expected) << c.description[0];
    }
}

TEST(TextImport, LastBlockWithoutClosingSeparatorKeepsItsLastLine) {
    const std::string text =
        Lines(Block("A (B)", "Cantrip", {"Range: 1"}, {"First", "Second"})) + "Last words";
    const SpellCollection spells = Import(text);
    ASSERT_EQ(spells.Count(), 1);
    EXPECT_EQ(spells[0]->Description, "First\r\nSecond\r\nLast words\r\n");
}

TEST(TextImport, NearlyEmptyFilesGiveNoRecords) {
    const std::vector<std::string> texts = {"", kRule, kRule + "\r\n", "junk\r\nmore junk\r\n",
                                            "x" + kFive + "\r\n" + kFive};
    for (const std::string& text : texts)
        EXPECT_EQ(Import(text).Count(), 0) << text;
}

TEST(TextImport, LineEndsAreInterchangeable) {
    std::vector<std::string> lines =
        Block("A (B) Reversible", "3rd Level Wizard Spell",
              {"Range: 10 yards", "Saving Throw: None"}, {"", "Desc one", "", "Desc two"});
    const auto second = Block("C", "Psionic Science", {"Power Score: Int"}, {"Desc", ""});
    lines.insert(lines.end(), second.begin(), second.end());
    const SpellCollection crlf = Import(Lines(lines));
    ASSERT_EQ(crlf.Count(), 2);
    for (const std::string end : {"\n", "\r"}) {
        const SpellCollection other = Import(Lines(lines, end));
        ASSERT_EQ(other.Count(), 2);
        EXPECT_EQ(other[0], crlf[0]);
        EXPECT_EQ(other[1], crlf[1]);
    }
    // Mixed line ends in one file.
    std::string mixed;
    for (std::size_t i = 0; i < lines.size(); ++i)
        mixed += lines[i] + (i % 3 == 0 ? "\n" : i % 3 == 1 ? "\r" : "\r\n");
    const SpellCollection m = Import(mixed);
    ASSERT_EQ(m.Count(), 2);
    EXPECT_EQ(m[0], crlf[0]);
    EXPECT_EQ(m[1], crlf[1]);
}

TEST(TextImport, LinesThatCannotOpenABlockAreSkippedAndReported) {
    const auto good = Block("Good (Alteration)", "2nd Level Wizard Spell", {"Range: 5"}, {"Ok"});
    const std::string clean = Lines(good);
    const SpellCollection reference = Import(clean);
    ASSERT_EQ(reference.Count(), 1);
    ImportReport report;
    const SpellCollection afterJunk = Import("junk\r\n\r\nx" + kFive + "\r\n" + clean, &report);
    ASSERT_EQ(afterJunk.Count(), 1);
    EXPECT_EQ(afterJunk[0], reference[0]);
    ASSERT_EQ(report.skipped.size(), 2u);
    EXPECT_EQ(report.skipped[0].first, 1);
    EXPECT_EQ(report.skipped[1].first, 3);
    EXPECT_EQ(ImportNotes(report, "in.txt"),
              "Lines 1, 3 of in.txt hold no spell and were skipped.");

    // Five rules inside a description line open the next block there; a block
    // whose header meets a separator is cut off and is no spell.
    std::vector<std::string> lines =
        Block("First (A)", "1st Level Wizard Spell", {}, {"One", "end " + kFive, "stray"});
    lines.insert(lines.end(), good.begin(), good.end());
    const SpellCollection spells = Import(Lines(lines), &report);
    ASSERT_EQ(spells.Count(), 2);
    EXPECT_EQ(spells[0]->Description, "One\r\nend \r\n");
    EXPECT_EQ(spells[1], reference[0]);
    EXPECT_EQ(ImportNotes(report, "f"), "Line 10 of f holds no spell and was skipped.");
}

TEST(TextImport, SeparatorsThatShareALineNeverMergeSpells) {
    const std::string a = Lines(
        Block("Alpha (A)", "1st Level Wizard Spell", {"Range: 1"}, {"Alpha text", "Alpha end"}));
    const std::string b =
        Lines(Block("Beta (B)", "2nd Level Wizard Spell", {"Range: 2"}, {"Beta text"})) +
        Lines(Block("Gamma (C)", "3rd Level Wizard Spell", {}, {"Gamma text"}));
    const SpellCollection apart = Import(a + b);
    ASSERT_EQ(apart.Count(), 3);
    // a.txt without its final line end, then b.txt; b.txt behind a byte-order mark.
    for (const std::string& text : {a.substr(0, a.size() - 2) + b, "\xEF\xBB\xBF" + a + b}) {
        ImportReport report;
        const SpellCollection joined = Import(text, &report);
        ASSERT_EQ(joined.Count(), 3);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(joined[i], apart[i]) << i;
        EXPECT_TRUE(report.skipped.empty());
    }
}

TEST(TextImport, TrailingSeparatorsAndBlankLinesMakeNoRecord) {
    const std::string one = Lines(Block("Only (A)", "Cantrip", {}, {"Text"}));
    for (const std::string& tail :
         {kRule + "\r\n\r\n", kRule + "\r\n\r\n\r\n\r\n \r\n", kRule + "\r\n" + kRule + "\r\n"}) {
        ImportReport report;
        const SpellCollection spells = Import(one + tail, &report);
        ASSERT_EQ(spells.Count(), 1) << tail.size();
        EXPECT_EQ(spells[0]->Name, "Only ");
        EXPECT_TRUE(report.skipped.empty());
    }
}

TEST(TextImport, EndOfFileInsideABlockKeepsThatRecord) {
    struct Case {
        std::string text, name;
        SpellLevel level;
        std::string range;
    };
    const std::vector<Case> cases = {
        {kRule + "\r\nOnly Name (School)", "Only Name ", 0, ""},
        {kRule + "\r\nHalf (S)\r\n\r\n7th Level Wizard Spell\r\n", "Half ", 7, ""},
        {kRule + "\r\nFields (S)\r\n\r\n4th Level Wizard Spell\r\n\r\n\r\nRange: 9 feet\r\n",
         "Fields ", 4, "9 feet"},
    };
    for (const Case& c : cases) {
        const SpellCollection spells =
            Import(Lines(Block("Whole (S)", "Cantrip", {}, {})) + c.text);
        ASSERT_EQ(spells.Count(), 2) << c.name;
        EXPECT_EQ(spells[0]->Name, "Whole ");
        EXPECT_EQ(spells[1]->Name, c.name);
        EXPECT_EQ(spells[1]->Level, c.level) << c.name;
        EXPECT_EQ(spells[1]->Range, c.range) << c.name;
        EXPECT_EQ(spells[1]->Shown, 1);
        EXPECT_TRUE(spells[1]->Description.empty());
    }
}

TEST(TextImport, CtrlZEndsTheFile) {
    const std::string first = Lines(Block("A (B)", "Cantrip", {}, {"Kept", "Cut\x1Aoff", "gone"}));
    const std::string text = first + Lines(Block("Lost (C)", "Cantrip", {}, {"x"}));
    const SpellCollection spells = Import(text);
    ASSERT_EQ(spells.Count(), 1);
    EXPECT_EQ(spells[0]->Description, "Kept\r\nCut\r\n");
}

TEST(TextImport, RecordsPastCapacityAreRefused) {
    const int blocks = SpellCollection::Capacity + 1;
    std::string text;
    text.reserve(static_cast<std::size_t>(blocks) * 40);
    for (int i = 0; i < blocks; ++i)
        text +=
            kFive + "\r\nN" + std::to_string(i) + "\r\n\r\nCantrip\r\n\r\n\r\n" + kFour + "\r\n";
    ImportReport report;
    const SpellCollection spells = Import(text, &report);
    EXPECT_EQ(report.imported, SpellCollection::Capacity);
    EXPECT_EQ(report.refused, 1);
    ASSERT_EQ(spells.Count(), SpellCollection::Capacity);
    EXPECT_EQ(spells[SpellCollection::Capacity - 1]->Name,
              "N" + std::to_string(SpellCollection::Capacity - 1));
}

TEST(TextImport, FileOnDiskReadsLikeItsBytes) {
    testsupport::TempDir dir;
    const std::string text = Lines(
        Block("Disk (Divination)", "Priest Quest Prayer", {"Priest Sphere: All"}, {"From disk"}));
    testsupport::WriteBytes(dir.file("spells.txt"), text);
    SpellCollection spells;
    const ImportReport report = ImportSpellText(dir.file("spells.txt"), spells);
    ASSERT_TRUE(report.status.ok()) << report.status.message;
    EXPECT_EQ(report.imported, 1);
    ASSERT_EQ(spells.Count(), 1);
    EXPECT_EQ(spells[0], Import(text)[0]);
}

TEST(TextImport, FileWithoutSpellsIsRefusedWithItsName) {
    testsupport::TempDir dir;
    for (const std::string text : {"", "\r\n\r\n\r\n", "plain words\r\nno rules\r\n"}) {
        testsupport::WriteBytes(dir.file("none.txt"), text);
        SpellCollection spells;
        const ImportReport report = ImportSpellText(dir.file("none.txt"), spells);
        EXPECT_EQ(report.status.kind, ErrorKind::Malformed) << text;
        EXPECT_EQ(report.status.message, "No spells found in " + dir.file("none.txt"));
        EXPECT_EQ(spells.Count(), 0);
    }
}

TEST(TextImport, MissingFileIsReported) {
    testsupport::TempDir dir;
    SpellCollection spells;
    const ImportReport report = ImportSpellText(dir.file("absent.txt"), spells);
    EXPECT_EQ(report.status.kind, ErrorKind::NotFound);
    EXPECT_EQ(report.status.message, "File Not Found, or beeing used by other application.");
    EXPECT_EQ(report.imported, 0);
    EXPECT_EQ(spells.Count(), 0);
}

// UTF-8 text from today's editors: with or without byte-order mark, LF or
// CR LF line ends, separators of U+2500. It reads as the same text in DOS bytes.
TEST(TextImport, Utf8TextIsDecodedToTheCollectionsBytes) {
    const std::string dos =
        Lines(Block("Caf\xE9 (Alt\xE9ration)", "2nd Level Wizard Spell",
                    {"Range: 10 yards", "Saving Throw: \xBD"}, {"Na\xEFve text \x80", "End"})) +
        Lines(Block("Second", "Psionic Science", {"Power Score: Int"}, {"x"}));
    const SpellCollection reference = Import(dos);
    ASSERT_EQ(reference.Count(), 2);
    const std::string utf8 = TextOutputToUtf8(dos);
    std::string lfOnly = utf8;
    for (std::size_t at = lfOnly.find("\r\n"); at != std::string::npos;
         at = lfOnly.find("\r\n", at))
        lfOnly.erase(at, 1);
    for (const std::string& text : {utf8, "\xEF\xBB\xBF" + utf8, lfOnly}) {
        ImportReport report;
        const SpellCollection spells = Import(text, &report);
        ASSERT_EQ(spells.Count(), 2);
        EXPECT_EQ(spells[0], reference[0]);
        EXPECT_EQ(spells[1], reference[1]);
        EXPECT_EQ(report.unstorable, 0);
        EXPECT_EQ(ImportNotes(report, "f"), "");
    }

    // Characters that Windows-1252 lacks become "?" and are counted.
    const std::string foreign =
        "\xE2\x94\x80\xE2\x94\x80\r\nOmega \xCE\xA9\r\n\r\nCantrip\r\n\r\n\r\n"
        "\xE2\x94\x80\xE2\x94\x80\xE2\x94\x80\xE2\x94\x80\r\n"
        "Arrow \xE2\x86\x92 smile \xF0\x9F\x98\x80\r\n";
    ImportReport report;
    const SpellCollection spells = Import(foreign, &report);
    ASSERT_EQ(spells.Count(), 1);
    EXPECT_EQ(spells[0]->Name, "Omega ?");
    EXPECT_EQ(spells[0]->Description, "Arrow ? smile ?\r\n");
    EXPECT_EQ(report.unstorable, 3);
    EXPECT_EQ(ImportNotes(report, "f"),
              "3 characters could not be stored (Windows-1252 lacks them) and became \"?\".");

    // DOS bytes that happen to be well-formed UTF-8 but have no U+2500
    // separators are read byte for byte.
    const std::string dosLike = Lines(Block("\xC3\xA9t\xC3\xA9", "Cantrip", {}, {"x"}));
    EXPECT_EQ(Import(dosLike)[0]->Name, "\xC3\xA9t\xC3\xA9");
}
