// The CSV and Markdown exports, read the way other programs read them.
#include "formats/SpellSheets.h"
#include "TestSupport.h"
#include "spelldata/Encoding.h"

#include <gtest/gtest.h>
#include <map>

using namespace spelldata;
using namespace formats;

namespace {

// RFC 4180, as a spreadsheet reads it: fields split at commas, a quoted field
// runs to its closing quote (doubled quotes are one), records end at CR LF.
std::vector<std::vector<std::string>> ReadCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::string& field = rows.back().back();
        if (text[i] == '"') {
            for (++i; i < text.size() && !(text[i] == '"' && text.substr(i, 2) != "\"\""); ++i) {
                if (text[i] == '"')
                    ++i; // a doubled quote
                field += text[i];
            }
        } else if (text[i] == ',') {
            rows.back().emplace_back();
        } else if (text.compare(i, 2, "\r\n") == 0) {
            ++i;
            rows.emplace_back(1);
        } else {
            field += text[i];
        }
    }
    if (rows.back() == std::vector<std::string>(1))
        rows.pop_back(); // after the last record's line end
    return rows;
}

std::map<std::string, std::string> ByHeader(const std::vector<std::string>& header,
                                            const std::vector<std::string>& row) {
    std::map<std::string, std::string> fields;
    for (std::size_t i = 0; i < header.size() && i < row.size(); ++i)
        fields[header[i]] = row[i];
    return fields;
}

BookList Books() {
    BookList books = InitialBookList();
    books[1] = "Mirela\x92s Book, Vol. 1";
    return books;
}

// One spell of each kind and an Info entry, with text that needs quoting in
// CSV and escaping in Markdown.
std::vector<SpellRecord> Spells() {
    SpellRecord wizard = testsupport::FullWizard("Cone of \"Cold\", Greater");
    wizard->Description = "First line, with a comma.\r\n\r\n- not a list\r\n"
                          "2. not numbered either\r\n    # not a heading *or* <b>bold</b>";
    SpellRecord priest = testsupport::FullPriest();
    priest->BookSet.set(255, false); // copies, no membership
    SpellRecord psionic = testsupport::FullPsionic();
    psionic->BookSet.clear();
    psionic->BookCounts = {};
    SpellRecord info(SpellKind::Psionic);
    info->Name = "Rules #3";
    info->Level = LevelInfo;
    info->Description = "Read this | first.";
    return {wizard, priest, psionic, info};
}

std::vector<const SpellRecord*> Pointers(const std::vector<SpellRecord>& spells) {
    std::vector<const SpellRecord*> out;
    for (const SpellRecord& r : spells)
        out.push_back(&r);
    return out;
}

} // namespace

TEST(SpellSheets, CsvReadBackGivesTheFieldsInTheirColumns) {
    const std::vector<SpellRecord> spells = Spells();
    const std::string csv = SpellsToCsv(Pointers(spells), Books());
    const auto rows = ReadCsv(csv);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0], CsvColumns());
    for (const auto& row : rows)
        EXPECT_EQ(row.size(), CsvColumns().size());
    EXPECT_EQ(CsvColumns().front(), "Kind");
    EXPECT_EQ(CsvColumns().back(), "Description");

    auto wizard = ByHeader(rows[0], rows[1]);
    EXPECT_EQ(wizard["Kind"], "Wizard Spell");
    EXPECT_EQ(wizard["Level"], "3");
    EXPECT_EQ(wizard["Name"], "Cone of \"Cold\", Greater");
    EXPECT_EQ(wizard["Reversible"], "no");
    EXPECT_EQ(wizard["School or Discipline"], "Evocation, Fire");
    EXPECT_EQ(wizard["Saving Throw"], "\u00BD");
    EXPECT_EQ(wizard["Components"], "V, S, M");
    EXPECT_EQ(wizard["Sphere"], "");
    EXPECT_EQ(wizard["Books"], "Mirela\u2019s Book, Vol. 1 (3 copies); Book 255 (255 copies)");
    EXPECT_EQ(wizard["Description"], Cp1252ToUtf8(spells[0]->Description));

    auto priest = ByHeader(rows[0], rows[2]);
    EXPECT_EQ(priest["Kind"], "Priest Prayer");
    EXPECT_EQ(priest["Reversible"], "yes");
    EXPECT_EQ(priest["Sphere"], "Elemental (Fire)");
    EXPECT_EQ(priest["Casting Time"], "1 turn");
    EXPECT_EQ(priest["Description"], "First line.\r\nSecond line with \u00E9 and \u00FF.");

    auto psionic = ByHeader(rows[0], rows[3]);
    EXPECT_EQ(psionic["Kind"], "Psionic Power");
    EXPECT_EQ(psionic["Level"], "Devotion");
    EXPECT_EQ(psionic["School or Discipline"], "Telepathy");
    EXPECT_EQ(psionic["Maintenance Cost"], "6/round");
    EXPECT_EQ(psionic["Prerequisites"], "Contact");
    EXPECT_EQ(psionic["Components"], "");
    EXPECT_EQ(psionic["Books"], "");

    auto info = ByHeader(rows[0], rows[4]);
    EXPECT_EQ(info["Kind"], "Info");
    EXPECT_EQ(info["Level"], "Info");
    EXPECT_EQ(info["Description"], "Read this | first.");
}

TEST(SpellSheets, MarkdownOfEachKindMatchesTheExpectedFile) {
    const std::vector<SpellRecord> spells = Spells();
    const std::string expected =
        testsupport::ReadBytes(testsupport::SourcePath("tests/formats/expected-spells.md"));
    EXPECT_EQ(SpellsToMarkdown(Pointers(spells), Books()), expected);
}
