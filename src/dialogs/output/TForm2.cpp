#include "dialogs/output/TForm2.h"

#include "controls/ClickPanel.h"
#include "controls/GuiText.h"
#include "controls/Prompts.h"
#include "controls/TabChain.h"
#include "dialogs/progress/TFMessage.h"
#include "spelldata/SpellCollection.h"
#include "spelldata/TextExport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QStyle>
#include <algorithm>

namespace {

constexpr int DialogWidth = 360;
constexpr int PrintHeight = 178; // the file name row lies below this
constexpr int SaveHeight = 220;

const QString PrintCaption = QStringLiteral("Print");
const QString CreateError = QStringLiteral("ERROR: Could not Create File.");

// The progress messages by scope (rows) and output mode 1 to 4 (columns).
const char* const ProgressTexts[3][4] = {
    {"Printing List ...", "Printing List with Description...", "Saving List to Text File...",
     "Saving List to Text File with Description..."},
    {"Printing Marked List...", "Printing Marked List with Description...",
     "Saving Marked List to File...", "Saving Marked List to File with Description..."},
    {"Printing Current Spell...", "Printing Current Spell with Description...",
     "Saving Current Spell...", "Saving Current Spell with Description..."},
};

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, const QString& hint,
                        const QRect& geometry) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(hint);
    button->setGeometry(geometry);
    return button;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    return label;
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& hint,
                        const QRect& geometry) {
    auto* box = new QCheckBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setToolTip(hint);
    box->setGeometry(geometry);
    return box;
}

} // namespace

TForm2::TForm2(QWidget* parent)
    : QDialog(parent), PrintSelection(spelldata::SpellCollection::Capacity, 0) {
    setObjectName(QStringLiteral("Form2"));
    createPanel();
    createScopeButtons();
    createOptions();
    createPrintChoices();
    createFileRow();
    createEncodingChoice();
    // Tab follows the dialog as it reads; hidden controls are passed over
    // ("Print to:" and "Text:" share their place, one per mode).
    SetTabChain({Pannel, BMin, BCurrent, BMarked, Desc, ExtraLines, ToAppend, TargetBox,
                 TextEncoding, PreviewFirst, BitBtn1, Spellindex, BitBtn2});
    enterPrintMode();
    DescClick();
}

TForm2::~TForm2() = default;

void TForm2::createPanel() {
    Pannel = new ClickPanel(this);
    Pannel->setObjectName(QStringLiteral("Pannel"));
    Pannel->setText(PrintCaption);
    Pannel->setGeometry(8, 8, DialogWidth - 16, 41);
    Pannel->setToolTip(QStringLiteral(
        "Pressing on this pannel will toggle between Printing & Saving the list to a File."));
    Pannel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Pannel->setLineWidth(2);
    Pannel->setAlignment(Qt::AlignCenter);
    QFont font = Pannel->font();
    font.setPointSize(14);
    font.setBold(true);
    Pannel->setFont(font);
    connect(Pannel, &ClickPanel::clicked, this, &TForm2::PannelClick);
}

void TForm2::createScopeButtons() {
    BMin = MakeButton(this, "BMin", QStringLiteral("Current List"),
                      QStringLiteral("Print/Save Entire Spell List."), QRect(8, 58, 110, 30));
    BCurrent = MakeButton(this, "BCurrent", QStringLiteral("Current Spell"),
                          QStringLiteral("Print/Save The Spell The scrollBar was on."),
                          QRect(125, 58, 110, 30));
    BMarked = MakeButton(this, "BMarked", QStringLiteral("Marked Spells"),
                         QStringLiteral("Print/Save Only Marked Spells"), QRect(242, 58, 110, 30));
    connect(BMin, &QPushButton::clicked, this, &TForm2::BMinClick);
    connect(BCurrent, &QPushButton::clicked, this, &TForm2::BCurrentClick);
    connect(BMarked, &QPushButton::clicked, this, &TForm2::BMarkedClick);
}

