#include "TForm2.h"

#include "Prompts.h"
#include "SpellCollection.h"
#include "TFMessage.h"
#include "TestSupport.h"
#include "TextExport.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

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
        spells[2]->Marked = 1;
        spells[4]->Marked = 1;
        spells.MarkedCount = 2;
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
    QString Progress() { return progress.findChild<QLabel*>("LText")->text(); }

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
    const std::string output = dir.file("spells.ind"); // from Spells.dat, lower-cased
    spelldata::SpellCollection spells;
    ListSource source;
    TFMessage progress;
    TForm2 form;
    QTimer watchdog;
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
    // One box per run, not one per spell.
    EXPECT_EQ(PromptScript::Messages(),
              QStringList(2, QStringLiteral("ERROR: Could not Create File.")));
    EXPECT_EQ(PromptScript::LastIcon(), Prompts::Icon::Error);
}

TEST_F(TForm2Test, defaultFileNameAndItsLowerCaseBox) {
    EXPECT_EQ(TForm2::IndexFileName(QStringLiteral("spells.dat")), QStringLiteral("spells.Ind"));
    EXPECT_EQ(TForm2::IndexFileName(QString()), QStringLiteral(".Ind"));
    EXPECT_EQ(TForm2::IndexFileName(QStringLiteral("spells")), QStringLiteral("spells.Ind"));
    EXPECT_EQ(TForm2::IndexFileName(QStringLiteral("my.spells.dat")), QStringLiteral("my.Ind"));
    // A dot in a folder name does not count.
    EXPECT_EQ(TForm2::IndexFileName(QStringLiteral("/home/u/.local/data/core.Dat")),
              QStringLiteral("/home/u/.local/data/core.Ind"));
    EXPECT_EQ(TForm2::IndexFileName(QStringLiteral("C:\\A.B\\SPELLS")),
              QStringLiteral("C:\\A.B\\SPELLS.Ind"));

    source.fileBoxText = QStringLiteral("/Data/Dir/MySpells.DAT");
    Open(true, [&] {
        QLineEdit* box = Child<QLineEdit>("Spellindex");
        EXPECT_TRUE(box->isVisible());
        EXPECT_EQ(box->text(), QStringLiteral("/Data/Dir/myspells.ind"));
        box->clear();
        QTest::keyClicks(box, QStringLiteral("Out.TXT"));
        EXPECT_EQ(box->text(), QStringLiteral("out.txt"));
        Click("BitBtn1");
    });
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.txt")));
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
        spells.MarkedCount = c.markedCount;
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
    if (!NoDefaultPrinter())
        GTEST_SKIP() << "a default printer exists";
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
    if (!NoDefaultPrinter())
        GTEST_SKIP() << "a default printer exists";
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
    if (!NoDefaultPrinter())
        GTEST_SKIP() << "a default printer exists";
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
    if (!NoDefaultPrinter())
        GTEST_SKIP() << "a default printer exists";
    PromptScript::FileName(QString()); // the PDF dialog cancelled
    Open(false, [&] { Click("BMarked"); });
    EXPECT_EQ(Progress(), QStringLiteral("Printing Marked List..."));
    EXPECT_TRUE(PromptScript::Messages().isEmpty());

    PromptScript::FileName(QString::fromStdString(dir.file("no-such-folder/out.pdf")));
    PromptScript::Answer(QMessageBox::Ok);
    Open(false, [&] { Click("BMin"); });
    ASSERT_EQ(PromptScript::Messages().size(), 1);
    EXPECT_TRUE(PromptScript::Messages()[0].contains(QLatin1String("no-such-folder/out.pdf")));
    EXPECT_TRUE(form.printStream().pieces().empty());
}
