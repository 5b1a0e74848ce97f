// A long random session on the real main window. A seeded driver picks
// commands by weight (open, open in add mode, filter runs with random
// controls, marking, the editor, delete, books, search, save and reopen),
// answers exactly the prompts each command will show, and after every step
// checks the window's bookkeeping:
//   - Count records in slots 0..Count-1, none past the capacity;
//   - MarkedCount equals the marked records;
//   - Shown is set exactly on the listed spells, ShownCount equals the rows;
//   - every row's slot is below Count and appears once;
//   - the counters show those numbers;
//   - a save followed by a reopen gives back the same records, books and counts.
//
// QUARVINE_SESSION_SEED and QUARVINE_SESSION_STEPS override the seed and the
// number of steps; the defaults make a short run for CI. docs/RELIABILITY.md
// gives the command of the long run.
#include "MainWindowFixture.h"

#include "Bookkeeping.h"
#include "controls/GuiText.h"
#include "controls/THistoryComboBox.h"
#include "dialogs/edit/TFEdit.h"
#include "dialogs/search/TFSearch.h"
#include "spelldata/BookList.h"
#include "spelldata/DataFile.h"
#include "spelldata/Search.h"
#include "spelldata/TextExport.h"
#include "spelldata/TextImport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <sstream>

using namespace spelldata;

namespace {

constexpr unsigned kDefaultSeed = 20240611;
constexpr unsigned kDefaultSteps = 2000;
// Open in add mode only below this many spells, so that the list stays small
// enough for thousands of steps.
constexpr int kAddModeLimit = 300;

const QString kNoSpells =
    QStringLiteral("No Spells were found matching the search/sort type. Restoring Full List.");
const QString kNoLevel = QStringLiteral("At least one level must be selected!");
const QString kNoKind = QStringLiteral("At least one spell type must be selected!");

unsigned envNumber(const char* name, unsigned fallback) {
    const QByteArray value = qgetenv(name);
    if (value.isEmpty())
        return fallback;
    bool ok = false;
    const unsigned number = value.toUInt(&ok);
    return ok ? number : fallback;
}

std::string join(const QStringList& list) {
    return "[" + list.join(QStringLiteral(" | ")).toStdString() + "]";
}

// The filter controls as a run reads them.
struct Controls {
    std::array<bool, 14> levels{};
    bool showOnly = false;
    std::array<bool, 3> kinds{};
    bool fullList = true;
    bool books = false;
    bool marked = false;
    int book = -1; // table position of the book box's book, -1 when none
};

// What one filter run over `spells` shows: its messages and, per slot, whether
// the spell is listed. Follows the rules of the filter strip: levels, kinds,
// the mark filter, the current list or the entire one, the book step; when
// nothing passes, the controls are reset and everything (of the admitted
// levels) is listed.
struct RunForecast {
    QStringList messages;
    std::vector<bool> listed;
};

RunForecast forecastRun(SpellCollection spells, Controls c) {
    RunForecast f;
    if (std::none_of(c.levels.begin(), c.levels.end(), [](bool b) { return b; })) {
        f.messages << kNoLevel;
        c.levels[1] = true;
    }
    if (std::none_of(c.kinds.begin(), c.kinds.end(), [](bool b) { return b; })) {
        f.messages << kNoKind;
        c.kinds[0] = true;
    }
    if (c.books) {
        for (SpellRecord& r : spells)
            r->Shown = (c.fullList || r->Shown) && r->BookSet.test(c.book) ? 1 : 0;
    }
    const auto pass = [&spells, &c, &f] {
        const bool entire = c.fullList && !c.books;
        f.listed.assign(static_cast<std::size_t>(spells.Count()), false);
        int listed = 0;
        for (int slot = 0; slot < spells.Count(); ++slot) {
            const TBasic& b = spells[slot].basic();
            const bool passes = b.Level < 14 && c.levels[b.Level] && b.Kind < 3 &&
                                c.kinds[b.Kind] && (!c.marked || b.Marked) && (entire || b.Shown);
            f.listed[static_cast<std::size_t>(slot)] = passes;
            listed += passes ? 1 : 0;
        }
        return listed;
    };
    if (pass() == 0) {
        f.messages << kNoSpells;
        // The reset checks every level button; in one-level mode the buttons
        // are exclusive and the last one checked, Info, is the one left.
        c.levels.fill(!c.showOnly);
        c.levels[13] = true;
        c.kinds.fill(true);
        c.fullList = true;
        c.books = false;
        c.marked = false;
        pass();
    }
    return f;
}

// A search over `spells` as the search dialog runs it: the chosen fields of
// each spell, joined, contain the string (a-z compared as A-Z). Outside the
// entire list only listed spells are searched; the others stay unlisted.
void forecastSearch(SpellCollection& spells, const std::string& needle,
                    const SearchOptions& options) {
    const auto upper = [](std::string s) {
        for (char& ch : s) {
            if (ch >= 'a' && ch <= 'z')
                ch = static_cast<char>(ch - 'a' + 'A');
        }
        return s;
    };
    const std::string wanted = upper(needle);
    for (SpellRecord& r : spells) {
        if (!options.entireList && !r->Shown)
            continue;
        std::string text;
        if (options.name)
            text += r->Name;
        if (options.description)
            text += r->Description;
        if (options.source)
            text += r->Source;
        if (options.school)
            text += r->School;
        if (options.sphere && r.kind() == SpellKind::Priest)
            text += r.pri().Sphere;
        text = upper(text);
        r->Shown = !text.empty() && !wanted.empty() && text.find(wanted) != std::string::npos;
    }
}

// What a data file set holds: records without their mark and list flags,
// which are not stored, and the book table.
struct StoredSet {
    std::vector<SpellRecord> records;
    BookList books;
};

SpellRecord stored(SpellRecord r) {
    r->Marked = 0;
    r->Shown = 0;
    return r;
}

StoredSet storedState(const SpellCollection& spells, const BookList& books) {
    StoredSet set;
    for (const SpellRecord& r : spells)
        set.records.push_back(stored(r));
    set.books = books;
    return set;
}

// The editor's kind buttons, by their tag.
const char* const kKindButtons[] = {"BWiz", "BPri", "BPsi", "BInfo"};

bool levelFitsKind(int tag, int level) {
    switch (tag) {
    case 0:
        return level <= 10 || level == 13;
    case 1:
        return (level >= 1 && level <= 10) || level == 13;
    case 2:
        return level >= 11;
    default:
        return level == 13;
    }
}

QString levelRefusal(int tag) {
    switch (tag) {
    case 0:
        return QStringLiteral(
            "A Wizard spell must have a level, or be INFO, but cannot be a Devotion, Science");
    case 1:
        return QStringLiteral("A Priest spell must have a level, or be INFO, but cannot be a "
                              "Devotion, Science or Cantrip");
    default:
        return QStringLiteral("A Psionic power cannot have levels, and must be either a "
                              "Devotion or Science, or INFO");
    }
}

SpellKind storedKind(int tag) {
    return tag == 0 ? SpellKind::Wizard : tag == 1 ? SpellKind::Priest : SpellKind::Psionic;
}

// What the driver will do in the editor.
struct EditPlan {
    int tag = 0;
    int level = 0;
    int refusedLevel = -1; // tried first when not -1
    bool emptyNameFirst = false;
    QString name;
    QString source;
    QString description;
    bool cancel = false;
};

class RandomSession : public MainWindowFixture {
protected:
    using Step = void (RandomSession::*)();
    struct Command {
        const char* name;
        Step run;
        int weight;
    };

