// The file commands of the main window: browse, open, save, import, close.
#include "mainwindow/TMain.h"

#include "controls/GuiText.h"
#include "controls/Prompts.h"
#include "controls/THistoryComboBox.h"
#include "dialogs/info/TFInfo.h"
#include "dialogs/progress/TFMessage.h"
#include "mainwindow/SpellListModel.h"
#include "mainwindow/SpellListView.h"
#include "mainwindow/TListPanel.h"
#include "session/SessionHistory.h"
#include "session/SpellSession.h"
#include "spelldata/DataFile.h"
#include "spelldata/FileIO.h"
#include "spelldata/TextImport.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QToolButton>
#include <QUrl>

using namespace spelldata;

namespace {

const QString kSelectFirst = QStringLiteral(
    "Must select a file first (using the browse icon or selecting from the file combo box)");

} // namespace

QString TMain::filePath() const {
    return FileN->currentText();
}

bool TMain::requireFileName() {
    if (!filePath().isEmpty())
        return true;
    Prompts::Message(this, kSelectFirst, Prompts::Icon::Error, QMessageBox::Ok);
    return false;
}

void TMain::setSaveControlsEnabled(bool enabled) {
    for (QAction* a : {MSaveText, MSaveData, MPrint})
        a->setEnabled(enabled);
    if (enabled)
        BOpenAdd->setEnabled(true);
}

void TMain::selectOrAddFile(const QString& path) {
    int index = FileN->findText(path);
    if (index < 0) {
        FileN->addItem(path);
        index = FileN->findText(path);
    }
    FileN->setCurrentIndex(index);
}

void TMain::reportRefused(int refused) {
    if (refused > 0)
        Prompts::Message(this,
                         QStringLiteral("The collection holds at most %1 spells: %2 spells did not "
                                        "fit and were left out.")
                             .arg(SpellCollection::Capacity)
                             .arg(refused),
                         Prompts::Icon::Error, QMessageBox::Ok);
}

void TMain::BOpenAddClick() {
    session_->setAddMode(BOpenAdd->isChecked());
}

void TMain::BitBtn11Click() {
    const QString path = Prompts::OpenFileName(this, QString(), settingsFolder_,
                                               QStringLiteral("DataFile (*.Dat *.dat *.DAT)"));
    if (!path.isEmpty())
        selectOrAddFile(path);
}

