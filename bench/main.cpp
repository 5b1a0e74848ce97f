// Times the core's file, search and list operations on generated collections,
// each beside a plain baseline measured in the same run, and prints the ratios.
// See README.md in this folder for how to build and run it.

#include "BenchSupport.h"
#include "SpellGenerator.h"

#include "collation/ListCollator.h"
#include "spelldata/DataFile.h"
#include "spelldata/Filter.h"
#include "spelldata/Search.h"
#include "spelldata/TextExport.h"
#include "spelldata/TextImport.h"

#include <QLocale>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <limits>
#include <malloc.h>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace spelldata;
using namespace bench;

namespace {

constexpr std::uint64_t kSeed = 20240611;
constexpr const char* kRealSpellFile = "/work/shared/data/srd-spells.txt";

// Results are folded into this so that the compiler cannot drop baseline work.
volatile std::size_t g_sink = 0;

double bestMs(int repeats, const std::function<void()>& work) {
    return bestInTurns(repeats, {{work, {}}})[0];
}

// --- Baselines -------------------------------------------------------------

// Splits text at LF with memchr, dropping a CR before it; returns the number of
// lines and folds their lengths into the sink.
std::size_t memchrLineSplit(std::string_view text) {
    std::size_t lines = 0;
    std::size_t bytes = 0;
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
        const char* lineEnd = lf ? static_cast<const char*>(lf) : end;
        std::string_view line(p, static_cast<std::size_t>(lineEnd - p));
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        bytes += line.size();
        ++lines;
        p = lf ? lineEnd + 1 : end;
    }
    g_sink = g_sink + bytes;
    return lines;
}

// --- SQLite ----------------------------------------------------------------

class SqliteTable {
public:
    // The table in memory, or in the database file `path`.
    explicit SqliteTable(const SpellCollection& spells, const std::string& path = ":memory:") {
        check(sqlite3_open(path.c_str(), &db_) == SQLITE_OK, "cannot open SQLite");
        exec("CREATE TABLE spells(name TEXT, description TEXT, source TEXT, school TEXT, "
             "sphere TEXT)");
        exec("BEGIN");
        sqlite3_stmt* insert = nullptr;
        check(sqlite3_prepare_v2(db_, "INSERT INTO spells VALUES(?,?,?,?,?)", -1, &insert,
                                 nullptr) == SQLITE_OK,
              "cannot prepare insert");
        for (const SpellRecord& r : spells) {
            // Only priest prayers have a sphere; an empty one keeps the
            // concatenation non-null, as the search joins fields.
            const std::string sphere = r.kind() == SpellKind::Priest ? r.pri().Sphere : "";
            const std::string* fields[] = {&r->Name, &r->Description, &r->Source, &r->School,
                                           &sphere};
            for (int i = 0; i < 5; ++i)
                sqlite3_bind_text(insert, i + 1, fields[i]->data(),
                                  static_cast<int>(fields[i]->size()), SQLITE_TRANSIENT);
            check(sqlite3_step(insert) == SQLITE_DONE, "cannot insert");
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        exec("COMMIT");
        check(sqlite3_prepare_v2(db_,
                                 "SELECT count(*) FROM spells WHERE "
                                 "name||description||source||school||sphere LIKE ?1",
                                 -1, &count_, nullptr) == SQLITE_OK,
              "cannot prepare query");
    }
    ~SqliteTable() {
        sqlite3_finalize(count_);
        sqlite3_close(db_);
    }
    SqliteTable(const SqliteTable&) = delete;
    SqliteTable& operator=(const SqliteTable&) = delete;

    // Rows whose joined fields contain `needle` (ASCII case ignored by LIKE).
    int countContaining(const std::string& needle) {
        const std::string pattern = "%" + needle + "%";
        sqlite3_bind_text(count_, 1, pattern.data(), static_cast<int>(pattern.size()),
                          SQLITE_TRANSIENT);
        check(sqlite3_step(count_) == SQLITE_ROW, "query failed");
        const int n = sqlite3_column_int(count_, 0);
        sqlite3_reset(count_);
        return n;
    }

private:
    void exec(const char* sql) {
        check(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK,
              std::string("SQLite: ") + sql);
    }

    sqlite3* db_ = nullptr;
    sqlite3_stmt* count_ = nullptr;
};

// The query the sqlite3 program runs for the whole-process search: the names
// of the rows whose joined fields contain `needle`.
std::string sqliteNameQuery(const std::string& needle) {
    return "SELECT name FROM spells WHERE name||description||source||school||sphere LIKE '%" +
           needle + "%';";
}

std::size_t lineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// --- Peak memory -----------------------------------------------------------

// The peak resident size of this process image in kilobytes. VmHWM starts
// afresh with exec, unlike ru_maxrss, which a child inherits from the process
// that forked it.
long peakRssKb() {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    check(f != nullptr, "cannot read /proc/self/status");
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, "VmHWM:", 6) == 0)
            kb = std::strtol(line + 6, nullptr, 10);
    }
    std::fclose(f);
    check(kb >= 0, "no VmHWM line in /proc/self/status");
    return kb;
}

