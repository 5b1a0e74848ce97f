#include "TestSupport.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <stdlib.h>

namespace testsupport {

TempDir::TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "quarvine-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::file(const std::string& name) const {
    return (path_ / name).string();
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string SourcePath(const std::string& relative) {
    return std::string(QUARVINE_SOURCE_DIR) + "/" + relative;
}

namespace {
void fillBasic(spelldata::TBasic& b, const std::string& name, spelldata::SpellLevel level) {
    b.Name = name;
    b.Level = level;
    b.SavingThrow = "\xBD";
    b.Range = "30 yards";
    b.Source = "Quarvine sample";
    b.AreaOfEffect = "10-foot cube";
    b.School = "Evocation, Fire";
    b.Description = "First line.\r\nSecond line with \xE9 and \xFF.";
    b.BookSet.set(1, true);
    b.BookSet.set(255, true);
    b.BookCounts[1] = 3;
    b.BookCounts[255] = 255;
}
} // namespace

spelldata::SpellRecord FullWizard(const std::string& name) {
    spelldata::SpellRecord r(spelldata::SpellKind::Wizard);
    fillBasic(r.basic(), name, 3);
    r.wiz().Components = "V, S, M";
    r.wiz().Duration = "1 round/level";
    r.wiz().CastingTime = "3";
    return r;
}

spelldata::SpellRecord FullPriest(const std::string& name) {
    spelldata::SpellRecord r(spelldata::SpellKind::Priest);
    fillBasic(r.basic(), name, 5);
    r->Reversible = 1;
    r.pri().Sphere = "Elemental (Fire)";
    r.pri().Components = "V, S";
    r.pri().Duration = "Permanent";
    r.pri().CastingTime = "1 turn";
    return r;
}

spelldata::SpellRecord FullPsionic(const std::string& name) {
    spelldata::SpellRecord r(spelldata::SpellKind::Psionic);
    fillBasic(r.basic(), name, spelldata::LevelDevotion);
    r->School = "Telepathy";
    r.psi().InitialCost = "12";
    r.psi().PowerScore = "Int -3";
    r.psi().MaintenanceCost = "6/round";
    r.psi().PreparationTime = "0";
    r.psi().Prerequisites = "Contact";
    return r;
}

std::map<std::string, std::string> RecordFields(const spelldata::SpellRecord& r,
                                                const std::set<std::string>& leaveOut) {
    std::map<std::string, std::string> all = {
        {"Name", r->Name},
        {"Range", r->Range},
        {"AreaOfEffect", r->AreaOfEffect},
        {"SavingThrow", r->SavingThrow},
        {"Source", r->Source},
        {"School", r->School},
        {"Description", r->Description},
    };
    if (r.kind() == spelldata::SpellKind::Priest)
        all["Sphere"] = r.pri().Sphere;
    if (r.kind() != spelldata::SpellKind::Psionic) {
        all["Components"] = *r.components();
        all["Duration"] = *r.duration();
        all["CastingTime"] = *r.castingTime();
    } else {
        const spelldata::TPsi& p = r.psi();
        all.insert({{"PowerScore", p.PowerScore},
                    {"InitialCost", p.InitialCost},
                    {"MaintenanceCost", p.MaintenanceCost},
                    {"PreparationTime", p.PreparationTime},
                    {"Prerequisites", p.Prerequisites}});
    }
    std::erase_if(all, [&leaveOut](const auto& kv) {
        return kv.second.empty() || leaveOut.count(kv.first) > 0;
    });
    return all;
}

} // namespace testsupport
