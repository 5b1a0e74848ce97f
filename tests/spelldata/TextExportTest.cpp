#include "spelldata/TextExport.h"

#include "spelldata/TextImport.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

using namespace spelldata;
using testsupport::FullPriest;
using testsupport::FullPsionic;
using testsupport::FullWizard;

namespace {

const std::string kRule(72, RuleChar);

std::string Crlf(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

SpellRecord Make(SpellKind kind, const std::string& name, SpellLevel level,
                 const std::string& school = "", int reversible = 0) {
    SpellRecord r(kind);
    r->Name = name;
    r->Level = level;
    r->School = school;
    r->Reversible = static_cast<std::uint8_t>(reversible);
    return r;
}

// The text fields that the text format carries, by name; empty ones left out.
// It has no source, and psionic powers go without school and saving throw.
std::map<std::string, std::string> WrittenFields(const SpellRecord& r) {
    std::set<std::string> notWritten = {"Name", "Description", "Source"};
    if (r.kind() == SpellKind::Psionic)
        notWritten.insert({"School", "SavingThrow"});
    return testsupport::RecordFields(r, notWritten);
}

SpellCollection Import(const std::string& text) {
    SpellCollection spells;
    const ImportReport report = ImportSpellTextBytes(text, spells);
    EXPECT_TRUE(report.status.ok());
    EXPECT_EQ(report.refused, 0);
    return spells;
}

std::string SaveAll(const std::vector<SpellRecord>& records, int extraLines) {
    std::string text;
    for (const SpellRecord& r : records)
        text += SaveSpell(r, extraLines);
    return text;
}

} // namespace

TEST(TextExport, LevelTextAndListCodeForEveryKindAndLevel) {
    const std::vector<std::string> ordinals = {"1st", "2nd", "3rd", "4th", "5th",
                                               "6th", "7th", "8th", "9th", "10th"};
    const std::vector<std::string> tail = {"Psionic Devotion", "Psionic Science",
                                           "Psionic Information"};
    const std::vector<std::string> codes = {"C", "1", "2",  "3", "4", "5", "6",  "7",
                                            "8", "9", "10", "D", "S", "I", "14", "255"};
    const std::vector<SpellLevel> levels = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 255};
    struct Kind {
        SpellKind kind;
        std::string suffix, quest, prefix;
    };
    const std::vector<Kind> kinds = {
        {SpellKind::Wizard, " Level Wizard Spell", "10th Level Wizard Spell", "(W  "},
        {SpellKind::Priest, " Level Priest Prayer", "Priest Quest Prayer", "(Pr "},
        {SpellKind::Psionic, "", "10th", "(Ps "},
    };
    for (const Kind& k : kinds) {
        std::vector<std::string> texts = {"Cantrip"};
        for (std::size_t i = 0; i < 9; ++i)
            texts.push_back(ordinals[i] + k.suffix);
        texts.push_back(k.quest);
        texts.insert(texts.end(), tail.begin(), tail.end());
        texts.insert(texts.end(), {"14", "255"});
        for (std::size_t i = 0; i < levels.size(); ++i) {
            const SpellRecord r = Make(k.kind, "X", levels[i]);
            EXPECT_EQ(LevelText(r), texts[i]) << k.prefix << int(levels[i]);
            EXPECT_EQ(ListCode(r), k.prefix + codes[i] + ")") << int(levels[i]);
        }
    }
}

TEST(TextExport, SaveListExactBytes) {
    const SpellRecord light = Make(SpellKind::Wizard, "Light", 1, "Alteration", 1);
    const SpellRecord quest = Make(SpellKind::Priest, "Quest", 10);
    const SpellRecord mind = Make(SpellKind::Psionic, "Mind", 11);
    const SpellRecord about = Make(SpellKind::Psionic, "About", 13);
    EXPECT_EQ(SaveList({&light, &quest, &mind, &about}),
              Crlf({"Spell List", "Light (Reversible)   (W  1)", "Quest   (Pr 10)", "Mind   (Ps D)",
                    "About   (Ps I)", ""}));
    EXPECT_EQ(SaveList({}), "Spell List\r\n\r\n");
}

TEST(TextExport, SaveSpellWizardExactBytes) {
    EXPECT_EQ(SaveSpell(FullWizard(), 2),
              Crlf({kRule, "Cinder Lattice (Evocation, Fire)", "", "3rd Level Wizard Spell", "", "",
                    "Range            : 30 yards", "Components       : V, S, M",
                    "Duration         : 1 round/level", "Casting Time     : 3",
                    "Area of Effect   : 10-foot cube", "Saving Throw     : \xBD", kRule,
                    "First line.", "Second line with \xE9 and \xFF.", "", ""}));
}