void TForm2::createOptions() {
    Desc =
        MakeCheckBox(this, "Desc", QStringLiteral("Prints/Saves Spells with Description & Info."),
                     QRect(8, 99, 165, 22));
    ToAppend = MakeCheckBox(this, "ToAppend",
                            QStringLiteral("If this is checked, the saved spells, will be appended "
                                           "to the file, instead of replacing the file - if it "
                                           "exists"),
                            QRect(8, 122, 190, 22));
    ToAppend->setText(QStringLiteral("Add to an existing File"));
    LEXLines = MakeLabel(this, "LEXLines", QStringLiteral("Lines Between Spells:"),
                         QRect(176, 98, 130, 24));
    LEXLines->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ExtraLines = new QSpinBox(this);
    ExtraLines->setObjectName(QStringLiteral("ExtraLines"));
    ExtraLines->setRange(1, 66);
    ExtraLines->setValue(2);
    ExtraLines->setGeometry(310, 98, 42, 24);
    BitBtn1 = MakeButton(this, "BitBtn1", QStringLiteral("Cancel"),
                         QStringLiteral("Cancel Printing"), QRect(262, 140, 90, 30));
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    connect(Desc, &QCheckBox::toggled, this, &TForm2::DescClick);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm2::BitBtn1Click);
}

// Print mode's target and preview choices take the row that save mode gives
// to ToAppend.
void TForm2::createPrintChoices() {
    LTarget = MakeLabel(this, "LTarget", QStringLiteral("Print to:"), QRect(8, 143, 50, 26));
    TargetBox = new QComboBox(this);
    TargetBox->setObjectName(QStringLiteral("PrintTarget"));
    TargetBox->setToolTip(QStringLiteral("Print on the default printer or into a PDF file."));
    TargetBox->addItem(QStringLiteral("Printer"), static_cast<int>(PrintTarget::Printer));
    TargetBox->addItem(QStringLiteral("PDF"), static_cast<int>(PrintTarget::Pdf));
    TargetBox->setGeometry(60, 143, 92, 26);
    LTarget->setBuddy(TargetBox);
    PreviewFirst = MakeCheckBox(this, "PreviewFirst",
                                QStringLiteral("Shows the pages before they are printed."),
                                QRect(164, 145, 90, 22));
    PreviewFirst->setText(QStringLiteral("Preview"));
}

// The printer can be chosen only while the system has a default printer;
// without one the pages go into a PDF file.
void TForm2::offerTargets() {
    const bool hasPrinter = PrintStream::HasDefaultPrinter();
    const int printerRow = TargetBox->findData(static_cast<int>(PrintTarget::Printer));
    auto* model = qobject_cast<QStandardItemModel*>(TargetBox->model());
    model->item(printerRow)->setEnabled(hasPrinter);
    TargetBox->setItemData(printerRow,
                           hasPrinter ? QVariant() : QStringLiteral("There is no default printer."),
                           Qt::ToolTipRole);
    if (!hasPrinter)
        TargetBox->setCurrentIndex(TargetBox->findData(static_cast<int>(PrintTarget::Pdf)));
}

void TForm2::showPrintChoices(bool visible) {
    LTarget->setVisible(visible);
    TargetBox->setVisible(visible);
    PreviewFirst->setVisible(visible);
}

void TForm2::showFileRow(bool visible) {
    Label1->setVisible(visible);
    Spellindex->setVisible(visible);
    BitBtn2->setVisible(visible);
}

void TForm2::createFileRow() {
    Label1 = MakeLabel(this, "Label1", QStringLiteral("File Name:"), QRect(8, 186, 62, 22));
    Spellindex = new QLineEdit(QStringLiteral("spellindex"), this);
    Spellindex->setObjectName(QStringLiteral("Spellindex"));
    Spellindex->setGeometry(72, 185, 196, 24);
    // The box shows the name exactly as chosen or typed, and that is the
    // file written: on a case-sensitive file system another case would be
    // another file.
    BitBtn2 =
        MakeButton(this, "BitBtn2", QStringLiteral("Browse"), QString(), QRect(276, 183, 76, 28));
    connect(BitBtn2, &QPushButton::clicked, this, &TForm2::BitBtn2Click);
}

// Save mode's choice of character set takes the row of print mode's target.
// It is remembered in a small file of its own beside the settings files.
void TForm2::createEncodingChoice() {
    LEncoding = MakeLabel(this, "LEncoding", QStringLiteral("Text:"), QRect(8, 143, 50, 26));
    TextEncoding = new QComboBox(this);
    TextEncoding->setObjectName(QStringLiteral("TextEncoding"));
    TextEncoding->setToolTip(
        QStringLiteral("DOS text as earlier releases wrote it, or UTF-8 for today's editors."));
    TextEncoding->addItem(QStringLiteral("DOS"), static_cast<int>(spelldata::TextEncoding::Dos));
    TextEncoding->addItem(QStringLiteral("UTF-8"), static_cast<int>(spelldata::TextEncoding::Utf8));
    TextEncoding->setGeometry(60, 143, 92, 26);
    LEncoding->setBuddy(TextEncoding);
    connect(TextEncoding, &QComboBox::activated, this, &TForm2::saveEncodingChoice);
}

