#include "spelldata/Settings.h"
#include "TestSupport.h"
#include "spelldata/FileIO.h"

#include <gtest/gtest.h>

using namespace spelldata;
using testsupport::ReadBytes;
using testsupport::TempDir;
using testsupport::WriteBytes;

namespace {
std::string folderOf(const TempDir& dir) {
    return dir.path().string() + "/";
}

IniSettings sampleIni() {
    IniSettings ini;
    ini.mainTop = -20;
    ini.mainLeft = 15;
    ini.mainHeight = 450;
    ini.mainWidth = 618;
    ini.viewTop = 3;
    ini.viewLeft = 310;
    ini.viewHeight = 380;
    ini.viewWidth = 290;
    ini.viewMaximised = true;
    ini.showDescription = true;
    ini.DescFontName = "Liberation Serif";
    ini.DescFontSize = 11;
    ini.ListFontName = "Arial";
    ini.mainMaximised = true;
    return ini;
}
} // namespace

TEST(ColourTest, DefaultsFillEverySlotButThirteenAndFourteen) {
    ColourSlots slots;
    slots[13] = 0x123456;
    SetDefaultColours(slots);
    EXPECT_EQ(slots[1], 0x8000000Fu);
    EXPECT_EQ(slots[2], 0x800080u);
    EXPECT_EQ(slots[5], 0x808000u);
    for (int s = 6; s <= 10; ++s)
        EXPECT_EQ(slots[s], slots[s - 5]) << s;
    EXPECT_EQ(slots[11], 0u);
    EXPECT_EQ(slots[12], 0xFFFFFFu);
    EXPECT_EQ(slots[13], 0x123456u);
    EXPECT_EQ(slots[14], 0u);
    EXPECT_EQ(slots[15], 0xFF0000u);
    EXPECT_EQ(slots[16], 0x008000u);
    EXPECT_EQ(slots[17], 0x000080u);
    EXPECT_EQ(slots[20], 0x0000FFu);
    EXPECT_EQ(slots[21], 0x80000005u);
}

