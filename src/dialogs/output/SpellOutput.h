#pragma once

#include "dialogs/output/PrintStream.h"
#include "spelldata/Status.h"
#include "spelldata/TextExport.h"

#include <QString>
#include <functional>
#include <string>
#include <vector>

namespace spelldata {
class SpellCollection;
class SpellRecord;
} // namespace spelldata

// What the print dialog needs of the main window's spell list, filled in by
// the main window before each opening.
struct ListSource {
    const spelldata::SpellCollection* spells = nullptr;
    std::vector<int> rows; // the slot of each list line, in list order
    int selectedRow = -1;  // index into rows; -1 when no line is selected
    QString fileBoxText;   // the data file box, for the default output name
    QString programDir;    // where Browse starts and relative file names lead
};

// Which spells of the list go out: every line, the marked lines or the
// selected one.
enum class OutputScope { List, Marked, Current };

// One print or save command as the user chose it.
struct OutputChoice {
    OutputScope scope = OutputScope::List;
    bool print = true;        // print, or save into a text file
    bool description = false; // whole spells rather than a list of names
    bool cards = false;       // print: spell cards, nine to a page
    int extraLines = 2;       // empty lines after each whole spell
    QString fileName;         // save: the file, relative to the program's folder
    bool append = false;      // save: add to the file instead of replacing it
    spelldata::TextEncoding encoding = spelldata::TextEncoding::Dos;
};

// 1 print the list, 2 print whole spells, 3 save the list, 4 save whole spells.
int OutputMode(bool print, bool description);
// The progress message while the command runs.
QString OutputProgressText(const OutputChoice& choice);

// The source's collection; an empty one when it has none.
const spelldata::SpellCollection& ListedSpells(const ListSource& source);
// The slot of the selected line; -1 when no line is selected.
int SelectedSlot(const ListSource& source);
// Whether Marked Spells has anything to give: the collection counts marks
// and one of them is on a listed spell.
bool ListShowsMarkedSpell(const ListSource& source);
// The spells in `scope`, in list order.
std::vector<const spelldata::SpellRecord*> RecordsInScope(const ListSource& source,
                                                          OutputScope scope);

// Writes the pages of one print command into a running job.
using PageWriter = std::function<void(PrintStream&)>;
// The pages of a print command: the list of names, the whole spells or the
// spell cards.
PageWriter OutputPages(const ListSource& source, const OutputChoice& choice);

// The bytes of a save command, the list of names or the whole spells,
// written into the chosen file with the chosen encoding. Appending whole
// spells when there are none leaves the file alone, even a missing one.
spelldata::Status SaveTextOutput(const ListSource& source, const OutputChoice& choice);

// The default output name for a data file box text: up to and including
// its first "." followed by "Ind", or the text followed by ".Ind".
QString IndexFileName(const QString& fileBoxText);
// The file a save command writes; a name without a folder is taken to be in
// the program's folder, where Browse starts.
std::string OutputPath(const ListSource& source, const QString& fileName);
// The suggested PDF name: the data file's name with ".pdf", in its folder.
QString PdfPreset(const ListSource& source);
// The small file beside the settings that remembers the text encoding.
std::string EncodingFilePath(const ListSource& source);
