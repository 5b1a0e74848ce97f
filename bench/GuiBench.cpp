// Times the main window's commands on a generated collection, each beside the
// core's work for the same result, and the program's start-up beside a bare
// Qt window started the same way. See README.md in this folder.

#include "BenchSupport.h"
#include "SpellGenerator.h"

#include "collation/ListCollator.h"
#include "controls/GuiText.h"
#include "controls/ProgramFonts.h"
#include "controls/Prompts.h"
#include "controls/SvgIcon.h"
#include "controls/THistoryComboBox.h"
#include "dialogs/edit/TFEdit.h"
#include "dialogs/info/TFInfo.h"
#include "dialogs/output/TForm2.h"
#include "mainwindow/SpellListModel.h"
#include "mainwindow/SpellListView.h"
#include "mainwindow/TListPanel.h"
#include "mainwindow/TMain.h"
#include "session/SpellSession.h"
#include "spelldata/DataFile.h"
#include "spelldata/Filter.h"
#include "spelldata/Search.h"
#include "spelldata/TextExport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <QPointer>
#include <QPrinterInfo>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <limits>
#include <malloc.h>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace spelldata;
using namespace bench;

namespace {

// The same seed as the core benchmark's for a set of this size, so that both
// programs time the same spells.
constexpr std::uint64_t kSeed = 20240611;
constexpr const char* kNeedle = "moonshard"; // bench::PlantedWord, as a user types it

volatile std::size_t g_sink = 0;
// CLOCK_MONOTONIC in nanoseconds: the clock a parent and its child share.
long long monotonicNs() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

double msSinceNs(long long startNs) {
    return static_cast<double>(monotonicNs() - startNs) / 1e6;
}

// --- Report ----------------------------------------------------------------

// Our time, with a baseline shown for information, under a limit in ms.
void addLimit(const std::string& name, int records, double ours, std::optional<double> base,
              double limit, bool judged) {
    const std::string target = "< " + format("%.0f", limit) + " ms";
    if (judged)
        add({name, records, ours, base, "ms", target, ours < limit});
    else
        add({name, records, ours, base, "ms", "(" + target + ")", std::nullopt});
}

// --- Start-up --------------------------------------------------------------

// Counts the paint events a widget receives.
class PaintWatch final : public QObject {
public:
    explicit PaintWatch(QWidget* widget) : widget_(widget) { widget->installEventFilter(this); }
    ~PaintWatch() override {
        if (widget_)
            widget_->removeEventFilter(this);
    }
    PaintWatch(const PaintWatch&) = delete;
    PaintWatch& operator=(const PaintWatch&) = delete;

    int paints() const { return paints_; }