std::string TForm2::encodingFile() const {
    const QString path =
        QDir(source_.programDir).filePath(QLatin1String(spelldata::TextEncodingFileName));
    return NativePath(path);
}

void TForm2::loadEncodingChoice() {
    const auto encoding = spelldata::ReadTextEncoding(encodingFile());
    TextEncoding->setCurrentIndex(TextEncoding->findData(static_cast<int>(encoding)));
}

// A choice that cannot be remembered still holds for this run.
void TForm2::saveEncodingChoice() {
    spelldata::WriteTextEncoding(encodingFile(), encoding());
}

spelldata::TextEncoding TForm2::encoding() const {
    return static_cast<spelldata::TextEncoding>(TextEncoding->currentData().toInt());
}

void TForm2::BPrintClick(const ListSource& source) {
    source_ = source;
    UpdateScopeButtons();
    keepGoing_ = true;
    enterPrintMode();
    DescClick();
    BMin->setFocus();
    exec();
}

void TForm2::BSaveTextClick(const ListSource& source) {
    source_ = source;
    UpdateScopeButtons();
    enterSaveMode();
    DescClick();
    BMin->setFocus();
    exec();
}

// The file name row lies below the print mode's height; it is hidden too, so
// that Tab does not reach controls the user cannot see.
void TForm2::enterPrintMode() {
    showFileRow(false);
    Desc->setText(QStringLiteral("Print with Description"));
    Pannel->setText(PrintCaption);
    setFixedSize(DialogWidth, PrintHeight);
    ToAppend->hide();
    LEncoding->hide();
    TextEncoding->hide();
    offerTargets();
    showPrintChoices(true);
    setWindowTitle(QStringLiteral("Printing..."));
    printMode_ = true;
}

void TForm2::enterSaveMode() {
    setWindowTitle(QStringLiteral("Saving..."));
    keepGoing_ = true;
    showFileRow(true);
    Spellindex->setText(IndexFileName(source_.fileBoxText));
    Desc->setText(QStringLiteral("Save with Description"));
    Pannel->setText(QStringLiteral("Save to File"));
    ToAppend->show();
    showPrintChoices(false);
    loadEncodingChoice();
    LEncoding->show();
    TextEncoding->show();
    setFixedSize(DialogWidth, SaveHeight);
    printMode_ = false;
}

void TForm2::PannelClick() {
    if (Pannel->text() == PrintCaption)
        enterSaveMode();
    else
        enterPrintMode();
}

void TForm2::DescClick() {
    LEXLines->setVisible(Desc->isChecked());
    ExtraLines->setVisible(Desc->isChecked());
}

void TForm2::BitBtn1Click() {
    reject();
}

// A save dialog, so that a file that does not exist yet can be named. While
// appending, naming a file that exists is the point: the dialog then does not
// ask whether to replace it.
void TForm2::BitBtn2Click() {
    const QString caption = QStringLiteral("Saving to file...");
    const QString preset = QDir(source_.programDir).filePath(QStringLiteral("Spell.IND"));
    const QString filter = QStringLiteral("Index File (*.IND);;All Files (*.*)");
    // Appending to a file that exists is the point, not a reason to ask.
    const QFileDialog::Options options =
        ToAppend->isChecked() ? QFileDialog::DontConfirmOverwrite : QFileDialog::Options();
    const QString name = Prompts::SaveFileName(this, caption, preset, filter, nullptr, options);
    if (!name.isEmpty())
        Spellindex->setText(name);
}

void TForm2::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TForm2::FormShow() {
    std::fill_n(PrintSelection.begin(), spells().Count(), std::uint8_t{0});
}

// The first dot is looked for in the file's own name: a dot in a folder name
// (such as ~/.local) must not cut the path short.
QString TForm2::IndexFileName(const QString& fileBoxText) {
    const qsizetype nameStart =
        qMax(fileBoxText.lastIndexOf(u'/'), fileBoxText.lastIndexOf(u'\\')) + 1;
    const qsizetype dot = fileBoxText.indexOf(u'.', nameStart);
    if (dot < 0)
        return fileBoxText + QStringLiteral(".Ind");
    return fileBoxText.left(dot + 1) + QStringLiteral("Ind");
}

void TForm2::UpdateScopeButtons() {
    const spelldata::SpellCollection& all = spells();
    const bool markedLine = std::any_of(source_.rows.begin(), source_.rows.end(),
                                        [&all](int slot) { return all[slot]->Marked != 0; });
    BMarked->setEnabled(all.MarkedCount() > 0 && markedLine);
    BCurrent->setEnabled(!source_.rows.empty());
    BMin->setEnabled(true);
}

