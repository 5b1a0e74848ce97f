#include "formats/ExportFormat.h"

#include "formats/SpellJson.h"
#include "formats/SpellSheets.h"
#include "spelldata/Encoding.h"
#include "spelldata/FileIO.h"

using namespace spelldata;

namespace formats {

namespace {

bool endsWith(std::string_view path, std::string_view suffix) {
    return path.size() >= suffix.size() &&
           AsciiEqualsIgnoringCase(path.substr(path.size() - suffix.size()), suffix);
}

} // namespace

std::optional<ExportFormat> ExportFormatNamed(std::string_view name) {
    if (name == "json")
        return ExportFormat::Json;
    if (name == "csv")
        return ExportFormat::Csv;
    if (name == "md")
        return ExportFormat::Markdown;
    return std::nullopt;
}

std::optional<ExportFormat> ExportFormatOfPath(std::string_view path) {
    if (endsWith(path, ".json"))
        return ExportFormat::Json;
    if (endsWith(path, ".csv"))
        return ExportFormat::Csv;
    if (endsWith(path, ".md") || endsWith(path, ".markdown"))
        return ExportFormat::Markdown;
    return std::nullopt;
}

const char* ExportSuffix(ExportFormat format) {
    switch (format) {
    case ExportFormat::Csv:
        return ".csv";
    case ExportFormat::Markdown:
        return ".md";
    case ExportFormat::Json:
        break;
    }
    return ".json";
}

std::string ExportSpells(ExportFormat format, const std::vector<const SpellRecord*>& spells,
                         const BookList& books) {
    switch (format) {
    case ExportFormat::Csv:
        return SpellsToCsv(spells, books);
    case ExportFormat::Markdown:
        return SpellsToMarkdown(spells, books);
    case ExportFormat::Json:
        break;
    }
    return SpellsToJson(spells, books);
}

Status WriteExport(const std::string& path, ExportFormat format,
                   const std::vector<const SpellRecord*>& spells, const BookList& books) {
    return WriteFileAtomically(path, ExportSpells(format, spells, books));
}

} // namespace formats