// The child side: loads one set and reports the peak resident size before and
// after, so that the difference is what holding the set costs.
int memoryChild(const std::string& base) {
    const long before = peakRssKb();
    SpellCollection spells;
    BookList books = InitialBookList();
    const ReadReport report = ReadDataFile(spells, books, base);
    const long after = peakRssKb();
    if (!report.status) {
        std::fprintf(stderr, "%s\n", report.status.message.c_str());
        return 1;
    }
    std::printf("%d %ld %ld\n", report.added, before, after);
    return 0;
}

struct MemoryFigures {
    int records = 0;
    long beforeKb = 0;
    long afterKb = 0;
};

// Runs this program again as `--memory base` in a fresh process.
MemoryFigures measureMemory(const std::string& self, const std::string& base) {
    const std::string out = spawnProcess({self, "--memory", base}, "the memory child");
    MemoryFigures m;
    std::istringstream in(out);
    check(static_cast<bool>(in >> m.records >> m.beforeKb >> m.afterKb),
          "unexpected memory child output: " + out);
    return m;
}

// --- Report ----------------------------------------------------------------

// A figure without a baseline that must stay below `limit` (or at most reach it).
void addLimit(const std::string& name, int records, double value, const std::string& unit,
              double limit, bool strictlyBelow, bool judged) {
    const std::string target =
        (strictlyBelow ? "< " : "<= ") + format(limit < 100 ? "%.1f" : "%.0f", limit) + " " + unit;
    if (!judged)
        add({name, records, value, std::nullopt, unit, "(" + target + ")", std::nullopt});
    else
        add({name, records, value, std::nullopt, unit, target,
             strictlyBelow ? value < limit : value <= limit});
}

std::string fileSizeText(const std::string& path) {
    return std::to_string(fs::file_size(path));
}

// --- Measurements ----------------------------------------------------------

struct Options {
    std::string self;
    fs::path folder;
    bool keep = false;
    int repeatsLarge = 11;
    int repeatsSmall = 33;
    std::vector<int> sizes = {1500, 5000, 15000};
    std::string only; // one group of measurements, or empty for all
    std::string cli;  // the command-line tool for the whole-process lines

    bool runs(std::string_view group) const { return only.empty() || only == group; }
};

// Times for the scaling table: per measurement, the best time at each size.
std::vector<std::pair<std::string, std::vector<std::pair<int, double>>>> g_scaling;

void noteScaling(const std::string& name, int count, double ms) {
    auto it = std::find_if(g_scaling.begin(), g_scaling.end(),
                           [&](const auto& row) { return row.first == name; });
    if (it == g_scaling.end())
        it = g_scaling.insert(g_scaling.end(), {name, {}});
    it->second.emplace_back(count, ms);
}

// The time per spell at each size, and how that time at the largest size
// compares with the smallest: 1.00 is growth in proportion to the spells.
void printScaling() {
    if (g_scaling.empty() || g_scaling.front().second.size() < 2)
        return;
    std::printf("\n== Scaling: best time and time per spell at each size\n");
    std::printf("%-30s", "measurement");
    for (const auto& [count, ms] : g_scaling.front().second)
        std::printf(" %9d sp %9s", count, "us/spell");
    std::printf(" %11s\n", "per-spell ratio");
    for (const auto& [name, sizes] : g_scaling) {
        std::printf("%-30s", name.c_str());
        for (const auto& [count, ms] : sizes)
            std::printf(" %9.2f ms %9.3f", ms, ms * 1000.0 / count);
        const auto& [firstCount, firstMs] = sizes.front();
        const auto& [lastCount, lastMs] = sizes.back();
        std::printf(" %11.2f   (%d vs %d)\n", (lastMs / lastCount) / (firstMs / firstCount),
                    lastCount, firstCount);
    }
}

