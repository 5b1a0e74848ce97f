#pragma once

#include "spelldata/Status.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace spelldata {

// File names of the settings, kept in the program's settings folder.
inline constexpr const char* IniFileName = "Quarvine.ini";
inline constexpr const char* FileListName = "quarvine.lst";
inline constexpr const char* ColourFileName = "Quarvine.Col";

// A colour value: 0x00BBGGRR, or 0x80000000 plus a system-colour index.
using ColourValue = std::uint32_t;
inline constexpr ColourValue SystemColourFlag = 0x80000000u;
inline constexpr ColourValue ButtonFaceColour = 0x8000000Fu;
inline constexpr ColourValue WindowColour = 0x80000005u;
inline constexpr int ColourSlotCount = 21;

// The colour slots by what they colour. 13 and 14 are kept but unused.
namespace ColourSlot {
inline constexpr int QuickViewBackground = 1; // 1..5: the quick view's field group,
inline constexpr int QuickViewCaptions = 2;   // field captions, field values,
inline constexpr int QuickViewValues = 3;     // school line and sphere line
inline constexpr int QuickViewSchool = 4;
inline constexpr int QuickViewSphere = 5;
inline constexpr int InfoBackground = 6; // 6..10: the same in the other info windows
inline constexpr int InfoCaptions = 7;
inline constexpr int InfoValues = 8;
inline constexpr int InfoSchool = 9;
inline constexpr int InfoSphere = 10;
inline constexpr int DescriptionText = 11;
inline constexpr int DescriptionBackground = 12;
inline constexpr int WizardName = 15; // 15..17: names by kind, wizard, priest, psionic
inline constexpr int PriestName = 16;
inline constexpr int PsionicName = 17;
inline constexpr int QuickViewLevel = 18;
inline constexpr int InfoLevel = 19;
inline constexpr int ListLevel = 20;
inline constexpr int ListBackground = 21;
} // namespace ColourSlot

// Colour slots 1..21 (index 0 of the array is slot 1).
class ColourSlots {
public:
    ColourValue& operator[](int slot) { return values_.at(static_cast<std::size_t>(slot - 1)); }
    ColourValue operator[](int slot) const {
        return values_.at(static_cast<std::size_t>(slot - 1));
    }
    bool operator==(const ColourSlots&) const = default;

private:
    std::array<ColourValue, ColourSlotCount> values_{};
};

// Sets slots 1..12 and 15..21 to their defaults; 13 and 14 are not touched.
void SetDefaultColours(ColourSlots& slots);

// The window places, switches and fonts of the ini file, line by line.
struct IniSettings {
    int mainTop = 0, mainLeft = 0, mainHeight = 0, mainWidth = 0;
    int viewTop = 0, viewLeft = 0, viewHeight = 0, viewWidth = 0;
    bool viewMaximised = false;
    bool showDescription = false;
    std::string DescFontName = "Times New Roman";
    int DescFontSize = 0;
    std::string ListFontName = "Times New Roman";
    bool mainMaximised = false; // line 14; a 13-line file means "not maximised"
    bool operator==(const IniSettings&) const = default;
};

// Reads an ini file (13 or 14 lines). NotFound when it cannot be opened;
// Malformed, naming the file and line, when a number is not a number.
Status ReadIniFile(const std::string& path, IniSettings& out);
Status ParseIniFile(const std::string& text, const std::string& name, IniSettings& out);
Status WriteIniFile(const std::string& path, const IniSettings& ini);
std::string FormatIniFile(const IniSettings& ini);

// The file box history: one path per line. Every line is an entry, so the
// parse cannot fail; `out` is replaced.
Status ReadFileList(const std::string& path, std::vector<std::string>& out);
void ParseFileList(std::string_view text, std::vector<std::string>& out);
Status WriteFileList(const std::string& path, const std::vector<std::string>& entries);
std::string FormatFileList(const std::vector<std::string>& entries);

// The colour file: exactly 84 bytes, 21 little-endian 32-bit values. A file
// shorter than 84 bytes is refused (Malformed); extra bytes are ignored. A
// value that is no colour (neither 0x00BBGGRR nor a system colour, 0x80000000
// plus an index up to 30) is replaced by the slot's default and counted in
// `replaced`.
Status ReadColourFile(const std::string& path, ColourSlots& out, int* replaced = nullptr);
Status ParseColourFile(const std::string& bytes, const std::string& name, ColourSlots& out,
                       int* replaced = nullptr);

// True when a stored value is a colour: an RGB value or a system colour.
bool IsColourValue(ColourValue value);
Status WriteColourFile(const std::string& path, const ColourSlots& slots);
std::string FormatColourFile(const ColourSlots& slots);

// All display settings together.
struct Settings {
    IniSettings ini;
    bool haveIni = false; // false: no ini file was read, windows keep their places
    ColourSlots colours;
    int replacedColours = 0; // values of the colour file that were no colours
    std::vector<std::string> fileList;
};

// Loads the three files from `folder` (which ends with a separator or is empty):
// a missing file list is created from settings.fileList; a missing ini leaves
// settings.ini alone; a missing or short colour file gives the default colours.
// Returns the first error met (a malformed ini); the other files are still read.
Status LoadSettings(const std::string& folder, Settings& settings);

// Writes the three files into `folder`, each safely; returns the first error,
// after trying all three.
Status SaveSettings(const std::string& folder, const Settings& settings);

} // namespace spelldata
