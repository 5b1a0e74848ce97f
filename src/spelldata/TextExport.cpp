#include "spelldata/TextExport.h"

#include "spelldata/Encoding.h"
#include "spelldata/FileIO.h"
#include "spelldata/TextImport.h"

#include <algorithm>
#include <array>
#include <sys/stat.h>

namespace spelldata {

namespace {

constexpr std::string_view kCrLf = "\r\n";

void appendLine(std::string& out, std::string_view line) {
    out += line;
    out += kCrLf;
}

void appendField(std::string& out, std::string_view label, const std::string& value) {
    out += label;
    out += value;
    out += kCrLf;
}

const std::string& ruleLine() {
    static const std::string rule(72, RuleChar);
    return rule;
}

} // namespace

std::string LevelText(const SpellRecord& record) {
    static constexpr std::array<std::string_view, 14> words = {"Cantrip",
                                                               "1st",
                                                               "2nd",
                                                               "3rd",
                                                               "4th",
                                                               "5th",
                                                               "6th",
                                                               "7th",
                                                               "8th",
                                                               "9th",
                                                               "10th",
                                                               "Psionic Devotion",
                                                               "Psionic Science",
                                                               "Psionic Information"};
    const SpellLevel level = record->Level;
    if (level >= words.size())
        return std::to_string(level);
    std::string text(words[level]);
    if (level >= 1 && level <= 10) {
        if (record.kind() == SpellKind::Wizard)
            text += " Level Wizard Spell";
        else if (record.kind() == SpellKind::Priest)
            text = level == 10 ? "Priest Quest Prayer" : text + " Level Priest Prayer";
    }
    return text;
}

std::string ListCode(const SpellRecord& record) {
    std::string code = record.kind() == SpellKind::Wizard   ? "(W  "
                       : record.kind() == SpellKind::Priest ? "(Pr "
                                                            : "(Ps ";
    const SpellLevel level = record->Level;
    const std::string letter = LevelLetter(level);
    code += letter.empty() ? std::to_string(level) : letter;
    code += ')';
    return code;
}

std::string SaveList(const std::vector<const SpellRecord*>& records) {
    std::string out;
    appendLine(out, "Spell List");
    for (const SpellRecord* r : records) {
        out += (*r)->Name;
        if ((*r)->Reversible)
            out += " (Reversible)";
        out += "   ";
        appendLine(out, ListCode(*r));
    }
    appendLine(out, "");
    return out;
}

std::string SaveSpell(const SpellRecord& record, int extraLines) {
    const TBasic& b = record.basic();
    std::string out;
    out.reserve(b.Description.size() + 600);
    appendLine(out, ruleLine());
    out += b.Name;
    if (record.kind() != SpellKind::Psionic) {
        // An imported name keeps the blank that stood before its school; it is
        // not doubled, so that saving and importing again gives the same name.
        out += b.Name.ends_with(' ') ? "(" : " (";
        out += b.School;
        out += ')';
    }
    if (b.Reversible)
        out += " Reversible";
    out += kCrLf;
    appendLine(out, "");
    appendLine(out, LevelText(record));
    appendLine(out, "");
    appendLine(out, "");
    switch (record.kind()) {
    case SpellKind::Priest:
        appendField(out, "Priest Sphere    : ", record.pri().Sphere);
        [[fallthrough]];
    case SpellKind::Wizard:
        appendField(out, "Range            : ", b.Range);
        appendField(out, "Components       : ", *record.components());
        appendField(out, "Duration         : ", *record.duration());
        appendField(out, "Casting Time     : ", *record.castingTime());
        appendField(out, "Area of Effect   : ", b.AreaOfEffect);
        appendField(out, "Saving Throw     : ", b.SavingThrow);
        break;
    case SpellKind::Psionic: {
        const TPsi& p = record.psi();
        appendField(out, "Power Score      : ", p.PowerScore);
        appendField(out, "Initial Cost     : ", p.InitialCost);
        appendField(out, "Maintanance Cost : ", p.MaintenanceCost);
        appendField(out, "Range            : ", b.Range);
        appendField(out, "Preparation Time : ", p.PreparationTime);
        appendField(out, "Area of Effect   : ", b.AreaOfEffect);
        if (!p.Prerequisites.empty())
            appendField(out, "Prerequisites    : ", p.Prerequisites);
        break;
    }
    }
    appendLine(out, ruleLine());
    appendLine(out, b.Description);
    for (int i = 0; i < extraLines; ++i)
        out += kCrLf;
    return out;
}

std::string TextOutputToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t rule = std::min(bytes.find(RuleChar, at), bytes.size());
        out += Cp1252ToUtf8(bytes.substr(at, rule - at));
        if (rule < bytes.size())
            out += "\xE2\x94\x80"; // U+2500
        at = rule + 1;
    }
    return out;
}

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool hasBytes(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && st.st_size > 0;
}

} // namespace

Status WriteTextOutput(const std::string& path, const std::string& bytes, bool append,
                       TextEncoding encoding) {
    std::string converted;
    if (encoding == TextEncoding::Utf8) {
        if (!append || !hasBytes(path))
            converted = kByteOrderMark;
        converted += TextOutputToUtf8(bytes);
    }
    const std::string_view out = encoding == TextEncoding::Utf8 ? converted : bytes;
    return append ? AppendToFile(path, out) : WriteFileAtomically(path, out);
}

TextEncoding ReadTextEncoding(const std::string& path) {
    std::string bytes;
    if (!ReadFileBytes(path, bytes))
        return TextEncoding::Dos;
    return bytes.starts_with("Text=UTF-8") ? TextEncoding::Utf8 : TextEncoding::Dos;
}

Status WriteTextEncoding(const std::string& path, TextEncoding encoding) {
    return WriteFileAtomically(path,
                               encoding == TextEncoding::Utf8 ? "Text=UTF-8\r\n" : "Text=DOS\r\n");
}

} // namespace spelldata
