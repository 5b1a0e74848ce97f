// Settings written on close and read back at the next start.
#include "MainWindowFixture.h"

#include "controls/DisplaySettings.h"
#include "controls/THistoryComboBox.h"
#include "dialogs/info/TFInfo.h"
#include "spelldata/FileIO.h"
#include "spelldata/Settings.h"

using namespace spelldata;
using testsupport::ReadBytes;

namespace {
class TMainSettings : public MainWindowFixture {};
} // namespace

TEST_F(TMainSettings, FirstStartCreatesTheFileListAndDefaultColours) {
    EXPECT_EQ(ReadBytes(dir.file("quarvine.lst")), "");
    EXPECT_FALSE(CanOpenFile(dir.file("Quarvine.ini")));
    EXPECT_EQ(CurrentDisplay().colours[2], 0x800080u);
    EXPECT_EQ(CurrentDisplay().colours[13], 0u);
}

TEST_F(TMainSettings, EverySettingSurvivesACloseAndAStart) {
    ColourSlots colours;
    for (int slot = 1; slot <= ColourSlotCount; ++slot)
        colours[slot] = 0x010203u * static_cast<unsigned>(slot);
    colours[1] = ButtonFaceColour;
    colours[21] = WindowColour;
    CurrentDisplay().colours = colours;
    CurrentDisplay().ListFontName = "Liberation Sans";
    CurrentDisplay().DescFontName = "Liberation Mono";
    CurrentDisplay().DescFontSize = 13;
    const QString path = copySample();
    PromptScript::FileName(path);
    click("BitBtn11");
    window->setGeometry(40, 60, 700, 520);
    window->quickView()->setGeometry(5, 7, 300, 260);
    window->quickView()->findChild<QToolButton*>("ShowDesc")->setChecked(false);
    PromptScript::Answer(QMessageBox::No);
    ASSERT_TRUE(window->close());

    CurrentDisplay() = DisplaySettings();
    window.reset();
    startWindow();
    EXPECT_EQ(CurrentDisplay().colours, colours);
    EXPECT_EQ(CurrentDisplay().ListFontName, "Liberation Sans");
    EXPECT_EQ(CurrentDisplay().DescFontName, "Liberation Mono");
    EXPECT_EQ(CurrentDisplay().DescFontSize, 13);
    ASSERT_EQ(window->fileBox()->count(), 1);
    EXPECT_EQ(window->fileBox()->itemText(0), path);
    EXPECT_EQ(window->quickView()->geometry(), QRect(5, 7, 300, 260));
    EXPECT_FALSE(window->quickView()->findChild<QToolButton*>("ShowDesc")->isChecked());
    EXPECT_EQ(window->size(), QSize(700, 520));
}

TEST_F(TMainSettings, AnUnwritableSettingsFolderIsReportedOnceAndClosingGoesOn) {
    window.reset();
    std::filesystem::remove_all(dir.path() / "gone");
    window = std::make_unique<TMain>(QString::fromStdString(dir.file("gone/")));
    PromptScript::Answer(QMessageBox::Ok); // the file list cannot be created at start
    window->StartUp();
    PromptScript::Answer(QMessageBox::Ok); // the first close reports the failure...
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(window->close()); // ...and later ones stay quiet
    EXPECT_EQ(PromptScript::Messages().size(), 2);
}

TEST_F(TMainSettings, AColourFileOfNoColoursGivesTheDefaultsAndAWarning) {
    window.reset();
    std::string bytes(84, '\xFF');
    bytes.replace(4 * 14, 4, std::string("\x12\x34\x56\x00", 4)); // slot 15 is a colour
    testsupport::WriteBytes(dir.file("Quarvine.Col"), bytes);
    PromptScript::Answer(QMessageBox::Ok);
    startWindow();
    ASSERT_EQ(PromptScript::Messages().size(), 1);
    EXPECT_EQ(PromptScript::Messages().front(),
              file("Quarvine.Col") +
                  ": 20 of the 21 values are not colours; those slots use their default colours.");
    ColourSlots defaults;
    SetDefaultColours(defaults);
    defaults[15] = 0x563412;
    EXPECT_EQ(CurrentDisplay().colours, defaults);
    EXPECT_EQ(ColourFromValue(CurrentDisplay().colours[20], QPalette()), QColor(Qt::red));
}
