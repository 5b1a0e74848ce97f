// export --format and the import of a JSON export.
#include "CliRun.h"
#include "cli/CliCommands.h"

#include "TestSupport.h"
#include "spelldata/BookList.h"
#include "spelldata/DataFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

using namespace spelldata;
using testsupport::ReadBytes;
using testsupport::WriteBytes;

namespace {

// A set with every kind, an Info entry, the five bytes Windows-1252 leaves
// undefined, books with members and copies.
class CliFormats : public ::testing::Test {
protected:
    void SetUp() override {
        SpellCollection spells;
        spells.Append(testsupport::FullWizard("Odd \x81\x8D\x8F\x90\x9D"));
        spells.Append(testsupport::FullPriest());
        spells.Append(testsupport::FullPsionic());
        SpellRecord info(SpellKind::Psionic);
        info->Name = "Rules";
        info->Level = LevelInfo;
        spells.Append(info);
        BookList books = InitialBookList();
        books[1] = "Mirela\x92s Book";
        ASSERT_TRUE(WriteDataFile(spells, books, base).ok());
    }

    std::string setBytes(const std::string& b) const {
        return ReadBytes(b + ".Dat") + ReadBytes(b + ".SBK") + ReadBytes(b + ".SBN");
    }

    testsupport::TempDir dir;
    const std::string base = dir.file("spells");
};

} // namespace

TEST_F(CliFormats, JsonExportImportsBackToTheSameSetAndTheSameJson) {
    const std::string json = dir.file("spells.json");
    ASSERT_EQ(Cli({"export", base, json, "--format", "json"}).code, ExitOk);
    const CliResult import = Cli({"import", json, dir.file("copy.Dat")});
    ASSERT_EQ(import.code, ExitOk) << import.err;
    EXPECT_EQ(import.out, "Imported 4 spells into " + dir.file("copy") + ".Dat\n");
    EXPECT_EQ(setBytes(dir.file("copy")), setBytes(base));
    ASSERT_EQ(Cli({"export", dir.file("copy"), dir.file("again.json"), "--format", "json"}).code,
              ExitOk);
    EXPECT_EQ(ReadBytes(dir.file("again.json")), ReadBytes(json));
}

TEST_F(CliFormats, CsvMarkdownAndTextByName) {
    ASSERT_EQ(Cli({"export", base, dir.file("s.csv"), "--format", "csv"}).code, ExitOk);
    EXPECT_TRUE(ReadBytes(dir.file("s.csv")).starts_with("Kind,Level,Name,Reversible,"));
    ASSERT_EQ(Cli({"export", base, dir.file("s.md"), "--format", "md"}).code, ExitOk);
    EXPECT_TRUE(ReadBytes(dir.file("s.md")).starts_with("# Odd \u0081\u008D\u008F\u0090\u009D\n"));
    ASSERT_EQ(Cli({"export", base, dir.file("a.txt"), "--format", "text"}).code, ExitOk);
    ASSERT_EQ(Cli({"export", base, dir.file("b.txt")}).code, ExitOk);
    EXPECT_EQ(ReadBytes(dir.file("a.txt")), ReadBytes(dir.file("b.txt")));
}

TEST_F(CliFormats, UnknownFormatsAndTextOptionsWithAFormatAreUsageErrors) {
    const std::string out = dir.file("out.json");
    for (const std::vector<std::string>& extra : {std::vector<std::string>{"--format", "xml"},
                                                  {"--format", "json", "--utf8"},
                                                  {"--format", "csv", "--list"},
                                                  {"--format", "md", "--extra-lines", "3"},
                                                  {"--format", "json", "--append"},
                                                  {"--format"}}) {
        std::vector<std::string> args = {"export", base, out};
        args.insert(args.end(), extra.begin(), extra.end());
        const CliResult r = Cli(args);
        EXPECT_EQ(r.code, ExitUsage) << extra.back();
        EXPECT_FALSE(std::filesystem::exists(out)) << extra.back();
    }
}

TEST_F(CliFormats, MalformedOrForeignJsonIsRefusedAndWritesNothing) {
    const std::string target = dir.file("target");
    WriteBytes(target + ".Dat", "old");
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"{\"format\": \"quarvine-spells\",\n\"version\": 1,\n\"spells\": [}",
         ": not JSON: object is missing after a comma at byte 56 (line 3, column 13)\n"},
        {"{\"name\": \"a list of something else\"}", ": format: must be \"quarvine-spells\""},
        {"{\"format\": \"quarvine-spells\", \"version\": 7}",
         ": version: this Quarvine reads version 1"},
    };
    for (const auto& c : cases) {
        WriteBytes(dir.file("in.json"), c.text);
        const CliResult r = Cli({"import", dir.file("in.json"), target});
        EXPECT_EQ(r.code, ExitBadFile) << c.text;
        EXPECT_NE(r.err.find("quarvine-cli: " + dir.file("in.json") + c.error), std::string::npos)
            << r.err;
        EXPECT_EQ(ReadBytes(target + ".Dat"), "old");
        EXPECT_FALSE(std::filesystem::exists(target + ".SBK"));
    }
    EXPECT_EQ(Cli({"import", dir.file("missing.json"), target}).code, ExitBadFile);
}
