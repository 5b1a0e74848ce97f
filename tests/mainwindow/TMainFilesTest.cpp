// The main window's file commands: open, add mode, save, import, close.
#include "MainWindowFixture.h"

#include "controls/THistoryComboBox.h"
#include "dialogs/info/TFInfo.h"
#include "spelldata/DataFile.h"
#include "spelldata/FileIO.h"

#include <QAction>
#include <QMdiArea>
#include <filesystem>
#include <sys/stat.h>

using namespace spelldata;
using testsupport::ReadBytes;
using testsupport::WriteBytes;

namespace {
class TMainFiles : public MainWindowFixture {};
} // namespace

TEST_F(TMainFiles, StartsEmptyWithSaveAndPrintDisabled) {
    EXPECT_EQ(window->windowTitle(), "Quarvine 6.20");
    EXPECT_FALSE(control<QWidget>("ListPanel")->isEnabled());
    for (const char* name : {"BSaveConv", "BPrint", "BSaveText", "BOpenAdd"})
        EXPECT_FALSE(control(name)->isEnabled()) << name;
    EXPECT_FALSE(control<QAction>("MSaveData")->isEnabled());
    EXPECT_EQ(labelText("LMax"), "0");
    EXPECT_EQ(window->session()->rawBooks().size(), 155u);
}

TEST_F(TMainFiles, OpeningTheSampleListsEverySpellAndFillsTheQuickView) {
    openFile(copySample());
    EXPECT_EQ(window->session()->rawSpells().Count(), 30);
    EXPECT_EQ(labelText("LCur"), "30");
    EXPECT_EQ(labelText("LMax"), "30");
    EXPECT_EQ(labelText("LMark"), "0");
    QStringList names = listedNames();
    QStringList sorted = names;
    std::stable_sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    EXPECT_EQ(names, sorted);
    EXPECT_EQ(window->listPanel()->SList->selectedRow(), 0);
    ASSERT_NE(window->quickView(), nullptr);
    EXPECT_EQ(window->quickView()->windowTitle(), names.front());
    for (const char* name : {"BSaveConv", "BPrint", "BSaveText", "BOpenAdd"})
        EXPECT_TRUE(control(name)->isEnabled()) << name;
    EXPECT_EQ(window->listPanel()->CBooks->count(), 3); // no-book entry and two books
}

TEST_F(TMainFiles, AddModeAppendsAndReplaceModeReplaces) {
    const QString path = copySample();
    openFile(path);
    click("BOpenAdd");
    EXPECT_TRUE(window->session()->addMode());
    click("BOpenConv");
    EXPECT_EQ(window->session()->rawSpells().Count(), 60);
    EXPECT_EQ(labelText("LMax"), "60");
    click("BOpenAdd");
    click("BOpenConv");
    EXPECT_EQ(window->session()->rawSpells().Count(), 30);
}

TEST_F(TMainFiles, AMalformedSetIsRefusedAndEverythingStaysAsItWas) {
    openFile(copySample());
    const QStringList before = listedNames();
    WriteBytes(dir.file("broken.Dat"), "2\r\nOnly one\r\n0\r\nQ\r\n");
    PromptScript::Answer(QMessageBox::Cancel);
    openFile(file("broken.Dat"));
    ASSERT_EQ(PromptScript::Messages().size(), 1);
    EXPECT_TRUE(PromptScript::Messages().front().contains("broken.Dat, line 4"))
        << PromptScript::Messages().front().toStdString();
    EXPECT_EQ(window->session()->rawSpells().Count(), 30);
    EXPECT_EQ(listedNames(), before);
    EXPECT_EQ(window->session()->rawBooks()[1], "Mirela's Travelling Book");
}

TEST_F(TMainFiles, AMissingFileIsOfferedForRemovalFromTheList) {
    PromptScript::FileName(file("gone.Dat"));
    click("BitBtn11");
    PromptScript::Answer(QMessageBox::Cancel);
    click("BOpenConv");
    EXPECT_EQ(window->fileBox()->count(), 1);
    PromptScript::Answer(QMessageBox::Ok);
    click("BOpenConv");
    EXPECT_EQ(window->fileBox()->count(), 0);
    EXPECT_EQ(PromptScript::Messages().back(),
              "File " + file("gone.Dat") + " doesn't exist, removing file from file list");
    PromptScript::Answer(QMessageBox::Ok);
    click("BOpenConv");
    EXPECT_EQ(PromptScript::Messages().back(),
              "Must select a file first (using the browse icon or selecting from the file combo "
              "box)");
}

