// Export of the listed or marked spells as JSON, CSV or Markdown for other
// programs.
#include "mainwindow/TMain.h"

#include "controls/GuiText.h"
#include "controls/Prompts.h"
#include "controls/THistoryComboBox.h"
#include "dialogs/output/SpellOutput.h"
#include "formats/ExportFormat.h"
#include "session/SpellSession.h"
#include "spelldata/DataFile.h"

#include <QAction>
#include <QMenu>

using namespace spelldata;
using formats::ExportFormat;

namespace {

const QString kJsonFilter = QStringLiteral("JSON, read back by Import (*.json)");
const QString kCsvFilter = QStringLiteral("CSV spreadsheet (*.csv)");
const QString kMarkdownFilter = QStringLiteral("Markdown (*.md)");

// The format of a chosen file: its extension decides; a name without one of
// ours takes the format of the chosen filter, and its extension.
ExportFormat chosenFormat(QString& path, const QString& filter) {
    if (const auto format = formats::ExportFormatOfPath(path.toStdString()))
        return *format;
    const ExportFormat format = filter == kCsvFilter        ? ExportFormat::Csv
                                : filter == kMarkdownFilter ? ExportFormat::Markdown
                                                            : ExportFormat::Json;
    path += QLatin1String(formats::ExportSuffix(format));
    return format;
}

} // namespace

void TMain::addExportCommand(QMenu* file) {
    MExport = new QAction(QStringLiteral("E&xport\u2026"), this);
    MExport->setObjectName(QStringLiteral("MExport"));
    connect(MExport, &QAction::triggered, this, &TMain::MExportClick);
    file->addAction(MExport);
    // Something to export once the list shows a spell.
    connect(file, &QMenu::aboutToShow, this,
            [this] { MExport->setEnabled(!session_->rows().empty()); });
}

// The marked lines of the list when any line is marked, else every line, in
// list order, as the print dialog's Marked Spells and Current List take them.
// The dialog's title says which, so the user knows before choosing a file.
void TMain::MExportClick() {
    const ListSource source = listSource();
    const std::vector<const SpellRecord*> marked = RecordsInScope(source, OutputScope::Marked);
    const std::vector<const SpellRecord*> chosen =
        marked.empty() ? RecordsInScope(source, OutputScope::List) : marked;
    const QString title =
        QStringLiteral("Export %1 %2 %3")
            .arg(chosen.size())
            .arg(marked.empty() ? QStringLiteral("Listed") : QStringLiteral("Marked"))
            .arg(chosen.size() == 1 ? QStringLiteral("Spell") : QStringLiteral("Spells"));
    const QString data = FileN->currentText();
    const QString preset =
        data.isEmpty() ? QString() : QString::fromStdString(BasePath(data.toStdString())) + ".json";
    QString filter = kJsonFilter;
    QString path = Prompts::SaveFileName(
        this, title, preset, kJsonFilter + ";;" + kCsvFilter + ";;" + kMarkdownFilter, &filter);
    if (path.isEmpty())
        return;
    const ExportFormat format = chosenFormat(path, filter);
    const Status s = formats::WriteExport(NativePath(path), format, chosen, session_->books());
    if (!s)
        Prompts::Message(this, PathFromBytes(s.message), Prompts::Icon::Error, QMessageBox::Cancel);
}