void TMain::BOpenConvClick() {
    if (!requireFileName())
        return;
    const QString path = filePath();
    if (!CanOpenFile(NativePath(path))) {
        if (Prompts::Message(this,
                             QStringLiteral("File ") + path +
                                 QStringLiteral(" doesn't exist, removing file from file list"),
                             Prompts::Icon::Error,
                             QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok) {
            FileN->removeItem(FileN->currentIndex());
            FileN->setCurrentIndex(-1); // the user picks the next file, not the box
        }
        return;
    }
    ReadReport report;
    {
        const ProgressShown opening(QString(), QStringLiteral("Opening Data File : ") + path,
                                    false);
        // A refused file leaves everything as it was.
        report = history_->open(NativePath(path));
    }
    if (!report.status) {
        Prompts::Message(this, FromBytes(report.status.message), Prompts::Icon::Error,
                         QMessageBox::Cancel);
        return;
    }
    setSaveControlsEnabled(false);
    BCloseAllClick();
    panel_->setEnabled(true);
    if (!session_->addMode())
        setDocument(path);
    afterLoad();
    reportRefused(report.refused);
}

// Steps after opening: filter controls and book box reset, the list rebuilt,
// the quick view refilled.
void TMain::afterLoad() {
    panel_->BBooks->setChecked(false);
    BAllClick();
    panel_->BMark->setChecked(false);
    panel_->BEdit->setChecked(false);
    RebuildBookBox();
    if (session_->spells().Count() > 0) {
        BEXEClick();
        if (quickView_ && quickView_->isHidden())
            quickView_->show(); // hidden while an empty file was open
        if (TFInfo* front = frontInfoWindow()) {
            front->showSysGroup();
            front->setTag(1);
        }
        SListClick();
    } else {
        session_->clearRows();
        if (quickView_)
            quickView_->hide();
    }
    setSaveControlsEnabled(session_->spells().Count() > 0);
}

bool TMain::saveDataFile(const QString& path) {
    Status s;
    {
        const ProgressShown saving(QString(), QStringLiteral("Saving Data File : ") + path, false);
        s = history_->save(NativePath(path));
    }
    if (s)
        setDocument(path);
    else
        Prompts::Message(this, FromBytes(s.message), Prompts::Icon::Error, QMessageBox::Ok);
    return s.ok();
}

void TMain::BSaveConvClick() {
    if (!requireFileName())
        return;
    const QString path = filePath();
    if (Prompts::Message(this, QStringLiteral("Are you sure you want to save file: ") + path,
                         Prompts::Icon::Question,
                         QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    saveDataFile(path);
}

// Replaces the collection with a text file's spells. The file is read into a
// collection of its own first: when it cannot be read or holds no spell, the
// error is shown and everything stays as it was (false). The progress
// message, if any, is taken down before the error.
bool TMain::importText(const QString& path, std::optional<ProgressShown>& progress) {
    const ImportReport report = history_->import(NativePath(path));
    if (!report.status) {
        progress.reset();
        // The message holds the file's name as the system spells it.
        Prompts::Message(this, PathFromBytes(report.status.message), Prompts::Icon::Error,
                         QMessageBox::Cancel);
        return false;
    }
    setSaveControlsEnabled(false);
    reportRefused(report.refused);
    reportImportNotes(report, path);
    return true;
}

// Tells what the import passed over, before the user is asked to save.
void TMain::reportImportNotes(const ImportReport& report, const QString& path) {
    const std::string notes = ImportNotes(report, path.toStdString());
    if (!notes.empty())
        Prompts::Message(this, QString::fromStdString(notes), Prompts::Icon::Error,
                         QMessageBox::Ok);
}

void TMain::MImportTextClick() {
    panel_->setEnabled(true);
    const QString path = Prompts::OpenFileName(
        this, QString(), QString(),
        QStringLiteral("Text File (quarvine 5.00 save to text file output) (*.TXT *.txt);;"
                       "Quarvine JSON export (*.json *.JSON)"));
    if (!path.isEmpty())
        importFile(path);
}

void TMain::importFile(const QString& path) {
    panel_->setEnabled(true);
    std::optional<ProgressShown> progress;
    progress.emplace(QString(), QStringLiteral("Converting File : ") + path, false);
    if (!importText(path, progress))
        return;
    selectOrAddFile(PathFromBytes(BasePath(NativePath(path))) + QStringLiteral(".Dat"));
    setDocument(filePath());
    progress.reset();
    progress.emplace(QString(), QStringLiteral("Saving Data File : ") + filePath(), false);
    listImported(true);
}

// After a text import: the book box and the list rebuilt, the data file set
// saved when `offerSave` (the save command asks first), the quick view filled.
void TMain::listImported(bool offerSave) {
    RebuildBookBox();
    BEXEClick();
    if (offerSave)
        BSaveConvClick();
    if (quickView_)
        quickView_->showSysGroup();
    panel_->SList->selectRow(0);
    SListClick();
    setSaveControlsEnabled(session_->spells().Count() > 0);
}

// "Open Data File": a data file set opens as the open button does; any other
// file is read as spell text.
void TMain::BOpenClick() {
    panel_->setEnabled(true);
    if (filePath().isEmpty()) {
        Prompts::Message(this, QStringLiteral("No such file or directory"), Prompts::Icon::Error,
                         QMessageBox::Ok);
        return;
    }
    if (QFileInfo(filePath()).suffix().compare(QLatin1String("dat"), Qt::CaseInsensitive) == 0) {
        BOpenConvClick();
        return;
    }
    std::optional<ProgressShown> none;
    if (importText(filePath(), none)) {
        setDocument(filePath());
        listImported(false);
    }
}

// Each close request saves the settings first, then asks about the data file.
// A collection is written without a second question only over the file it
// was read from or last saved to; any other file is named and confirmed
// first, and a "No" there keeps the program open.
bool TMain::FormCloseQuery() {
    SaveSettings();
    const QString path = filePath();
    if (path.isEmpty())
        return true;
    const auto answer =
        Prompts::Message(this, QStringLiteral("Save File Before Exiting?"), Prompts::Icon::Question,
                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer != QMessageBox::Yes)
        return answer == QMessageBox::No;
    if (NativePath(path) != session_->dataSource() &&
        Prompts::Message(this, QStringLiteral("Are you sure you want to save file: ") + path,
                         Prompts::Icon::Question,
                         QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return false;
    return saveDataFile(path); // a failed save keeps the program open
}

// A data file or a text spell file dropped on the window opens or imports as
// the open and import commands would, with the same questions.
QString TMain::droppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().isEmpty() || !data->urls().front().isLocalFile())
        return {};
    // The name's bytes as the URL carries them, also when they are not UTF-8.
    const QUrl& url = data->urls().front();
    return PathFromBytes(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

void TMain::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TMain::dropEvent(QDropEvent* event) {
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    openPath(path);
}

void TMain::openPath(const QString& path) {
    if (QFileInfo(path).suffix().compare(QLatin1String("dat"), Qt::CaseInsensitive) == 0) {
        panel_->setEnabled(true);
        selectOrAddFile(path);
        BOpenConvClick();
    } else {
        importFile(path);
    }
}