// Files a user may find in a folder: each is refused with a message that
// says what is wrong, the collection stays as it was, nothing else changes.
TEST_F(TMainFiles, HostileFilesAreRefusedClearlyAndNothingChanges) {
    openFile(copySample());
    const QStringList before = listedNames();
    WriteBytes(dir.file("binary.Dat"), std::string(2 << 20, '\x07'));
    std::string fewer = ReadBytes(dir.file("sample.Dat"));
    fewer.replace(0, 2, "3");
    WriteBytes(dir.file("fewer.Dat"), fewer);
    ASSERT_EQ(::mkfifo(dir.file("pipe.Dat").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.file("folder.Dat"));
    copySample("journal");
    testsupport::TempDir elsewhere;
    const std::string victim = elsewhere.file("victim.txt");
    WriteBytes(victim, "keep me");
    const std::string target = std::filesystem::canonical(dir.path()).string() + "/journal.Dat";
    WriteBytes(dir.file("journal.Dat.commit"),
               std::string("F") + victim + '\0' + '\0' + target + '\0' + "1" + '\0');
    const std::pair<const char*, const char*> cases[] = {
        {"binary.Dat", "binary.Dat, line 1: the count line"},
        {"fewer.Dat", "the count line gives 3 spells, but the file goes on"},
        {"pipe.Dat", "pipe.Dat: not a regular file"},
        {"folder.Dat", "folder.Dat: a folder, not a file"},
        {"journal.Dat", "journal.Dat.commit can be removed"},
    };
    for (const auto& [name, expected] : cases) {
        PromptScript::Answer(QMessageBox::Cancel);
        openFile(file(name));
        ASSERT_EQ(PromptScript::Messages().size(), 1) << name;
        const QString message = PromptScript::Messages().takeFirst();
        EXPECT_TRUE(message.contains(expected)) << message.left(300).toStdString();
        EXPECT_LT(message.size(), 400) << name;
        EXPECT_EQ(window->session()->rawSpells().Count(), 30) << name;
        EXPECT_EQ(listedNames(), before) << name;
        PromptScript::Start();
    }
    EXPECT_EQ(ReadBytes(victim), "keep me");
}

// A file name that is not UTF-8, left in the file list by a previous run,
// opens and saves under its own bytes.
TEST_F(TMainFiles, AFileNameThatIsNotUtf8OpensAndSaves) {
    const std::string base = dir.file("Sp\xE9lls \xFF");
    for (const char* ext : {".Dat", ".SBK", ".SBN"})
        WriteBytes(base + ext,
                   ReadBytes(testsupport::SourcePath(std::string("samples/sample-spells") + ext)));
    window.reset();
    WriteBytes(dir.file("quarvine.lst"), base + ".Dat\r\n");
    startWindow();
    ASSERT_EQ(window->fileBox()->count(), 1);
    window->fileBox()->setCurrentIndex(0); // picked from the list
    click("BOpenConv");
    EXPECT_EQ(PromptScript::Messages(), QStringList());
    EXPECT_EQ(window->session()->rawSpells().Count(), 30);
    PromptScript::Answer(QMessageBox::Yes);
    click("BSaveConv");
    EXPECT_EQ(PromptScript::Messages().size(), 1);
    EXPECT_EQ(PromptScript::Unexpected(), QStringList());
    EXPECT_EQ(ReadBytes(base + ".Dat"),
              ReadBytes(testsupport::SourcePath("samples/sample-spells.Dat")));
    PromptScript::Answer(QMessageBox::No);
    window->close();
    EXPECT_EQ(ReadBytes(dir.file("quarvine.lst")), base + ".Dat\r\n");
}

TEST_F(TMainFiles, SavingAsksFirstAndWritesOnlyOnYes) {
    const QString path = copySample();
    openFile(path);
    window->session()->rawSpells()[0]->Name = "Renamed";
    PromptScript::Answer(QMessageBox::No);
    click("BSaveConv");
    EXPECT_EQ(PromptScript::Messages().back(), "Are you sure you want to save file: " + path);
    SpellCollection onDisk;
    BookList books;
    ReadDataFile(onDisk, books, dir.file("sample"));
    EXPECT_NE(onDisk[0]->Name, "Renamed");
    PromptScript::Answer(QMessageBox::Yes);
    click("BSaveConv");
    onDisk.FreeAllSpells();
    ReadDataFile(onDisk, books, dir.file("sample"));
    EXPECT_EQ(onDisk[0]->Name, "Renamed");
    EXPECT_EQ(books[2], "Temple of the Slow River");
}

TEST_F(TMainFiles, ImportConvertsAddsTheDataPathAndSavesAfterConfirming) {
    const std::string text = dir.file("CORE.TXT");
    WriteBytes(text, ReadBytes(testsupport::SourcePath("samples/sample-spells.txt")));
    PromptScript::FileName(QString::fromStdString(text));
    PromptScript::Answer(QMessageBox::Yes);
    click("BOpen");
    EXPECT_EQ(window->fileBox()->currentText(), file("CORE.Dat"));
    EXPECT_EQ(window->session()->rawSpells().Count(), 30);
    EXPECT_EQ(labelText("LCur"), "30");
    EXPECT_TRUE(CanOpenFile(dir.file("CORE.Dat")));
    EXPECT_TRUE(CanOpenFile(dir.file("CORE.SBN")));
    EXPECT_TRUE(control("BSaveConv")->isEnabled());
}

TEST_F(TMainFiles, AFailedOrEmptyImportChangesNothing) {
    const QString path = copySample();
    openFile(path);
    window->session()->rawSpells()[0]->Name = "Unsaved edit";
    WriteBytes(dir.file("blank.TXT"), "\r\n\r\n");
    const struct {
        QString file, message;
    } cases[] = {
        {file("missing.TXT"), "File Not Found, or beeing used by other application."},
        {file("blank.TXT"), "No spells found in " + file("blank.TXT")},
    };
    for (const auto& c : cases) {
        PromptScript::FileName(c.file);
        PromptScript::Answer(QMessageBox::Cancel);
        click("BOpen");
        EXPECT_EQ(PromptScript::Messages().back(), c.message);
        EXPECT_EQ(window->session()->rawSpells().Count(), 30);
        EXPECT_EQ(window->session()->rawSpells()[0]->Name, "Unsaved edit");
        EXPECT_EQ(window->listModel()->rowCount(), 30);
        EXPECT_EQ(window->fileBox()->currentText(), path);
        EXPECT_EQ(window->fileBox()->count(), 1);
        EXPECT_TRUE(control("BSaveConv")->isEnabled());
    }
}

TEST_F(TMainFiles, AJoinedImportKeepsEverySpellAndNamesTheSkippedLine) {
    const std::string rule(72, '\xC4');
    const auto block = [&](const std::string& name) {
        return rule + "\r\n" + name + " (School)\r\n\r\nCantrip\r\n\r\n\r\n" + rule + "\r\n" +
               name + " text";
    };
    // Notes first, then two files joined without a line end between them.
    WriteBytes(dir.file("JOINED.TXT"), "notes\r\n" + block("One") + block("Two") + "\r\n" +
                                           block("Three") + "\r\n" + rule + "\r\n\r\n");
    PromptScript::FileName(file("JOINED.TXT"));
    PromptScript::Answer(QMessageBox::Ok);
    PromptScript::Answer(QMessageBox::No);
    click("BOpen");
    ASSERT_EQ(PromptScript::Messages().size(), 2);
    EXPECT_EQ(PromptScript::Messages().front(),
              "Line 1 of " + file("JOINED.TXT") + " holds no spell and was skipped.");
    EXPECT_EQ(listedNames(), (QStringList{"One ", "Three ", "Two "}));
    EXPECT_EQ(window->session()->rawSpells()[0]->Description, "One text\r\n");
}

TEST_F(TMainFiles, OpenDataFileMenuOpensADataSetAndImportsText) {
    const QString path = copySample();
    PromptScript::FileName(path);
    click("BitBtn11");
    control<QAction>("MOpenData")->trigger();
    EXPECT_EQ(window->session()->rawSpells().Count(), 30);
    EXPECT_EQ(window->session()->rawBooks()[1], "Mirela's Travelling Book");
}

TEST_F(TMainFiles, CloseQueryAnswersAndTheSettingsWrittenEachTime) {
    openFile(copySample());
    PromptScript::Answer(QMessageBox::Cancel);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(CanOpenFile(dir.file("Quarvine.ini")));
    EXPECT_EQ(ReadBytes(dir.file("Quarvine.Col")).size(), 84u);
    window->session()->rawSpells()[1]->Name = "Saved on exit";
    PromptScript::Answer(QMessageBox::Yes);
    EXPECT_TRUE(window->close());
    SpellCollection onDisk;
    BookList books;
    ReadDataFile(onDisk, books, dir.file("sample"));
    EXPECT_EQ(onDisk[1]->Name, "Saved on exit");
}

TEST_F(TMainFiles, CloseWithNoAnswerNoWritesNothingAndEmptyBoxAsksNothing) {
    EXPECT_TRUE(window->close()); // empty file box: no question
    startWindow();
    openFile(copySample());
    const std::string before = ReadBytes(dir.file("sample.Dat"));
    window->session()->rawSpells()[0]->Name = "Not saved";
    PromptScript::Answer(QMessageBox::No);
    EXPECT_TRUE(window->close());
    EXPECT_EQ(ReadBytes(dir.file("sample.Dat")), before);
}

TEST_F(TMainFiles, CloseAllKeepsOnlyTheQuickView) {
    openFile(copySample());
    QMdiArea* area = window->mdiArea();
    for (int i = 0; i < 3; ++i) {
        auto* info = new TFInfo;
        area->addSubWindow(info);
        info->setTag(0);
        info->show();
    }
    EXPECT_EQ(area->subWindowList().size(), 4);
    click("BCloseAll");
    ASSERT_EQ(area->subWindowList().size(), 1);
    EXPECT_EQ(area->subWindowList().front(), window->quickView());
    window->quickView()->showMinimized();
    click("BBringToFront");
    EXPECT_FALSE(window->quickView()->isMinimized());
}