// `quarvine-cli info` beside `wc -l` of the three files, and
// `quarvine-cli search` beside the sqlite3 program on a database file of the
// same rows, all started as processes, in turns, best of `repeats`.
void benchProcesses(const bench::GeneratedSet& set, const std::string& base,
                    const DataSetPaths& paths, int count, int repeats, const Options& opt) {
    const bool fullSet = count == SpellCollection::Capacity;
    const std::string wc = findOnPath("wc");
    const std::string sqlite = findOnPath("sqlite3");
    check(!opt.cli.empty() && ::access(opt.cli.c_str(), X_OK) == 0,
          "the command-line tool was not found (build quarvine-cli, or give --cli PATH)");
    check(!wc.empty(), "wc was not found on PATH");
    check(!sqlite.empty(), "the sqlite3 program was not found on PATH (scripts/install-deps.sh)");
    const std::vector<std::string> info = {opt.cli, "info", base};
    const std::vector<std::string> lines = {wc, "-l", paths.dat, paths.sbk, paths.sbn};
    const std::vector<std::string> search = {opt.cli, "search", base, PlantedWord};
    const std::string db = (opt.folder / ("set" + std::to_string(count) + ".db")).string();
    { SqliteTable file(set.spells, db); }
    const std::vector<std::string> query = {sqlite, db, sqliteNameQuery(PlantedWord)};
    g_sink = g_sink + rawRead(db).size();

    // Each side once untimed, to check it and to have its program in the cache.
    const std::string infoOut = spawnProcess(info, "quarvine-cli info");
    check(infoOut.starts_with("Spells: " + std::to_string(count) + "\n"),
          "quarvine-cli info printed: " + infoOut.substr(0, 80));
    spawnProcess(lines, "wc -l");
    const std::size_t ours = lineCount(spawnProcess(search, "quarvine-cli search"));
    const std::size_t theirs = lineCount(spawnProcess(query, "sqlite3"));
    check(ours == theirs && ours > 0, "quarvine-cli search printed " + std::to_string(ours) +
                                          " names, sqlite3 " + std::to_string(theirs));

    auto run = [](const std::vector<std::string>& argv, const char* what) {
        return Task([&argv, what] { g_sink = g_sink + spawnProcess(argv, what).size(); });
    };
    const std::vector<double> t =
        bestInTurns(repeats, {run(info, "quarvine-cli info"), run(lines, "wc -l"),
                              run(search, "quarvine-cli search"), run(query, "sqlite3")});
    std::printf("   (processes: \"%s\" is in %zu of %d records on both sides)\n", PlantedWord, ours,
                count);
    addRatio("Process: quarvine-cli info / wc -l", count, t[0], t[1], 5.0, fullSet);
    addRatio("Process: quarvine-cli search / sqlite3", count, t[2], t[3], 1.0, fullSet);
}

