#include "dialogs/output/TForm2.h"

#include "controls/ClickPanel.h"
#include "controls/GuiText.h"
#include "controls/Prompts.h"
#include "controls/TabChain.h"
#include "dialogs/progress/TFMessage.h"
#include "spelldata/SpellCollection.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QStyle>

namespace {

constexpr int DialogWidth = 360;
constexpr int PrintHeight = 178; // the file name row lies below this
constexpr int SaveHeight = 220;

const QString PrintCaption = QStringLiteral("Print");
const QString CreateError = QStringLiteral("ERROR: Could not Create File.");

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

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
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

void TForm2::loadEncodingChoice() {
    const auto encoding = spelldata::ReadTextEncoding(EncodingFilePath(source_));
    TextEncoding->setCurrentIndex(TextEncoding->findData(static_cast<int>(encoding)));
}

// A choice that cannot be remembered still holds for this run.
void TForm2::saveEncodingChoice() {
    spelldata::WriteTextEncoding(EncodingFilePath(source_), encoding());
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
    leaveCardsMode();
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
    leaveCardsMode();
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
    if (cardsMode_)
        return; // cards are only printed
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

void TForm2::UpdateScopeButtons() {
    BMarked->setEnabled(ListShowsMarkedSpell(source_));
    BCurrent->setEnabled(!source_.rows.empty());
    BMin->setEnabled(true);
}

int TForm2::OutputMode() const {
    return ::OutputMode(printMode_, Desc->isChecked());
}

PrintTarget TForm2::printTarget() const {
    return static_cast<PrintTarget>(TargetBox->currentData().toInt());
}

OutputChoice TForm2::choice(OutputScope scope) const {
    OutputChoice chosen;
    chosen.scope = scope;
    chosen.print = printMode_;
    chosen.cards = cardsMode_;
    chosen.description = Desc->isChecked();
    chosen.extraLines = ExtraLines->value();
    chosen.fileName = Spellindex->text();
    chosen.append = ToAppend->isChecked();
    chosen.encoding = encoding();
    return chosen;
}

void TForm2::BMinClick() {
    runScope(OutputScope::List);
}

void TForm2::BMarkedClick() {
    if (ListedSpells(source_).MarkedCount() == 0) {
        accept();
        return;
    }
    runScope(OutputScope::Marked);
}

// With no line selected there is no current spell: the command only closes.
void TForm2::BCurrentClick() {
    if (SelectedSlot(source_) < 0) {
        accept();
        return;
    }
    runScope(OutputScope::Current);
}

void TForm2::runScope(OutputScope scope) {
    hide();
    const OutputChoice chosen = choice(scope);
    if (chosen.cards && RecordsInScope(source_, scope).empty()) {
        accept(); // no card to print
        return;
    }
    progressText_ = OutputProgressText(chosen);
    if (chosen.print) {
        printPages(OutputPages(source_, chosen));
    } else {
        const ProgressShown shown(QString(), progressText_, false);
        keepGoing_ = reportWriteError(SaveTextOutput(source_, chosen));
    }
    accept();
}

// The message gives the system's reason under the usual first line; the
// reason names the file, whose bytes are kept as the system gave them.
bool TForm2::reportWriteError(const spelldata::Status& written) {
    if (written)
        return true;
    Prompts::Message(this, CreateError + QLatin1Char('\n') + PathFromBytes(written.message),
                     Prompts::Icon::Error, QMessageBox::Cancel);
    return false;
}
