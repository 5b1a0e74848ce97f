#include "spelldata/Settings.h"

#include "spelldata/FileIO.h"
#include "spelldata/TextLines.h"

#include <charconv>

namespace spelldata {

namespace {

constexpr std::size_t kColourBytes = ColourSlotCount * 4;

bool parseInt(std::string_view text, int& value) {
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    while (begin < end && *begin == ' ')
        ++begin;
    while (end > begin && end[-1] == ' ')
        --end;
    if (begin < end && *begin == '+')
        ++begin;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    return ec == std::errc() && ptr == end && begin < end;
}

void appendLine(std::string& out, std::string_view line) {
    out += line;
    out += "\r\n";
}

} // namespace

void SetDefaultColours(ColourSlots& slots) {
    struct Default {
        int slot;
        ColourValue value;
    };
    static constexpr Default defaults[] = {
        {1, ButtonFaceColour}, {2, 0x800080},  {3, 0x000000},  {4, 0x008000},      {5, 0x808000},
        {11, 0x000000},        {12, 0xFFFFFF}, {15, 0xFF0000}, {16, 0x008000},     {17, 0x000080},
        {18, 0xFF0000},        {19, 0xFF0000}, {20, 0x0000FF}, {21, WindowColour},
    };
    for (const Default& d : defaults)
        slots[d.slot] = d.value;
    for (int slot = 6; slot <= 10; ++slot)
        slots[slot] = slots[slot - 5];
}

Status ParseIniFile(const std::string& text, const std::string& name, IniSettings& out) {
    LineReader lines(text);
    std::vector<std::string_view> values;
    std::string_view line;
    while (values.size() < 14 && lines.next(line))
        values.push_back(line);
    if (values.size() < 13)
        return Status::Error(ErrorKind::Malformed,
                             name + ", line " + std::to_string(values.size() + 1) +
                                 ": the file ends early; it needs at least 13 lines");
    IniSettings ini;
    int* numbers[] = {&ini.mainTop, &ini.mainLeft, &ini.mainHeight, &ini.mainWidth,
                      &ini.viewTop, &ini.viewLeft, &ini.viewHeight, &ini.viewWidth};
    for (std::size_t i = 0; i < 8; ++i) {
        if (!parseInt(values[i], *numbers[i]))
            return Status::Error(ErrorKind::Malformed, name + ", line " + std::to_string(i + 1) +
                                                           ": \"" + std::string(values[i]) +
                                                           "\" is not a number");
    }
    if (!parseInt(values[11], ini.DescFontSize))
        return Status::Error(ErrorKind::Malformed, name + ", line 12: \"" +
                                                       std::string(values[11]) +
                                                       "\" is not a number");
    ini.viewMaximised = values[8] == "1";
    ini.showDescription = values[9] == "1";
    ini.DescFontName.assign(values[10]);
    ini.ListFontName.assign(values[12]);
    ini.mainMaximised = values.size() > 13 && values[13] == "1";
    out = std::move(ini);
    return Status::Ok();
}

Status ReadIniFile(const std::string& path, IniSettings& out) {
    std::string text;
    if (Status s = ReadFileBytes(path, text); !s)
        return s;
    return ParseIniFile(text, path, out);
}

std::string FormatIniFile(const IniSettings& ini) {
    std::string out;
    for (const int n : {ini.mainTop, ini.mainLeft, ini.mainHeight, ini.mainWidth, ini.viewTop,
                        ini.viewLeft, ini.viewHeight, ini.viewWidth})
        appendLine(out, std::to_string(n));
    appendLine(out, ini.viewMaximised ? "1" : "0");
    appendLine(out, ini.showDescription ? "1" : "0");
    appendLine(out, ini.DescFontName);
    appendLine(out, std::to_string(ini.DescFontSize));
    appendLine(out, ini.ListFontName);
    appendLine(out, ini.mainMaximised ? "1" : "0");
    return out;
}

Status WriteIniFile(const std::string& path, const IniSettings& ini) {
    return WriteFileAtomically(path, FormatIniFile(ini));
}

Status ReadFileList(const std::string& path, std::vector<std::string>& out) {
    std::string text;
    if (Status s = ReadFileBytes(path, text); !s)
        return s;
    ParseFileList(text, out);
    return Status::Ok();
}

void ParseFileList(std::string_view text, std::vector<std::string>& out) {
    std::vector<std::string> entries;
    LineReader lines(text);
    std::string_view line;
    while (lines.next(line))
        entries.emplace_back(line);
    out = std::move(entries);
}

std::string FormatFileList(const std::vector<std::string>& entries) {
    std::string out;
    for (const std::string& e : entries)
        appendLine(out, e);
    return out;
}

Status WriteFileList(const std::string& path, const std::vector<std::string>& entries) {
    return WriteFileAtomically(path, FormatFileList(entries));
}

bool IsColourValue(ColourValue value) {
    constexpr ColourValue lastSystemColour = SystemColourFlag + 30;
    return value <= 0x00FFFFFFu || (value >= SystemColourFlag && value <= lastSystemColour);
}

Status ParseColourFile(const std::string& bytes, const std::string& name, ColourSlots& out,
                       int* replaced) {
    if (bytes.size() < kColourBytes)
        return Status::Error(ErrorKind::Malformed, name + ", byte " + std::to_string(bytes.size()) +
                                                       ": the file ends early; it needs 84 bytes");
    ColourSlots defaults;
    SetDefaultColours(defaults);
    int wrong = 0;
    for (int slot = 1; slot <= ColourSlotCount; ++slot) {
        const std::size_t at = static_cast<std::size_t>(slot - 1) * 4;
        ColourValue v = 0;
        for (int k = 3; k >= 0; --k)
            v = (v << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(k)]);
        if (!IsColourValue(v)) {
            v = defaults[slot];
            ++wrong;
        }
        out[slot] = v;
    }
    if (replaced)
        *replaced = wrong;
    return Status::Ok();
}

