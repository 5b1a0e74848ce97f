// Writes the seed inputs of the fuzz targets into fuzz/corpus/<target>/:
// small pieces of the sample collection and the writers' own output.
//   fuzz_make_seeds SOURCE_DIR
// Run again after a change of the file formats; the seeds are kept small so
// that the repository stays lean.

#include "ReaderPromises.h"
#include "spelldata/DataFile.h"
#include "spelldata/Settings.h"
#include "spelldata/TextExport.h"
#include "spelldata/TextImport.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

using namespace spelldata;
namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeSeed(const fs::path& corpus, const std::string& target, const std::string& name,
               const std::string& bytes) {
    fs::create_directories(corpus / target);
    std::ofstream(corpus / target / name, std::ios::binary) << bytes;
}

std::string dataSet(const SpellCollection& spells, const BookList& books, bool sbk, bool sbn) {
    promises::DataSetInput input;
    input.dat = FormatDatFile(spells);
    input.haveSbk = sbk || sbn;
    input.sbk = FormatBookFile(books);
    input.haveSbn = sbn;
    input.sbn = FormatCountFile(spells);
    return promises::JoinDataSetInput(input);
}

// The first `n` records of a collection.
SpellCollection firstRecords(const SpellCollection& all, int n) {
    SpellCollection some;
    for (int i = 0; i < n && i < all.Count(); ++i)
        some.Append(all[i]);
    return some;
}

void dataSetSeeds(const fs::path& source, const fs::path& corpus) {
    SpellCollection all;
    BookList books = InitialBookList();
    if (!ReadDataFile(all, books, (source / "samples/sample-spells").string()).status)
        throw std::runtime_error("cannot read the sample set");
    books.resize(4);
    // One record of each kind from the sample, an Info entry and an empty set.
    SpellCollection kinds;
    for (const SpellRecord& r : all) {
        const bool wanted = kinds.Count() == 0 || r.kind() != kinds[kinds.Count() - 1].kind();
        if (wanted && kinds.Count() < 4)
            kinds.Append(r);
    }
    writeSeed(corpus, "dataset", "sample-two", dataSet(firstRecords(all, 2), books, true, true));
    writeSeed(corpus, "dataset", "sample-kinds", dataSet(kinds, books, true, true));
    writeSeed(corpus, "dataset", "dat-only", dataSet(firstRecords(all, 1), books, false, false));
    writeSeed(corpus, "dataset", "no-counts", dataSet(firstRecords(all, 1), books, true, false));
    writeSeed(corpus, "dataset", "empty", dataSet(SpellCollection(), books, true, true));
}

void textSeeds(const fs::path& source, const fs::path& corpus) {
    const std::string text = readFile(source / "samples/sample-spells.txt");
    // The first three spells of the sample as they stand in the file.
    std::size_t cut = 0;
    for (int opened = 0; opened < 4 && cut != std::string::npos;) {
        cut = text.find("\r\n\xC4\xC4\xC4\xC4\xC4", cut + 1);
        ++opened;
    }
    writeSeed(corpus, "textimport", "sample-three", text.substr(0, cut));
    // The writer's output for one spell of each kind.
    SpellCollection all;
    ImportSpellTextBytes(text, all);
    std::string written;
    for (const SpellRecord& r : all) {
        if (r.kind() == SpellKind::Psionic || r->Reversible)
            written += SaveSpell(r, 2);
        if (written.size() > 3000)
            break;
    }
    writeSeed(corpus, "textimport", "written-psionic-reversible", written);
}

void settingsSeeds(const fs::path& corpus) {
    IniSettings ini;
    ini.mainTop = 10;
    ini.mainLeft = 20;
    ini.mainHeight = 600;
    ini.mainWidth = 800;
    ini.viewTop = -3;
    ini.viewWidth = 300;
    ini.showDescription = true;
    ini.DescFontName = "Liberation Serif";
    ini.DescFontSize = 11;
    ini.mainMaximised = true;
    const std::string full = FormatIniFile(ini);
    writeSeed(corpus, "ini", "fourteen-lines", full);
    writeSeed(corpus, "ini", "thirteen-lines", full.substr(0, full.rfind("1\r\n")));
    writeSeed(corpus, "filelist", "two-paths",
              FormatFileList({"/home/u/spells/Tome.Dat", "C:\\GAMES\\SPELLS.DAT"}));
    writeSeed(corpus, "filelist", "empty-entry", FormatFileList({"", "a.Dat"}));
    ColourSlots slots;
    SetDefaultColours(slots);
    writeSeed(corpus, "colours", "defaults", FormatColourFile(slots));
    slots[13] = 0x00ABCDEF;
    writeSeed(corpus, "colours", "with-extra-bytes", FormatColourFile(slots) + "extra");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: fuzz_make_seeds SOURCE_DIR\n";
        return 1;
    }
    const fs::path source = argv[1];
    const fs::path corpus = source / "fuzz/corpus";
    dataSetSeeds(source, corpus);
    textSeeds(source, corpus);
    settingsSeeds(corpus);
    return 0;
}