    // Processes events until the widget has been painted more than `after`
    // times, or `timeoutMs` have passed; false on the timeout.
    bool waitBeyond(int after, int timeoutMs = 10000) const {
        const Clock::time_point start = Clock::now();
        while (paints_ <= after) {
            if (millisecondsSince(start) > timeoutMs)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
        return true;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == widget_ && event->type() == QEvent::Paint)
            ++paints_;
        return false;
    }

private:
    QPointer<QWidget> widget_;
    int paints_ = 0;
};

// What a start-up child builds.
enum class StartKind { Quarvine, Bare, BareWithMenu };

const char* startOption(StartKind kind) {
    switch (kind) {
    case StartKind::Quarvine:
        return "--startup";
    case StartKind::Bare:
        return "--bare";
    default:
        return "--bare-menu";
    }
}

// The child side of the start-up measurement: `--startup T0 FOLDER` builds
// the main window as main() does when started with ":" (no opening screen),
// `--bare T0` a QMainWindow with a QMdiArea, and `--bare-menu T0` the same
// with a menu bar of two menus, the least a window needs to draw text. Each
// prints the milliseconds since T0 (CLOCK_MONOTONIC, taken by the parent just
// before the child is started) at main(), after QApplication, after the window is built and
// when the MDI area's viewport has been painted for the first time.
int startupChild(StartKind kind, long long t0, const char* folder) {
    const bool quarvine = kind == StartKind::Quarvine;
    const double atMain = msSinceNs(t0);
    int argc = 1;
    char name[] = "quarvine_gui_bench";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    std::unique_ptr<QMainWindow> window;
    QMdiArea* mdi = nullptr;
    double atApp = 0;
    if (quarvine) {
        QApplication::setApplicationName(QStringLiteral("Quarvine"));
        UseProgramFonts();
        QApplication::setWindowIcon(SvgIcon(QStringLiteral(":/icons/app.svg")));
        atApp = msSinceNs(t0);
        PromptScript::Start(); // a prompt at start-up is a failure, not a hang
        auto main = std::make_unique<TMain>(QString::fromLocal8Bit(folder));
        main->StartUp();
        mdi = main->mdiArea();
        window = std::move(main);
    } else {
        atApp = msSinceNs(t0);
        window = std::make_unique<QMainWindow>();
        mdi = new QMdiArea(window.get());
        window->setCentralWidget(mdi);
        window->resize(618, 450);
        if (kind == StartKind::BareWithMenu) {
            window->menuBar()->addMenu(QStringLiteral("&File"));
            window->menuBar()->addMenu(QStringLiteral("&Window"));
        }
    }
    const double built = msSinceNs(t0);
    const PaintWatch watch(mdi->viewport());
    window->show();
    if (!watch.waitBeyond(0))
        return 3;
    const double shown = msSinceNs(t0);
    if (quarvine && !PromptScript::Unexpected().isEmpty())
        return 4;
    std::printf("%.3f %.3f %.3f %.3f\n", atMain, atApp, built, shown);
    std::fflush(stdout);
    std::_Exit(0); // the time to tear down is not part of start-up
}

struct StartupFigures {
    double atMain = 0, atApp = 0, built = 0, shown = 0;
};

StartupFigures runStartupChild(const std::string& self, StartKind kind, const std::string& folder) {
    char t0Text[32];
    const long long t0 = monotonicNs(); // the child's times count from here
    std::snprintf(t0Text, sizeof t0Text, "%lld", t0);
    const std::string out =
        spawnProcess({self, startOption(kind), t0Text, folder},
                     std::string("the start-up child (") + startOption(kind) + ")");
    StartupFigures f;
    std::istringstream in(out);
    check(static_cast<bool>(in >> f.atMain >> f.atApp >> f.built >> f.shown),
          "unexpected start-up child output: " + out);
    return f;
}

void benchStartup(const std::string& self, const fs::path& folder, int runs) {
    const fs::path settings = folder / "startup-settings";
    fs::create_directories(settings);
    const std::string settingsText = settings.string() + "/";
    std::printf("\n== Start-up, process start to main window shown (best of %d runs each)\n"
                "   (bare: a QMainWindow with a QMdiArea and a menu bar of two menus, built\n"
                "   and shown the same way; the last line: the same without the menu bar)\n",
                runs);
    // One untimed pair loads the libraries into the page cache (and lets the
    // program make its empty settings files, as a first start does).
    const StartKind kinds[3] = {StartKind::Quarvine, StartKind::Bare, StartKind::BareWithMenu};
    for (const StartKind kind : kinds)
        runStartupChild(self, kind, settingsText);
    StartupFigures best[3];
    for (StartupFigures& f : best)
        f = {1e9, 1e9, 1e9, 1e9};
    for (int i = 0; i < runs; ++i) {
        for (int k = 0; k < 3; ++k) {
            const StartupFigures f = runStartupChild(self, kinds[k], settingsText);
            if (f.shown < best[k].shown)
                best[k] = f;
        }
    }
    // Judged beside the bare window with a menu bar: the smallest window
    // that draws text, and so starts the font database as ours does.
    const StartupFigures& ours = best[0];
    const StartupFigures& menu = best[2];
    addRatio("Start-up to shown / bare window with a menu bar", 0, ours.shown, menu.shown, 2.0,
             true);
    addInfo("  process start to main()", 0, ours.atMain, menu.atMain);
    addInfo("  QApplication", 0, ours.atApp - ours.atMain, menu.atApp - menu.atMain);
    addInfo("  window built (TMain + StartUp)", 0, ours.built - ours.atApp,
            menu.built - menu.atApp);
    addInfo("  show() to first paint", 0, ours.shown - ours.built, menu.shown - menu.built);
    addInfo("Start-up to shown / bare QMainWindow+QMdiArea", 0, ours.shown, best[1].shown);
}

// --- The window ------------------------------------------------------------

struct Options {
    std::string self;
    fs::path folder;
    bool keep = false;
    int repeats = 7;
    int printRepeats = 2;
    int startups = 7;
    int spells = SpellCollection::Capacity;
    std::string only;