int TForm2::OutputMode() const {
    return (printMode_ ? 1 : 3) + (Desc->isChecked() ? 1 : 0);
}

PrintTarget TForm2::printTarget() const {
    return static_cast<PrintTarget>(TargetBox->currentData().toInt());
}

const spelldata::SpellCollection& TForm2::spells() const {
    static const spelldata::SpellCollection empty;
    return source_.spells ? *source_.spells : empty;
}

int TForm2::selectedSlot() const {
    const int row = source_.selectedRow;
    if (row < 0 || row >= static_cast<int>(source_.rows.size()))
        return -1;
    return source_.rows[static_cast<std::size_t>(row)];
}

void TForm2::BMinClick() {
    runScope(Scope::List);
}

void TForm2::BMarkedClick() {
    if (spells().MarkedCount() == 0) {
        accept();
        return;
    }
    runScope(Scope::Marked);
}

// With no line selected there is no current spell: the command only closes.
void TForm2::BCurrentClick() {
    if (selectedSlot() < 0) {
        accept();
        return;
    }
    runScope(Scope::Current);
}

void TForm2::runScope(Scope scope) {
    hide();
    const int mode = OutputMode();
    progressText_ = QLatin1String(ProgressTexts[static_cast<int>(scope)][mode - 1]);
    switch (mode) {
    case 1:
        selectLines(scope);
        printPages(listPages());
        break;
    case 2:
        printPages(spellPages(slotsInScope(scope)));
        break;
    case 3: {
        const ProgressShown shown(QString(), progressText_, false);
        selectLines(scope);
        SaveList();
        break;
    }
    default: {
        const ProgressShown shown(QString(), progressText_, false);
        saveSpells(slotsInScope(scope));
        break;
    }
    }
    accept();
}

// Marks the lines that go into the next list output; other lines keep the
// value FormShow gave them, except that Marked Spells sets every line.
void TForm2::selectLines(Scope scope) {
    const spelldata::SpellCollection& all = spells();
    if (scope == Scope::Current) {
        PrintSelection[static_cast<std::size_t>(selectedSlot())] = 1;
        return;
    }
    for (int slot : source_.rows) {
        const bool chosen = scope == Scope::List || all[slot]->Marked != 0;
        PrintSelection[static_cast<std::size_t>(slot)] = chosen ? 1 : 0;
    }
}

std::vector<int> TForm2::slotsInScope(Scope scope) const {
    if (scope == Scope::Current)
        return {selectedSlot()};
    std::vector<int> chosenSlots;
    for (int slot : source_.rows)
        if (scope == Scope::List || spells()[slot]->Marked != 0)
            chosenSlots.push_back(slot);
    return chosenSlots;
}

std::vector<const spelldata::SpellRecord*> TForm2::selectedRecords() const {
    std::vector<const spelldata::SpellRecord*> records;
    for (int slot : source_.rows)
        if (PrintSelection[static_cast<std::size_t>(slot)] == 1)
            records.push_back(&spells()[slot]);
    return records;
}

// The printed list of the lines whose PrintSelection byte is set now.
TForm2::PageWriter TForm2::listPages() const {
    return [records = selectedRecords()](PrintStream& out) { PrintListLines(out, records); };
}

TForm2::PageWriter TForm2::spellPages(const std::vector<int>& chosenSlots) {
    return [this, chosenSlots](PrintStream& out) {
        for (int slot : chosenSlots) {
            if (!keepGoing_)
                break;
            PrintSpell(out, spells()[slot], ExtraLines->value());
        }
    };
}

// Prints the pages on the chosen target, or shows them in a preview first.
// The progress message stays away while the preview is up: it would cover
// the pages.
void TForm2::printPages(const PageWriter& pages) {
    if (PreviewFirst->isChecked()) {
        previewPages(pages);
        return;
    }
    // A PDF file is named first: the message stays on top and would cover
    // the file dialog.
    if (!BeginPrintJob())
        return;
    const ProgressShown shown(QString(), progressText_, false);
    pages(stream_);
    stream_.EndPrintJob();
}

bool TForm2::BeginPrintJob() {
    QString error;
    if (stream_.BeginPrintJob(this, printTarget(), pdfPreset(), &error))
        return true;
    reportPrintError(error);
    return false;
}

