// The main window driven as a user drives it: mouse presses at the rows and
// controls, keys to the focused widget, menus from the keyboard, and starts
// from the settings a previous run left behind.
#include "MainWindowFixture.h"

#include "controls/THistoryComboBox.h"
#include "dialogs/info/TFInfo.h"
#include "spelldata/DataFile.h"
#include "spelldata/FileIO.h"
#include "spelldata/Settings.h"

#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>

using namespace spelldata;
using testsupport::ReadBytes;
using testsupport::WriteBytes;

namespace {

class TMainUser : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        activate();
    }
    // Keys go to the focused widget of the active window, as on a desktop,
    // where the window is active again once a progress window has gone.
    // The offscreen platform activates only windows that show, so it is told.
    void activate() {
        QCoreApplication::processEvents();
        window->activateWindow();
        QT_WARNING_PUSH
        QT_WARNING_DISABLE_DEPRECATED
        if (!window->isActiveWindow())
            QApplication::setActiveWindow(window.get());
        QT_WARNING_POP
        ASSERT_TRUE(window->isActiveWindow());
    }

    // Leaves the settings of an earlier run in the folder and starts again.
    void startAfterPreviousRun(const std::vector<QString>& files,
                               const IniSettings* ini = nullptr) {
        window.reset();
        std::vector<std::string> entries;
        for (const QString& f : files)
            entries.push_back(QFile::encodeName(f).toStdString());
        ASSERT_TRUE(WriteFileList(dir.file(FileListName), entries).ok());
        if (ini) {
            ASSERT_TRUE(WriteIniFile(dir.file(IniFileName), *ini).ok());
        }
        startWindow();
        activate();
    }

    SpellListView* list() const { return window->listPanel()->SList; }

    // The point `x` pixels into the row, in the list's viewport.
    QPoint rowPoint(int row, int x) const {
        const QRect r = list()->visualRect(window->listModel()->index(row));
        return {r.left() + x, r.center().y()};
    }
    void clickRow(int row, int x = 100) {
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rowPoint(row, x));
    }
    void doubleClickRow(int row, int x = 100) {
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rowPoint(row, x));
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, rowPoint(row, x));
    }
    QString rowName(int row) const {
        return QString::fromStdString(
            window->session()->rawSpells()[window->listModel()->slotAt(row)]->Name);
    }

    // Runs a File menu entry from the keyboard: Alt+F, then its letter.
    void fileMenu(Qt::Key letter) {
        QTest::keyClick(window->menuBar(), Qt::Key_F, Qt::AltModifier);
        QWidget* menu = QApplication::activePopupWidget();
        ASSERT_NE(menu, nullptr) << "the File menu did not open";
        QTest::keyClick(menu, letter);
        QCoreApplication::processEvents();
    }

    // The spell sets of the sample under two names.
    void twoSets() {
        copySample("first");
        copySample("second");
    }
};

} // namespace

// A previous run's file list fills the box but opens nothing, so leaving at
// once asks nothing and writes nothing; a file that is gone and taken out of
// the list leaves the box empty too.
TEST_F(TMainUser, AFileListFromAnEarlierRunSelectsNothingAndExitWritesNothing) {
    twoSets();
    startAfterPreviousRun({file("first.Dat"), file("second.Dat")});
    EXPECT_EQ(window->fileBox()->count(), 2);
    EXPECT_EQ(window->fileBox()->currentText(), "");
    const std::string before = ReadBytes(dir.file("first.Dat"));
    fileMenu(Qt::Key_E);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(PromptScript::Messages().isEmpty())
        << PromptScript::Messages().join("|").toStdString();
    EXPECT_EQ(ReadBytes(dir.file("first.Dat")), before);
    EXPECT_EQ(ReadBytes(dir.file("first.SBN")), ReadBytes(dir.file("second.SBN")));

    startAfterPreviousRun({file("gone.Dat"), file("second.Dat")});
    ASSERT_EQ(QApplication::focusWidget(), window->fileBox());  // focused at start
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down); // picks the first entry
    EXPECT_EQ(window->fileBox()->currentText(), file("gone.Dat"));
    PromptScript::Answer(QMessageBox::Ok);
    click("BOpenConv");
    EXPECT_EQ(window->fileBox()->count(), 1);
    EXPECT_EQ(window->fileBox()->currentText(), "");
    EXPECT_TRUE(window->close());
    EXPECT_EQ(PromptScript::Messages().size(), 1);
}

