// Search, configuration and save-as-text driven from the main window.
#include "MainWindowFixture.h"

#include "controls/DisplaySettings.h"
#include "dialogs/info/TFInfo.h"
#include "dialogs/output/PrintStream.h"
#include "dialogs/output/SpellCards.h"
#include "mainwindow/SpellListDelegate.h"
#include "spelldata/TextExport.h"
#include "spelldata/TextImport.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFrame>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>

using namespace spelldata;

namespace {

class TMainOutput : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        openFile(copySample());
    }

    // Runs `action` on the modal dialog `name` once it is up.
    void whenShown(const char* name, std::function<void(QDialog*)> action) {
        QTimer::singleShot(0, window.get(), [this, name, action] {
            auto* dialog = window->findChild<QDialog*>(QString::fromLatin1(name));
            ASSERT_NE(dialog, nullptr) << name;
            ASSERT_TRUE(dialog->isVisible()) << name;
            action(dialog);
        });
    }

    void search(const QString& text, bool entire, const char* button = "BitBtn1") {
        whenShown("FSearch", [text, entire, button](QDialog* d) {
            auto* box = d->findChild<QComboBox*>("SearchStr");
            box->setEditText(text);
            d->findChild<QCheckBox*>("Entire")->setChecked(entire);
            QTest::mouseClick(d->findChild<QAbstractButton*>(button), Qt::LeftButton);
        });
        click("BSearch");
    }
};

// Notes each time the progress window comes up or goes, with its text then.
class ProgressWatch : public QObject {
public:
    explicit ProgressWatch(QWidget* progress) : progress_(progress) {
        progress->installEventFilter(this);
    }
    QStringList seen;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        const bool up = event->type() == QEvent::Show;
        if ((up || event->type() == QEvent::Hide) && !event->spontaneous())
            seen << (up ? "up: " : "down: ") + progress_->findChild<QLabel*>("LText")->text();
        return false;
    }

private:
    QWidget* progress_;
};

} // namespace

TEST_F(TMainOutput, SearchNarrowsTheListAndKeepsTheOtherFilters) {
    search("lattice", true);
    QStringList found = listedNames();
    for (QString& name : found)
        name = name.trimmed(); // imported names keep the blank before their school
    EXPECT_EQ(found, (QStringList{"Cinder Lattice", "Lattice of the Hollow Moon"}));
    EXPECT_TRUE(window->listPanel()->FullList->isChecked());
    click("BPri");
    click("BEXE"); // only the two found spells stay in the current list when narrowing
    click("BPri");
    window->listPanel()->FullList->setChecked(false);
    search("e", false);
    for (const int slot : window->listModel()->rowSlots())
        EXPECT_NE(window->session()->rawSpells()[slot].kind(), SpellKind::Priest);
    EXPECT_FALSE(window->listPanel()->FullList->isChecked());
}

TEST_F(TMainOutput, ASearchThatFindsNothingRestoresTheFullList) {
    PromptScript::Answer(QMessageBox::Ok);
    search("no spell has this text", true);
    EXPECT_EQ(PromptScript::Messages().back(),
              "No Spells were found matching the search/sort type. Restoring Full List.");
    EXPECT_EQ(window->listModel()->rowCount(), 30);
}

// The message stays up from the search through the rebuilt list, and every
// command takes it down before control returns to the user.
TEST_F(TMainOutput, EachCommandTakesDownTheProgressMessageItPutUp) {
    ProgressWatch watch(control<QWidget>("FMessage"));
    search("lattice", true);
    EXPECT_EQ(watch.seen, (QStringList{"up: Searching Spell List", "down: Sorting Spell List"}));
    watch.seen.clear();
    search("lattice", true, "BitBtn2"); // nothing searched, but the list is rebuilt
    EXPECT_EQ(watch.seen, (QStringList{"up: Sorting Spell List", "down: Sorting Spell List"}));

    watch.seen.clear();
    const QString out = file("names.ind");
    whenShown("Form2", [out](QDialog* d) {
        d->findChild<QCheckBox*>("Desc")->setChecked(false);
        d->findChild<QLineEdit*>("Spellindex")->setText(out);
        QTest::mouseClick(d->findChild<QAbstractButton*>("BMin"), Qt::LeftButton);
    });
    click("BSaveText");
    EXPECT_EQ(watch.seen, (QStringList{"up: Saving List to Text File...",
                                       "down: Saving List to Text File..."}));
}