    bool runs(std::string_view group) const { return only.empty() || only == group; }
};

// Runs `action` on the modal dialog `name` of `window` as soon as it is up.
void whenShown(QWidget* window, const char* name, std::function<void(QDialog*)> action) {
    QTimer::singleShot(0, window, [window, name, action = std::move(action)] {
        auto* dialog = window->findChild<QDialog*>(QString::fromLatin1(name));
        check(dialog != nullptr && dialog->isVisible(), std::string("no dialog ") + name);
        action(dialog);
    });
}

template <typename T> T* child(QObject* parent, const char* name) {
    T* c = parent->findChild<T*>(QString::fromLatin1(name));
    check(c != nullptr, std::string("no control ") + name);
    return c;
}

void checkNoPrompt(const char* where) {
    const QStringList unexpected = PromptScript::Unexpected();
    check(unexpected.isEmpty(),
          std::string(where) + ": unexpected prompt: " + unexpected.join("; ").toStdString());
}

class WindowBench {
public:
    WindowBench(const Options& opt, const std::string& base)
        : opt_(opt), base_(base), dat_(base + ".Dat"),
          settings_(QString::fromStdString((opt.folder / "settings").string()) + "/"),
          judged_(opt.spells == SpellCollection::Capacity) {
        fs::create_directories(opt.folder / "settings");
    }

    void run() {
        openWindow(); // also the open step of everything after it
        if (opt_.runs("open"))
            benchOpen();
        else
            openFile();
        if (opt_.runs("filter"))
            benchFilter();
        if (opt_.runs("search"))
            benchSearch();
        if (opt_.runs("save"))
            benchSave();
        if (opt_.runs("print"))
            benchPrint();
        if (opt_.runs("extreme"))
            benchExtreme();
        if (opt_.runs("quickfilter"))
            benchQuickFilter();
        window_.reset();
    }

private:
    // A fresh main window as the program starts it, shown and painted, with
    // the data file chosen in the file box.
    void openWindow() {
        window_.reset();
        window_ = std::make_unique<TMain>(settings_);
        window_->StartUp();
        listWatch_.reset();
        listWatch_ = std::make_unique<PaintWatch>(window_->listPanel()->SList->viewport());
        {
            // The list stays hidden until a file is open; the MDI area shows.
            const PaintWatch shown(window_->mdiArea()->viewport());
            window_->show();
            check(shown.waitBeyond(0), "the main window was not painted");
        }
        PromptScript::FileName(QString::fromStdString(dat_));
        window_->BitBtn11Click();
        check(window_->fileBox()->currentText() == QString::fromStdString(dat_),
              "the file box does not show the data file");
        checkNoPrompt("start-up");
    }

    // Runs a command of the main window and waits until the list has been
    // painted after it; the time from `start` (or the call) to that paint.
    double commandToListShown(const std::function<void()>& command,
                              std::optional<Clock::time_point>* startInside = nullptr) {
        const Clock::time_point start = Clock::now();
        command();
        const int paintsAfterCommand = listWatch_->paints();
        check(listWatch_->waitBeyond(paintsAfterCommand), "the list was not painted");
        const Clock::time_point begun =
            startInside && startInside->has_value() ? **startInside : start;
        return millisecondsSince(begun);
    }

    void openFile() {
        commandToListShown([this] { window_->BOpenConvClick(); });
    }

    // The list holds every spell, in name order, and the quick view shows the
    // first one.
    void checkOpened(const char* where) {
        checkNoPrompt(where);
        SpellListModel* model = window_->listModel();
        check(model->rowCount() == opt_.spells,
              std::string(where) + ": the list has " + std::to_string(model->rowCount()) + " rows");
        if (nameOrder_.empty()) {
            KindSet kinds;
            kinds.set();
            std::vector<ListRow> rows = BuildRows(coreCopy(), everything(), kinds, SortOrder::Name);
            ListCollator collator;
            SortRows(rows, collator);
            for (const ListRow& row : rows)
                nameOrder_.push_back(row.Index);
        }
        check(model->rowSlots() == nameOrder_,
              std::string(where) + ": the list is not in the core's name order");
        const int first = model->slotAt(0);
        check(window_->quickView() != nullptr && window_->quickView()->isVisible() &&
                  window_->quickView()->windowTitle() ==
                      FromBytes(window_->session()->spells()[first]->Name),
              std::string(where) + ": the quick view does not show the first spell");
    }

    // The core's side of a filter run by name over `spells`, as the session
    // runs it: with a collator kept from earlier runs, or a new one.
    static void coreFilterRun(SpellCollection& spells, const FilterSet& filter,
                              const KindSet& kinds, ListCollator& collator) {
        std::vector<ListRow> rows = BuildRows(spells, filter, kinds, SortOrder::Name);
        collator.Sort(rows);
        g_sink = g_sink + rows.size();
    }

