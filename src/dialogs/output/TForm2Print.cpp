// The print dialog's print jobs and print preview.
#include "dialogs/output/TForm2.h"

#include "controls/Prompts.h"
#include "dialogs/progress/TFMessage.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QPrintPreviewDialog>
#include <QPrinter>

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
    if (stream_.BeginPrintJob(this, printTarget(), PdfPreset(source_), &error))
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
        const QString path = PrintStream::AskPdfFileName(&preview, PdfPreset(source_));
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