// Closing with Yes writes over the file the collection came from without a
// second question; over any other file only after naming and confirming it.
TEST_F(TMainUser, ClosingWithYesConfirmsAFileTheCollectionDidNotComeFrom) {
    twoSets();
    startAfterPreviousRun({file("first.Dat"), file("second.Dat")});
    QTest::keyClick(window->fileBox(), Qt::Key_Down);
    click("BOpenConv");
    ASSERT_EQ(window->session()->rawSpells().Count(), 30);
    window->session()->rawSpells()[0]->Name = "Changed";
    QTest::keyClick(window->fileBox(), Qt::Key_Down); // now second.Dat
    ASSERT_EQ(window->fileBox()->currentText(), file("second.Dat"));
    const std::string second = ReadBytes(dir.file("second.Dat"));
    PromptScript::Answer(QMessageBox::Yes);
    PromptScript::Answer(QMessageBox::No);
    EXPECT_FALSE(window->close());
    EXPECT_EQ(PromptScript::Messages().back(),
              "Are you sure you want to save file: " + file("second.Dat"));
    EXPECT_EQ(ReadBytes(dir.file("second.Dat")), second);

    QTest::keyClick(window->fileBox(), Qt::Key_Up); // back to first.Dat
    PromptScript::Answer(QMessageBox::Yes);
    EXPECT_TRUE(window->close());
    EXPECT_EQ(PromptScript::Messages().size(), 3);
    SpellCollection onDisk;
    BookList books;
    ReadDataFile(onDisk, books, dir.file("first"));
    EXPECT_EQ(onDisk[0]->Name, "Changed");
}

// A click on a row refills the Quick View, minimised or not, and never a
// Quick Info window; a Quick Info window's description toggle keeps its spell.
TEST_F(TMainUser, ClickingRowsRefillsTheQuickViewAndNoQuickInfoWindow) {
    openFile(copySample());
    doubleClickRow(3);
    TFInfo* info = qobject_cast<TFInfo*>(window->mdiArea()->activeSubWindow());
    ASSERT_TRUE(info && info != window->quickView());
    EXPECT_EQ(info->windowTitle(), rowName(3));
    clickRow(5);
    EXPECT_EQ(list()->selectedRow(), 5);
    EXPECT_EQ(window->quickView()->windowTitle(), rowName(5));
    EXPECT_EQ(info->windowTitle(), rowName(3));
    window->quickView()->showMinimized();
    clickRow(7, 60); // on the level code
    EXPECT_EQ(window->quickView()->windowTitle(), rowName(7));

    auto* showDesc = info->findChild<QToolButton*>("ShowDesc");
    auto* descPanel = info->findChild<QWidget*>("DescPanel");
    ASSERT_TRUE(descPanel->isVisible());
    QTest::mouseClick(showDesc, Qt::LeftButton);
    EXPECT_EQ(info->windowTitle(), rowName(3));
    EXPECT_FALSE(descPanel->isVisible());
    QTest::mouseClick(showDesc, Qt::LeftButton);
    EXPECT_TRUE(descPanel->isVisible());
    EXPECT_EQ(info->windowTitle(), rowName(3));
}

// Presses that hit no row change nothing, whatever the column or button.
TEST_F(TMainUser, APressBelowTheLastRowDoesNothing) {
    openFile(copySample());
    click("BWiz");
    click("BPri");
    click("BEXE"); // the psionic powers only: far fewer rows than the list holds
    const int rows = window->listModel()->rowCount();
    ASSERT_LT(rows * 17 + 40, list()->viewport()->height());
    clickRow(2);
    const QString quickView = window->quickView()->windowTitle();
    const QPoint below(5, list()->visualRect(window->listModel()->index(rows - 1)).bottom() + 20);
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        QTest::mouseClick(list()->viewport(), button, {}, below);
        QTest::mouseClick(list()->viewport(), button, {}, below + QPoint(40, 0));
    }
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, below + QPoint(100, 0));
    EXPECT_EQ(list()->selectedRow(), 2);
    EXPECT_EQ(labelText("LMark"), "0");
    EXPECT_EQ(window->quickView()->windowTitle(), quickView);
    EXPECT_EQ(window->mdiArea()->subWindowList().size(), 1);
}

// After an empty set hid it, the Quick View comes back as soon as the list
// has rows again: after an import and after an added spell.
TEST_F(TMainUser, TheQuickViewReturnsWhenTheListHasRowsAgain) {
    SpellCollection none;
    ASSERT_TRUE(WriteDataFile(none, InitialBookList(), dir.file("empty")).ok());
    openFile(file("empty.Dat"));
    ASSERT_FALSE(window->quickView()->isVisible());

    WriteBytes(dir.file("CORE.TXT"),
               ReadBytes(testsupport::SourcePath("samples/sample-spells.txt")));
    PromptScript::FileName(file("CORE.TXT"));
    PromptScript::Answer(QMessageBox::No);
    click("BOpen");
    EXPECT_TRUE(window->quickView()->isVisible());
    EXPECT_EQ(window->quickView()->windowTitle(), rowName(0));

    openFile(file("empty.Dat"));
    ASSERT_FALSE(window->quickView()->isVisible());
    QTimer::singleShot(0, window.get(), [] {
        QWidget* editor = QApplication::activeModalWidget();
        ASSERT_NE(editor, nullptr) << "the editor is not open";
        QTest::keyClicks(editor->findChild<QLineEdit*>("CName"), "Lone Spell");
        QTest::mouseClick(editor->findChild<QAbstractButton*>("OK"), Qt::LeftButton);
    });
    click("SpeedButton3");
    ASSERT_EQ(window->session()->rawSpells().Count(), 1);
    EXPECT_TRUE(window->quickView()->isVisible());
    EXPECT_EQ(window->quickView()->windowTitle(), "Lone Spell");
}