    static void coreFilterRun(SpellCollection& spells, const FilterSet& filter,
                              const KindSet& kinds) {
        ListCollator collator;
        coreFilterRun(spells, filter, kinds, collator);
    }

    static FilterSet everything() {
        FilterSet filter;
        for (int level = 0; level <= 13; ++level)
            filter.set(static_cast<std::size_t>(level));
        filter.set(AnyMark);
        filter.set(EntireList);
        return filter;
    }

    void benchOpen() {
        std::printf("\n== Open: command to list shown and Quick View filled (best of %d runs)\n",
                    opt_.repeats);
        auto core = std::make_unique<SpellCollection>();
        double coreReadOnly = std::numeric_limits<double>::infinity();
        const std::vector<double> t = bestInTurns(
            opt_.repeats,
            {{[this] { *g_override = commandToListShown([this] { window_->BOpenConvClick(); }); },
              [this] { openWindow(); }, [this] { checkOpened("open"); }},
             {[&core, &coreReadOnly, this] {
                  const Clock::time_point start = Clock::now();
                  BookList books = InitialBookList();
                  const ReadReport r = ReadDataFile(*core, books, base_);
                  check(r.status.ok() && r.added == opt_.spells,
                        "ReadDataFile: " + r.status.message);
                  coreReadOnly = std::min(coreReadOnly, millisecondsSince(start));
                  KindSet kinds;
                  kinds.set();
                  coreFilterRun(*core, everything(), kinds);
              },
              [&core] { core = std::make_unique<SpellCollection>(); },
              {}}});
        addRatio("Open / core ReadDataFile + filter run", opt_.spells, t[0], t[1], 2.0, judged_);
        addLimit("Open, command to list shown", opt_.spells, t[0], std::nullopt, 300, judged_);
        addInfo("  core ReadDataFile alone", opt_.spells, coreReadOnly);
        core_ = std::move(core);
    }

    SpellCollection& coreCopy() {
        if (!core_) {
            core_ = std::make_unique<SpellCollection>();
            BookList books = InitialBookList();
            check(ReadDataFile(*core_, books, base_).status.ok(), "ReadDataFile failed");
        }
        return *core_;
    }

    void benchFilter() {
        std::printf("\n== Filter run by name: BEXE to list shown (best of %d runs)\n",
                    opt_.repeats);
        TListPanel* panel = window_->listPanel();
        check(panel->SortType->currentIndex() == static_cast<int>(SortOrder::Name),
              "the sort box is not on name order");
        SpellCollection& core = coreCopy();
        const FilterSet& filter = window_->session()->filterSet();
        const KindSet& kinds = window_->session()->kindSet();
        const std::vector<double> t = bestInTurns(
            opt_.repeats,
            {{[this] { *g_override = commandToListShown([this] { window_->BEXEClick(); }); },
              {},
              [this] { checkOpened("filter run"); }},
             {[&] { coreFilterRun(core, filter, kinds, coreCollator_); }, {}, {}},
             {[&] { coreFilterRun(core, filter, kinds); }, {}, {}}});
        // The kept collator must order as a new one does with SortRows.
        std::vector<ListRow> kept = BuildRows(core, filter, kinds, SortOrder::Name);
        std::vector<ListRow> fresh = kept;
        coreCollator_.Sort(kept);
        ListCollator collator;
        SortRows(fresh, collator);
        check(std::equal(kept.begin(), kept.end(), fresh.begin(), fresh.end(),
                         [](const ListRow& a, const ListRow& b) { return a.Index == b.Index; }),
              "a kept collator orders the list otherwise than a new one");
        addLimit("Filter run by name / core filter run", opt_.spells, t[0], t[1], 50, judged_);
        addLimit("  core: filter + keys + sort, keys kept", opt_.spells, t[1], std::nullopt, 5,
                 judged_);
        addInfo("  core: the same, every key made anew", opt_.spells, t[2]);
    }

