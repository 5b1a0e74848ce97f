// Random user input, as events, at random places of whatever window is
// active: presses, double-clicks and right clicks on a random visible control,
// keys to the focused control, menu shortcuts, resizes and closes. Modal
// dialogs get the same treatment while they are open (the driver runs from a
// timer, so it goes on inside their event loops); message boxes and file
// dialogs are answered at random, file dialogs with paths in the session's
// folder, among them odd files (binary, a count line lower than its blocks, a
// pipe, a folder, a set with a journal naming another folder's file).
//
// After every event that leaves no dialog open, the window's bookkeeping must
// hold (Bookkeeping.h), and every data file set that changed must read back:
// the one the window names holds exactly the window's collection.
//
// QUARVINE_MONKEY_SEED and QUARVINE_MONKEY_EVENTS override the seed and the
// number of events; docs/RELIABILITY.md gives the command of the long run.
#include "MainWindowFixture.h"

#include "Bookkeeping.h"
#include "controls/GuiText.h"
#include "controls/THistoryComboBox.h"
#include "spelldata/DataFile.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <map>
#include <random>
#include <sys/stat.h>

using namespace spelldata;
namespace fs = std::filesystem;

namespace {

constexpr unsigned kDefaultSeed = 20261207;
constexpr unsigned kDefaultEvents = 2000;

unsigned envNumber(const char* name, unsigned fallback) {
    bool ok = false;
    const unsigned value = qEnvironmentVariable(name).toUInt(&ok);
    return ok ? value : fallback;
}

// Keys a user types; no '/' and no letter of "dat", so typed file names stay
// in the folder and never name a data file.
const Qt::Key kKeys[] = {Qt::Key_A,         Qt::Key_B,        Qt::Key_C,      Qt::Key_X,
                         Qt::Key_Y,         Qt::Key_1,        Qt::Key_2,      Qt::Key_Period,
                         Qt::Key_Space,     Qt::Key_Return,   Qt::Key_Escape, Qt::Key_Tab,
                         Qt::Key_Backspace, Qt::Key_Delete,   Qt::Key_Up,     Qt::Key_Down,
                         Qt::Key_Left,      Qt::Key_Right,    Qt::Key_Home,   Qt::Key_End,
                         Qt::Key_PageUp,    Qt::Key_PageDown, Qt::Key_Insert, Qt::Key_F1};
// The menu shortcuts, and Alt with the menus' letters.
const std::pair<Qt::Key, Qt::KeyboardModifier> kShortcuts[] = {
    {Qt::Key_O, Qt::ControlModifier}, {Qt::Key_S, Qt::ControlModifier},
    {Qt::Key_P, Qt::ControlModifier}, {Qt::Key_T, Qt::ControlModifier},
    {Qt::Key_F, Qt::ControlModifier}, {Qt::Key_I, Qt::ControlModifier},
    {Qt::Key_C, Qt::ControlModifier}, {Qt::Key_A, Qt::ControlModifier},
    {Qt::Key_B, Qt::ControlModifier}, {Qt::Key_Z, Qt::ControlModifier},
    {Qt::Key_Y, Qt::ControlModifier}, {Qt::Key_F, Qt::AltModifier},
    {Qt::Key_E, Qt::AltModifier},     {Qt::Key_W, Qt::AltModifier}};

class Monkey : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        seed = envNumber("QUARVINE_MONKEY_SEED", kDefaultSeed);
        events = envNumber("QUARVINE_MONKEY_EVENTS", kDefaultEvents);
        rng.seed(seed);
        QApplication::setQuitOnLastWindowClosed(false); // a close may hide the main window
        // The home page would open a browser.
        for (QAction* a : window->findChildren<QAction*>(QStringLiteral("ConnectToSite1")))
            a->setEnabled(false);
        control("BConnecttoSite")->setEnabled(false);
        makeFiles();
        PromptScript::Improvise([this](int n) { return pick(n); }, openPaths, savePaths,
                                {QStringLiteral("Monkey Book"), QString(), QStringLiteral("#")});
        PromptScript::FileName(file("monkey.Dat"));
        click("BitBtn11");
        click("BOpenConv");
        rememberSets();
    }

    void TearDown() override {
        PromptScript::Improvise({}, {}, {}, {});
        QApplication::setQuitOnLastWindowClosed(true);
    }

    void makeFiles() {
        copySample("monkey");
        copySample("second");
        testsupport::WriteBytes(
            dir.file("spells.txt"),
            testsupport::ReadBytes(testsupport::SourcePath("samples/sample-spells.txt")));
        testsupport::WriteBytes(dir.file("binary.Dat"), std::string(1 << 20, '\x07'));
        std::string fewer = testsupport::ReadBytes(dir.file("monkey.Dat"));
        testsupport::WriteBytes(dir.file("fewer.Dat"), fewer.replace(0, 2, "3"));
        ::mkfifo(dir.file("pipe.Dat").c_str(), 0600);
        fs::create_directory(dir.file("folder.Dat"));
        copySample("journal");
        testsupport::WriteBytes(victim, "keep me");
        const std::string target = fs::canonical(dir.path()).string() + "/journal.Dat";
        testsupport::WriteBytes(dir.file("journal.Dat.commit"), std::string("F") + victim + '\0' +
                                                                    '\0' + target + '\0' + "1" +
                                                                    '\0');
        for (const char* name : {"monkey.Dat", "second.Dat", "new.Dat", "spells.txt", "binary.Dat",
                                 "fewer.Dat", "pipe.Dat", "folder.Dat", "journal.Dat", "gone.Dat"})
            openPaths << file(name);
        for (const char* name : {"out.txt", "print.pdf", "list.Ind"})
            savePaths << file(name);
    }

    int pick(int n) { return n <= 1 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(rng); }

    // ---- the events ----

    // The window the user's input goes to now.
    QWidget* activeWindow() {
        if (QWidget* popup = QApplication::activePopupWidget())
            return popup;
        if (QWidget* modal = QApplication::activeModalWidget())
            return modal;
        if (QWidget* active = QApplication::activeWindow(); active && active->isVisible())
            return active;
        if (!window->isVisible()) {
            window->show(); // the user starts the program again
            ++restarts;
        }
        window->activateWindow();
        return window.get();
    }

    QWidget* randomControl(QWidget* top) {
        QList<QWidget*> shown{top};
        for (QWidget* w : top->findChildren<QWidget*>()) {
            if (w->isVisible() && w->isEnabled() && w->width() > 0 && w->height() > 0 &&
                w->window() == top)
                shown << w;
        }
        return shown[pick(static_cast<int>(shown.size()))];
    }

    // What the last events were, for a failure message.
    void log(const QString& what, const QWidget* on) {
        const QString where = on->objectName().isEmpty()
                                  ? QString::fromLatin1(on->metaObject()->className())
                                  : on->objectName();
        recent.push_back(std::to_string(done) + " " + what.toStdString() + " on " +
                         where.toStdString());
        if (recent.size() > 12)
            recent.erase(recent.begin());
    }

    void mouse(QWidget* top) {
        QPointer<QWidget> target = randomControl(top);
        const QPoint at(pick(target->width()), pick(target->height()));
        const int kind = pick(10);
        const Qt::MouseButton button = kind == 9 ? Qt::RightButton : Qt::LeftButton;
        log(QStringLiteral("%1 at %2,%3")
                .arg(kind == 9   ? "right click"
                     : kind >= 7 ? "double click"
                                 : "click")
                .arg(at.x())
                .arg(at.y()),
            target);
        QTest::mousePress(target, button, {}, at);
        if (target)
            QTest::mouseRelease(target, button, {}, at);
        if (kind >= 7 && kind < 9 && target)
            QTest::mouseDClick(target, Qt::LeftButton, {}, at);
    }

    // The sort box takes typed text; a text that names no order runs no sort
    // pass, by design, and the list then keeps its rows while the counters
    // follow the collection. Keys go elsewhere while it has the focus.
    static bool isSortBox(const QWidget* w) {
        for (; w; w = w->parentWidget())
            if (w->objectName() == QLatin1String("SortType"))
                return true;
        return false;
    }

    void key(QWidget* top) {
        QWidget* focus = QApplication::focusWidget();
        QWidget* target = focus && focus->window() == top && !isSortBox(focus) ? focus : top;
        if (pick(5) == 0) {
            const auto& [k, modifier] = kShortcuts[pick(static_cast<int>(std::size(kShortcuts)))];
            log(QKeySequence(k | modifier).toString(), target);
            QTest::keyClick(target, k, modifier);
        } else {
            const Qt::Key k = kKeys[pick(static_cast<int>(std::size(kKeys)))];
            log(QKeySequence(k).toString(), target);
            QTest::keyClick(target, k);
        }
    }

    void resizeOrClose(QWidget* top) {
        if (top->windowType() == Qt::Popup) {
            log(QStringLiteral("close"), top);
            top->close();
        } else if (pick(3) > 0) {
            const QSize size(100 + pick(1100), 80 + pick(800));
            log(QStringLiteral("resize to %1x%2").arg(size.width()).arg(size.height()), top);
            top->resize(size);
        } else if (auto* area = window->findChild<QMdiArea*>(); top == window.get() && pick(2)) {
            const QList<QMdiSubWindow*> children = area->subWindowList();
            if (!children.isEmpty()) {
                QMdiSubWindow* child = children[pick(static_cast<int>(children.size()))];
                log(QStringLiteral("close"), child);
                child->close();
            }
        } else {
            log(QStringLiteral("close"), top);
            top->close();
        }
    }

    void oneEvent() {
        QWidget* top = activeWindow();
        const int kind = pick(20);
        if (kind < 12)
            mouse(top);
        else if (kind < 18)
            key(top);
        else
            resizeOrClose(top);
    }

    // ---- the checks ----

    struct Seen {
        std::uintmax_t size = 0;
        fs::file_time_type time;
    };

    std::map<std::string, Seen> currentSets() {
        std::map<std::string, Seen> sets;
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            std::error_code ec;
            const std::string name = entry.path().filename().string();
            if (entry.is_regular_file(ec) && name.size() > 4 &&
                name.compare(name.size() - 4, 4, ".Dat") == 0)
                sets[entry.path().string()] = {entry.file_size(ec), entry.last_write_time(ec)};
        }
        return sets;
    }

    void rememberSets() { sets = currentSets(); }

    void fail(const std::string& what) {
        if (!failure.empty())
            return;
        failure = "event " + std::to_string(done) + ": " + what + "; the last events:";
        for (const std::string& event : recent)
            failure += "\n  " + event;
        const QStringList messages = PromptScript::Messages();
        if (!messages.isEmpty())
            failure += "\nthe last message: " + messages.back().left(200).toStdString();
    }

    // Every set whose .Dat changed must read back; the window's own holds
    // exactly what the window has.
    void checkSavedSets() {
        const std::map<std::string, Seen> now = currentSets();
        const std::string current = NativePath(window->fileBox()->currentText());
        for (const auto& [path, seen] : now) {
            const auto before = sets.find(path);
            if (before != sets.end() && before->second.size == seen.size &&
                before->second.time == seen.time)
                continue;
            ++savesChecked;
            SpellCollection back;
            BookList books = InitialBookList();
            const ReadReport r = ReadDataFile(back, books, BasePath(path), PendingSave::Report);
            if (!r.status) {
                fail("the saved set " + path + " does not read back: " + r.status.message);
                continue;
            }
            if (path == current &&
                (FormatDatFile(back) != FormatDatFile(window->session()->rawSpells()) ||
                 books != window->session()->rawBooks() ||
                 FormatCountFile(back) != FormatCountFile(window->session()->rawSpells())))
                fail("the saved set " + path + " differs from the window's collection");
        }
        sets = now;
    }

    void afterEvent() {
        if (!running.empty() || QApplication::activeModalWidget() ||
            QApplication::activePopupWidget())
            return; // a command is still running
        if (const std::string wrong = BookkeepingFault(*window); !wrong.empty())
            fail(wrong);
        checkSavedSets();
    }

    // One event per turn of whichever event loop runs: the next turn is
    // queued first, so it also comes inside a dialog that this event opens.
    void turn() {
        if (stopped)
            return;
        // A command that shows its progress lets queued events run but holds
        // back the user's input until it ends; so does the driver. Input goes
        // on only in a dialog or menu the running command has opened (not in
        // one that was open before, nor when the command hid its dialog).
        const QWidget* front = QApplication::activePopupWidget()
                                   ? QApplication::activePopupWidget()
                                   : QApplication::activeModalWidget();
        if (!running.empty() &&
            (!front || std::find(running.begin(), running.end(), front) != running.end())) {
            QTimer::singleShot(1, window.get(), [this] { turn(); });
            return;
        }
        if (done >= events || !failure.empty()) {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                QTimer::singleShot(0, window.get(), [this] { turn(); });
                QTest::keyClick(modal, Qt::Key_Escape); // leave the open dialogs
                if (++leaving > 200)
                    fail("a dialog does not close on Escape");
                return;
            }
            if (QWidget* popup = QApplication::activePopupWidget()) {
                QTimer::singleShot(0, window.get(), [this] { turn(); });
                popup->close();
                return;
            }
            stopped = true;
            loop.quit();
            return;
        }
        QTimer::singleShot(0, window.get(), [this] { turn(); });
        ++done;
        inDialogs += front ? 1 : 0;
        running.push_back(front);
        oneEvent();
        running.pop_back();
        afterEvent();
    }

    unsigned seed = kDefaultSeed;
    unsigned events = kDefaultEvents;
    std::mt19937 rng;
    QStringList openPaths, savePaths;
    testsupport::TempDir elsewhere;
    const std::string victim = elsewhere.file("victim.txt");
    std::map<std::string, Seen> sets;
    QEventLoop loop;
    unsigned done = 0;
    int leaving = 0;
    int restarts = 0;
    int savesChecked = 0;
    int inDialogs = 0; // events sent to a modal dialog or a menu
    bool stopped = false;
    std::string failure;
    std::vector<std::string> recent;
    std::vector<const QWidget*> running; // per event under way: the dialog it began in
};

} // namespace

TEST_F(Monkey, RandomInputAnywhereKeepsTheBookkeepingAndEverySaveReadsBack) {
    std::cout << "[ monkey   ] seed " << seed << ", " << events << " events" << std::endl;
    const auto start = std::chrono::steady_clock::now();
    QTimer::singleShot(0, window.get(), [this] { turn(); });
    loop.exec();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "[ monkey   ] " << done << " events in " << seconds << " s, " << inDialogs
              << " of them in dialogs and menus; " << savesChecked << " saved sets read back; "
              << PromptScript::Messages().size() << " message boxes; " << restarts
              << " restarts after a close" << std::endl;
    EXPECT_EQ(failure, "") << "rerun with QUARVINE_MONKEY_SEED=" << seed
                           << " QUARVINE_MONKEY_EVENTS=" << events;
    EXPECT_EQ(testsupport::ReadBytes(victim), "keep me");
    EXPECT_GT(inDialogs, 0); // the input reached the dialogs too
    PromptScript::Improvise({}, {}, {}, {});
    if (window->isVisible()) {
        PromptScript::Answer(QMessageBox::No);
        window->close();
    }
    PromptScript::Start(); // the answers the session left are not the test's
}
