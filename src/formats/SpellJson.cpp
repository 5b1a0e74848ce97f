#include "formats/SpellJson.h"

#include "formats/SpellFields.h"
#include "spelldata/Encoding.h"
#include "spelldata/FileIO.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <set>

using namespace spelldata;

namespace formats {

namespace {

constexpr const char* kKindNames[] = {"wizard", "priest", "psionic"};
constexpr int kMaxBookPositions = 65536;

QString unicode(const std::string& bytes) {
    return QString::fromStdString(Cp1252ToUtf8(bytes));
}

QJsonArray spellBooks(const SpellRecord& record) {
    QJsonArray books;
    for (int b = 0; b < MaxBooks; ++b) {
        const bool member = record->BookSet.test(b);
        const int copies = record->BookCounts[static_cast<std::size_t>(b)];
        if (member || copies > 0)
            books.append(QJsonObject{{"number", b}, {"member", member}, {"copies", copies}});
    }
    return books;
}

QJsonObject spellObject(const SpellRecord& record) {
    QJsonObject spell{{"kind", kKindNames[static_cast<int>(record.kind())]},
                      {"level", record->Level},
                      {"reversible", record->Reversible != 0},
                      {"books", spellBooks(record)}};
    ForEachTextField(record, [&spell](const char* key, const char*, const std::string& value) {
        spell.insert(QLatin1String(key), unicode(value));
    });
    return spell;
}

// Every line of the book table but the free positions, with its number.
QJsonArray bookTable(const BookList& books) {
    QJsonArray table;
    for (std::size_t n = 0; n < books.size(); ++n) {
        if (books[n] != FreeBookLine)
            table.append(QJsonObject{{"number", static_cast<int>(n)}, {"name", unicode(books[n])}});
    }
    return table;
}

// Why a file was refused; thrown inside the reader, returned as a Status.
struct Refusal {
    std::string message;
};

[[noreturn]] void refuse(const std::string& at, const std::string& what) {
    throw Refusal{at + ": " + what};
}

std::string child(const std::string& at, const char* key) {
    return at.empty() ? std::string(key) : at + "." + key;
}

std::string item(const std::string& at, qsizetype index) {
    return at + "[" + std::to_string(index) + "]";
}

QJsonValue member(const QJsonObject& object, const char* key, const std::string& at) {
    const auto it = object.constFind(QLatin1String(key));
    if (it == object.constEnd())
        refuse(at.empty() ? "the file" : at, std::string("\"") + key + "\" is missing");
    return *it;
}

int wholeNumber(const QJsonValue& value, const std::string& at, int low, int high) {
    const double d = value.toDouble(-1.5);
    if (!value.isDouble() || d != std::floor(d) || d < low || d > high)
        refuse(at, "must be a whole number from " + std::to_string(low) + " to " +
                       std::to_string(high));
    return static_cast<int>(d);
}

bool flag(const QJsonValue& value, const std::string& at) {
    if (!value.isBool())
        refuse(at, "must be true or false");
    return value.toBool();
}

QJsonArray array(const QJsonValue& value, const std::string& at) {
    if (!value.isArray())
        refuse(at, "must be an array");
    return value.toArray();
}

QJsonObject object(const QJsonValue& value, const std::string& at) {
    if (!value.isObject())
        refuse(at, "must be an object");
    return value.toObject();
}

// The Windows-1252 bytes of a string value; refused when a character has none.
std::string bytes(const QJsonValue& value, const std::string& at) {
    if (!value.isString())
        refuse(at, "must be a string");
    const std::string utf8 = value.toString().toStdString();
    bool lossless = true;
    std::string out = Utf8ToCp1252(utf8, &lossless);
    if (!lossless)
        refuse(at, "holds \"" + FirstCharacterNotIn1252(utf8) +
                       "\", which the spell files' character set (Windows-1252) lacks");
    return out;
}

// Refuses keys that the kind does not have: their values would be lost.
void onlyKnownKeys(const QJsonObject& spell, const std::set<QString>& known,
                   const std::string& at) {
    for (auto it = spell.constBegin(); it != spell.constEnd(); ++it) {
        if (!known.contains(it.key()))
            refuse(at, "\"" + it.key().toStdString() + "\" is not a field of a " +
                           spell.value(QLatin1String("kind")).toString().toStdString() + " spell");
    }
}

SpellKind kindOf(const QJsonValue& value, const std::string& at) {
    const QString name = value.toString();
    for (int k = 0; k < 3; ++k) {
        if (value.isString() && name == QLatin1String(kKindNames[k]))
            return static_cast<SpellKind>(k);
    }
    refuse(at, "must be \"wizard\", \"priest\" or \"psionic\"");
}

void readSpellBooks(const QJsonValue& value, TBasic& spell, const std::string& at) {
    const QJsonArray books = array(value, at);
    std::set<int> seen;
    for (qsizetype i = 0; i < books.size(); ++i) {
        const std::string where = item(at, i);
        const QJsonObject book = object(books[i], where);
        const int n =
            wholeNumber(member(book, "number", where), child(where, "number"), 0, MaxBooks - 1);
        if (!seen.insert(n).second)
            refuse(child(where, "number"), "book " + std::to_string(n) + " is given twice");
        spell.BookSet.set(n, flag(member(book, "member", where), child(where, "member")));
        spell.BookCounts[static_cast<std::size_t>(n)] = static_cast<std::uint8_t>(
            wholeNumber(member(book, "copies", where), child(where, "copies"), 0, 255));
    }
}

// What a data file set could not keep: a line break in a one-line field, or a
// description line that would read as the end of the description.
void checkStorable(const char* key, const std::string& value, const std::string& at) {
    if (std::string_view(key) != "description") {
        if (value.find_first_of("\r\n") != std::string::npos)
            refuse(at, "holds a line break; a data file keeps this field on one line");
        return;
    }
    for (std::size_t line = 0; line != std::string::npos;) {
        if (value.compare(line, 3, "#9#") == 0)
            refuse(at, "has a line beginning with #9#, which would end it early in a data file");
        line = value.find_first_of("\r\n", line);
        if (line != std::string::npos)
            ++line;
    }
}

SpellRecord readSpell(const QJsonObject& spell, const std::string& at) {
    SpellRecord record(kindOf(member(spell, "kind", at), child(at, "kind")));
    std::set<QString> known = {"kind", "level", "reversible", "books"};
    ForEachTextField(record, [&](const char* key, const char*, std::string& value) {
        known.insert(QLatin1String(key));
        value = bytes(member(spell, key, at), child(at, key));
        checkStorable(key, value, child(at, key));
    });
    onlyKnownKeys(spell, known, at);
    record->Level = static_cast<SpellLevel>(
        wholeNumber(member(spell, "level", at), child(at, "level"), 0, 255));
    record->Reversible = flag(member(spell, "reversible", at), child(at, "reversible")) ? 1 : 0;
    readSpellBooks(member(spell, "books", at), record.basic(), child(at, "books"));
    return record;
}

BookList readBookTable(const QJsonObject& top) {
    const int positions =
        wholeNumber(member(top, "bookPositions", ""), "bookPositions", 0, kMaxBookPositions);
    BookList books(static_cast<std::size_t>(positions), std::string(FreeBookLine));
    const QJsonArray table = array(member(top, "books", ""), "books");
    std::set<int> seen;
    for (qsizetype i = 0; i < table.size(); ++i) {
        const std::string where = item("books", i);
        const QJsonObject book = object(table[i], where);
        const int n =
            wholeNumber(member(book, "number", where), child(where, "number"), 0, positions - 1);
        if (!seen.insert(n).second)
            refuse(child(where, "number"), "book " + std::to_string(n) + " is given twice");
        books[static_cast<std::size_t>(n)] =
            bytes(member(book, "name", where), child(where, "name"));
    }
    return books;
}

// The header: a file of another program, or of a later version, is refused
// before any of its content is looked at.
void checkHeader(const QJsonObject& top) {
    if (top.value(QLatin1String("format")) != QLatin1String(JsonFormatTag))
        refuse("format", std::string("must be \"") + JsonFormatTag +
                             "\"; this is not a Quarvine spell export");
    const QJsonValue version = member(top, "version", "");
    if (version != JsonVersion) {
        const std::string found =
            version.isDouble()
                ? ", the file is of version " + QString::number(version.toDouble()).toStdString()
                : "; the file's version is not a number";
        refuse("version", "this Quarvine reads version " + std::to_string(JsonVersion) + found);
    }
}

// Line and column (from 1) of a byte offset.
std::string lineAndColumn(std::string_view text, std::size_t offset) {
    offset = std::min(offset, text.size());
    const std::string_view before = text.substr(0, offset);
    const std::size_t lastBreak = before.rfind('\n');
    const std::size_t line =
        1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
    const std::size_t column =
        offset - (lastBreak == std::string_view::npos ? 0 : lastBreak + 1) + 1;
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

QJsonObject parse(std::string_view json) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(
        QByteArray(json.data(), static_cast<qsizetype>(json.size())), &error);
    if (error.error != QJsonParseError::NoError) {
        const auto offset = static_cast<std::size_t>(std::max(0, error.offset));
        throw Refusal{"not JSON: " + error.errorString().toStdString() + " at byte " +
                      std::to_string(offset) + " (" + lineAndColumn(json, offset) + ")"};
    }
    if (!document.isObject())
        throw Refusal{"not a Quarvine spell export: the file holds a JSON array, not an object"};
    return document.object();
}

} // namespace

std::string SpellsToJson(const std::vector<const SpellRecord*>& spells, const BookList& books) {
    QJsonArray list;
    for (const SpellRecord* spell : spells)
        list.append(spellObject(*spell));
    const QJsonObject top{{"format", JsonFormatTag},
                          {"version", JsonVersion},
                          {"bookPositions", static_cast<int>(books.size())},
                          {"books", bookTable(books)},
                          {"spells", list}};
    return QJsonDocument(top).toJson(QJsonDocument::Indented).toStdString();
}

Status SpellsFromJson(std::string_view json, const std::string& name, SpellCollection& spells,
                      BookList& books) {
    try {
        const QJsonObject top = parse(json);
        checkHeader(top);
        BookList table = readBookTable(top);
        const QJsonArray list = array(member(top, "spells", ""), "spells");
        if (list.size() > SpellCollection::Capacity)
            refuse("spells", "the collection holds at most " +
                                 std::to_string(SpellCollection::Capacity) + " spells, the file " +
                                 std::to_string(list.size()));
        SpellCollection read;
        for (qsizetype i = 0; i < list.size(); ++i)
            read.Append(readSpell(object(list[i], item("spells", i)), item("spells", i)));
        spells = std::move(read);
        books = std::move(table);
        return Status::Ok();
    } catch (const Refusal& refusal) {
        return Status::Error(ErrorKind::Malformed, name + ": " + refusal.message);
    }
}

Status ReadSpellsJson(const std::string& path, SpellCollection& spells, BookList& books) {
    std::string json;
    if (Status s = ReadFileBytes(path, json); !s)
        return s;
    return SpellsFromJson(json, path, spells, books);
}

bool IsJsonPath(std::string_view path) {
    return path.size() >= 5 && AsciiEqualsIgnoringCase(path.substr(path.size() - 5), ".json");
}

} // namespace formats