// Draws the pages onto `printer` as one job. The preview draws its pages
// through here and so does printing from it, so both show the same pages.
bool TForm2::drawPages(QPrinter& printer, const PageWriter& pages) {
    QString error;
    if (!stream_.BeginPrintJob(printer, &error)) {
        reportPrintError(error);
        return false;
    }
    pages(stream_);
    stream_.EndPrintJob();
    return true;
}

// The preview works on a printer for the chosen target, so its pages have
// the size and printable area of the real ones. Nothing is asked before the
// pages are shown; a PDF file is named only when printing from the preview.
void TForm2::previewPages(const PageWriter& pages) {
    QString error;
    previewPrinter_ = PrintStream::MakePrinter(printTarget(), &error);
    if (!previewPrinter_) {
        reportPrintError(error);
        return;
    }
    QPrintPreviewDialog preview(previewPrinter_.get(), this);
    preview.setObjectName(QStringLiteral("PrintPreview"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this, &pages](QPrinter* printer) { drawPages(*printer, pages); });
    adaptPreview(preview, pages);
    preview.exec();
}

// Every page is portrait, so the preview's orientation buttons go. Its Print
// button prints on the target chosen in this dialog, as the command does
// without a preview, instead of opening the system's print dialog. The
// buttons are known by Qt's own (translated) texts; one not found keeps
// Qt's behaviour.
void TForm2::adaptPreview(QPrintPreviewDialog& preview, const PageWriter& pages) {
    auto qtText = [](const char* text) {
        return QCoreApplication::translate("QPrintPreviewDialog", text);
    };
    for (QAction* action : preview.findChildren<QAction*>()) {
        const QString text = action->text();
        if (text == qtText("Portrait") || text == qtText("Landscape"))
            action->setVisible(false);
        if (text != qtText("Print"))
            continue;
        QObject::disconnect(action, &QAction::triggered, &preview, nullptr);
        connect(action, &QAction::triggered, this,
                [this, &preview, &pages] { printFromPreview(preview, pages); });
    }
}

// A cancelled PDF file name leaves the preview open.
void TForm2::printFromPreview(QPrintPreviewDialog& preview, const PageWriter& pages) {
    if (printTarget() == PrintTarget::Pdf) {
        const QString path = PrintStream::AskPdfFileName(&preview, pdfPreset());
        if (path.isEmpty())
            return;
        previewPrinter_->setOutputFileName(path);
    }
    const ProgressShown shown(QString(), progressText_, false);
    drawPages(*previewPrinter_, pages);
    preview.accept();
}

void TForm2::reportPrintError(const QString& error) {
    if (!error.isEmpty())
        Prompts::Message(this, error, Prompts::Icon::Error, QMessageBox::Ok);
}

void TForm2::SaveList() {
    keepGoing_ = writeOutput(spelldata::SaveList(selectedRecords()), ToAppend->isChecked());
}

// The whole spells are gathered and written at once: replacing the file
// unless ToAppend is checked, which gives the same bytes as emptying it and
// appending the spells one by one, and fails before anything is written.
void TForm2::saveSpells(const std::vector<int>& chosenSlots) {
    std::string bytes;
    for (int slot : chosenSlots)
        bytes += spelldata::SaveSpell(spells()[slot], ExtraLines->value());
    const bool append = ToAppend->isChecked();
    if (append && bytes.empty())
        return; // nothing to add, and no file to create for it
    keepGoing_ = writeOutput(bytes, append);
}

// The message gives the system's reason under the usual first line; the
// reason names the file, whose bytes are kept as the system gave them.
bool TForm2::writeOutput(const std::string& bytes, bool append) {
    const spelldata::Status s = spelldata::WriteTextOutput(outputPath(), bytes, append, encoding());
    if (s)
        return true;
    Prompts::Message(this, CreateError + QLatin1Char('\n') + PathFromBytes(s.message),
                     Prompts::Icon::Error, QMessageBox::Cancel);
    return false;
}

// A name without a folder is taken to be in the program's folder, where
// Browse starts.
std::string TForm2::outputPath() const {
    const QString path = QDir(source_.programDir).filePath(Spellindex->text());
    return NativePath(path);
}

// The suggested PDF name: the data file's name with ".pdf", in its folder.
QString TForm2::pdfPreset() const {
    const QString base = source_.fileBoxText.isEmpty()
                             ? QDir(source_.programDir).filePath(QStringLiteral("spells"))
                             : source_.fileBoxText;
    const qsizetype slash = base.lastIndexOf(u'/');
    const qsizetype dot = base.indexOf(u'.', slash + 1);
    return (dot < 0 ? base : base.left(dot)) + QStringLiteral(".pdf");
}