// At a first start the Quick View lies wholly inside the window area, and
// so does a Quick Info window opened from the list.
TEST_F(TMainUser, AtAFirstStartTheChildWindowsLieInsideTheWindowArea) {
    const QRect area(QPoint(), window->mdiArea()->viewport()->size());
    EXPECT_EQ(window->size(), QSize(618, 450));
    EXPECT_TRUE(area.contains(window->quickView()->geometry()))
        << window->quickView()->geometry().x() << " in " << area.width();
    openFile(copySample());
    EXPECT_TRUE(area.contains(window->quickView()->geometry()));
    doubleClickRow(2);
    EXPECT_TRUE(area.contains(window->mdiArea()->activeSubWindow()->geometry()));
}

// Places of a previous run outside every screen (an unplugged monitor, a
// damaged file) bring the window back onto the screen, keeping its size,
// and the Quick View back into the window area, smaller where needed.
TEST_F(TMainUser, PlacesOffTheScreenComeBackOnIt) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    IniSettings ini;
    ini.mainLeft = -99999;
    ini.mainTop = 2147483647;
    ini.mainWidth = 640;
    ini.mainHeight = 480;
    ini.viewLeft = -5000;
    ini.viewTop = 40000;
    ini.viewWidth = 3000;
    ini.viewHeight = 200;
    startAfterPreviousRun({}, &ini);
    EXPECT_TRUE(screen.contains(window->geometry())) << window->x() << "," << window->y();
    EXPECT_EQ(window->size(), QSize(640, 480));
    const QRect area(QPoint(), window->mdiArea()->viewport()->size());
    const QRect view = window->quickView()->geometry();
    EXPECT_TRUE(area.contains(view)) << view.x() << "," << view.y() << " " << view.width();
    EXPECT_EQ(view.height(), 200);

    ini.mainLeft = 0;
    ini.mainTop = 0;
    ini.mainWidth = 100000;
    ini.mainHeight = 100000;
    startAfterPreviousRun({}, &ini);
    EXPECT_TRUE(screen.contains(window->geometry()))
        << window->x() << "," << window->y() << " " << window->width() << "x" << window->height()
        << " in " << screen.x() << "," << screen.y() << " " << screen.width() << "x"
        << screen.height();
    EXPECT_TRUE(window->close());
    IniSettings saved;
    ASSERT_TRUE(ReadIniFile(dir.file(IniFileName), saved).ok());
    EXPECT_TRUE(
        screen.contains(QRect(saved.mainLeft, saved.mainTop, saved.mainWidth, saved.mainHeight)));
}

// The filter strip keeps its rows in place whether the list shows rows, is
// hidden before the first open, or is empty after an empty set.
TEST_F(TMainUser, TheFilterStripStaysInPlaceWhateverTheListShows) {
    const auto places = [this] {
        QList<int> tops;
        for (const char* name :
             {"BC", "BWiz", "SortType", "CBooks", "BEdit", "FullList", "LMark"}) {
            auto* w = control<QWidget>(name);
            tops << w->mapTo(window->listPanel(), QPoint()).y();
        }
        return tops;
    };
    const QList<int> first = places();
    openFile(copySample());
    EXPECT_EQ(places(), first);
    SpellCollection none;
    ASSERT_TRUE(WriteDataFile(none, InitialBookList(), dir.file("empty")).ok());
    openFile(file("empty.Dat"));
    EXPECT_EQ(places(), first);
}

