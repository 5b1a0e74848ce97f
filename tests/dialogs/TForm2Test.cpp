#include "dialogs/output/TForm2.h"

#include "KeyboardSupport.h"
#include "TestSupport.h"
#include "controls/Prompts.h"
#include "dialogs/progress/TFMessage.h"
#include "spelldata/FileIO.h"
#include "spelldata/SpellCollection.h"
#include "spelldata/TextExport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

using testsupport::ReadBytes;
using testsupport::WriteBytes;

namespace {

// Five spells; the list shows lineSlots 2, 0, 3, 1 in that order with slot 0
// selected. Slot 2 (in the list) and slot 4 (not in it) are marked. Slot 3
// has a level above the named ones.
class TForm2Test : public ::testing::Test {
protected:
    TForm2Test() {
        TFMessage::setInstance(&progress);
        spells.Append(testsupport::FullWizard("Cinder Lattice"));
        spells.Append(testsupport::FullPriest("Ember Psalm"));
        spells.Append(testsupport::FullPsionic("Glass Mind"));
        spells.Append(testsupport::FullWizard("Far Beyond"));
        spells.Append(testsupport::FullPriest("Last Rite"));
        spells[3]->Level = 14;
        spells.SetMarked(2, true);
        spells.SetMarked(4, true);
        source.spells = &spells;
        source.rows = {2, 0, 3, 1};
        source.selectedRow = 1;
        source.fileBoxText = QString::fromStdString(dir.file("Spells.dat"));
        source.programDir = QString::fromStdString(dir.path().string());
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, &form, [this] {
            ADD_FAILURE() << "dialog still open after 10 s";
            form.reject();
        });
    }

    // Opens the dialog in save or print mode and runs `act` while it is up.
    void Open(bool save, const std::function<void()>& act) {
        QTimer::singleShot(0, &form, act);
        watchdog.start(10000);
        save ? form.BSaveTextClick(source) : form.BPrintClick(source);
        watchdog.stop();
        EXPECT_FALSE(form.isVisible());
    }