void benchSet(int count, const Options& opt) {
    const int repeats = count >= 10000 ? opt.repeatsLarge : opt.repeatsSmall;
    // The read, import, list and memory targets are set for a full collection;
    // the write and search targets hold for every size.
    const bool fullSet = count == SpellCollection::Capacity;
    const std::string tag = std::to_string(count);
    const std::string base = (opt.folder / ("set" + tag)).string();
    const std::string textPath = (opt.folder / ("set" + tag + ".txt")).string();

    bench::GeneratedSet set;
    bench::GenerateSpells(count, kSeed + static_cast<std::uint64_t>(count), set);
    check(set.spells.Count() == count, "the generator made too few spells");

    // The files both sides read.
    const Status written = WriteDataFile(set.spells, set.books, base);
    check(written.ok(), "WriteDataFile: " + written.message);
    std::string text;
    for (const SpellRecord& r : set.spells)
        text += SaveSpell(r, 1);
    bufferedWrite(textPath, text, false);
    const DataSetPaths paths = DataSetFiles(base);
    std::printf("\n== %d spells: .Dat %s bytes, .SBN %s bytes, text %s bytes (best of %d "
                "runs)\n",
                count, fileSizeText(paths.dat).c_str(), fileSizeText(paths.sbn).c_str(),
                fileSizeText(textPath).c_str(), repeats);

    // Read everything once so that both sides find the files in the page cache.
    for (const std::string* p : {&paths.dat, &paths.sbk, &paths.sbn, &textPath})
        g_sink = g_sink + rawRead(*p).size();

    // ReadDataFile against reading the three files and splitting their lines.
    if (opt.runs("read")) {
        SpellCollection spells;
        BookList books;
        auto ours = [&] {
            const ReadReport r = ReadDataFile(spells, books, base);
            check(r.status.ok() && r.added == count, "ReadDataFile: " + r.status.message);
        };
        auto prepare = [&] {
            spells.FreeAllSpells();
            books = InitialBookList();
        };
        auto raw = [&] {
            std::size_t lines = 0;
            lines += memchrLineSplit(rawRead(paths.dat));
            lines += memchrLineSplit(rawRead(paths.sbk));
            lines += rawRead(paths.sbn).size() / 256;
            g_sink = g_sink + lines;
        };
        const std::vector<double> t = bestInTurns(repeats, {{ours, prepare}, {raw, {}}});
        check(spells[count - 1] == set.spells[count - 1], "ReadDataFile gave a different record");
        addRatio("ReadDataFile / raw read + memchr split", count, t[0], t[1], 2.0, fullSet);
        noteScaling("ReadDataFile", count, t[0]);
    }

    // ImportSpellText against reading the text file and splitting its lines.
    if (opt.runs("import")) {
        SpellCollection spells;
        auto ours = [&] {
            const ImportReport r = ImportSpellText(textPath, spells);
            check(r.status.ok() && r.imported == count, "ImportSpellText: " + r.status.message);
        };
        auto raw = [&] { memchrLineSplit(rawRead(textPath)); };
        const std::vector<double> t =
            bestInTurns(repeats, {{ours, [&] { spells.FreeAllSpells(); }}, {raw, {}}});
        // An imported name keeps the blank that stood before "(School)".
        const std::string& imported = spells[count - 1]->Name;
        const std::string& original = set.spells[count - 1]->Name;
        check(imported == original || imported == original + " ",
              "ImportSpellText gave the name \"" + imported + "\" for \"" + original + "\"");
        addRatio("ImportSpellText / raw read + memchr split", count, t[0], t[1], 2.5, fullSet);
        noteScaling("ImportSpellText", count, t[0]);
    }

    // WriteDataFile against writing its bytes, one buffered write per file.
    if (opt.runs("write")) {
        const std::string outBase = (opt.folder / ("out" + tag)).string();
        const std::string rawBase = (opt.folder / ("raw" + tag)).string();
        const std::string bytes[3] = {FormatDatFile(set.spells), FormatBookFile(set.books),
                                      FormatCountFile(set.spells)};
        const char* extensions[3] = {".Dat", ".SBK", ".SBN"};
        auto ours = [&] {
            const Status s = WriteDataFile(set.spells, set.books, outBase);
            check(s.ok(), "WriteDataFile: " + s.message);
        };
        auto writeRaw = [&](bool sync) {
            for (int i = 0; i < 3; ++i)
                bufferedWrite(rawBase + extensions[i], bytes[i], sync);
        };
        const std::vector<double> t = bestInTurns(
            repeats, {{ours, {}}, {[&] { writeRaw(false); }, {}}, {[&] { writeRaw(true); }, {}}});
        check(rawRead(outBase + ".Dat") == bytes[0], "WriteDataFile wrote other bytes");
        // A save is finished only when its files are on the disk, so it is
        // judged beside writes that wait for the disk too. Beside writes that
        // only fill the page cache the ratio swings with the kernel's
        // writeback (a 28 MB write takes 7 ms or 30 ms on the same machine),
        // which no durable save can follow; that line is shown for reference.
        addRatio("WriteDataFile / buffered write + fsync", count, t[0], t[2], 1.5, fullSet);
        addInfo("WriteDataFile / one buffered write, no fsync", count, t[0], t[1]);
        const double formatMs = bestMs(repeats, [&] {
            g_sink = g_sink + FormatDatFile(set.spells).size() + FormatCountFile(set.spells).size();
        });
        addInfo("  of which formatting .Dat + .SBN", count, formatMs);
    }

    // SearchSpells over all fields against SQLite's LIKE over the same rows.
    if (opt.runs("search")) {
        const std::string needle = "MoonShard"; // mixed case: both sides ignore ASCII case
        SqliteTable table(set.spells);
        const SearchOptions all; // every field, every record
        int ours = -1;
        int theirs = -1;
        const std::vector<double> t =
            bestInTurns(repeats, {{[&] {
                                       ours = SearchSpells(needle, set.spells,
                                                           static_cast<std::uint16_t>(count), all);
                                   },
                                   {}},
                                  {[&] { theirs = table.countContaining(needle); }, {}}});
        check(ours == theirs, "SearchSpells found " + std::to_string(ours) + ", SQLite found " +
                                  std::to_string(theirs));
        check(ours > 0 && ours < count / 2, "the needle is not in a minority of records");
        std::printf("   (\"%s\" is in %d of %d records on both sides)\n", needle.c_str(), ours,
                    count);
        addRatio("SearchSpells / SQLite LIKE '%...%'", count, t[0], t[1], 0.33, fullSet);
        noteScaling("SearchSpells", count, t[0]);
    }

    // The list: filter pass with sort keys, then the sort by name.
    if (opt.runs("list")) {
        FilterSet filter;
        for (int level = 0; level <= 13; ++level)
            filter.set(static_cast<std::size_t>(level));
        filter.set(AnyMark);
        filter.set(EntireList);
        KindSet kinds;
        kinds.set();
        ListCollator locale(QLocale(QLocale::English, QLocale::UnitedStates));
        AsciiCaseCollator ascii;
        std::vector<ListRow> rows;

        // Checks the sorted rows pair by pair with a plain comparison of their keys.
        auto inOrder = [&](const std::function<int(const std::string&, const std::string&)>& cmp) {
            for (std::size_t i = 1; i < rows.size(); ++i) {
                if (cmp(rows[i - 1].SortKey, rows[i].SortKey) > 0)
                    return false;
            }
            return true;
        };
        auto lower = [](std::string s) {
            for (char& c : s)
                c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
            return s;
        };

        auto buildRows = [&] { rows = BuildRows(set.spells, filter, kinds, SortOrder::Name); };
        const double build = bestMs(repeats, buildRows);
        check(static_cast<int>(rows.size()) == count, "the filter pass dropped records");
        const double sortLocale =
            bestInTurns(repeats, {{[&] { SortRows(rows, locale); }, buildRows}})[0];
        check(inOrder([&](const std::string& a, const std::string& b) {
                  return locale.compareKeys(a, b);
              }),
              "the list is not in the locale's order after SortRows");
        const double sortAscii =
            bestInTurns(repeats, {{[&] { SortRows(rows, ascii); }, buildRows}})[0];
        check(inOrder([&](const std::string& a, const std::string& b) {
                  return lower(a).compare(lower(b));
              }),
              "the list is not in ASCII case-blind order after SortRows");
        const double totalLocale = bestMs(repeats, [&] {
            rows = BuildRows(set.spells, filter, kinds, SortOrder::Name);
            SortRows(rows, locale);
        });
        const double totalAscii = bestMs(repeats, [&] {
            rows = BuildRows(set.spells, filter, kinds, SortOrder::Name);
            SortRows(rows, ascii);
        });
        addLimit("List: filter + keys + sort (ListCollator)", count, totalLocale, "ms", 20, true,
                 fullSet);
        addLimit("List: filter + keys + sort (AsciiCase)", count, totalAscii, "ms", 20, true,
                 fullSet);
        noteScaling("Filter + sort (ListCollator)", count, totalLocale);
        addInfo("  filter pass + sort keys (BuildRows)", count, build);
        addInfo("  SortRows, ListCollator en_US", count, sortLocale);
        addInfo("  SortRows, AsciiCaseCollator", count, sortAscii);
    }

    // Whole processes: the tool's reading commands beside plain programs that
    // read the same bytes, each started afresh every time.
    if (opt.runs("process"))
        benchProcesses(set, base, paths, count, repeats, opt);

    // Peak memory of a fresh process that loads the set.
    if (opt.runs("memory")) {
        const MemoryFigures m = measureMemory(opt.self, base);
        check(m.records == count, "the memory child loaded " + std::to_string(m.records));
        const double datMb = static_cast<double>(fs::file_size(paths.dat)) / (1024.0 * 1024.0);
        const double deltaMb = static_cast<double>(m.afterKb - m.beforeKb) / 1024.0;
        const double limitMb = datMb * 1.3 + 10;
        std::printf("   (peak RSS of the loading process %.1f MB, of which %.1f MB before "
                    "loading; .Dat %.1f MB)\n",
                    static_cast<double>(m.afterKb) / 1024.0,
                    static_cast<double>(m.beforeKb) / 1024.0, datMb);
        addLimit("Peak memory growth loading the set", count, deltaMb, "MB", limitMb, false,
                 fullSet);
    }
}