TEST(TextExport, SaveSpellPriestExactBytes) {
    EXPECT_EQ(SaveSpell(FullPriest(), 1),
              Crlf({kRule, "Ember Psalm (Evocation, Fire) Reversible", "",
                    "5th Level Priest Prayer", "", "", "Priest Sphere    : Elemental (Fire)",
                    "Range            : 30 yards", "Components       : V, S",
                    "Duration         : Permanent", "Casting Time     : 1 turn",
                    "Area of Effect   : 10-foot cube", "Saving Throw     : \xBD", kRule,
                    "First line.", "Second line with \xE9 and \xFF.", ""}));
}

TEST(TextExport, SaveSpellPsionicWithAndWithoutPrerequisites) {
    SpellRecord psi = FullPsionic();
    const std::vector<std::string> head = {kRule,
                                           "Glass Mind",
                                           "",
                                           "Psionic Devotion",
                                           "",
                                           "",
                                           "Power Score      : Int -3",
                                           "Initial Cost     : 12",
                                           "Maintanance Cost : 6/round",
                                           "Range            : 30 yards",
                                           "Preparation Time : 0",
                                           "Area of Effect   : 10-foot cube"};
    const std::vector<std::string> tail = {kRule, "First line.", "Second line with \xE9 and \xFF.",
                                           "", ""};
    std::vector<std::string> with = head;
    with.push_back("Prerequisites    : Contact");
    with.insert(with.end(), tail.begin(), tail.end());
    EXPECT_EQ(SaveSpell(psi, 2), Crlf(with));

    psi.psi().Prerequisites.clear();
    std::vector<std::string> without = head;
    without.insert(without.end(), tail.begin(), tail.end());
    EXPECT_EQ(SaveSpell(psi, 2), Crlf(without));
}

TEST(TextExport, SaveSpellInfoEntryWritesEveryLabel) {
    SpellRecord info = Make(SpellKind::Psionic, "About This Collection", LevelInfo, "Ignored");
    info->Description = "Notes.\r\n";
    info->Source = "Not written";
    EXPECT_EQ(SaveSpell(info, 1),
              Crlf({kRule, "About This Collection", "", "Psionic Information", "", "",
                    "Power Score      : ", "Initial Cost     : ", "Maintanance Cost : ",
                    "Range            : ", "Preparation Time : ", "Area of Effect   : ", kRule,
                    "Notes.", "", ""}));
}

TEST(TextExport, NameLineDoesNotDoubleATrailingBlank) {
    const auto nameLine = [](const SpellRecord& r) {
        const std::string text = SaveSpell(r, 1);
        const std::size_t start = kRule.size() + 2;
        return text.substr(start, text.find("\r\n", start) - start);
    };
    EXPECT_EQ(nameLine(Make(SpellKind::Wizard, "Light ", 1, "Alteration")), "Light (Alteration)");
    EXPECT_EQ(nameLine(Make(SpellKind::Wizard, "Light", 1, "Alteration")), "Light (Alteration)");
    EXPECT_EQ(nameLine(Make(SpellKind::Priest, "Bless ", 1, "Conjuration", 1)),
              "Bless (Conjuration) Reversible");
    EXPECT_EQ(nameLine(Make(SpellKind::Psionic, "Mind ", 11, "Telepathy")), "Mind ");
}

TEST(TextExport, ExtraLinesFollowTheDescription) {
    const SpellRecord r = FullWizard();
    const std::string bare = SaveSpell(r, 0);
    ASSERT_TRUE(bare.ends_with("\xFF.\r\n"));
    for (const int n : {1, 66}) {
        std::string expected = bare;
        for (int i = 0; i < n; ++i)
            expected += "\r\n";
        EXPECT_EQ(SaveSpell(r, n), expected) << n;
    }
}

TEST(TextExport, SavedSpellsImportBack) {
    const int extra = 2;
    SpellRecord info = Make(SpellKind::Psionic, "About", LevelInfo);
    info->Description = "Info text.\r\n";
    SpellRecord light = Make(SpellKind::Wizard, "Light", 0, "Alteration", 1);
    light->Description = "Glows.";
    SpellRecord quest = FullPriest("Quest of Ages");
    quest->Level = 10;
    quest->Reversible = 0;
    SpellRecord trailing = FullPriest("Trailing ");
    trailing->Level = 1;
    SpellRecord science = FullPsionic("Deep Sight");
    science->Level = LevelScience;
    science.psi().Prerequisites.clear();
    SpellRecord tenth = FullWizard("Tenth Wonder");
    tenth->Level = 10;
    const std::vector<SpellRecord> originals = {
        FullWizard(), FullPriest(), FullPsionic(), light, quest, trailing, science, tenth, info};

    const std::string first = SaveAll(originals, extra);
    const SpellCollection imported = Import(first);
    ASSERT_EQ(imported.Count(), static_cast<int>(originals.size()));
    std::vector<SpellRecord> grown;
    for (std::size_t i = 0; i < originals.size(); ++i) {
        const SpellRecord& o = originals[i];
        const SpellRecord& r = imported[static_cast<int>(i)];
        const std::string label = o->Name;
        ASSERT_EQ(r.kind(), o.kind()) << label;
        EXPECT_EQ(r->Level, o->Level) << label;
        EXPECT_EQ(r->Reversible, o->Reversible) << label;
        EXPECT_EQ(WrittenFields(r), WrittenFields(o)) << label;
        const bool psionic = o.kind() == SpellKind::Psionic;
        EXPECT_EQ(r->Name, psionic || o->Name.ends_with(' ') ? o->Name : o->Name + " ") << label;
        EXPECT_EQ(r->School, psionic ? "" : o->School) << label;
        EXPECT_TRUE(r->Source.empty()) << label;
        // The line end after the description and the extra lines come back
        // as empty description lines.
        EXPECT_EQ(r->Description, o->Description + "\r\n\r\n\r\n") << label;
        grown.push_back(o);
        grown.back()->Description = r->Description;
    }

    // Saving the imported records again changes nothing but the description.
    std::vector<SpellRecord> again(imported.begin(), imported.end());
    EXPECT_EQ(SaveAll(again, extra), SaveAll(grown, extra));
}