Status ReadColourFile(const std::string& path, ColourSlots& out, int* replaced) {
    std::string bytes;
    if (Status s = ReadFileBytes(path, bytes); !s)
        return s;
    return ParseColourFile(bytes, path, out, replaced);
}

std::string FormatColourFile(const ColourSlots& slots) {
    std::string out;
    out.reserve(kColourBytes);
    for (int slot = 1; slot <= ColourSlotCount; ++slot) {
        const ColourValue v = slots[slot];
        for (int k = 0; k < 4; ++k)
            out += static_cast<char>((v >> (8 * k)) & 0xFF);
    }
    return out;
}

Status WriteColourFile(const std::string& path, const ColourSlots& slots) {
    return WriteFileAtomically(path, FormatColourFile(slots));
}

Status LoadSettings(const std::string& folder, Settings& settings) {
    Status result;
    const std::string listPath = folder + FileListName;
    if (!CanOpenFile(listPath))
        result = WriteFileList(listPath, settings.fileList);
    else if (Status s = ReadFileList(listPath, settings.fileList); !s)
        result = s;

    settings.haveIni = false;
    const std::string iniPath = folder + IniFileName;
    if (CanOpenFile(iniPath)) {
        Status s = ReadIniFile(iniPath, settings.ini);
        settings.haveIni = s.ok();
        if (!s && result)
            result = s;
    }

    settings.replacedColours = 0;
    if (!ReadColourFile(folder + ColourFileName, settings.colours, &settings.replacedColours))
        SetDefaultColours(settings.colours);
    return result;
}

Status SaveSettings(const std::string& folder, const Settings& settings) {
    Status result = WriteFileList(folder + FileListName, settings.fileList);
    Status s = WriteIniFile(folder + IniFileName, settings.ini);
    if (result && !s)
        result = s;
    s = WriteColourFile(folder + ColourFileName, settings.colours);
    if (result && !s)
        result = s;
    return result;
}

} // namespace spelldata
