#pragma once

#include "spelldata/SpellRecord.h"

#include <filesystem>
#include <map>
#include <set>
#include <string>

namespace testsupport {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // path() / name, as a string.
    std::string file(const std::string& name) const;

private:
    std::filesystem::path path_;
};

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

// Path of a file in the source tree (samples, test data).
std::string SourcePath(const std::string& relative);

// Records with every field filled with distinct text, for round trips.
spelldata::SpellRecord FullWizard(const std::string& name = "Cinder Lattice");
spelldata::SpellRecord FullPriest(const std::string& name = "Ember Psalm");
spelldata::SpellRecord FullPsionic(const std::string& name = "Glass Mind");

// The text fields of a record's kind by member name ("Name", "Range",
// "CastingTime", ...), empty ones and those named in `leaveOut` left out.
std::map<std::string, std::string> RecordFields(const spelldata::SpellRecord& r,
                                                const std::set<std::string>& leaveOut = {});

} // namespace testsupport