    template <typename T> T* Child(const char* name) {
        T* child = form.findChild<T*>(QLatin1String(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    void Click(const char* name) { QTest::mouseClick(Child<QWidget>(name), Qt::LeftButton); }
    void SetDesc(bool on) { Child<QCheckBox>("Desc")->setChecked(on); }
    void SetPreview(bool on) { Child<QCheckBox>("PreviewFirst")->setChecked(on); }
    // Prints into a PDF file whether or not the system has a printer; the
    // choice carries over to later openings.
    void ChoosePdf() {
        QComboBox* target = Child<QComboBox>("PrintTarget");
        target->setCurrentIndex(target->findText(QStringLiteral("PDF")));
    }
    QString Progress() { return progress.findChild<QLabel*>("LText")->text(); }

    // Runs `inPreview` once the print preview is up, then closes the preview
    // unless `inPreview` did. Call before the scope button is clicked.
    void WhilePreviewIsUp(const std::function<void(QPrintPreviewDialog&)>& inPreview) {
        previewSeen = false;
        QTimer::singleShot(0, &form, [this, inPreview] {
            auto* preview = form.findChild<QPrintPreviewDialog*>();
            if (!preview || !preview->isVisible())
                return;
            previewSeen = true;
            inPreview(*preview);
            if (preview->isVisible())
                preview->reject();
        });
    }
    static int PreviewPageCount(QPrintPreviewDialog& preview) {
        auto* pages = preview.findChild<QPrintPreviewWidget*>();
        return pages ? pages->pageCount() : -1;
    }
    // Clicks the preview's own Print button on its tool bar.
    static void ClickPrint(QPrintPreviewDialog& preview) {
        auto* toolBar = preview.findChild<QToolBar*>();
        ASSERT_NE(toolBar, nullptr);
        for (QAction* action : toolBar->actions()) {
            if (action->text() == QCoreApplication::translate("QPrintPreviewDialog", "Print")) {
                QTest::mouseClick(toolBar->widgetForAction(action), Qt::LeftButton);
                return;
            }
        }
        ADD_FAILURE() << "the preview has no Print button";
    }

    // The last job's pieces, one line each, for comparing whole jobs.
    QStringList Pieces() const {
        QStringList lines;
        for (const PrintedPiece& p : form.printStream().pieces())
            lines << QStringLiteral("%1|x%2|y%3|p%4|%5pt|s%6")
                         .arg(p.text)
                         .arg(p.x)
                         .arg(p.y)
                         .arg(p.page)
                         .arg(p.pointSize)
                         .arg(p.style);
        return lines;
    }

    // Answers the real file dialogs (scripted prompts go off) with `path` in
    // the file name box and Enter, as a user does. Message boxes are
    // noted and refused; a file dialog still open after that is cancelled.
    void TypeIntoFileDialogs(const QString& path) {
        PromptScript::Stop();
        QObject::connect(&typist, &QTimer::timeout, &form, [this, path] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                questions << box->text();
                box->reject();
                return;
            }
            auto* files = qobject_cast<QFileDialog*>(modal);
            if (!files || !files->isVisible())
                return;
            progressOverFileDialog = progressOverFileDialog || progress.isVisible();
            auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (!name || name->text() == path) {
                files->reject();
                return;
            }
            // Set rather than typed: the name completer's list would take
            // the Return meant for the dialog.
            name->setFocus();
            name->setText(path);
            QTest::keyClick(name, Qt::Key_Return);
        });
        typist.start(50);
    }

    std::string ListBytes(const std::vector<int>& lineSlots) const {
        std::vector<const spelldata::SpellRecord*> records;
        for (int slot : lineSlots)
            records.push_back(&spells[slot]);
        return spelldata::SaveList(records);
    }
    std::string SpellBytes(const std::vector<int>& lineSlots, int extraLines) const {
        std::string bytes;
        for (int slot : lineSlots)
            bytes += spelldata::SaveSpell(spells[slot], extraLines);
        return bytes;
    }

    testsupport::TempDir dir;
    const std::string output = dir.file("Spells.Ind"); // from Spells.dat
    spelldata::SpellCollection spells;
    ListSource source;
    TFMessage progress;
    TForm2 form;
    QTimer watchdog;
    bool previewSeen = false;
    QTimer typist;
    QStringList questions;
    bool progressOverFileDialog = false;
};

bool NoDefaultPrinter() {
    return QPrinterInfo::defaultPrinter().isNull();
}

// The number of pages a PDF file declares in its page tree.
int PdfPageCount(const std::string& path) {
    const std::string bytes = ReadBytes(path);
    const std::size_t at = bytes.find("/Count ");
    return at == std::string::npos ? -1 : std::atoi(bytes.c_str() + at + 7);
}

} // namespace

TEST_F(TForm2Test, saveAsTextWritesTheCoreWritersBytesForEveryScope) {
    struct Case {
        const char* button;
        bool desc;
        std::vector<int> lineSlots;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"BMin", false, {2, 0, 3, 1}, "Saving List to Text File..."},
        {"BMin", true, {2, 0, 3, 1}, "Saving List to Text File with Description..."},
        {"BMarked", false, {2}, "Saving Marked List to File..."},
        {"BMarked", true, {2}, "Saving Marked List to File with Description..."},
        {"BCurrent", false, {0}, "Saving Current Spell..."},
        {"BCurrent", true, {0}, "Saving Current Spell with Description..."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        WriteBytes(output, "replaced\r\n");
        Open(true, [&] {
            SetDesc(c.desc);
            Child<QSpinBox>("ExtraLines")->setValue(3);
            Click(c.button);
        });
        EXPECT_EQ(Progress(), QLatin1String(c.message));
        EXPECT_FALSE(progress.isVisible()) << "the command takes its message down";
        EXPECT_EQ(ReadBytes(output), c.desc ? SpellBytes(c.lineSlots, 3) : ListBytes(c.lineSlots));
    }
    // A level past the named ones is written as its number.
    Open(true, [&] {
        SetDesc(false);
        Click("BMin");
    });
    EXPECT_NE(ReadBytes(output).find("Far Beyond   (W  14)\r\n"), std::string::npos);
}

