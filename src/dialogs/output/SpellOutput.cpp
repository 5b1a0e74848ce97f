#include "dialogs/output/SpellOutput.h"

#include "controls/GuiText.h"
#include "dialogs/output/SpellCards.h"
#include "spelldata/SpellCollection.h"

#include <QDir>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

namespace {

// The progress messages by scope (rows) and output mode 1 to 4 (columns).
const char* const ProgressTexts[3][4] = {
    {"Printing List ...", "Printing List with Description...", "Saving List to Text File...",
     "Saving List to Text File with Description..."},
    {"Printing Marked List...", "Printing Marked List with Description...",
     "Saving Marked List to File...", "Saving Marked List to File with Description..."},
    {"Printing Current Spell...", "Printing Current Spell with Description...",
     "Saving Current Spell...", "Saving Current Spell with Description..."},
};

const char* const CardProgressTexts[3] = {"Printing List as Cards...",
                                          "Printing Marked Spells as Cards...",
                                          "Printing Current Spell as a Card..."};

} // namespace

int OutputMode(bool print, bool description) {
    return (print ? 1 : 3) + (description ? 1 : 0);
}

QString OutputProgressText(const OutputChoice& choice) {
    if (choice.print && choice.cards)
        return QLatin1String(CardProgressTexts[static_cast<int>(choice.scope)]);
    const int mode = OutputMode(choice.print, choice.description);
    return QLatin1String(ProgressTexts[static_cast<int>(choice.scope)][mode - 1]);
}

const spelldata::SpellCollection& ListedSpells(const ListSource& source) {
    static const spelldata::SpellCollection empty;
    return source.spells ? *source.spells : empty;
}

int SelectedSlot(const ListSource& source) {
    const int row = source.selectedRow;
    if (row < 0 || row >= static_cast<int>(source.rows.size()))
        return -1;
    return source.rows[static_cast<std::size_t>(row)];
}

bool ListShowsMarkedSpell(const ListSource& source) {
    const spelldata::SpellCollection& all = ListedSpells(source);
    return all.MarkedCount() > 0 &&
           std::any_of(source.rows.begin(), source.rows.end(),
                       [&all](int slot) { return all[slot]->Marked != 0; });
}

std::vector<const spelldata::SpellRecord*> RecordsInScope(const ListSource& source,
                                                          OutputScope scope) {
    const spelldata::SpellCollection& all = ListedSpells(source);
    std::vector<const spelldata::SpellRecord*> records;
    if (scope == OutputScope::Current) {
        if (const int slot = SelectedSlot(source); slot >= 0)
            records.push_back(&all[slot]);
        return records;
    }
    for (int slot : source.rows)
        if (scope == OutputScope::List || all[slot]->Marked != 0)
            records.push_back(&all[slot]);
    return records;
}

PageWriter OutputPages(const ListSource& source, const OutputChoice& choice) {
    auto records = RecordsInScope(source, choice.scope);
    if (choice.cards)
        return [records](PrintStream& out) {
            out.DrawPages([&records](QPainter& painter, QPrinter& printer) {
                const CardSheet sheet = LayoutCards(records, printer);
                PaintCards(painter, printer, sheet);
                return sheet.pageCount;
            });
        };
    if (!choice.description)
        return [records](PrintStream& out) { PrintListLines(out, records); };
    return [records, extraLines = choice.extraLines](PrintStream& out) {
        for (const spelldata::SpellRecord* record : records)
            PrintSpell(out, *record, extraLines);
    };
}

// The whole spells are gathered and written at once: replacing the file
// unless appending, which gives the same bytes as emptying it and appending
// the spells one by one, and fails before anything is written.
spelldata::Status SaveTextOutput(const ListSource& source, const OutputChoice& choice) {
    const auto records = RecordsInScope(source, choice.scope);
    std::string bytes;
    if (!choice.description) {
        bytes = spelldata::SaveList(records);
    } else {
        for (const spelldata::SpellRecord* record : records)
            bytes += spelldata::SaveSpell(*record, choice.extraLines);
        if (choice.append && bytes.empty())
            return spelldata::Status::Ok(); // nothing to add, and no file to create for it
    }
    return spelldata::WriteTextOutput(OutputPath(source, choice.fileName), bytes, choice.append,
                                      choice.encoding);
}

// The first dot is looked for in the file's own name: a dot in a folder name
// (such as ~/.local) must not cut the path short.
QString IndexFileName(const QString& fileBoxText) {
    const qsizetype nameStart =
        qMax(fileBoxText.lastIndexOf(u'/'), fileBoxText.lastIndexOf(u'\\')) + 1;
    const qsizetype dot = fileBoxText.indexOf(u'.', nameStart);
    if (dot < 0)
        return fileBoxText + QStringLiteral(".Ind");
    return fileBoxText.left(dot + 1) + QStringLiteral("Ind");
}

std::string OutputPath(const ListSource& source, const QString& fileName) {
    return NativePath(QDir(source.programDir).filePath(fileName));
}

QString PdfPreset(const ListSource& source) {
    const QString base = source.fileBoxText.isEmpty()
                             ? QDir(source.programDir).filePath(QStringLiteral("spells"))
                             : source.fileBoxText;
    const qsizetype slash = base.lastIndexOf(u'/');
    const qsizetype dot = base.indexOf(u'.', slash + 1);
    return (dot < 0 ? base : base.left(dot)) + QStringLiteral(".pdf");
}

std::string EncodingFilePath(const ListSource& source) {
    return NativePath(
        QDir(source.programDir).filePath(QLatin1String(spelldata::TextEncodingFileName)));
}