// The real spell file, when present: import time beside the raw scan (no target).
void benchRealFile(int repeats) {
    if (!fs::exists(kRealSpellFile))
        return;
    std::printf("\n== %s (%ju bytes)\n", kRealSpellFile,
                static_cast<std::uintmax_t>(fs::file_size(kRealSpellFile)));
    g_sink = g_sink + rawRead(kRealSpellFile).size();
    SpellCollection spells;
    int imported = 0;
    const std::vector<double> t =
        bestInTurns(repeats, {{[&] { imported = ImportSpellText(kRealSpellFile, spells).imported; },
                               [&] { spells.FreeAllSpells(); }},
                              {[&] { memchrLineSplit(rawRead(kRealSpellFile)); }, {}}});
    addInfo("ImportSpellText / raw read + memchr split", imported, t[0], t[1]);
}

void usage() {
    std::printf("usage: quarvine_bench [--dir FOLDER] [--keep] [--repeats N] [--only GROUP]\n"
                "                      [--spells N] [--cli PATH]\n"
                "  --dir FOLDER  where the generated files go (default: the system's\n"
                "                temporary folder); a fresh subfolder is made there\n"
                "  --keep        leave the generated files in place\n"
                "  --repeats N   runs per measurement for the 15,000-spell set (default 11;\n"
                "                smaller sets use three times as many)\n"
                "  --only GROUP  one group: read, import, write, search, list, process or\n"
                "                memory\n"
                "  --spells N    one set of N spells (1 to 15000) instead of 1,500, 5,000\n"
                "                and 15,000, e.g. for a profiler\n"
                "  --cli PATH    the quarvine-cli program for the whole-process lines\n"
                "                (default: the one built with the benchmark)\n");
}

} // namespace

