#pragma once

#include "spelldata/BookList.h"
#include "spelldata/SpellRecord.h"
#include "spelldata/Status.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace formats {

// The formats the spells can be exported in for other programs.
enum class ExportFormat { Json, Csv, Markdown };

// By the command-line name: "json", "csv" or "md".
std::optional<ExportFormat> ExportFormatNamed(std::string_view name);

// By the extension of a file name: .json, .csv, .md or .markdown (any case).
std::optional<ExportFormat> ExportFormatOfPath(std::string_view path);

// The extension a new file of the format gets: ".json", ".csv", ".md".
const char* ExportSuffix(ExportFormat format);

// The file's bytes (UTF-8).
std::string ExportSpells(ExportFormat format,
                         const std::vector<const spelldata::SpellRecord*>& spells,
                         const spelldata::BookList& books);

// Writes the export, replacing `path` only once the whole file is written.
spelldata::Status WriteExport(const std::string& path, ExportFormat format,
                              const std::vector<const spelldata::SpellRecord*>& spells,
                              const spelldata::BookList& books);

} // namespace formats
