#pragma once

#include "dialogs/output/PrintStream.h"
#include "dialogs/output/SpellOutput.h"
#include "spelldata/TextExport.h"

#include <QDialog>
#include <QString>
#include <memory>

class ClickPanel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPrintPreviewDialog;
class QPrinter;
class QPushButton;
class QSpinBox;

// The "Printing" dialog: sends the whole list, the marked spells or the
// selected spell to the printer or to a text file, either as a list of names
// or as whole spells. In print mode the pages go to the default printer or
// into a PDF file, and can be looked at in a print preview first. One object
// lives for the whole run and is reused; the mode, the print target and the
// check marks carry over from one opening to the next. The dialog reads its
// controls into an OutputChoice; SpellOutput picks the spells and makes the
// text and the pages. Opened for cards, print mode prints spell cards
// instead, with the same scopes, targets and preview.
class TForm2 : public QDialog {
    Q_OBJECT

public:
    explicit TForm2(QWidget* parent = nullptr);
    ~TForm2() override;

    // Open the dialog in print or save mode on `source` and return when it
    // has closed, with the progress message it showed taken down again.
    void BPrintClick(const ListSource& source);
    void BSaveTextClick(const ListSource& source);
    // Open the dialog to print spell cards on `source`.
    void BPrintCardsClick(const ListSource& source);

    void PannelClick();
    void DescClick();
    void BMinClick();
    void BMarkedClick();
    void BCurrentClick();
    void BitBtn1Click();
    void BitBtn2Click();
    void UpdateScopeButtons();

    bool PrintMode() const { return printMode_; }
    bool CardsMode() const { return cardsMode_; }
    bool KeepGoing() const { return keepGoing_; }
    // 1 print the list, 2 print whole spells, 3 save the list, 4 save whole spells.
    int OutputMode() const;
    // Where print mode sends its pages.
    PrintTarget printTarget() const;
    // The stream of the last print job or preview, with the pieces it drew.
    const PrintStream& printStream() const { return stream_; }

private:
    void createPanel();
    void createScopeButtons();
    void createOptions();
    void createPrintChoices();
    void createFileRow();
    void createEncodingChoice();
    void loadEncodingChoice();
    void saveEncodingChoice();
    spelldata::TextEncoding encoding() const;
    void offerTargets();
    void showPrintChoices(bool visible);
    void showFileRow(bool visible);
    void enterPrintMode();
    void enterSaveMode();
    void enterCardsMode();
    void leaveCardsMode();

    OutputChoice choice(OutputScope scope) const;
    void runScope(OutputScope scope);
    bool reportWriteError(const spelldata::Status& written);
    void printPages(const PageWriter& pages);
    bool BeginPrintJob();
    bool drawPages(QPrinter& printer, const PageWriter& pages);
    void previewPages(const PageWriter& pages);
    void adaptPreview(QPrintPreviewDialog& preview, const PageWriter& pages);
    void printFromPreview(QPrintPreviewDialog& preview, const PageWriter& pages);
    void reportPrintError(const QString& error);

    ClickPanel* Pannel = nullptr;
    QPushButton* BMin = nullptr;
    QPushButton* BCurrent = nullptr;
    QPushButton* BMarked = nullptr;
    QCheckBox* Desc = nullptr;
    QCheckBox* ToAppend = nullptr;
    QLabel* LEXLines = nullptr;
    QLabel* CardsNote = nullptr; // cards mode: what comes out, in the description row
    QSpinBox* ExtraLines = nullptr;
    QLabel* LTarget = nullptr;
    QComboBox* TargetBox = nullptr; // object name PrintTarget
    QCheckBox* PreviewFirst = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QLabel* LEncoding = nullptr;
    QComboBox* TextEncoding = nullptr; // save mode: DOS or UTF-8 text
    QLabel* Label1 = nullptr;
    QLineEdit* Spellindex = nullptr;
    QPushButton* BitBtn2 = nullptr;

    ListSource source_;
    bool printMode_ = true;
    bool cardsMode_ = false;
    QString pannelHint_; // the title's hint outside cards mode
    bool keepGoing_ = true;
    QString progressText_; // the running scope command's progress message
    PrintStream stream_;
    std::unique_ptr<QPrinter> previewPrinter_; // kept for stream_'s metrics after the preview
};