// Every control of the list panel lies inside its row, apart from its
// neighbours, and shows its whole caption.
TEST_F(TMainUser, TheListPanelsControlsNeitherOverlapNorSpillOver) {
    openFile(copySample());
    QList<QWidget*> controls;
    for (QWidget* w : window->listPanel()->findChildren<QWidget*>()) {
        if (w->isVisible() && w->parentWidget() != list() &&
            (qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
             qobject_cast<QLabel*>(w)))
            controls << w;
    }
    ASSERT_GT(controls.size(), 35);
    for (QWidget* a : controls) {
        EXPECT_TRUE(a->parentWidget()->rect().contains(a->geometry()))
            << a->objectName().toStdString() << " spills out of its row";
        for (QWidget* b : controls) {
            if (a != b && a->parentWidget() == b->parentWidget()) {
                EXPECT_FALSE(a->geometry().intersects(b->geometry()))
                    << a->objectName().toStdString() << " overlaps "
                    << b->objectName().toStdString();
            }
        }
        if (auto* button = qobject_cast<QToolButton*>(a); button && !button->text().isEmpty()) {
            EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()), button->width())
                << button->objectName().toStdString();
        }
    }
    for (const char* name : {"SpeedButton3", "SpeedButton4"})
        EXPECT_EQ(control(name)->geometry().size(), QSize(16, 16)) << name;
    EXPECT_EQ(control("BC")->size(), QSize(16, 16));
    EXPECT_EQ(control("b10")->size(), QSize(19, 16));
    EXPECT_EQ(control("BEdit")->geometry(), QRect(92, 2, 131, 18));
}

// Typing into the sort box and pressing Enter adds no order of its own.
TEST_F(TMainUser, TheSortBoxOffersOnlyItsFourOrders) {
    openFile(copySample());
    auto* box = control<QComboBox>("SortType");
    QTest::mouseClick(box->lineEdit(), Qt::LeftButton);
    QTest::keyClick(box->lineEdit(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box->lineEdit(), "Sort by Magic");
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(box->count(), 4);
    EXPECT_EQ(box->findText("Sort by Magic"), -1);
}

// Cascading keeps the windows at a usable size inside the area; bringing a
// maximised Quick View to the front keeps it maximised.
TEST_F(TMainUser, CascadeKeepsUsableSizesAndBringToFrontKeepsTheState) {
    window->resize(1000, 700);
    openFile(copySample());
    doubleClickRow(1);
    doubleClickRow(4);
    click("BCascade");
    const QRect area(QPoint(), window->mdiArea()->viewport()->size());
    for (QMdiSubWindow* w : window->mdiArea()->subWindowList()) {
        EXPECT_TRUE(area.contains(w->geometry()));
        EXPECT_GE(w->width(), std::min(524, area.width() / 2));
        EXPECT_GE(w->height(), std::min(356, area.height() / 2));
    }
    window->quickView()->showMaximized();
    click("BBringToFront");
    EXPECT_TRUE(window->quickView()->isMaximized());
    EXPECT_EQ(window->mdiArea()->activeSubWindow(), window->quickView());
}

// Typing a name with blanks finds it; Space marks only once the typing has
// paused for the keyboard search interval.
TEST_F(TMainUser, TypingANameWithBlanksFindsItAndSpaceMarksAfterAPause) {
    openFile(copySample());
    activate(); // back from the progress window, as the desktop does
    clickRow(0);
    ASSERT_EQ(QApplication::focusWidget(), list());
    QTest::keyClicks(QApplication::focusWidget(), "Tidy Hearth");
    EXPECT_EQ(rowName(list()->selectedRow()).trimmed().toStdString(), "Tidy Hearth");
    EXPECT_EQ(labelText("LMark"), "0");
    QTest::qWait(QApplication::keyboardInputInterval() + 50);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(labelText("LMark"), "1");
    EXPECT_TRUE(window->session()->rawSpells()[window->selectedSlot()]->Marked);
}

// The strip's toggle buttons look clearly different down and up, in a light
// and in a dark palette.
TEST_F(TMainUser, ToggleButtonsShowTheirDownStateClearly) {
    openFile(copySample());
    QPalette dark;
    for (const auto role : {QPalette::Window, QPalette::Button, QPalette::Base})
        dark.setColor(role, QColor(45, 45, 48));
    for (const auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        dark.setColor(role, QColor(230, 230, 230));
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    const auto meanDifference = [](const QImage& a, const QImage& b) {
        double sum = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x) {
                const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
                sum += std::abs(p.red() - q.red()) + std::abs(p.green() - q.green()) +
                       std::abs(p.blue() - q.blue());
            }
        return sum / (3.0 * a.width() * a.height());
    };
    for (const QPalette& palette : {QApplication::palette(), dark}) {
        window->setPalette(palette);
        for (const char* name : {"BWiz", "B3", "BShowOnly", "BEdit"}) {
            QToolButton* b = control(name);
            b->setChecked(false);
            const QImage up = b->grab().toImage();
            QTest::mouseClick(b, Qt::LeftButton);
            ASSERT_TRUE(b->isChecked()) << name;
            const QImage down = b->grab().toImage();
            EXPECT_GT(meanDifference(up, down), 40.0) << name;
        }
    }
}