TEST_F(TForm2Test, appendAddsToTheFileAndCreatesAMissingOne) {
    WriteBytes(output, "kept\r\n");
    Open(true, [&] {
        Child<QCheckBox>("ToAppend")->setChecked(true);
        SetDesc(true);
        Child<QSpinBox>("ExtraLines")->setValue(1);
        Click("BMin");
    });
    const std::string spellsAdded = "kept\r\n" + SpellBytes({2, 0, 3, 1}, 1);
    EXPECT_EQ(ReadBytes(output), spellsAdded);

    Open(true, [&] {
        EXPECT_TRUE(Child<QCheckBox>("ToAppend")->isChecked()); // carried over
        SetDesc(false);
        Click("BCurrent");
    });
    EXPECT_EQ(ReadBytes(output), spellsAdded + ListBytes({0}));

    std::filesystem::remove(output);
    Open(true, [&] { Click("BMarked"); });
    EXPECT_EQ(ReadBytes(output), ListBytes({2}));
}

TEST_F(TForm2Test, utf8ChosenWithTheKeyboardIsWrittenAndRemembered) {
    Open(true, [&] {
        QComboBox* box = Child<QComboBox>("TextEncoding");
        EXPECT_TRUE(box->isVisible());
        EXPECT_EQ(box->currentText(), "DOS"); // first start: no remembered choice
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Down);
        SetDesc(true);
        Child<QSpinBox>("ExtraLines")->setValue(3);
        Click("BMin");
    });
    EXPECT_EQ(ReadBytes(output),
              "\xEF\xBB\xBF" + spelldata::TextOutputToUtf8(SpellBytes({2, 0, 3, 1}, 3)));
    EXPECT_EQ(ReadBytes(dir.file(spelldata::TextEncodingFileName)), "Text=UTF-8\r\n");
    Open(true, [&] {
        EXPECT_EQ(Child<QComboBox>("TextEncoding")->currentText(), "UTF-8");
        Click("BitBtn1");
    });
    WriteBytes(dir.file(spelldata::TextEncodingFileName), "Text=DOS\r\n");
    Open(true, [&] {
        EXPECT_EQ(Child<QComboBox>("TextEncoding")->currentText(), "DOS");
        Click("BMin");
    });
    EXPECT_EQ(ReadBytes(output), SpellBytes({2, 0, 3, 1}, 3));
}

TEST_F(TForm2Test, fileThatCannotBeCreatedShowsTheErrorOnceAndStops) {
    const std::string missing = dir.file("no-such-folder/out.ind");
    for (bool desc : {false, true}) {
        PromptScript::Answer(QMessageBox::Cancel);
        Open(true, [&] {
            Child<QLineEdit>("Spellindex")->setText(QString::fromStdString(missing));
            SetDesc(desc);
            Click("BMin");
        });
        EXPECT_FALSE(form.KeepGoing());
        EXPECT_FALSE(std::filesystem::exists(missing));
    }
    // One box per run, not one per spell, with the system's reason.
    const QString reason = QString::fromStdString(missing) + ": No such file or directory";
    ASSERT_EQ(PromptScript::Messages().size(), 2);
    for (const QString& message : PromptScript::Messages()) {
        EXPECT_TRUE(message.startsWith(QStringLiteral("ERROR: Could not Create File.\n")));
        EXPECT_TRUE(message.endsWith(reason)) << message.toStdString();
    }
    EXPECT_EQ(PromptScript::LastIcon(), Prompts::Icon::Error);
}

namespace {
// A disk that fills up after 100 bytes.
std::size_t g_room = 0;
ssize_t FullDiskWrite(int fd, const void* data, std::size_t size) {
    if (g_room == 0) {
        errno = ENOSPC;
        return -1;
    }
    const ssize_t done = ::write(fd, data, std::min(size, g_room));
    g_room -= done > 0 ? static_cast<std::size_t>(done) : 0;
    return done;
}
} // namespace