    void benchSearch() {
        std::printf("\n== Search over every field for \"%s\": dialog OK to list shown (best of %d "
                    "runs)\n",
                    kNeedle, opt_.repeats);
        SpellCollection& core = coreCopy();
        int coreHits = -1;
        auto coreSearch = [&core, &coreHits, this] {
            SearchOptions all;
            coreHits = SearchSpells(kNeedle, core, static_cast<std::uint16_t>(core.Count()), all);
            FilterSet filter = everything();
            filter.reset(EntireList);
            filter.set(CurrentList);
            KindSet kinds;
            kinds.set();
            coreFilterRun(core, filter, kinds, coreCollator_);
        };
        auto guiSearch = [this] {
            std::optional<Clock::time_point> okPressed;
            whenShown(window_.get(), "FSearch", [&okPressed](QDialog* d) {
                child<QComboBox>(d, "SearchStr")->setEditText(QString::fromLatin1(kNeedle));
                for (const char* box : {"Entire", "CN", "CSS", "CS", "CSC", "CD"})
                    child<QCheckBox>(d, box)->setChecked(true);
                okPressed = Clock::now();
                child<QAbstractButton>(d, "BitBtn1")->click();
            });
            *g_override = commandToListShown([this] { window_->BSearchClick(); }, &okPressed);
            check(okPressed.has_value(), "the search dialog did not come up");
        };
        const std::vector<double> t =
            bestInTurns(opt_.repeats, {{guiSearch, {}, {}}, {coreSearch, {}, {}}});
        checkNoPrompt("search");
        const int rows = window_->listModel()->rowCount();
        check(coreHits > 0 && rows == coreHits, "the search listed " + std::to_string(rows) +
                                                    " spells, the core found " +
                                                    std::to_string(coreHits));
        std::printf("   (\"%s\" is in %d of %d spells; the list shows them all)\n", kNeedle, rows,
                    opt_.spells);
        addLimit("Search, OK to list shown / core search + run", opt_.spells, t[0], t[1], 150,
                 judged_);
        // Back to the whole list for the output measurements.
        window_->listPanel()->FullList->setChecked(true);
        commandToListShown([this] { window_->BEXEClick(); });
        checkOpened("after the search");
    }

    TForm2* printDialog() const { return window_->printDialog(); }

    // Save as text from the dialog: Current List, with descriptions.
    void benchSave() {
        std::printf("\n== Save the list as text with descriptions: Current List to file written "
                    "(best of %d runs)\n",
                    opt_.repeats);
        const std::string guiOut = (opt_.folder / "gui-list.ind").string();
        const std::string coreOut = (opt_.folder / "core-list.ind").string();
        const std::string plainOut = (opt_.folder / "plain-list.ind").string();
        const int extraLines = child<QSpinBox>(printDialog(), "ExtraLines")->value();
        const std::vector<int> rows = window_->listModel()->rowSlots();
        const SpellCollection& spells = window_->session()->spells();
        auto saveSpellLoop = [&] {
            std::string bytes;
            for (const int slot : rows)
                bytes += SaveSpell(spells[slot], extraLines);
            return bytes;
        };
        auto gui = [&] {
            std::optional<Clock::time_point> pressed;
            whenShown(window_.get(), "Form2", [&](QDialog* d) {
                child<QCheckBox>(d, "Desc")->setChecked(true);
                child<QCheckBox>(d, "ToAppend")->setChecked(false);
                child<QLineEdit>(d, "Spellindex")->setText(QString::fromStdString(guiOut));
                pressed = Clock::now();
                child<QAbstractButton>(d, "BMin")->click();
            });
            window_->BSaveTextClick();
            check(pressed.has_value(), "the save dialog did not come up");
            *g_override = millisecondsSince(*pressed);
        };
        auto core = [&] {
            const Status s = WriteTextOutput(coreOut, saveSpellLoop(), false);
            check(s.ok(), "WriteTextOutput: " + s.message);
        };
        auto plain = [&] { bufferedWrite(plainOut, saveSpellLoop()); };
        const std::vector<double> t =
            bestInTurns(opt_.repeats, {{gui, {}, {}}, {core, {}, {}}, {plain, {}, {}}});
        const double formatting = bestInTurns(
            opt_.repeats, {{[&] { g_sink = g_sink + saveSpellLoop().size(); }, {}, {}}})[0];
        checkNoPrompt("save as text");
        const std::string written = rawRead(guiOut);
        check(written == rawRead(coreOut), "the window wrote other bytes than the SaveSpell loop");
        std::printf("   (%zu bytes, %d spells, %d extra lines between spells)\n", written.size(),
                    static_cast<int>(rows.size()), extraLines);
        addRatio("Save text / SaveSpell loop + WriteTextOutput", opt_.spells, t[0], t[1], 2.0,
                 judged_);
        addInfo("Save text / SaveSpell loop + fwrite, no fsync", opt_.spells, t[0], t[2]);
        addInfo("  of which the SaveSpell loop", opt_.spells, formatting);
    }

