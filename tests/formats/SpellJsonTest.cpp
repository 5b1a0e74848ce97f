// The JSON export and its import: round trips keep every byte, and a file
// that is not a spell export of this version changes nothing.
#include "formats/SpellJson.h"
#include "TestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <functional>
#include <gtest/gtest.h>

using namespace spelldata;
using namespace formats;

namespace {

std::vector<const SpellRecord*> all(const SpellCollection& spells) {
    std::vector<const SpellRecord*> out;
    for (const SpellRecord& r : spells)
        out.push_back(&r);
    return out;
}

std::string everyByte() {
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes += static_cast<char>(b);
    return bytes;
}

// All three kinds, an Info entry, a level above 13, every byte a data file
// can hold, and books with members, copies without membership and membership
// without copies.
struct Collection {
    SpellCollection spells;
    BookList books = InitialBookList();

    Collection() {
        books[1] = "Mirela\x92s Book";
        books[2] = "";
        books[154] = "Last \x81\x8D\x8F\x90\x9D";
        spells.Append(testsupport::FullWizard());
        spells.Append(testsupport::FullPriest());
        spells.Append(testsupport::FullPsionic());
        SpellRecord info(SpellKind::Psionic);
        info->Name = "Rules of the Road";
        info->Level = LevelInfo;
        info->Description = "Notes.";
        spells.Append(info);
        SpellRecord bytes = testsupport::FullWizard("Every Byte");
        bytes->Level = 200;
        bytes->Description = everyByte();
        bytes->Source = everyByte(); // a one-line field: all but the line breaks
        std::erase_if(bytes->Source, [](char c) { return c == '\r' || c == '\n'; });
        bytes->BookSet.set(0, true);
        bytes->BookCounts[2] = 7; // copies in a book it is no member of
        bytes->BookSet.set(154, true);
        spells.Append(bytes);
    }
};

} // namespace