TEST_F(TForm2Test, anAppendThatFailsLeavesTheFileAsItWasAndGivesTheReason) {
    WriteBytes(output, "kept\r\n");
    for (const char* button : {"BMin", "BCurrent"}) {
        g_room = 100;
        spelldata::SetWriteCallForTesting(&FullDiskWrite);
        PromptScript::Answer(QMessageBox::Cancel);
        Open(true, [&] {
            Child<QCheckBox>("ToAppend")->setChecked(true);
            SetDesc(true);
            Click(button);
        });
        spelldata::SetWriteCallForTesting(nullptr);
        EXPECT_EQ(ReadBytes(output), "kept\r\n") << button;
    }
    EXPECT_EQ(PromptScript::Messages(),
              QStringList(2, QStringLiteral("ERROR: Could not Create File.\nCannot write ") +
                                 QString::fromStdString(output) +
                                 QStringLiteral(": No space left on device")));
}

TEST_F(TForm2Test, defaultFileNameAndTheBoxKeepingTheLettersTyped) {
    // The box shows and writes the name with the letters typed.
    Open(true, [&] {
        QLineEdit* box = Child<QLineEdit>("Spellindex");
        EXPECT_TRUE(box->isVisible());
        EXPECT_EQ(box->font().capitalization(), QFont::MixedCase);
        EXPECT_EQ(box->text(), QString::fromStdString(output));
        box->clear();
        QTest::keyClicks(box, QStringLiteral("Out.TXT"));
        EXPECT_EQ(box->text(), QStringLiteral("Out.TXT"));
        Click("BMin");
    });
    EXPECT_TRUE(std::filesystem::exists(dir.file("Out.TXT")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.txt")));
}

// Browse while appending: the user names a file that exists, is not asked
// whether to replace it, and the spells are added to that very file.
TEST_F(TForm2Test, browseToAppendKeepsTheChosenNameAndDoesNotOfferToReplace) {
    const std::string chosen = dir.file("MyList.TXT");
    WriteBytes(chosen, "kept\r\n");
    TypeIntoFileDialogs(QString::fromStdString(chosen));
    Open(true, [&] {
        QTest::mouseClick(Child<QCheckBox>("ToAppend"), Qt::LeftButton);
        SetDesc(false);
        Click("BitBtn2");
        EXPECT_EQ(Child<QLineEdit>("Spellindex")->text(), QString::fromStdString(chosen));
        Click("BCurrent");
    });
    typist.stop();
    EXPECT_TRUE(questions.isEmpty()) << questions.join(QStringLiteral("; ")).toStdString();
    EXPECT_EQ(ReadBytes(chosen), "kept\r\n" + ListBytes({0}));
    EXPECT_FALSE(std::filesystem::exists(dir.file("mylist.txt")));
}

TEST_F(TForm2Test, scopeButtonsFollowTheListAndItsMarks) {
    struct Case {
        std::vector<int> rows;
        int markedCount;
        bool marked;
        bool current;
    };
    const std::vector<Case> cases = {
        {{2, 0, 3, 1}, 2, true, true},
        {{0, 3, 1}, 2, false, true}, // the marked spells are not listed
        {{2, 0}, 0, false, true},    // no marks counted
        {{}, 2, false, false},
    };
    for (const Case& c : cases) {
        source.rows = c.rows;
        spells.SetAllMarked(false);
        if (c.markedCount > 0) {
            spells.SetMarked(2, true);
            spells.SetMarked(4, true);
        }
        Open(false, [&] {
            EXPECT_TRUE(Child<QPushButton>("BMin")->isEnabled());
            EXPECT_EQ(Child<QPushButton>("BMarked")->isEnabled(), c.marked);
            EXPECT_EQ(Child<QPushButton>("BCurrent")->isEnabled(), c.current);
            Click("BitBtn1");
        });
    }
}

TEST_F(TForm2Test, pannelSwitchesModesAndTheChoicesCarryOver) {
    Open(false, [&] {
        EXPECT_EQ(form.height(), 178);
        EXPECT_FALSE(Child<QSpinBox>("ExtraLines")->isVisible());
        SetDesc(true);
        EXPECT_TRUE(Child<QSpinBox>("ExtraLines")->isVisible());
        EXPECT_EQ(form.OutputMode(), 2);
        QTest::mouseClick(Child<QLabel>("Pannel"), Qt::LeftButton);
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Saving..."));
        EXPECT_EQ(form.height(), 220);
        EXPECT_TRUE(Child<QLineEdit>("Spellindex")->isVisible());
        EXPECT_TRUE(Child<QCheckBox>("ToAppend")->isVisible());
        EXPECT_EQ(form.OutputMode(), 4);
        Child<QSpinBox>("ExtraLines")->setValue(7);
        QTest::mouseClick(Child<QLabel>("Pannel"), Qt::LeftButton);
        EXPECT_EQ(form.height(), 178);
        EXPECT_FALSE(Child<QLineEdit>("Spellindex")->isVisible());
        EXPECT_EQ(Child<QCheckBox>("Desc")->text(), QStringLiteral("Print with Description"));
        Click("BitBtn1");
    });
    Open(true, [&] {
        EXPECT_EQ(form.OutputMode(), 4);
        EXPECT_EQ(Child<QSpinBox>("ExtraLines")->value(), 7);
        Click("BitBtn1");
    });
}

TEST_F(TForm2Test, currentSpellWithNoSelectedLineOnlyCloses) {
    source.selectedRow = -1;
    for (bool save : {true, false}) {
        Open(save, [&] {
            SetDesc(true);
            Click("BCurrent");
        });
    }
    // No file, no PDF prompt (it would be unexpected), no progress message.
    EXPECT_FALSE(std::filesystem::exists(output));
    EXPECT_TRUE(Progress().isEmpty());
}

TEST_F(TForm2Test, printedListShowsNamesAndCodes) {
    ChoosePdf();
    PromptScript::FileName(QString::fromStdString(dir.file("list.pdf")));
    Open(false, [&] { Click("BMin"); });
    EXPECT_EQ(Progress(), QStringLiteral("Printing List ..."));
    QStringList lines;
    for (const PrintedPiece& p : form.printStream().pieces())
        lines << QStringLiteral("%1/%2/%3/%4").arg(p.text).arg(p.style).arg(p.pointSize).arg(p.y);
    const int h20 = form.printStream().metrics(3, 20).height() + 2;
    const int h12 = form.printStream().metrics(0, 12).height() + 2;
    auto line = [&](int n) { return QString::number(h20 + n * h12); };
    EXPECT_EQ(lines, QStringList({"Spell List/3/20/0", "Glass Mind/0/12/" + line(0),
                                  "   (Ps D)/1/12/" + line(0), "Cinder Lattice/0/12/" + line(1),
                                  "   (W  3)/1/12/" + line(1), "Far Beyond/0/12/" + line(2),
                                  "   (W  14)/1/12/" + line(2), "Ember Psalm/2/12/" + line(3),
                                  "   (Pr 5)/1/12/" + line(3)}));
    EXPECT_EQ(PdfPageCount(dir.file("list.pdf")), 1);
}

TEST_F(TForm2Test, printedSpellsTakeExtraLinesAndMorePages) {
    ChoosePdf();
    // The gap between the first spell's last description line and the second
    // spell's name: one written line, then the empty 12-point lines.
    auto gapAfterFirstSpell = [&](int extraLines) {
        PromptScript::FileName(QString::fromStdString(dir.file("spells.pdf")));
        Open(false, [&] {
            SetDesc(true);
            Child<QSpinBox>("ExtraLines")->setValue(extraLines);
            Click("BMin");
        });
        const std::vector<PrintedPiece>& pieces = form.printStream().pieces();
        for (std::size_t i = 1; i < pieces.size(); ++i)
            if (pieces[i].text == QLatin1String("Cinder Lattice"))
                return pieces[i].y - pieces[i - 1].y - pieces[i - 1].height - 2;
        ADD_FAILURE() << "second spell not printed";
        return 0;
    };
    const int gapWithOne = gapAfterFirstSpell(1);
    const int lineHeight = form.printStream().metrics(0, 12).height();
    EXPECT_EQ(gapWithOne, lineHeight);
    EXPECT_EQ(gapAfterFirstSpell(4), 4 * lineHeight);
    EXPECT_EQ(form.printStream().pageCount(), 1);
    EXPECT_EQ(PdfPageCount(dir.file("spells.pdf")), 1);
    EXPECT_EQ(Progress(), QStringLiteral("Printing List with Description..."));

    gapAfterFirstSpell(66);
    EXPECT_GE(form.printStream().pageCount(), 3);
    EXPECT_EQ(PdfPageCount(dir.file("spells.pdf")), form.printStream().pageCount());
}

TEST_F(TForm2Test, printedSpellFieldsFollowTheKind) {
    ChoosePdf();
    auto labelsOf = [&](int slot) {
        source.rows = {slot};
        source.selectedRow = 0;
        PromptScript::FileName(QString::fromStdString(dir.file("one.pdf")));
        Open(false, [&] {
            SetDesc(true);
            Click("BCurrent");
        });
        QStringList labels;
        for (const PrintedPiece& piece : form.printStream().pieces())
            if (piece.style == 3 && piece.pointSize == 10)
                labels << piece.text;
        return labels;
    };
    EXPECT_EQ(labelsOf(1).size(), 7);
    EXPECT_EQ(labelsOf(1).first(), QStringLiteral("Priest Sphere:  "));
    const QStringList psionic = {"Power Score:  ", "Initial Cost:  ",     "Maintenance Cost:  ",
                                 "Range:  ",       "Preperation Time:  ", "Area of Effect:  "};
    EXPECT_EQ(labelsOf(2), psionic + QStringList{"Prerequisites:  "});
    spells[2].psi().Prerequisites.clear();
    EXPECT_EQ(labelsOf(2), psionic);
    EXPECT_EQ(Progress(), QStringLiteral("Printing Current Spell with Description..."));
}

TEST_F(TForm2Test, printerThatCannotBePreparedEndsTheCommand) {
    ChoosePdf();
    PromptScript::FileName(QString()); // the PDF dialog cancelled
    Open(false, [&] { Click("BMarked"); });
    EXPECT_TRUE(Progress().isEmpty()); // nothing is printed, so nothing said
    EXPECT_TRUE(PromptScript::Messages().isEmpty());

    PromptScript::FileName(QString::fromStdString(dir.file("no-such-folder/out.pdf")));
    PromptScript::Answer(QMessageBox::Ok);
    Open(false, [&] { Click("BMin"); });
    ASSERT_EQ(PromptScript::Messages().size(), 1);
    EXPECT_TRUE(PromptScript::Messages()[0].contains(QLatin1String("no-such-folder/out.pdf")));
    EXPECT_TRUE(form.printStream().pieces().empty());
}

TEST_F(TForm2Test, printTargetAndPreviewShowOnlyInPrintMode) {
    Open(false, [&] {
        QComboBox* target = Child<QComboBox>("PrintTarget");
        QCheckBox* preview = Child<QCheckBox>("PreviewFirst");
        EXPECT_TRUE(target->isVisible());
        EXPECT_TRUE(preview->isVisible());
        ASSERT_EQ(target->count(), 2);
        EXPECT_EQ(target->itemText(0), QStringLiteral("Printer"));
        EXPECT_EQ(target->itemText(1), QStringLiteral("PDF"));
        // Without a default printer only the PDF can be chosen, as before.
        auto* model = qobject_cast<QStandardItemModel*>(target->model());
        EXPECT_EQ(model->item(0)->isEnabled(), !NoDefaultPrinter());
        if (NoDefaultPrinter()) {
            EXPECT_EQ(form.printTarget(), PrintTarget::Pdf);
        }

        QTest::mouseClick(Child<QLabel>("Pannel"), Qt::LeftButton);
        EXPECT_FALSE(target->isVisible());
        EXPECT_FALSE(preview->isVisible());
        EXPECT_TRUE(Child<QCheckBox>("ToAppend")->isVisible());
        QTest::mouseClick(Child<QLabel>("Pannel"), Qt::LeftButton);
        EXPECT_TRUE(target->isVisible());
        EXPECT_TRUE(preview->isVisible());
        EXPECT_FALSE(Child<QCheckBox>("ToAppend")->isVisible());
        ChoosePdf();
        SetPreview(true);
        Click("BitBtn1");
    });
    Open(true, [&] {
        EXPECT_FALSE(Child<QComboBox>("PrintTarget")->isVisible());
        EXPECT_FALSE(Child<QCheckBox>("PreviewFirst")->isVisible());
        Click("BitBtn1");
    });
    Open(false, [&] {
        EXPECT_EQ(form.printTarget(), PrintTarget::Pdf); // carried over
        EXPECT_TRUE(Child<QCheckBox>("PreviewFirst")->isChecked());
        Click("BitBtn1");
    });
}

TEST_F(TForm2Test, choosingPdfAsksForTheFileNameAndWritesThePdf) {
    const std::string pdf = dir.file("chosen.pdf");
    PromptScript::FileName(QString::fromStdString(pdf));
    Open(false, [&] {
        ChoosePdf();
        SetDesc(false);
        Click("BCurrent");
    });
    EXPECT_EQ(Progress(), QStringLiteral("Printing Current Spell..."));
    EXPECT_EQ(form.printStream().pdfFileName(), QString::fromStdString(pdf));
    ASSERT_EQ(form.printStream().pieces().size(), 3u);
    EXPECT_EQ(form.printStream().pieces()[1].text, QStringLiteral("Cinder Lattice"));
    EXPECT_EQ(PdfPageCount(pdf), 1);
}

// The PDF file is named before the progress message comes up: the message
// stays on top and would cover the file dialog.
TEST_F(TForm2Test, pdfFileIsNamedBeforeTheProgressMessageShows) {
    const QString pdf = QString::fromStdString(dir.file("Named.pdf"));
    TypeIntoFileDialogs(pdf);
    Open(false, [&] {
        ChoosePdf();
        SetDesc(true);
        Click("BMin");
    });
    typist.stop();
    EXPECT_FALSE(progressOverFileDialog);
    EXPECT_EQ(Progress(), QStringLiteral("Printing List with Description..."));
    EXPECT_EQ(form.printStream().pdfFileName(), pdf);
    EXPECT_GT(PdfPageCount(pdf.toStdString()), 0);
}

// The preview asks for nothing (an unscripted file prompt fails the test) and
// shows no progress message; printing the same scope afterwards into a PDF
// draws the very same pieces on as many pages.
TEST_F(TForm2Test, previewShowsThePagesPrintingWouldProduce) {
    struct Case {
        const char* button;
        bool desc;
        int extraLines;
        int minPages;
    };
    const std::vector<Case> cases = {
        {"BMin", false, 2, 1},
        {"BMin", true, 66, 3},
        {"BMarked", true, 1, 1},
        {"BCurrent", false, 2, 1},
    };
    const std::string pdf = dir.file("printed.pdf");
    ChoosePdf();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.button) + (c.desc ? " with description" : ""));
        int previewed = -1;
        Open(false, [&] {
            SetDesc(c.desc);
            Child<QSpinBox>("ExtraLines")->setValue(c.extraLines);
            SetPreview(true);
            WhilePreviewIsUp([&](QPrintPreviewDialog& preview) {
                previewed = PreviewPageCount(preview);
                EXPECT_FALSE(progress.isVisible());
            });
            Click(c.button);
        });
        QCoreApplication::processEvents();
        ASSERT_TRUE(previewSeen);
        EXPECT_FALSE(std::filesystem::exists(pdf));
        const QStringList previewPieces = Pieces();
        EXPECT_GE(previewed, c.minPages);
        EXPECT_EQ(previewed, form.printStream().pageCount());

        PromptScript::FileName(QString::fromStdString(pdf));
        Open(false, [&] {
            SetPreview(false);
            Click(c.button);
        });
        EXPECT_FALSE(previewPieces.isEmpty());
        EXPECT_EQ(Pieces(), previewPieces);
        EXPECT_EQ(PdfPageCount(pdf), previewed);
        std::filesystem::remove(pdf);
    }
}