    void SetUp() override {
        MainWindowFixture::SetUp();
        seed = envNumber("QUARVINE_SESSION_SEED", kDefaultSeed);
        steps = envNumber("QUARVINE_SESSION_STEPS", kDefaultSteps);
        rng.seed(seed);
        workPath = copySample("session");
        extraPath = writeExtraSet();
        brokenPath = file("broken.Dat");
        // The count promises three spells; the second one ends inside its fields.
        testsupport::WriteBytes(dir.file("broken.Dat"),
                                "3\r\nA Whole Spell\r\n0\r\nW\r\n2\r\n\r\n\r\n\r\n\r\n"
                                "\r\n\r\n\r\n\r\n" +
                                    std::string(MaxBooks, '0') +
                                    "\r\n#9#\r\nText.\r\n#9#\r\nCut Short\r\n1\r\n");
        lastSaved = readSet(workPath);
        // A dialog that opens when no step expects it would wait for ever:
        // close it and count it as a fault.
        watchdog.setInterval(100);
        QObject::connect(&watchdog, &QTimer::timeout, window.get(), [this] {
            for (QDialog* d : window->findChildren<QDialog*>()) {
                if (d->isVisible() && !dialogExpected &&
                    (qobject_cast<TFEdit*>(d) || qobject_cast<TFSearch*>(d))) {
                    fault("a dialog opened unasked: " + d->objectName().toStdString());
                    d->reject();
                }
            }
        });
        watchdog.start();
    }

    void TearDown() override { watchdog.stop(); }

