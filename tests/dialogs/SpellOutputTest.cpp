#include "dialogs/output/SpellOutput.h"

#include "TestSupport.h"
#include "spelldata/SpellCollection.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

using Records = std::vector<const spelldata::SpellRecord*>;

// Three spells listed as slots 2, 0, 1; slot 2 is marked and so is slot 3,
// which is not listed.
class SpellOutputTest : public ::testing::Test {
protected:
    SpellOutputTest() {
        for (const char* name : {"Cinder Lattice", "Far Beyond", "Glass Mind", "Last Rite"})
            spells.Append(testsupport::FullWizard(name));
        spells.SetMarked(2, true);
        spells.SetMarked(3, true);
        source.spells = &spells;
        source.rows = {2, 0, 1};
        source.selectedRow = 1;
        source.programDir = QString::fromStdString(dir.path().string());
    }
    Records at(std::initializer_list<int> chosen) const {
        Records records;
        for (int slot : chosen)
            records.push_back(&spells[slot]);
        return records;
    }

    testsupport::TempDir dir;
    spelldata::SpellCollection spells;
    ListSource source;
};

} // namespace

TEST_F(SpellOutputTest, scopesPickTheListedSpellsInListOrder) {
    EXPECT_EQ(RecordsInScope(source, OutputScope::List), at({2, 0, 1}));
    EXPECT_EQ(RecordsInScope(source, OutputScope::Marked), at({2})) << "unlisted marks stay out";
    EXPECT_EQ(RecordsInScope(source, OutputScope::Current), at({0}));
    EXPECT_TRUE(ListShowsMarkedSpell(source));

    source.rows = {0, 1, 3}; // the listed mark is filtered away; the other one shows
    source.selectedRow = 3;  // past the list
    EXPECT_EQ(RecordsInScope(source, OutputScope::Marked), at({3}));
    EXPECT_EQ(RecordsInScope(source, OutputScope::Current), Records{});
    spells.SetMarked(3, false);
    EXPECT_FALSE(ListShowsMarkedSpell(source));

    source.spells = nullptr;
    source.rows.clear();
    EXPECT_FALSE(ListShowsMarkedSpell(source));
    EXPECT_EQ(RecordsInScope(source, OutputScope::List), Records{});
}

// Appending whole spells when none are listed creates no file; a list of
// names always has its heading to write.
TEST_F(SpellOutputTest, appendingNoWholeSpellsLeavesAMissingFileMissing) {
    source.rows.clear();
    OutputChoice choice;
    choice.print = false;
    choice.description = true;
    choice.append = true;
    choice.fileName = QStringLiteral("out.ind"); // in the program's folder
    const std::string path = dir.file("out.ind");
    EXPECT_TRUE(SaveTextOutput(source, choice).ok());
    EXPECT_FALSE(std::filesystem::exists(path));

    choice.description = false;
    EXPECT_TRUE(SaveTextOutput(source, choice).ok());
    EXPECT_EQ(testsupport::ReadBytes(path), spelldata::SaveList({}));
}

TEST(SpellOutput, defaultFileNames) {
    EXPECT_EQ(IndexFileName(QStringLiteral("spells.dat")), QStringLiteral("spells.Ind"));
    EXPECT_EQ(IndexFileName(QString()), QStringLiteral(".Ind"));
    EXPECT_EQ(IndexFileName(QStringLiteral("spells")), QStringLiteral("spells.Ind"));
    EXPECT_EQ(IndexFileName(QStringLiteral("my.spells.dat")), QStringLiteral("my.Ind"));
    // A dot in a folder name does not count.
    EXPECT_EQ(IndexFileName(QStringLiteral("/home/u/.local/data/core.Dat")),
              QStringLiteral("/home/u/.local/data/core.Ind"));
    EXPECT_EQ(IndexFileName(QStringLiteral("C:\\A.B\\SPELLS")),
              QStringLiteral("C:\\A.B\\SPELLS.Ind"));

    ListSource source;
    source.programDir = QStringLiteral("/opt/q");
    EXPECT_EQ(PdfPreset(source), QStringLiteral("/opt/q/spells.pdf"));
    source.fileBoxText = QStringLiteral("/home/u/.local/my.spells.Dat");
    EXPECT_EQ(PdfPreset(source), QStringLiteral("/home/u/.local/my.pdf"));
}