    // Print to PDF from the dialog: Current List, with descriptions.
    void benchPrint() {
        // The dialog may offer a choice of target; without one it prints on
        // the default printer when there is one, and that is not for a benchmark.
        auto* targets = printDialog()->findChild<QComboBox*>(QStringLiteral("PrintTarget"));
        if (!targets && !QPrinterInfo::defaultPrinter().isNull()) {
            std::printf("\n== Print: skipped, a default printer is set up (the dialog prints to "
                        "it, not to PDF)\n");
            return;
        }
        std::printf("\n== Print the list with descriptions to PDF: Current List to file written "
                    "(best of %d runs)\n",
                    opt_.printRepeats);
        const QString pdf = QString::fromStdString((opt_.folder / "list.pdf").string());
        int pages = 0;
        auto gui = [&] {
            std::optional<Clock::time_point> pressed;
            PromptScript::FileName(pdf);
            whenShown(window_.get(), "Form2", [&](QDialog* d) {
                child<QCheckBox>(d, "Desc")->setChecked(true);
                if (targets) {
                    const int pdfRow = targets->findText(QStringLiteral("PDF"));
                    check(pdfRow >= 0, "the print dialog offers no PDF target");
                    targets->setCurrentIndex(pdfRow);
                }
                if (auto* preview = d->findChild<QCheckBox*>(QStringLiteral("PreviewFirst")))
                    preview->setChecked(false);
                pressed = Clock::now();
                child<QAbstractButton>(d, "BMin")->click();
            });
            window_->BPrintClick();
            check(pressed.has_value(), "the print dialog did not come up");
            *g_override = millisecondsSince(*pressed);
        };
        auto after = [&] {
            checkNoPrompt("print");
            const PrintStream& stream = printDialog()->printStream();
            check(stream.pdfFileName() == pdf, "the print job did not go to the PDF file");
            pages = stream.pageCount();
            check(pages > 0 && fs::file_size(pdf.toStdString()) > 0, "no pages were printed");
        };
        const double ms = bestInTurns(opt_.printRepeats, {{gui, {}, after}})[0];
        std::printf("   (%d pages, PDF %ju bytes, %zu pieces of text drawn)\n", pages,
                    static_cast<std::uintmax_t>(fs::file_size(pdf.toStdString())),
                    printDialog()->printStream().pieces().size());
        addInfo("Print to PDF, Current List with descriptions", opt_.spells, ms);
        addInfo("  pages per second", opt_.spells, pages / (ms / 1000.0), std::nullopt, "p/s");
    }

    // A record far beyond any real spell: a 64 MiB name, school and source of
    // 4 MiB each, 1 MiB of description in short lines. The time until the
    // Quick View shows it, and until the editor opened on it is up.
    void benchExtreme() {
        std::printf("\n== Extreme record: 64 MiB name, 4 MiB school and source (best of %d)\n",
                    opt_.repeats);
        SpellRecord huge(SpellKind::Wizard);
        huge->Name = std::string(64u << 20, 'N');
        huge->School = std::string(4u << 20, 'S');
        huge->Source = std::string(4u << 20, 'O');
        while (huge->Description.size() < (1u << 20))
            huge->Description += "A line of a very long description.\r\n";
        double show = 1e9, edit = 1e9;
        for (int i = 0; i < opt_.repeats; ++i) {
            long long t0 = monotonicNs();
            window_->quickView()->ShowSpell(huge);
            QCoreApplication::processEvents();
            show = std::min(show, msSinceNs(t0));
            TFEdit editor(window_.get());
            double up = 0;
            QTimer::singleShot(0, &editor, [&] {
                up = msSinceNs(t0);
                editor.reject();
            });
            t0 = monotonicNs();
            check(!editor.EditSpell(&huge), "the editor stored the extreme record");
            edit = std::min(edit, up);
        }
        addLimit("Quick View shows the extreme record", 1, show, std::nullopt, 100, true);
        addLimit("Editor is up on the extreme record", 1, edit, std::nullopt, 100, true);
    }