TEST(SpellJson, ExportImportExportKeepsEveryRecordBookAndByte) {
    const Collection c;
    const std::string json = SpellsToJson(all(c.spells), c.books);

    SpellCollection read;
    BookList books;
    ASSERT_TRUE(SpellsFromJson(json, "x.json", read, books).ok());
    ASSERT_EQ(read.Count(), c.spells.Count());
    for (int i = 0; i < read.Count(); ++i)
        EXPECT_EQ(read[i], c.spells[i]) << i;
    EXPECT_EQ(books, c.books);
    EXPECT_EQ(SpellsToJson(all(read), books), json);

    // Other programs see UTF-8 text; the bytes Windows-1252 leaves undefined
    // are the C1 characters of the same value.
    const QJsonObject top = QJsonDocument::fromJson(QByteArray::fromStdString(json)).object();
    EXPECT_EQ(top["format"].toString(), "quarvine-spells");
    EXPECT_EQ(top["version"].toInt(), 1);
    const QJsonObject last = top["spells"].toArray()[4].toObject();
    const QString description = last["description"].toString();
    ASSERT_EQ(description.size(), 256);
    for (int b : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(description[b].unicode(), b);
    EXPECT_EQ(description[0x80], QChar(0x20AC));
    EXPECT_EQ(description[0xE9], QChar(0xE9));
    EXPECT_EQ(top["spells"].toArray()[2].toObject()["discipline"].toString(), "Telepathy");
    EXPECT_EQ(last["books"].toArray()[2].toObject(),
              (QJsonObject{{"number", 2}, {"member", false}, {"copies", 7}}));
}

TEST(SpellJson, EmptyExportAndEmptyBookTableComeBack) {
    const std::string json = SpellsToJson({}, BookList{});
    SpellCollection read;
    read.Append(testsupport::FullWizard());
    BookList books = InitialBookList();
    ASSERT_TRUE(SpellsFromJson(json, "x.json", read, books).ok());
    EXPECT_EQ(read.Count(), 0);
    EXPECT_TRUE(books.empty());
}

namespace {

// A valid export of the test collection, changed by `edit` before it is read.
std::string edited(const std::function<void(QJsonObject&)>& edit) {
    const Collection c;
    QJsonObject top =
        QJsonDocument::fromJson(QByteArray::fromStdString(SpellsToJson(all(c.spells), c.books)))
            .object();
    edit(top);
    return QJsonDocument(top).toJson().toStdString();
}

// Sets one value of the first spell.
std::function<void(QJsonObject&)> firstSpell(const char* key, const QJsonValue& value) {
    return [=](QJsonObject& top) {
        QJsonArray spells = top["spells"].toArray();
        QJsonObject spell = spells[0].toObject();
        if (value.isUndefined())
            spell.remove(key);
        else
            spell[key] = value;
        spells[0] = spell;
        top["spells"] = spells;
    };
}

} // namespace

TEST(SpellJson, MalformedOrForeignFilesAreRefusedWithTheirPlaceAndChangeNothing) {
    const struct {
        std::string json;
        std::string message;
    } cases[] = {
        {"{\"format\": \"quarvine-spells\" \"version\": 1}",
         "in.json: not JSON: unterminated object at byte 30 (line 1, column 31)"},
        {"{\n  \"format\": \"quarvine-spells\",\n  \"version\": 1,\n  \"spells\": [\n",
         "in.json: not JSON: unterminated array at byte 63 (line 5, column 1)"},
        {"{\"format\": \"q\xFF\"}", "in.json: not JSON: invalid UTF8 string at byte 13"},
        {"[1, 2]", "in.json: not a Quarvine spell export: the file holds a JSON array"},
        {"{\"version\": 1, \"spells\": []}",
         "in.json: format: must be \"quarvine-spells\"; this is not a Quarvine spell export"},
        {edited([](QJsonObject& top) { top["format"] = "spells"; }), "in.json: format: must be"},
        {edited([](QJsonObject& top) { top["version"] = 2; }),
         "in.json: version: this Quarvine reads version 1, the file is of version 2"},
        {edited([](QJsonObject& top) { top["version"] = "1"; }),
         "in.json: version: this Quarvine reads version 1; the file's version is not a number"},
        {edited([](QJsonObject& top) { top.remove("spells"); }),
         "in.json: the file: \"spells\" is missing"},
        {edited([](QJsonObject& top) { top["bookPositions"] = 2; }),
         "in.json: books[2].number: must be a whole number from 0 to 1"},
        {edited(firstSpell("level", "3")),
         "in.json: spells[0].level: must be a whole number from 0 to 255"},
        {edited(firstSpell("level", 2.5)), "in.json: spells[0].level: must be a whole number"},
        {edited(firstSpell("kind", "info")),
         "in.json: spells[0].kind: must be \"wizard\", \"priest\" or \"psionic\""},
        {edited(firstSpell("reversible", 1)),
         "in.json: spells[0].reversible: must be true or false"},
        {edited(firstSpell("name", 5)), "in.json: spells[0].name: must be a string"},
        {edited(firstSpell("range", QJsonValue::Undefined)),
         "in.json: spells[0]: \"range\" is missing"},
        {edited(firstSpell("sphere", "Sun")),
         "in.json: spells[0]: \"sphere\" is not a field of a wizard spell"},
        {edited(firstSpell("name", QString::fromUtf8("Gl\u00E4ss \u03A9"))),
         "in.json: spells[0].name: holds \"\u03A9\", which the spell files' character set"},
        {edited(firstSpell("range", "30 yards\nor more")),
         "in.json: spells[0].range: holds a line break; a data file keeps this field on one line"},
        {edited(firstSpell("description", "Fine.\r\n#9# not")),
         "in.json: spells[0].description: has a line beginning with #9#"},
        {edited(firstSpell("books", QJsonArray{QJsonObject{{"number", 256}}})),
         "in.json: spells[0].books[0].number: must be a whole number from 0 to 255"},
        {edited(firstSpell(
             "books", QJsonArray{QJsonObject{{"number", 3}, {"member", true}, {"copies", 1}},
                                 QJsonObject{{"number", 3}, {"member", true}, {"copies", 1}}})),
         "in.json: spells[0].books[1].number: book 3 is given twice"},
        {edited(firstSpell(
             "books", QJsonArray{QJsonObject{{"number", 3}, {"member", "yes"}, {"copies", 1}}})),
         "in.json: spells[0].books[0].member: must be true or false"},
    };
    for (const auto& test : cases) {
        SpellCollection spells;
        spells.Append(testsupport::FullPriest("Kept"));
        BookList books = {"kept"};
        const Status s = SpellsFromJson(test.json, "in.json", spells, books);
        EXPECT_EQ(s.kind, ErrorKind::Malformed) << test.message;
        EXPECT_EQ(s.message.substr(0, test.message.size()), test.message);
        ASSERT_EQ(spells.Count(), 1);
        EXPECT_EQ(spells[0]->Name, "Kept");
        EXPECT_EQ(books, BookList{"kept"});
    }
}

TEST(SpellJson, FilesAreReadWholeAndKnownByTheirExtension) {
    testsupport::TempDir dir;
    const Collection c;
    testsupport::WriteBytes(dir.file("spells.JSON"), SpellsToJson(all(c.spells), c.books));
    SpellCollection read;
    BookList books;
    ASSERT_TRUE(ReadSpellsJson(dir.file("spells.JSON"), read, books).ok());
    EXPECT_EQ(read.Count(), 5);
    EXPECT_EQ(ReadSpellsJson(dir.file("missing.json"), read, books).kind, ErrorKind::NotFound);
    EXPECT_TRUE(IsJsonPath("a/b.Json"));
    EXPECT_FALSE(IsJsonPath("a.json/b.txt"));
    EXPECT_FALSE(IsJsonPath("json"));
}