TEST_F(TForm2Test, printButtonOfThePreviewWritesThePreviewedPagesToTheNamedPdf) {
    const std::string pdf = dir.file("from-preview.pdf");
    int previewed = -1;
    QStringList previewPieces;
    Open(false, [&] {
        ChoosePdf();
        SetDesc(true);
        Child<QSpinBox>("ExtraLines")->setValue(40);
        SetPreview(true);
        WhilePreviewIsUp([&](QPrintPreviewDialog& preview) {
            previewed = PreviewPageCount(preview);
            previewPieces = Pieces();
            PromptScript::FileName(QString()); // no name: back to the preview
            ClickPrint(preview);
            EXPECT_TRUE(preview.isVisible());
            EXPECT_FALSE(std::filesystem::exists(pdf));
            EXPECT_TRUE(Progress().isEmpty());
            PromptScript::FileName(QString::fromStdString(pdf));
            ClickPrint(preview);
            EXPECT_FALSE(preview.isVisible());
        });
        Click("BMin");
    });
    QCoreApplication::processEvents();
    ASSERT_TRUE(previewSeen);
    EXPECT_GE(previewed, 2);
    EXPECT_EQ(PdfPageCount(pdf), previewed);
    EXPECT_EQ(form.printStream().pdfFileName(), QString::fromStdString(pdf));
    EXPECT_EQ(Pieces(), previewPieces);
    EXPECT_EQ(Progress(), QStringLiteral("Printing List with Description..."));
}