    // The processor time this thread has used, in ms: unlike the clock, it
    // leaves out the time other programs had the processor.
    static double threadCpuMs() {
        timespec ts{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
    }

    // One key into the quick filter field, timed from the key to the list
    // painted with the rows it leaves; `cpuMs` receives the processor time.
    double quickKey(QLineEdit* field, QChar c, double& cpuMs) {
        const bool erase = c == QChar(u'\b');
        const auto key = erase ? Qt::Key_Backspace : static_cast<Qt::Key>(c.toUpper().unicode());
        const QString text = erase ? QString() : QString(c);
        const double cpuStart = threadCpuMs();
        const double ms = commandToListShown([&] {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
            QCoreApplication::sendEvent(field, &press);
            QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
            QCoreApplication::sendEvent(field, &release);
        });
        cpuMs = threadCpuMs() - cpuStart;
        return ms;
    }

    // The rows of the whole list whose name, or with `descriptions` also the
    // description, holds the planted word in any case.
    int plantedRows(bool descriptions, bool sources) const {
        const SpellCollection& spells = window_->session()->spells();
        auto holds = [](std::string text) {
            for (char& c : text)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            return text.find(kNeedle) != std::string::npos;
        };
        int found = 0;
        for (const int slot : window_->session()->runRows()) {
            const TBasic& b = spells[slot].basic();
            found +=
                sources ? holds(b.Source) : holds(b.Name) || (descriptions && holds(b.Description));
        }
        return found;
    }

    // Typing into the quick filter: the planted word by name, in the
    // descriptions ("d:") and in the sources ("src:"), each typed and erased
    // again key by key, on the whole list. Each round starts after a filter
    // run, which drops what the field found before.
    void benchQuickFilter() {
        std::printf("\n== Quick filter: key typed to list painted (%d rounds of typing)\n",
                    opt_.repeats);
        QLineEdit* field = child<QLineEdit>(window_.get(), "QuickFilter");
        struct Scope {
            const char* prefix;
            bool descriptions, sources;
            const char* name;
            std::vector<double> times;
            std::vector<double> cpu;
        };
        std::vector<Scope> scopes = {{"", false, false, "names", {}, {}},
                                     {"d:", true, false, "names and descriptions (d:)", {}, {}},
                                     {"src:", false, true, "sources (src:)", {}, {}}};
        double openMs = 0;
        for (int round = 0; round < opt_.repeats; ++round) {
            if (round > 0)
                commandToListShown([this] { window_->BEXEClick(); });
            const Clock::time_point opening = Clock::now();
            window_->listPanel()->BQuick->click();
            openMs = std::max(openMs, millisecondsSince(opening));
            check(field->isVisible(), "the quick filter field did not open");
            for (Scope& scope : scopes) {
                const std::string typed = scope.prefix + std::string(kNeedle);
                for (const char c : typed) {
                    double cpu = 0;
                    scope.times.push_back(quickKey(field, QChar::fromLatin1(c), cpu));
                    scope.cpu.push_back(cpu);
                }
                const int rows = window_->listModel()->rowCount();
                const int want = plantedRows(scope.descriptions, scope.sources);
                check(rows == want, "the quick filter \"" + typed + "\" listed " +
                                        std::to_string(rows) + " spells, not " +
                                        std::to_string(want));
                for (std::size_t i = 0; i < typed.size(); ++i) {
                    double cpu = 0;
                    scope.times.push_back(quickKey(field, QChar(u'\b'), cpu));
                    scope.cpu.push_back(cpu);
                }
                check(window_->listModel()->rowCount() == opt_.spells,
                      "emptying the quick filter did not list every spell");
            }
        }
        checkNoPrompt("quick filter");
        for (Scope& scope : scopes) {
            std::vector<double>& t = scope.times;
            std::sort(t.begin(), t.end());
            std::printf("   (%s: %zu keys, \"%s%s\" typed and erased)\n", scope.name, t.size(),
                        scope.prefix, kNeedle);
            addLimit(std::string("Quick filter, worst key: ") + scope.name, opt_.spells, t.back(),
                     std::nullopt, 16, judged_);
            addInfo("  median key", opt_.spells, t[t.size() / 2]);
            addInfo("  most processor time of one key", opt_.spells,
                    *std::max_element(scope.cpu.begin(), scope.cpu.end()));
        }
        addInfo("Quick filter, opening the field (worst)", opt_.spells, openMs);
    }

    const Options& opt_;
    std::string base_;
    std::string dat_;
    QString settings_;
    bool judged_;
    std::unique_ptr<TMain> window_;
    std::unique_ptr<PaintWatch> listWatch_;
    std::unique_ptr<SpellCollection> core_;
    ListCollator coreCollator_;  // kept across the core's filter runs, as the session keeps one
    std::vector<int> nameOrder_; // the slots of the whole list by name, as the core orders them
};

// The offscreen platform warns of every window feature it lacks (raise,
// size hints) and Qt of a missing runtime folder; the rest goes to stderr.
void filterMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtWarningMsg &&
        (message.startsWith(QLatin1String("This plugin does not support")) ||
         message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR"))))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

void usage() {
    std::printf(
        "usage: quarvine_gui_bench [--dir FOLDER] [--keep] [--repeats N] [--print-repeats N]\n"
        "                          [--startups N] [--spells N] [--only GROUP]\n"
        "  --dir FOLDER       where the generated files go (default: the system's\n"
        "                     temporary folder); a fresh subfolder is made there\n"
        "  --keep             leave the generated files in place\n"
        "  --repeats N        runs per window measurement (default 7)\n"
        "  --print-repeats N  runs of the PDF print (default 2)\n"
        "  --startups N       start-ups of each kind (default 7)\n"
        "  --spells N         spells in the set (1 to 15000, default 15000)\n"
        "  --only GROUP       one group: startup, open, filter, search, save, print,\n"
        "                     extreme or quickfilter\n");
}

} // namespace

int main(int argc, char** argv) {
    setProgramName("quarvine_gui_bench");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(filterMessages);
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (const StartKind kind : {StartKind::Quarvine, StartKind::Bare, StartKind::BareWithMenu}) {
        if (args.size() == 3 && args[0] == startOption(kind))
            return startupChild(kind, std::atoll(args[1].c_str()), args[2].c_str());
    }

    Options opt;
    opt.self = fs::read_symlink("/proc/self/exe").string();
    fs::path parent = fs::temp_directory_path();
    for (std::size_t i = 0; i < args.size(); ++i) {
        auto number = [&](int low, int high) {
            const int n = i + 1 < args.size() ? std::atoi(args[++i].c_str()) : 0;
            if (n < low || n > high) {
                usage();
                std::exit(2);
            }
            return n;
        };
        if (args[i] == "--dir" && i + 1 < args.size()) {
            parent = args[++i];
        } else if (args[i] == "--keep") {
            opt.keep = true;
        } else if (args[i] == "--repeats") {
            opt.repeats = number(1, 1000);
        } else if (args[i] == "--print-repeats") {
            opt.printRepeats = number(1, 1000);
        } else if (args[i] == "--startups") {
            opt.startups = number(1, 1000);
        } else if (args[i] == "--spells") {
            opt.spells = number(1, SpellCollection::Capacity);
        } else if (args[i] == "--only" && i + 1 < args.size()) {
            opt.only = args[++i];
        } else {
            usage();
            return args[i] == "--help" || args[i] == "-h" ? 0 : 2;
        }
    }
    std::string pattern = (parent / "quarvine-gui-bench-XXXXXX").string();
    check(::mkdtemp(pattern.data()) != nullptr, "cannot make a folder in " + parent.string());
    opt.folder = pattern;
    if (!opt.keep)
        g_folderToRemove = opt.folder;

    std::printf("Quarvine window benchmark (QT_QPA_PLATFORM=%s): generated files in %s\n",
                qgetenv("QT_QPA_PLATFORM").constData(), opt.folder.c_str());
    std::printf("Times in ms are the best of the runs; the window and its baseline run in\n"
                "turns, and every file is read once before timing. Ratio = ours / baseline.\n");
    std::printf("\n%-46s %6s %10s %10s %-3s %7s  %-12s %s\n", "measurement", "spells", "ours",
                "base", "", "ratio", "target", "result");

    // Start-up first, while this process has no QApplication of its own.
    if (opt.runs("startup"))
        benchStartup(opt.self, opt.folder, opt.startups);

    if (opt.only != "startup") {
        // As in the core benchmark: freed memory stays in the process, so that
        // neither side pays for fresh pages after the first run.
        mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
        mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());

        int qtArgc = 1;
        char* qtArgv[] = {argv[0], nullptr};
        QApplication app(qtArgc, qtArgv);
        UseProgramFonts();
        PromptScript::Start();

        const std::string base = (opt.folder / "set").string();
        {
            bench::GeneratedSet set;
            bench::GenerateSpells(opt.spells, kSeed + static_cast<std::uint64_t>(opt.spells), set);
            check(set.spells.Count() == opt.spells, "the generator made too few spells");
            const Status written = WriteDataFile(set.spells, set.books, base);
            check(written.ok(), "WriteDataFile: " + written.message);
        }
        const DataSetPaths paths = DataSetFiles(base);
        for (const std::string* p : {&paths.dat, &paths.sbk, &paths.sbn})
            g_sink = g_sink + rawRead(*p).size();
        std::printf("\n   (set of %d spells: .Dat %ju bytes)\n", opt.spells,
                    static_cast<std::uintmax_t>(fs::file_size(paths.dat)));

        WindowBench bench(opt, base);
        bench.run();
        check(PromptScript::Unused() == 0, "scripted answers were left unused");
        PromptScript::Stop();
    }

    printSummary();
    if (opt.keep)
        std::printf("Files kept in %s\n", opt.folder.c_str());
    removeFolder();
    return 0;
}