    // ---- randomness ----

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng); }

    QString randomName() {
        static const char* const first[] = {"Ar",  "Bel", "Cor", "Dun", "El",  "Fen", "Gar",
                                            "Hal", "Ir",  "Jor", "Kel", "Lun", "Mor", "Nim"};
        static const char* const second[] = {"ath", "ion", "eth", "ora", "und", "ix", "ane"};
        static const char* const third[] = {"Veil",  "Lattice", "Ward",  "Psalm",  "Gate",
                                            "Spark", "Step",    "Chant", "Mirror", "Thread"};
        QString name = QString::fromLatin1(first[pick(14)]) + QString::fromLatin1(second[pick(7)]) +
                       QLatin1Char(' ') + QString::fromLatin1(third[pick(10)]);
        if (chance(0.1))
            name += QString::fromUtf8(" \u00e9clat"); // stored as a Windows-1252 byte
        if (chance(0.3))
            name += QStringLiteral(" %1").arg(pick(100));
        return name;
    }

    QString randomText(int words) {
        static const char* const pool[] = {"flame",  "river", "stone", "lattice", "mirror",
                                           "caster", "round", "yard",  "ember",   "ward"};
        QStringList out;
        for (int i = 0; i < words; ++i)
            out << QString::fromLatin1(pool[pick(10)]);
        return out.join(QLatin1Char(' '));
    }

    // ---- files ----

    // A second set to open in add mode: every kind, several levels, books of
    // its own.
    QString writeExtraSet() {
        std::mt19937 local(7);
        SpellCollection extra;
        for (int i = 0; i < 24; ++i) {
            const std::string name = "Extra Spell " + std::to_string(i);
            SpellRecord r = i % 3 == 0   ? testsupport::FullWizard(name)
                            : i % 3 == 1 ? testsupport::FullPriest(name)
                                         : testsupport::FullPsionic(name);
            r->Level = static_cast<SpellLevel>(i % 3 == 2 ? 11 + local() % 3 : 1 + local() % 10);
            r->BookSet.set(static_cast<int>(1 + local() % 3), true);
            extra.Append(std::move(r));
        }
        BookList books = InitialBookList();
        books[1] = "Extra Grimoire";
        books[2] = "Extra Psalter";
        books[3] = "Extra Notes";
        const std::string base = dir.file("extra");
        EXPECT_TRUE(WriteDataFile(extra, books, base).ok());
        return file("extra.Dat");
    }

    StoredSet readSet(const QString& path) {
        SpellCollection spells;
        BookList books = InitialBookList();
        const ReadReport report = ReadDataFile(spells, books, BasePath(path.toStdString()));
        EXPECT_TRUE(report.status.ok()) << path.toStdString();
        return storedState(spells, books);
    }

    // ---- reporting ----

    std::string where() const {
        std::ostringstream out;
        out << "seed " << seed << ", step " << step << " (" << command << "): ";
        return out.str();
    }

    void fault(const std::string& what) {
        ADD_FAILURE() << where() << what;
        failed = true;
    }

    void check(bool ok, const std::string& what) {
        if (!ok)
            fault(what);
    }

    // ---- prompts ----

    void expectMessage(const QString& text, QMessageBox::StandardButton answer) {
        PromptScript::Answer(answer);
        expected << text;
    }

    // Queues the answers of a filter run over `spells` with the controls `c`,
    // and keeps what it will list for the check after the step.
    void expectRun(const SpellCollection& spells, const Controls& c) {
        RunForecast f = forecastRun(spells, c);
        for (const QString& m : f.messages)
            expectMessage(m, QMessageBox::Ok);
        forecast = std::move(f.listed);
    }

    // ---- the window ----

    TListPanel* panel() const { return window->listPanel(); }
    SpellListView* list() const { return panel()->SList; }
    SpellListModel* model() const { return window->listModel(); }
    SpellCollection& spells() const { return window->session()->rawSpells(); }
    int rows() const { return model()->rowCount(); }
    int chosenBook() const {
        return FindBook(window->session()->rawBooks(), ToBytes(panel()->CBooks->currentText()));
    }

    Controls readControls() const {
        Controls c;
        for (int level = 0; level < 14; ++level)
            c.levels[static_cast<std::size_t>(level)] = panel()->levelButton(level)->isChecked();
        c.showOnly = panel()->BShowOnly->isChecked();
        c.kinds = {panel()->BWiz->isChecked(), panel()->BPri->isChecked(),
                   panel()->BPsi->isChecked()};
        c.fullList = panel()->FullList->isChecked();
        c.books = panel()->BBooks->isChecked();
        c.marked = panel()->BMark->isChecked();
        c.book = chosenBook();
        return c;
    }

    // The controls as a load leaves them before its filter run.
    Controls controlsAfterLoad() const {
        Controls c = readControls();
        c.books = false;
        c.marked = false;
        c.levels.fill(!c.showOnly);
        c.levels[13] = true;
        c.kinds.fill(true);
        return c;
    }

    QPoint rowPoint(int row, int x) const {
        list()->scrollTo(model()->index(row));
        return {x, list()->visualRect(model()->index(row)).center().y()};
    }

    void pressRow(int row, int x, Qt::MouseButton button) {
        const QPoint at = rowPoint(row, x);
        QTest::mousePress(list()->viewport(), button, {}, at);
        QTest::mouseRelease(list()->viewport(), button, {}, at);
    }

    void doubleClickRow(int row, int x) {
        const QPoint at = rowPoint(row, x);
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, at);
    }

    void chooseFile(const QString& path) {
        PromptScript::FileName(path);
        control("BitBtn11")->click();
    }

    void setAddMode(bool on) {
        if (control("BOpenAdd")->isChecked() != on)
            control("BOpenAdd")->click();
        check(window->session()->addMode() == on, "the add-mode button did not set the mode");
    }

    // Runs `actions` on the dialog of type T once a command has opened it;
    // the actions must close it. Returns whether the dialog was seen.
    template <typename T>
    bool withDialog(const std::function<void()>& command, const std::function<void(T&)>& actions) {
        bool seen = false;
        int tries = 0;
        QTimer driver;
        driver.setSingleShot(true);
        driver.setInterval(0);
        QObject::connect(&driver, &QTimer::timeout, window.get(), [&] {
            T* dialog = window->findChild<T*>();
            if (!dialog || !dialog->isVisible()) {
                if (++tries < 1000)
                    driver.start(); // not up yet: an earlier event loop ran the timer
                return;
            }
            seen = true;
            actions(*dialog);
            if (dialog->isVisible()) {
                fault("the driver left the dialog open");
                dialog->reject();
            }
        });
        driver.start();
        dialogExpected = true;
        command();
        dialogExpected = false;
        driver.stop();
        return seen;
    }

    // ---- the checks after every step ----

    void checkInvariants() {
        std::vector<int> rowsOfSlot;
        const std::string wrong = BookkeepingFault(*window, &rowsOfSlot);
        if (!wrong.empty()) {
            fault(wrong);
            return;
        }
        if (forecast) {
            const int count = spells().Count();
            bool same = forecast->size() == static_cast<std::size_t>(count);
            for (int slot = 0; same && slot < count; ++slot)
                same = (*forecast)[static_cast<std::size_t>(slot)] ==
                       (rowsOfSlot[static_cast<std::size_t>(slot)] == 1);
            check(same, "the run listed other spells than its controls admit");
        }
    }

    void checkStored(const StoredSet& want, const char* what) {
        const StoredSet now = storedState(spells(), window->session()->rawBooks());
        if (now.records.size() != want.records.size()) {
            fault(std::string(what) + ": " + std::to_string(now.records.size()) +
                  " records, expected " + std::to_string(want.records.size()));
            return;
        }
        for (std::size_t i = 0; i < want.records.size(); ++i) {
            if (!(now.records[i] == want.records[i])) {
                fault(std::string(what) + ": slot " + std::to_string(i) + " (" +
                      want.records[i]->Name + ") differs");
                return;
            }
        }
        check(now.books == want.books, std::string(what) + ": the book table differs");
        check(spells().MarkedCount() == 0, std::string(what) + ": marks survived a load");
    }

    // ---- commands ----

    void filterRun() {
        TListPanel* p = panel();
        for (int changes = 1 + pick(4); changes > 0; --changes) {
            switch (pick(10)) {
            case 0:
            case 1:
                p->levelButton(pick(14))->click();
                break;
            case 2: {
                QToolButton* kinds[] = {p->BWiz, p->BPri, p->BPsi};
                kinds[pick(3)]->click();
                break;
            }
            case 3:
                p->Ball->click();
                break;
            case 4:
                if (chance(0.3))
                    p->BShowOnly->click();
                break;
            case 5:
                p->FullList->click();
                break;
            case 6:
                p->BMark->click();
                break;
            case 7:
                p->BBooks->click();
                break;
            case 8:
                // Only the box's own orders: a typed text that names none runs
                // no sort pass and leaves the list as the last run built it.
                p->SortType->setCurrentIndex(pick(p->SortType->count()));
                break;
            default:
                if (p->CBooks->count() > 0)
                    p->CBooks->setCurrentIndex(pick(p->CBooks->count()));
                break;
            }
        }
        expectRun(spells(), readControls());
        p->BEXE->click();
    }

    void markByPress() {
        if (rows() == 0)
            return;
        const int row = pick(rows());
        const int slot = model()->slotAt(row);
        const std::uint8_t before = spells()[slot]->Marked;
        if (chance(0.3)) {
            list()->selectRow(row);
            QTest::keyClick(list(), Qt::Key_Space);
        } else {
            pressRow(row, pick(18), Qt::LeftButton);
        }
        check(spells()[slot]->Marked == (before ? 0 : 1), "the press did not toggle the mark");
        check(list()->selectedRow() == row, "the press did not select its row");
    }

    void unmarkAll() {
        panel()->BUnmark->click();
        check(spells().CountMarked() == 0, "marks left after unmarking");
        check(!panel()->BMark->isChecked(), "the mark filter stayed on");
    }

    void reverseMarks() {
        std::vector<std::uint8_t> before;
        for (const SpellRecord& r : spells())
            before.push_back(r->Marked);
        panel()->BRevMark->click();
        for (int slot = 0; slot < spells().Count(); ++slot) {
            if (spells()[slot]->Marked == before[static_cast<std::size_t>(slot)]) {
                fault("slot " + std::to_string(slot) + " kept its mark");
                return;
            }
        }
    }

    EditPlan planEdit() {
        EditPlan plan;
        plan.tag = pick(4);
        std::vector<int> fits, refused;
        for (int level = 0; level < 14; ++level)
            (levelFitsKind(plan.tag, level) ? fits : refused).push_back(level);
        plan.level = fits[static_cast<std::size_t>(pick(static_cast<int>(fits.size())))];
        if (plan.tag != 3 && chance(0.15))
            plan.refusedLevel =
                refused[static_cast<std::size_t>(pick(static_cast<int>(refused.size())))];
        plan.emptyNameFirst = chance(0.05);
        plan.name = randomName();
        plan.source = chance(0.5) ? randomText(2) : QString();
        plan.description = randomText(1 + pick(8));
        if (chance(0.3))
            plan.description += QLatin1Char('\n') + randomText(1 + pick(5));
        plan.cancel = chance(0.15);
        return plan;
    }

    // Fills the editor as planned and closes it; before the final OK, queues
    // the run that follows a stored edit over `after`.
    void fillEditor(TFEdit& d, const EditPlan& plan, SpellCollection after, int slot) {
        const auto button = [&d](const char* name) {
            return d.findChild<QAbstractButton*>(QString::fromLatin1(name));
        };
        auto* name = d.findChild<QLineEdit*>(QStringLiteral("CName"));
        auto* level = d.findChild<QComboBox*>(QStringLiteral("CLevel"));
        button(kKindButtons[plan.tag])->click();
        if (plan.tag != 3)
            level->setCurrentIndex(plan.refusedLevel >= 0 ? plan.refusedLevel : plan.level);
        if (plan.emptyNameFirst) {
            name->clear();
            expectMessage(QStringLiteral("Spell must have a Name to be saved"),
                          QMessageBox::Cancel);
            button("OK")->click();
            check(d.isVisible(), "the editor closed on a spell without a name");
        }
        name->setText(plan.name);
        if (plan.refusedLevel >= 0) {
            expectMessage(levelRefusal(plan.tag), QMessageBox::Cancel);
            button("OK")->click();
            check(d.isVisible(), "the editor closed on a level its kind cannot have");
            level->setCurrentIndex(plan.level);
        }
        d.findChild<QComboBox*>(QStringLiteral("CSource"))->setEditText(plan.source);
        d.findChild<QTextEdit*>(QStringLiteral("EDescription"))->setPlainText(plan.description);
        if (plan.cancel) {
            button("BitBtn1")->click();
            return;
        }
        check(level->currentIndex() == plan.level, "the editor shows another level");
        SpellRecord edited(storedKind(plan.tag));
        edited->Level = static_cast<SpellLevel>(plan.level);
        if (slot < after.Count()) {
            const TBasic& old = after[slot].basic();
            edited->Marked = old.Marked;
            edited->Shown = old.Shown;
            edited->BookSet = old.BookSet;
            after[slot] = edited;
        } else {
            after.Append(edited);
        }
        expectRun(after, readControls());
        button("OK")->click();
    }

    void checkEdited(int slot, const EditPlan& plan) {
        const SpellRecord& r = spells()[slot];
        check(r.kind() == storedKind(plan.tag) && r->Level == plan.level &&
                  r->Name == ToBytes(plan.name) && r->Source == ToBytes(plan.source),
              "slot " + std::to_string(slot) + " does not hold the edited spell");
    }

    void addThroughEditor() {
        const int count = spells().Count();
        const EditPlan plan = planEdit();
        const bool seen =
            withDialog<TFEdit>([this] { panel()->SpeedButton3->click(); },
                               [&](TFEdit& d) { fillEditor(d, plan, spells(), count); });
        check(seen, "the editor did not open");
        if (plan.cancel) {
            check(spells().Count() == count, "a cancelled editor added a spell");
            return;
        }
        if (spells().Count() != count + 1) {
            fault("the editor's OK did not add one spell");
            return;
        }
        checkEdited(count, plan);
        const SpellRecord& added = spells()[count];
        check(!added->Marked && added->BookSet == BookBits(),
              "a new spell came with marks or books");
    }

    void editThroughEditor() {
        if (rows() == 0)
            return;
        if (!panel()->BEdit->isChecked()) {
            if (window->mdiArea()->subWindowList().size() > 1)
                expectMessage(QStringLiteral("Closing all Quick Info windows"), QMessageBox::Ok);
            panel()->BEdit->click();
            check(window->mdiArea()->subWindowList().size() == 1,
                  "edit mode left quick info windows open");
        }
        const int row = pick(rows());
        const int slot = model()->slotAt(row);
        const SpellRecord before = spells()[slot];
        const EditPlan plan = planEdit();
        const bool seen =
            withDialog<TFEdit>([this, row] { doubleClickRow(row, 120); },
                               [&](TFEdit& d) { fillEditor(d, plan, spells(), slot); });
        check(seen, "a double-click in edit mode did not open the editor");
        if (plan.cancel) {
            check(spells()[slot] == before, "a cancelled edit changed the spell");
        } else {
            checkEdited(slot, plan);
            const TBasic& now = spells()[slot].basic();
            check(now.Marked == before->Marked && now.BookSet == before->BookSet &&
                      now.BookCounts == before->BookCounts,
                  "the edit lost the spell's mark or books");
        }
        if (chance(0.5))
            panel()->BEdit->click(); // leave edit mode
    }

    void deleteSpell() {
        const int count = spells().Count();
        if (rows() == 0 || chance(0.05)) {
            list()->selectionModel()->clearSelection();
            expectMessage(QStringLiteral("First select a spell!"), QMessageBox::Cancel);
            panel()->SpeedButton4->click();
            check(spells().Count() == count, "a delete without a selection removed a spell");
            return;
        }
        const int row = pick(rows());
        list()->selectRow(row);
        const int slot = model()->slotAt(row);
        std::vector<std::string> names;
        for (int r = 0; r < rows(); ++r)
            names.push_back(spells()[model()->slotAt(r)]->Name);
        const bool yes = chance(0.85);
        expectMessage(QStringLiteral("Do you wish to delete spell: ") +
                          FromBytes(spells()[slot]->Name) + QStringLiteral(" ?"),
                      yes ? QMessageBox::Ok : QMessageBox::Cancel);
        if (chance(0.3)) {
            QTest::keyClick(list(), Qt::Key_Delete);
        } else {
            panel()->SpeedButton4->click();
        }
        if (!yes) {
            check(spells().Count() == count, "a cancelled delete removed a spell");
            return;
        }
        names.erase(names.begin() + row);
        check(spells().Count() == count - 1, "the delete did not remove one spell");
        bool same = static_cast<int>(names.size()) == rows();
        for (int r = 0; same && r < rows(); ++r) {
            const int s = model()->slotAt(r);
            same = s >= 0 && s < spells().Count() &&
                   spells()[s]->Name == names[static_cast<std::size_t>(r)];
        }
        check(same, "after the delete a row shows another spell");
    }

    void addBook() {
        static const char* const pool[] = {"Travel Book", "Temple Notes", "Winter List",
                                           "Extra Grimoire", "Field Notes"};
        QString name = chance(0.5) ? QString::fromLatin1(pool[pick(5)])
                                   : QStringLiteral("Book %1").arg(pick(400));
        if (chance(0.2))
            name = name.toLower();
        if (chance(0.03))
            name.clear();
        const bool cancel = chance(0.08);
        if (cancel)
            PromptScript::CancelText();
        else
            PromptScript::Text(name);
        const BookList before = window->session()->rawBooks();
        const int existing = FindBook(before, ToBytes(name));
        int free = -1;
        for (int i = 1; i < static_cast<int>(before.size()) && i < MaxBooks && free < 0; ++i) {
            if (before[static_cast<std::size_t>(i)] == FreeBookLine)
                free = i;
        }
        if (!cancel && !name.isEmpty()) {
            if (existing >= 1)
                expectMessage(QStringLiteral("Book/List already exists, Switching to it"),
                              QMessageBox::Ok);
            else if (free < 0)
                expectMessage(QStringLiteral("Cannot create anymore Spell Books/Lists"),
                              QMessageBox::Ok);
        }
        panel()->BAddBook->click();
        if (cancel || name.isEmpty() || (existing < 1 && free < 0)) {
            check(window->session()->rawBooks() == before,
                  "the book table changed without a new book");
            return;
        }
        const int book = existing >= 1 ? existing : free;
        check(chosenBook() == book, "the book box is not on the book");
        if (existing >= 1) {
            check(window->session()->rawBooks() == before, "an existing book changed the table");
            return;
        }
        check(window->session()->rawBooks()[static_cast<std::size_t>(book)] == ToBytes(name),
              "the new book is not in the table");
        for (const SpellRecord& r : spells()) {
            if (r->BookSet.test(book)) {
                fault("a spell is already in the new book");
                return;
            }
        }
    }

    void chooseRandomBook() {
        if (panel()->CBooks->count() > 0 && chance(0.7))
            panel()->CBooks->setCurrentIndex(pick(panel()->CBooks->count()));
    }

    void deleteBook() {
        chooseRandomBook();
        const int book = chosenBook();
        const BookList before = window->session()->rawBooks();
        if (book < 1) {
            expectMessage(QStringLiteral("No Books to delete"), QMessageBox::Cancel);
            panel()->BDelBook->click();
            check(window->session()->rawBooks() == before,
                  "the table changed with no book to delete");
            return;
        }
        const bool yes = chance(0.8);
        expectMessage(QStringLiteral("Do you wish to delete spell book/list: ") +
                          FromBytes(before[static_cast<std::size_t>(book)]) + QStringLiteral(" ?"),
                      yes ? QMessageBox::Ok : QMessageBox::Cancel);
        panel()->BDelBook->click();
        if (!yes) {
            check(window->session()->rawBooks() == before,
                  "a cancelled book delete changed the table");
            return;
        }
        check(window->session()->rawBooks()[static_cast<std::size_t>(book)] == FreeBookLine,
              "the deleted book's position is not free");
        check(!panel()->BBooks->isChecked(), "the book filter stayed on");
        for (const SpellRecord& r : spells()) {
            if (r->BookSet.test(book)) {
                fault("a spell is still in the deleted book");
                return;
            }
        }
    }

    void bookColumnPress() {
        chooseRandomBook();
        if (rows() == 0)
            return;
        const int book = chosenBook();
        const bool usable = book >= 1 && book < MaxBooks;
        const int row = pick(rows());
        const int slot = model()->slotAt(row);
        TBasic expect = spells()[slot].basic();
        if (chance(0.4)) {
            pressRow(row, 18 + pick(19), Qt::LeftButton);
            if (usable) {
                expect.BookSet.set(book, !expect.BookSet.test(book));
                expect.BookCounts[static_cast<std::size_t>(book)] = 0;
            }
        } else {
            const bool left = chance(0.6);
            list()->selectRow(row); // a right press acts on the selected row
            pressRow(row, 37 + pick(19), left ? Qt::LeftButton : Qt::RightButton);
            std::uint8_t& n = expect.BookCounts[static_cast<std::size_t>(usable ? book : 0)];
            if (usable && expect.BookSet.test(book)) {
                if (left && n < 255)
                    ++n;
                else if (!left && n > 0)
                    --n;
            }
        }
        check(spells()[slot].basic() == expect, "the press changed the books wrongly");
    }

    void resetCopies() {
        chooseRandomBook();
        const int book = chosenBook();
        std::vector<std::array<std::uint8_t, MaxBooks>> before;
        for (const SpellRecord& r : spells())
            before.push_back(r->BookCounts);
        panel()->BResetBooks->click();
        for (int slot = 0; slot < spells().Count(); ++slot) {
            auto expect = before[static_cast<std::size_t>(slot)];
            if (book >= 0 && book < MaxBooks)
                expect[static_cast<std::size_t>(book)] = 0;
            if (spells()[slot]->BookCounts != expect) {
                fault("reset changed the copies of slot " + std::to_string(slot) + " wrongly");
                return;
            }
        }
    }

    void search() {
        static const char* const pool[] = {"a",     "er",     "lattice",           "FLAME", "ward",
                                           "Extra", "sample", "no spell has this", "",      "\xe9"};
        const QString text = QString::fromLatin1(pool[pick(10)]);
        const bool entireBefore = panel()->FullList->isChecked();
        const bool seen = withDialog<TFSearch>(
            [this] { panel()->BSearch->click(); },
            [&](TFSearch& d) {
                check(d.findChild<QCheckBox*>(QStringLiteral("Entire"))->isChecked() ==
                          entireBefore,
                      "the search did not take the entire-list switch");
                d.findChild<QComboBox*>(QStringLiteral("SearchStr"))->setEditText(text);
                if (chance(0.3))
                    d.findChild<QCheckBox*>(QStringLiteral("Entire"))->click();
                for (const char* box : {"CN", "CSS", "CS", "CSC", "CD"}) {
                    if (chance(0.1))
                        d.findChild<QCheckBox*>(QString::fromLatin1(box))->click();
                }
                const bool ok = chance(0.9);
                SpellCollection after = spells();
                if (ok && !text.isEmpty())
                    forecastSearch(after, ToBytes(text), d.options());
                Controls c = readControls();
                c.fullList = false; // the run narrows what the search found
                expectRun(after, c);
                d.findChild<QAbstractButton*>(QString::fromLatin1(ok ? "BitBtn1" : "BitBtn2"))
                    ->click();
            });
        check(seen, "the search dialog did not open");
        check(panel()->FullList->isChecked() == entireBefore,
              "the entire-list switch changed after the search");
    }

    void quickInfo() {
        if (rows() == 0)
            return;
        if (panel()->BEdit->isChecked())
            panel()->BEdit->click();
        if (window->mdiArea()->subWindowList().size() >= 5)
            control("BCloseAll")->click();
        const auto before = window->mdiArea()->subWindowList().size();
        doubleClickRow(pick(rows()), 120);
        check(window->mdiArea()->subWindowList().size() == before + 1,
              "the double-click opened no quick info window");
    }

    // Opens the session's file, replacing the collection: it must hold what
    // was saved last.
    void openSaved() {
        chooseFile(workPath);
        setAddMode(false);
        SpellCollection after;
        for (const SpellRecord& r : lastSaved.records)
            after.Append(r);
        if (after.Count() > 0)
            expectRun(after, controlsAfterLoad());
        control("BOpenConv")->click();
        checkStored(lastSaved, "reopened");
    }

    void saveAndReopen() { saveThenReopen(chance(0.9)); }
    void finalSave() { saveThenReopen(true); }

    void saveThenReopen(bool yes) {
        chooseFile(workPath);
        if (control("BSaveConv")->isEnabled()) {
            expectMessage(QStringLiteral("Are you sure you want to save file: ") + workPath,
                          yes ? QMessageBox::Yes : QMessageBox::No);
            const StoredSet now = storedState(spells(), window->session()->rawBooks());
            control("BSaveConv")->click();
            if (yes)
                lastSaved = now;
        }
        openSaved();
    }

    // A malformed set is refused whole, in either mode: the collection, the
    // marks, the list and the books stay as they were.
    void openBroken() {
        SpellCollection scratch;
        BookList scratchBooks = InitialBookList();
        const ReadReport report =
            ReadDataFile(scratch, scratchBooks, BasePath(brokenPath.toStdString()));
        if (report.status.ok()) {
            fault("the broken set reads without an error");
            return;
        }
        const SpellCollection before = spells();
        const BookList booksBefore = window->session()->rawBooks();
        const std::vector<int> rowsBefore = model()->rowSlots();
        chooseFile(brokenPath);
        setAddMode(chance(0.5));
        expectMessage(FromBytes(report.status.message), QMessageBox::Cancel);
        control("BOpenConv")->click();
        bool same =
            spells().Count() == before.Count() && spells().MarkedCount() == before.MarkedCount();
        for (int slot = 0; same && slot < before.Count(); ++slot)
            same = spells()[slot] == before[slot];
        check(same, "a refused set changed the collection");
        check(window->session()->rawBooks() == booksBefore, "a refused set changed the books");
        check(model()->rowSlots() == rowsBefore, "a refused set changed the list");
        setAddMode(false);
    }

    // A spell that cannot be stored (a description line that would end the
    // description in the file) makes the save refuse, and the files on disk
    // stay as they were: reopening gives the last saved set.
    void refusedSave() {
        if (spells().Full())
            return;
        EditPlan plan = planEdit();
        plan.refusedLevel = -1;
        plan.emptyNameFirst = false;
        plan.cancel = false;
        plan.description += QStringLiteral("\n#9# ") + randomText(2);
        const int count = spells().Count();
        withDialog<TFEdit>([this] { panel()->SpeedButton3->click(); },
                           [&](TFEdit& d) { fillEditor(d, plan, spells(), count); });
        if (spells().Count() != count + 1) {
            fault("the editor did not add the spell");
            return;
        }
        const Status writable = CheckWritable(spells());
        check(!writable.ok() && writable.message.find(ToBytes(plan.name)) != std::string::npos,
              "the spell with the end line counts as writable");
        chooseFile(workPath);
        if (control("BSaveConv")->isEnabled()) {
            expectMessage(QStringLiteral("Are you sure you want to save file: ") + workPath,
                          QMessageBox::Yes);
            expectMessage(FromBytes(writable.message), QMessageBox::Ok);
            control("BSaveConv")->click();
        }
        openSaved();
    }

    // Imports the collection as it stands, saved as spell text: the import
    // replaces the collection, keeps the filter controls as they are and asks
    // before saving the converted set beside the text file.
    void importText() {
        if (spells().Count() == 0)
            return; // text without spells is refused; the file tests cover that
        std::string text;
        for (const SpellRecord& r : spells())
            text += SaveSpell(r, 1 + pick(3));
        const std::string path = dir.file("import.txt");
        testsupport::WriteBytes(path, text);
        SpellCollection imported;
        if (!ImportSpellText(path, imported).status.ok()) {
            fault("the session's own text does not import");
            return;
        }
        PromptScript::FileName(QString::fromStdString(path));
        expectRun(imported, readControls());
        const bool yes = chance(0.5);
        expectMessage(QStringLiteral("Are you sure you want to save file: ") + file("import.Dat"),
                      yes ? QMessageBox::Yes : QMessageBox::No);
        control("BOpen")->click();
        check(window->fileBox()->currentText() == file("import.Dat"),
              "the import did not choose the converted set's path");
        bool same = spells().Count() == imported.Count();
        for (int slot = 0; same && slot < imported.Count(); ++slot)
            same = stored(spells()[slot]) == stored(imported[slot]);
        check(same, "the window holds other spells than the text file");
        if (yes)
            check(readSet(file("import.Dat")).records == storedState(spells(), {}).records,
                  "the converted set does not hold the imported spells");
    }

    void openAdded() {
        if (spells().Count() >= kAddModeLimit) {
            openSaved();
            return;
        }
        const QString path =
            spells().Count() <= kAddModeLimit / 2 && chance(0.3) ? workPath : extraPath;
        const StoredSet adding = readSet(path);
        const StoredSet before = storedState(spells(), window->session()->rawBooks());
        chooseFile(path);
        setAddMode(true);
        SpellCollection after = spells();
        after.SetAllMarked(false);
        for (const SpellRecord& r : adding.records)
            after.Append(r);
        expectRun(after, controlsAfterLoad());
        control("BOpenConv")->click();
        StoredSet want = before;
        want.records.insert(want.records.end(), adding.records.begin(), adding.records.end());
        want.books = adding.books;
        checkStored(want, "opened in add mode");
        if (chance(0.7))
            setAddMode(false);
    }

    static std::vector<Command> commandTable() {
        return {
            {"filter run", &RandomSession::filterRun, 18},
            {"mark by press", &RandomSession::markByPress, 10},
            {"unmark all", &RandomSession::unmarkAll, 2},
            {"reverse marks", &RandomSession::reverseMarks, 3},
            {"add through the editor", &RandomSession::addThroughEditor, 8},
            {"edit through the editor", &RandomSession::editThroughEditor, 6},
            {"delete", &RandomSession::deleteSpell, 7},
            {"add book", &RandomSession::addBook, 3},
            {"delete book", &RandomSession::deleteBook, 2},
            {"book column press", &RandomSession::bookColumnPress, 10},
            {"reset copies", &RandomSession::resetCopies, 1},
            {"search", &RandomSession::search, 5},
            {"quick info", &RandomSession::quickInfo, 2},
            {"save and reopen", &RandomSession::saveAndReopen, 3},
            {"open saved", &RandomSession::openSaved, 1},
            {"open in add mode", &RandomSession::openAdded, 1},
            {"open a broken set", &RandomSession::openBroken, 1},
            {"refused save", &RandomSession::refusedSave, 1},
            {"import text", &RandomSession::importText, 1},
        };
    }

    // The first and the last step, outside the weighted draw.
    static constexpr Step openSession = &RandomSession::openSaved;
    static constexpr Step finishSession = &RandomSession::finalSave;

    void runStep(const Command& c) {
        command = c.name;
        expected.clear();
        forecast.reset();
        const qsizetype before = PromptScript::Messages().size();
        (this->*c.run)();
        QCoreApplication::processEvents();
        const QStringList shown = PromptScript::Messages().mid(before);
        check(shown == expected, "messages " + join(shown) + ", expected " + join(expected));
        check(PromptScript::Unexpected().isEmpty(),
              "prompts without an answer: " + join(PromptScript::Unexpected()));
        check(PromptScript::Unused() == 0, "answers left unused");
        checkInvariants();
    }

    unsigned seed = kDefaultSeed;
    unsigned steps = kDefaultSteps;
    std::mt19937 rng;
    QString workPath, extraPath, brokenPath;
    StoredSet lastSaved;
    QTimer watchdog;
    bool dialogExpected = false;

    int step = 0;
    std::string command;
    QStringList expected;
    std::optional<std::vector<bool>> forecast;
    bool failed = false;
};

} // namespace