TEST(ColourTest, FileIsEightyFourLittleEndianBytesAndRoundTrips) {
    ColourSlots slots;
    SetDefaultColours(slots);
    slots[14] = 0x00020304;
    slots[13] = 0x8000001E; // the last system colour
    const std::string bytes = FormatColourFile(slots);
    ASSERT_EQ(bytes.size(), 84u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x0F\x00\x00\x80", 4));
    EXPECT_EQ(bytes.substr(52, 4), std::string("\x04\x03\x02\x00", 4));
    ColourSlots back;
    int replaced = -1;
    ASSERT_TRUE(ParseColourFile(bytes, "c", back, &replaced).ok());
    EXPECT_EQ(back, slots);
    EXPECT_EQ(replaced, 0);
    EXPECT_EQ(ParseColourFile(bytes.substr(0, 83), "c", back).kind, ErrorKind::Malformed);
}

TEST(ColourTest, ValuesThatAreNoColoursFallBackToTheSlotDefault) {
    ColourSlots defaults;
    SetDefaultColours(defaults);
    ColourSlots back;
    int replaced = 0;
    ASSERT_TRUE(ParseColourFile(std::string(84, '\xFF'), "c", back, &replaced).ok());
    EXPECT_EQ(back, defaults);
    EXPECT_EQ(replaced, 21);

    ColourSlots slots = defaults;
    slots[15] = 0x01000000; // a fourth byte
    slots[20] = 0x8000001F; // past the system colours
    slots[3] = 0x00FFFFFF;  // white is a colour
    ASSERT_TRUE(ParseColourFile(FormatColourFile(slots), "c", back, &replaced).ok());
    EXPECT_EQ(replaced, 2);
    EXPECT_EQ(back[15], 0xFF0000u);
    EXPECT_EQ(back[20], 0x0000FFu);
    EXPECT_EQ(back[3], 0xFFFFFFu);
}

TEST(IniTest, WritesFourteenLinesAndReadsThemBack) {
    const IniSettings ini = sampleIni();
    const std::string text = FormatIniFile(ini);
    EXPECT_EQ(text, "-20\r\n15\r\n450\r\n618\r\n3\r\n310\r\n380\r\n290\r\n1\r\n1\r\n"
                    "Liberation Serif\r\n11\r\nArial\r\n1\r\n");
    IniSettings back;
    ASSERT_TRUE(ParseIniFile(text, "ini", back).ok());
    EXPECT_EQ(back, ini);
}

TEST(IniTest, ThirteenLinesMeanNotMaximisedAndTwelveAreRefused) {
    std::string text = FormatIniFile(sampleIni());
    text.erase(text.rfind("1\r\n"));
    IniSettings back;
    ASSERT_TRUE(ParseIniFile(text, "ini", back).ok());
    EXPECT_FALSE(back.mainMaximised);
    EXPECT_EQ(back.ListFontName, "Arial");
    text.erase(text.rfind("Arial\r\n"));
    back = sampleIni();
    EXPECT_EQ(ParseIniFile(text, "ini", back).kind, ErrorKind::Malformed);
    EXPECT_EQ(back, sampleIni());
}

TEST(IniTest, NonNumbersAreRefusedNamingTheLine) {
    for (const int line : {1, 8, 12}) {
        std::string text = FormatIniFile(sampleIni());
        std::size_t at = 0;
        for (int i = 1; i < line; ++i)
            at = text.find("\r\n", at) + 2;
        text.insert(at, "x");
        IniSettings back;
        const Status s = ParseIniFile(text, "Quarvine.ini", back);
        EXPECT_EQ(s.kind, ErrorKind::Malformed);
        EXPECT_NE(s.message.find("Quarvine.ini, line " + std::to_string(line)), std::string::npos)
            << s.message;
    }
}

TEST(SettingsFilesTest, FirstStartCreatesOnlyTheFileListAndUsesDefaultColours) {
    TempDir dir;
    Settings settings;
    ASSERT_TRUE(LoadSettings(folderOf(dir), settings).ok());
    EXPECT_EQ(ReadBytes(dir.file("quarvine.lst")), "");
    EXPECT_FALSE(CanOpenFile(dir.file("Quarvine.ini")));
    EXPECT_FALSE(CanOpenFile(dir.file("Quarvine.Col")));
    EXPECT_FALSE(settings.haveIni);
    EXPECT_EQ(settings.ini.DescFontName, "Times New Roman");
    EXPECT_EQ(settings.colours[13], 0u);
    EXPECT_EQ(settings.colours[21], WindowColour);
}

TEST(SettingsFilesTest, SaveThenLoadGivesEverythingBack) {
    TempDir dir;
    Settings saved;
    saved.ini = sampleIni();
    SetDefaultColours(saved.colours);
    saved.colours[1] = 0x00ABCDEF;
    saved.colours[21] = 0x8000000F;
    saved.fileList = {"/data/spells.Dat", "/data/more spells.Dat"};
    ASSERT_TRUE(SaveSettings(folderOf(dir), saved).ok());
    EXPECT_EQ(ReadBytes(dir.file("Quarvine.Col")).size(), 84u);
    EXPECT_EQ(ReadBytes(dir.file("quarvine.lst")), "/data/spells.Dat\r\n/data/more spells.Dat\r\n");

    Settings loaded;
    ASSERT_TRUE(LoadSettings(folderOf(dir), loaded).ok());
    EXPECT_TRUE(loaded.haveIni);
    EXPECT_EQ(loaded.ini, saved.ini);
    EXPECT_EQ(loaded.colours, saved.colours);
    EXPECT_EQ(loaded.fileList, saved.fileList);
}

TEST(SettingsFilesTest, ShortColourFileGivesDefaultsAndBadIniIsReported) {
    TempDir dir;
    WriteBytes(dir.file("Quarvine.Col"), std::string(40, '\x11'));
    WriteBytes(dir.file("Quarvine.ini"), "top\r\n");
    Settings settings;
    const Status s = LoadSettings(folderOf(dir), settings);
    EXPECT_EQ(s.kind, ErrorKind::Malformed);
    EXPECT_FALSE(settings.haveIni);
    EXPECT_EQ(settings.colours[2], 0x800080u);
}

TEST(SettingsFilesTest, UnwritableFolderIsReportedWithTheFileName) {
    TempDir dir;
    Settings settings;
    const Status s = SaveSettings(dir.file("missing-folder") + "/", settings);
    EXPECT_EQ(s.kind, ErrorKind::Io);
    EXPECT_NE(s.message.find("quarvine.lst"), std::string::npos) << s.message;
}