TEST(TextExport, SampleFileSurvivesExportAndImport) {
    SpellCollection first;
    const ImportReport report =
        ImportSpellText(testsupport::SourcePath("samples/sample-spells.txt"), first);
    ASSERT_TRUE(report.status.ok()) << report.status.message;
    ASSERT_EQ(first.Count(), 30);
    const std::vector<SpellRecord> records(first.begin(), first.end());
    const SpellCollection second = Import(SaveAll(records, 2));
    ASSERT_EQ(second.Count(), first.Count());
    for (int i = 0; i < first.Count(); ++i) {
        const SpellRecord& a = first[i];
        const SpellRecord& b = second[i];
        ASSERT_EQ(b.kind(), a.kind()) << a->Name;
        EXPECT_EQ(b->Name, a->Name);
        EXPECT_EQ(b->Level, a->Level) << a->Name;
        EXPECT_EQ(b->School, a->School) << a->Name;
        EXPECT_EQ(b->Reversible, a->Reversible) << a->Name;
        EXPECT_EQ(WrittenFields(b), WrittenFields(a)) << a->Name;
        EXPECT_EQ(b->Description, a->Description + "\r\n\r\n\r\n") << a->Name;
    }
}

// DOS text → import → UTF-8 output → import gives the same records, and the
// UTF-8 output is the DOS output converted, behind a byte-order mark.
TEST(TextExport, Utf8OutputImportsAsTheDosOutputDoes) {
    SpellCollection first;
    ASSERT_TRUE(
        ImportSpellText(testsupport::SourcePath("samples/sample-spells.txt"), first).status.ok());
    first[0]->Name = "Caf\xE9 \xC6ther "; // Windows-1252 letters
    first[1]->Description = "Costs 5\x80 \x96 \xBD a day\r\n";
    const std::vector<SpellRecord> records(first.begin(), first.end());
    const std::string dos = SaveAll(records, 2);
    const std::string utf8 = TextOutputToUtf8(dos);
    EXPECT_EQ(utf8.find('\xC4'), std::string::npos);
    EXPECT_TRUE(utf8.starts_with("\xE2\x94\x80\xE2\x94\x80"));
    EXPECT_NE(utf8.find("Caf\xC3\xA9 \xC3\x86ther"), std::string::npos);
    EXPECT_NE(utf8.find("5\xE2\x82\xAC \xE2\x80\x93 \xC2\xBD"), std::string::npos);
    const SpellCollection fromDos = Import(dos);
    ASSERT_EQ(fromDos.Count(), 30);
    for (const std::string& text : {utf8, "\xEF\xBB\xBF" + utf8}) {
        const SpellCollection fromUtf8 = Import(text);
        ASSERT_EQ(fromUtf8.Count(), 30);
        for (int i = 0; i < 30; ++i)
            EXPECT_EQ(fromUtf8[i], fromDos[i]) << i;
    }

    testsupport::TempDir dir;
    const std::string out = dir.file("out.txt");
    ASSERT_TRUE(WriteTextOutput(out, dos, false, TextEncoding::Utf8).ok());
    EXPECT_EQ(testsupport::ReadBytes(out), "\xEF\xBB\xBF" + utf8);
    ASSERT_TRUE(WriteTextOutput(out, "\xC4\r\n", true, TextEncoding::Utf8).ok());
    EXPECT_EQ(testsupport::ReadBytes(out), "\xEF\xBB\xBF" + utf8 + "\xE2\x94\x80\r\n");
    ASSERT_TRUE(WriteTextOutput(dir.file("new.txt"), "x", true, TextEncoding::Utf8).ok());
    EXPECT_EQ(testsupport::ReadBytes(dir.file("new.txt")), "\xEF\xBB\xBFx");

    // The choice is remembered in a file of its own.
    const std::string choice = dir.file(TextEncodingFileName);
    EXPECT_EQ(ReadTextEncoding(choice), TextEncoding::Dos);
    ASSERT_TRUE(WriteTextEncoding(choice, TextEncoding::Utf8).ok());
    EXPECT_EQ(ReadTextEncoding(choice), TextEncoding::Utf8);
}
