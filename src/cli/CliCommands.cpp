#include "cli/CliCommands.h"

#include "cli/CliOptions.h"
#include "formats/ExportFormat.h"
#include "formats/SpellJson.h"
#include "session/SpellSession.h"
#include "spelldata/DataFile.h"
#include "spelldata/Encoding.h"
#include "spelldata/Filter.h"
#include "spelldata/Search.h"
#include "spelldata/TextExport.h"
#include "spelldata/TextImport.h"

#include <algorithm>
#include <array>
#include <functional>
#include <map>

using namespace spelldata;

namespace {

constexpr const char* kUsage =
    "Usage: quarvine-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  import SPELLS.TXT BASE   convert a text spell file (or a JSON export) to the data\n"
    "                           file set BASE\n"
    "  export BASE OUT.TXT      write the collection as text, as the save-as-text does,\n"
    "                           or with --format as JSON, CSV or Markdown\n"
    "  info BASE                count spells by kind and level, and list the books\n"
    "  list BASE                print the spells in list order, one list line each\n"
    "  search BASE STRING       print the names of the spells that contain STRING\n"
    "\n"
    "BASE is the data file set's base path; a trailing .Dat is taken off.\n"
    "After \"--\" every argument is taken as it is, also one that begins with \"--\".\n"
    "Run 'quarvine-cli COMMAND --help' for a command's options.\n"
    "Exit codes: 0 done, 1 wrong usage, 2 unreadable, malformed or unwritable file.\n";

struct Io {
    std::ostream& out;
    std::ostream& err;
};

int usageError(const Io& io, const std::string& message) {
    io.err << "quarvine-cli: " << message << "\nRun 'quarvine-cli --help' for usage.\n";
    return ExitUsage;
}

int fileError(const Io& io, const std::string& message) {
    io.err << "quarvine-cli: " << message << '\n';
    return ExitBadFile;
}

std::string baseOf(const std::string& arg) {
    if (arg.size() > 4 && AsciiEqualsIgnoringCase(arg.substr(arg.size() - 4), ".dat"))
        return arg.substr(0, arg.size() - 4);
    return arg;
}

// Loads a data file set; prints the error and returns false when it fails.
// The reading commands change no file: a save of the set that was killed
// half-way is reported, not finished.
bool load(const Io& io, const std::string& arg, SpellSession& session) {
    const std::string base = baseOf(arg);
    // The tool's reading commands leave the set's files as they are: a missing
    // book file is not created, an interrupted save is reported, not finished.
    const ReadReport report =
        session.open(base + ".Dat", PendingSave::Report, MissingBookFile::Leave);
    if (!report.status) {
        io.err << "quarvine-cli: "
               << (report.status.kind == ErrorKind::NotFound ? "No Such File: " + base + ".Dat"
                                                             : report.status.message)
               << '\n';
        return false;
    }
    if (report.refused > 0)
        io.err << "quarvine-cli: warning: " << report.refused
               << " spells did not fit into the collection of " << SpellCollection::Capacity
               << " and were left out\n";
    return true;
}

// Reads a data file set for a command that needs each spell once and keeps
// little of it: fn(record, slot) sees the spells that the collection would
// hold, in slot order. The files and the messages are those of load(); the
// caller shows what it gathered only when this returns true.
bool scan(const Io& io, const std::string& arg, BookList& books,
          const std::function<void(const SpellRecord&, int)>& fn) {
    const std::string base = baseOf(arg);
    int refused = 0;
    const Status s = ScanDataFile(base, books, [&](const SpellRecord& r, int slot) {
        if (slot < SpellCollection::Capacity)
            fn(r, slot);
        else
            ++refused;
    });
    if (!s) {
        io.err << "quarvine-cli: "
               << (s.kind == ErrorKind::NotFound ? "No Such File: " + base + ".Dat" : s.message)
               << '\n';
        return false;
    }
    if (refused > 0)
        io.err << "quarvine-cli: warning: " << refused
               << " spells did not fit into the collection of " << SpellCollection::Capacity
               << " and were left out\n";
    return true;
}

std::string utf8(const std::string& bytes) {
    return Cp1252ToUtf8(bytes);
}

void warnEachLine(const Io& io, const std::string& lines) {
    std::size_t start = 0;
    while (start < lines.size()) {
        const std::size_t end = std::min(lines.find('\n', start), lines.size());
        io.err << "quarvine-cli: warning: " << lines.substr(start, end - start) << '\n';
        start = end + 1;
    }
}

// A JSON export back to a data file set, with its books; a file that is not
// one is refused and BASE is left alone.
int importJson(const CliOptions& o, const Io& io) {
    SpellCollection spells;
    BookList books;
    if (Status s = formats::ReadSpellsJson(o.positional[0], spells, books); !s)
        return fileError(io, s.message);
    if (Status s = WriteDataFile(spells, books, baseOf(o.positional[1])); !s)
        return fileError(io, s.message);
    io.out << "Imported " << spells.Count() << " spells into " << baseOf(o.positional[1])
           << ".Dat\n";
    return ExitOk;
}

int runImport(const CliOptions& o, const Io& io) {
    if (o.positional.size() != 2)
        return usageError(io, "import needs SPELLS.TXT and BASE");
    if (formats::IsJsonPath(o.positional[0]))
        return importJson(o, io);
    SpellCollection spells;
    const ImportReport report = ImportSpellText(o.positional[0], spells);
    if (!report.status)
        return fileError(io, report.status.kind == ErrorKind::NotFound
                                 ? report.status.message + " (" + o.positional[0] + ")"
                                 : report.status.message);
    if (report.refused > 0)
        io.err << "quarvine-cli: warning: " << report.refused
               << " spells did not fit into the collection of " << SpellCollection::Capacity
               << " and were left out\n";
    warnEachLine(io, ImportNotes(report, o.positional[0]));
    if (Status s = WriteDataFile(spells, InitialBookList(), baseOf(o.positional[1])); !s)
        return fileError(io, s.message);
    io.out << "Imported " << report.imported << " spells into " << baseOf(o.positional[1])
           << ".Dat\n";
    return ExitOk;
}

// Every spell, in slot order, as JSON, CSV or Markdown.
int exportOpenFormat(const CliOptions& o, const Io& io, formats::ExportFormat format) {
    if (o.has("--list") || o.has("--append") || o.has("--utf8") || o.value("--extra-lines"))
        return usageError(io, "--list, --append, --utf8 and --extra-lines belong to the text "
                              "format, not to --format " +
                                  *o.value("--format"));
    SpellSession session;
    if (!load(io, o.positional[0], session))
        return ExitBadFile;
    const SpellCollection& spells = session.spells();
    const BookList& books = session.books();
    std::vector<const SpellRecord*> records;
    for (const SpellRecord& r : spells)
        records.push_back(&r);
    if (Status s = formats::WriteExport(o.positional[1], format, records, books); !s)
        return fileError(io, s.message);
    return ExitOk;
}

int runExport(const CliOptions& o, const Io& io) {
    if (o.positional.size() != 2)
        return usageError(io, "export needs BASE and OUT.TXT");
    if (const auto name = o.value("--format"); name && *name != "text") {
        const auto format = formats::ExportFormatNamed(*name);
        if (!format)
            return usageError(io, "--format takes text, json, csv or md");
        return exportOpenFormat(o, io, *format);
    }
    int extraLines = 2;
    if (const auto n = o.value("--extra-lines")) {
        try {
            std::size_t used = 0;
            extraLines = std::stoi(*n, &used);
            if (used != n->size() || extraLines < 1 || extraLines > 66)
                throw std::invalid_argument(*n);
        } catch (const std::exception&) {
            return usageError(io, "--extra-lines takes a whole number from 1 to 66");
        }
    }
    SpellSession session;
    if (!load(io, o.positional[0], session))
        return ExitBadFile;
    const SpellCollection& spells = session.spells();
    std::string text;
    if (o.has("--list")) {
        std::vector<const SpellRecord*> records;
        for (const SpellRecord& r : spells)
            records.push_back(&r);
        text = SaveList(records);
    } else {
        for (const SpellRecord& r : spells)
            text += SaveSpell(r, extraLines);
    }
    const TextEncoding encoding = o.has("--utf8") ? TextEncoding::Utf8 : TextEncoding::Dos;
    if (Status s = WriteTextOutput(o.positional[1], text, o.has("--append"), encoding); !s)
        return fileError(io, s.message);
    return ExitOk;
}

int runInfo(const CliOptions& o, const Io& io) {
    if (o.positional.size() != 1)
        return usageError(io, "info needs BASE");
    BookList books = InitialBookList();
    int count = 0;
    std::array<int, 3> byKind{};
    std::map<int, int> byLevel;
    std::array<int, MaxBooks> members{};
    const bool read = scan(io, o.positional[0], books, [&](const SpellRecord& r, int) {
        ++count;
        ++byKind[static_cast<std::size_t>(r.kind())];
        ++byLevel[r->Level];
        r->BookSet.forEachSet([&](int b) { ++members[static_cast<std::size_t>(b)]; });
    });
    if (!read)
        return ExitBadFile;
    io.out << "Spells: " << count << "\n";
    io.out << "Wizard spells: " << byKind[0] << "\nPriest prayers: " << byKind[1]
           << "\nPsionic powers and Info entries: " << byKind[2] << "\n";
    io.out << "By level:\n";
    for (const auto& [level, n] : byLevel) {
        io.out << "  " << LevelCode(static_cast<SpellLevel>(level)) << ": " << n << "\n";
    }
    io.out << "Books:\n";
    for (std::size_t b = 1; b < books.size(); ++b) {
        if (IsBookPosition(books, static_cast<int>(b)))
            io.out << "  " << b << " " << utf8(books[b]) << ": " << (b < MaxBooks ? members[b] : 0)
                   << " spells\n";
    }
    return ExitOk;
}

bool parseLevels(const std::string& text, std::bitset<14>& levels) {
    static const std::map<std::string, int> letters = {
        {"C", 0}, {"1", 1}, {"2", 2}, {"3", 3},   {"4", 4},  {"5", 5},  {"6", 6},
        {"7", 7}, {"8", 8}, {"9", 9}, {"10", 10}, {"D", 11}, {"S", 12}, {"I", 13}};
    for (const std::string& part : SplitList(text)) {
        const auto it = letters.find(part);
        if (it == letters.end())
            return false;
        levels.set(static_cast<std::size_t>(it->second));
    }
    return true;
}

bool parseKinds(const std::string& text, KindSet& kinds) {
    for (const std::string& part : SplitList(text)) {
        if (part == "W")
            kinds.set(0);
        else if (part == "P")
            kinds.set(1);
        else if (part == "S")
            kinds.set(2);
        else
            return false;
    }
    return true;
}

bool parseSort(const std::string& text, SortOrder& order) {
    static const std::map<std::string, SortOrder> names = {{"level", SortOrder::Level},
                                                           {"name", SortOrder::Name},
                                                           {"type", SortOrder::Type},
                                                           {"type-level", SortOrder::TypeLevel}};
    const auto it = names.find(text);
    if (it == names.end())
        return false;
    order = it->second;
    return true;
}

int runList(const CliOptions& o, const Io& io) {
    if (o.positional.size() != 1)
        return usageError(io, "list needs BASE");
    FilterRequest request;
    SortOrder order = SortOrder::Name;
    if (!parseLevels(o.value("--levels").value_or("C,1,2,3,4,5,6,7,8,9,10,D,S,I"), request.levels))
        return usageError(io, "--levels takes a comma list of C,1,...,10,D,S,I");
    if (!parseKinds(o.value("--kinds").value_or("W,P,S"), request.kinds))
        return usageError(io, "--kinds takes a comma list of W,P,S");
    if (!parseSort(o.value("--sort").value_or("name"), order))
        return usageError(io, "--sort takes level, name, type or type-level");
    request.fullList = true;
    request.order = order;
    SpellSession session;
    if (!load(io, o.positional[0], session))
        return ExitBadFile;
    session.runFilter(request);
    for (const int slot : session.rows()) {
        const SpellRecord& r = session.spells()[slot];
        io.out << utf8(r->Name) << (r->Reversible ? " (Reversible)" : "") << "   " << ListCode(r)
               << "\n";
    }
    return ExitOk;
}

bool parseFields(const std::string& text, SearchOptions& options) {
    options.name = options.description = options.source = options.school = options.sphere = false;
    const std::map<std::string, bool*> fields = {{"name", &options.name},
                                                 {"description", &options.description},
                                                 {"source", &options.source},
                                                 {"school", &options.school},
                                                 {"sphere", &options.sphere}};
    for (const std::string& part : SplitList(text)) {
        const auto it = fields.find(part);
        if (it == fields.end())
            return false;
        *it->second = true;
    }
    return true;
}

int runSearch(const CliOptions& o, const Io& io) {
    if (o.positional.size() != 2 || o.positional[1].empty())
        return usageError(io, "search needs BASE and a non-empty STRING");
    SearchOptions options;
    if (const auto fields = o.value("--fields"); fields && !parseFields(*fields, options))
        return usageError(io,
                          "--fields takes a comma list of name,description,source,school,sphere");
    std::string needle;
    if (Status s = SearchBytesFromUtf8(o.positional[1], needle); !s) {
        io.err << "quarvine-cli: " << s.message << '\n';
        return ExitUsage;
    }
    // The names are printed only once the whole set has been read.
    SpellMatcher matcher(needle, options);
    std::string names;
    BookList books = InitialBookList();
    const bool read = scan(io, o.positional[0], books, [&](const SpellRecord& r, int) {
        if (matcher.Matches(r)) {
            names += utf8(r->Name);
            names += '\n';
        }
    });
    if (!read)
        return ExitBadFile;
    io.out << names;
    return ExitOk;
}

struct Command {
    std::function<int(const CliOptions&, const Io&)> run;
    std::vector<std::string> withValue;
    std::vector<std::string> switches;
    const char* help;
};

const std::map<std::string, Command>& commands() {
    static const std::map<std::string, Command> table = {
        {"import",
         {runImport,
          {},
          {},
          "Usage: quarvine-cli import SPELLS.TXT BASE\n"
          "Reads a text spell file and writes it as the data file set BASE\n"
          "(BASE.Dat, BASE.SBK with the initial book list: the full-list entry and\n"
          "154 free book positions, BASE.SBN). A file that holds no spell is refused\n"
          "and BASE is left as it was. Lines that belong to no spell are named on\n"
          "standard error.\n"
          "A file whose name ends in .json is read as a JSON export (export --format json)\n"
          "and written with its books and copies. A file that is not JSON, or not such an\n"
          "export, is refused with the place of the fault and BASE is left as it was.\n"}},
        {"export",
         {runExport,
          {"--extra-lines", "--format"},
          {"--list", "--append", "--utf8"},
          "Usage: quarvine-cli export BASE OUT.TXT [--list] [--append] [--utf8]\n"
          "                           [--extra-lines N]\n"
          "       quarvine-cli export BASE OUT --format json|csv|md\n"
          "Writes every spell, in slot order, as whole spells in the text spell format\n"
          "followed by N empty lines (1 to 66, default 2), or with --list as the saved list.\n"
          "--append adds to OUT.TXT instead of replacing it.\n"
          "--utf8 writes UTF-8 (with a byte-order mark, separators of U+2500) instead of\n"
          "the DOS bytes; import reads either.\n"
          "--format json, csv or md writes every spell as JSON (with the books; import\n"
          "reads it back), CSV or Markdown, in UTF-8 (docs/FORMATS.md); --format text is\n"
          "the text spell format above.\n"}},
        {"info",
         {runInfo,
          {},
          {},
          "Usage: quarvine-cli info BASE\n"
          "Prints the number of spells by kind and by level, and each book\n"
          "with the number of its member spells.\n"}},
        {"list",
         {runList,
          {"--sort", "--levels", "--kinds"},
          {},
          "Usage: quarvine-cli list BASE [--sort level|name|type|type-level]\n"
          "                         [--levels C,1,...,10,D,S,I] [--kinds W,P,S]\n"
          "Prints the spells that pass the level and kind filter in the list's order\n"
          "(default: every level and kind, sorted by name), one list line each.\n"}},
        {"search",
         {runSearch,
          {"--fields"},
          {},
          "Usage: quarvine-cli search BASE STRING [--fields "
          "name,description,source,school,sphere]\n"
          "Prints the names of the spells whose chosen fields (default: all) contain STRING,\n"
          "ignoring the case of a-z.\n"}},
    };
    return table;
}

// --help or -h before the "--" that ends the options.
bool wantsHelp(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        if (a == "--")
            return false;
        if (a == "--help" || a == "-h")
            return true;
    }
    return false;
}

} // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Io io{out, err};
    if (args.empty())
        return usageError(io, "no command given");
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        out << kUsage;
        return ExitOk;
    }
    const auto it = commands().find(args[0]);
    if (it == commands().end())
        return usageError(io, "unknown command '" + args[0] + "'");
    const Command& command = it->second;
    if (wantsHelp(args)) {
        out << command.help;
        return ExitOk;
    }
    const CliOptions options = ParseCliOptions(args, 1, command.withValue, command.switches);
    if (!options.error.empty())
        return usageError(io, options.error);
    return command.run(options, io);
}