int main(int argc, char** argv) {
    setProgramName("quarvine_bench");
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "--memory")
        return memoryChild(args[1]);

    // Keep freed memory in the process and serve even the large file buffers
    // from it, so that every run after the first finds its memory mapped.
    // Otherwise whether a run pays for fresh pages depends on the allocator's
    // history (its mmap threshold adapts), and a page fault costs more than the
    // work being timed on some virtual machines. The --memory child above keeps
    // the default behaviour.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());

    Options opt;
    opt.self = fs::read_symlink("/proc/self/exe").string();
#ifdef QUARVINE_CLI_PATH
    opt.cli = QUARVINE_CLI_PATH;
#endif
    fs::path parent = fs::temp_directory_path();
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--dir" && i + 1 < args.size()) {
            parent = args[++i];
        } else if (args[i] == "--keep") {
            opt.keep = true;
        } else if (args[i] == "--repeats" && i + 1 < args.size()) {
            opt.repeatsLarge = std::max(1, std::atoi(args[++i].c_str()));
            opt.repeatsSmall = opt.repeatsLarge * 3;
        } else if (args[i] == "--cli" && i + 1 < args.size()) {
            opt.cli = args[++i];
        } else if (args[i] == "--only" && i + 1 < args.size()) {
            opt.only = args[++i];
        } else if (args[i] == "--spells" && i + 1 < args.size()) {
            const int n = std::atoi(args[++i].c_str());
            if (n < 1 || n > SpellCollection::Capacity) {
                usage();
                return 2;
            }
            opt.sizes = {n};
        } else {
            usage();
            return args[i] == "--help" || args[i] == "-h" ? 0 : 2;
        }
    }
    std::string pattern = (parent / "quarvine-bench-XXXXXX").string();
    check(::mkdtemp(pattern.data()) != nullptr, "cannot make a folder in " + parent.string());
    opt.folder = pattern;
    if (!opt.keep)
        g_folderToRemove = opt.folder;

    std::printf("Quarvine benchmark: generated files in %s\n", opt.folder.c_str());
    std::printf("Times in ms are the best of the runs; the two sides of a comparison run in\n"
                "turns, and every file is read once before timing, so both find it in the\n"
                "page cache. Ratio = ours / baseline.\n");
    std::printf("\n%-44s %6s %10s %10s %-2s %7s  %-12s %s\n", "measurement", "spells", "ours",
                "base", "", "ratio", "target", "result");

    for (const int size : opt.sizes)
        benchSet(size, opt);
    if (opt.runs("import"))
        benchRealFile(opt.repeatsSmall);

    printScaling();
    printSummary();

    if (opt.keep)
        std::printf("Files kept in %s\n", opt.folder.c_str());
    removeFolder();
    return 0;
}