// The orientation buttons are gone from the preview, and a landscape setting
// made elsewhere (the page setup) still gives portrait pages.
TEST_F(TForm2Test, previewKeepsEveryPagePortrait) {
    int portraitWidth = 0;
    Open(false, [&] {
        ChoosePdf();
        SetPreview(true);
        WhilePreviewIsUp([&](QPrintPreviewDialog& preview) {
            const QString landscape =
                QCoreApplication::translate("QPrintPreviewDialog", "Landscape");
            int found = 0;
            for (QAction* action : preview.findChildren<QAction*>()) {
                if (action->text() != landscape)
                    continue;
                ++found;
                EXPECT_FALSE(action->isVisible());
            }
            EXPECT_EQ(found, 1);
            portraitWidth = form.printStream().pageWidth();
            preview.findChild<QPrintPreviewWidget*>()->setLandscapeOrientation();
        });
        Click("BMin");
    });
    QCoreApplication::processEvents();
    ASSERT_TRUE(previewSeen);
    EXPECT_GT(portraitWidth, 0);
    EXPECT_EQ(form.printStream().pageWidth(), portraitWidth);
    EXPECT_LT(form.printStream().pageWidth(), form.printStream().pageHeight());
}

// Tab follows the dialog as it reads and passes over what is hidden: in print
// mode the file name row lies below the dialog's edge. Space on the panel
// switches the mode.
TEST_F(TForm2Test, keyboardFollowsTheVisibleControlsInReadingOrder) {
    Open(false, [&] {
        ASSERT_TRUE(ActivateForKeys(form));
        SetDesc(false);
        EXPECT_EQ(TabCycle(form),
                  "BMin BCurrent BMarked Desc PrintTarget PreviewFirst BitBtn1 Pannel");
        const auto tabTo = [&](const char* name) {
            for (int i = 0; i < 20 && form.focusWidget()->objectName() != QLatin1String(name); ++i)
                QTest::keyClick(form.focusWidget(), Qt::Key_Tab);
        };
        tabTo("Desc");
        QTest::keyClick(form.focusWidget(), Qt::Key_Space);
        EXPECT_TRUE(Child<QCheckBox>("Desc")->isChecked());
        tabTo("Pannel");
        QTest::keyClick(form.focusWidget(), Qt::Key_Space);
        EXPECT_FALSE(form.PrintMode());
        EXPECT_EQ(
            TabCycle(form),
            "Pannel BMin BCurrent BMarked Desc ExtraLines ToAppend TextEncoding BitBtn1 Spellindex "
            "BitBtn2");
        Click("BitBtn1");
    });
}