TEST_F(RandomSession, ThousandsOfRandomCommandsKeepTheBookkeeping) {
    const std::vector<Command> commands = commandTable();
    std::vector<int> weights;
    for (const Command& c : commands)
        weights.push_back(c.weight);
    std::discrete_distribution<int> choose(weights.begin(), weights.end());

    std::cout << "[ session  ] seed " << seed << ", " << steps << " steps" << std::endl;
    const auto start = std::chrono::steady_clock::now();
    std::map<std::string, int> ran;
    std::map<std::string, double> spent;
    int largest = 0;
    // Step 0 opens the session's file.
    runStep({"open saved", openSession, 0});
    for (step = 1; step <= static_cast<int>(steps) && !failed && !HasFatalFailure(); ++step) {
        const Command& c = commands[choose(rng)];
        ++ran[c.name];
        const auto t0 = std::chrono::steady_clock::now();
        runStep(c);
        spent[c.name] +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        largest = std::max(largest, spells().Count());
    }
    // The session ends with a save that must come back whole.
    if (!failed)
        runStep({"final save and reopen", finishSession, 0});
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "[ session  ] " << step - 1 << " steps in " << seconds << " s, up to " << largest
              << " spells; commands:";
    for (const auto& [name, n] : ran)
        std::cout << " " << name << " " << n << " (" << spent[name] << " s);";
    std::cout << std::endl;
    EXPECT_FALSE(failed) << "rerun with QUARVINE_SESSION_SEED=" << seed
                         << " QUARVINE_SESSION_STEPS=" << steps;
}