TEST_F(TMainOutput, ConfigurationOkRecoloursEveryWindowAndTheList) {
    // A second quick info window beside the quick view.
    window->listPanel()->SList->selectRow(2);
    window->SListDblClick();
    ASSERT_EQ(window->mdiArea()->subWindowList().size(), 2);
    PromptScript::Colour(QColor(10, 20, 30));
    PromptScript::Colour(QColor(200, 100, 50));
    whenShown("Fconfig", [](QDialog* d) {
        for (QFrame* panel : d->findChildren<QFrame*>()) {
            if (panel->property("Tag").toInt() == 12 || panel->property("Tag").toInt() == 21)
                QTest::mouseClick(panel, Qt::LeftButton);
        }
        QTest::mouseClick(d->findChild<QAbstractButton*>("BitBtn1"), Qt::LeftButton);
    });
    click("BColorConfig");
    const QColor descBackground = CurrentDisplay().colour(12);
    const QColor listBackground = CurrentDisplay().colour(21);
    EXPECT_TRUE(descBackground == QColor(10, 20, 30) || descBackground == QColor(200, 100, 50));
    EXPECT_NE(descBackground, listBackground);
    for (QMdiSubWindow* w : window->mdiArea()->subWindowList()) {
        auto* desc = w->findChild<QWidget*>("Desc");
        EXPECT_EQ(desc->palette().color(QPalette::Base), descBackground);
    }
    EXPECT_EQ(window->listPanel()->SList->palette().color(QPalette::Base), listBackground);
}

TEST_F(TMainOutput, SaveAsTextWritesTheListAndImportsBack) {
    const QString out = file("list.ind");
    whenShown("Form2", [out](QDialog* d) {
        d->findChild<QCheckBox*>("Desc")->setChecked(true);
        d->findChild<QLineEdit*>("Spellindex")->setText(out);
        QTest::mouseClick(d->findChild<QAbstractButton*>("BMin"), Qt::LeftButton);
    });
    click("BSaveText");
    SpellCollection again;
    ASSERT_TRUE(ImportSpellText(out.toStdString(), again).status.ok());
    ASSERT_EQ(again.Count(), 30);
    for (int row = 0; row < 30; ++row) {
        const SpellRecord& listed =
            window->session()->rawSpells()[window->listModel()->slotAt(row)];
        EXPECT_EQ(again[row]->Level, listed->Level) << row;
        EXPECT_EQ(again[row]->Reversible, listed->Reversible) << row;
        if (listed.kind() != SpellKind::Psionic) {
            EXPECT_EQ(again[row].kind(), listed.kind()) << row;
            EXPECT_EQ(again[row]->School, listed->School) << row;
        }
    }
}

// File > Print Cards opens the print dialog for cards; Current List prints
// every listed spell as cards into the PDF named, nine to a page, and
// Marked Spells only the marked ones.
TEST_F(TMainOutput, PrintCardsFromTheFileMenuWritesTheCardPages) {
    auto printCards = [this](const QString& pdf, const char* button) {
        PromptScript::FileName(pdf);
        whenShown("Form2", [button](QDialog* d) {
            auto* target = d->findChild<QComboBox*>("PrintTarget");
            target->setCurrentIndex(target->findText("PDF"));
            QTest::mouseClick(d->findChild<QAbstractButton*>(button), Qt::LeftButton);
        });
        QMenuBar* bar = window->menuBar();
        QMenu* fileMenu = window->findChild<QMenu*>("ImportFile");
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          bar->actionGeometry(fileMenu->menuAction()).center());
        ASSERT_TRUE(fileMenu->isVisible());
        QAction* cards = control<QAction>("MPrintCards");
        EXPECT_TRUE(cards->shortcut().isEmpty());
        QTest::mouseClick(fileMenu, Qt::LeftButton, {}, fileMenu->actionGeometry(cards).center());
    };
    auto pdfPages = [](const QString& pdf) {
        const std::string bytes = testsupport::ReadBytes(pdf.toStdString());
        const std::size_t count = bytes.find("/Count ");
        return count == std::string::npos ? -1 : std::atoi(bytes.c_str() + count + 7);
    };
    printCards(file("cards.pdf"), "BMin");
    std::vector<const SpellRecord*> listed;
    for (const int slot : window->listModel()->rowSlots())
        listed.push_back(&window->session()->rawSpells()[slot]);
    ASSERT_EQ(listed.size(), 30u);
    QString error;
    const auto printer = PrintStream::MakePrinter(PrintTarget::Pdf, &error);
    const CardSheet sheet = LayoutCards(listed, *printer);
    EXPECT_GE(sheet.pageCount, 4); // 30 spells, some on more than one card
    EXPECT_EQ(pdfPages(file("cards.pdf")), sheet.pageCount);

    // Two spells marked in the list's mark column.
    SpellListView* list = window->listPanel()->SList;
    for (const int row : {3, 5})
        QTest::mouseClick(
            list->viewport(), Qt::LeftButton, {},
            QPoint(5, list->visualRect(window->listModel()->index(row)).center().y()));
    ASSERT_EQ(window->session()->spells().MarkedCount(), 2);
    printCards(file("marked.pdf"), "BMarked");
    EXPECT_EQ(pdfPages(file("marked.pdf")), 1);
}
