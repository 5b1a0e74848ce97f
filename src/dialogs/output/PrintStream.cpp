#include "dialogs/output/PrintStream.h"

#include "controls/GuiText.h"
#include "controls/Prompts.h"
#include "spelldata/SpellRecord.h"
#include "spelldata/TextExport.h"

#include <QMarginsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <utility>

namespace {

const QString PrintFontName = QStringLiteral("Times New Roman");
constexpr int LineGap = 2;           // device units between the tallest piece and the next line
constexpr int TabColumns = 8;        // a tab stop every eight average character widths
constexpr double PdfMarginMm = 6.35; // the border an ordinary laser printer cannot reach

QFont PrintFont(int style, int pointSize) {
    QFont font(PrintFontName);
    font.setPointSize(pointSize);
    font.setBold((style & 1) != 0);
    font.setItalic((style & 2) != 0);
    return font;
}

bool IsControl(QChar c) {
    return c == u'\n' || c == u'\r' || c == u'\f' || c == u'\t';
}

} // namespace

PrintStream::PrintStream() = default;

PrintStream::~PrintStream() {
    EndPrintJob();
}

bool PrintStream::HasDefaultPrinter() {
    return !QPrinterInfo::defaultPrinter().isNull();
}

// A PDF keeps the border of an ordinary printer, so its pages look like
// printed ones.
std::unique_ptr<QPrinter> PrintStream::MakePrinter(PrintTarget target, QString* error) {
    if (target == PrintTarget::Pdf) {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setPageMargins(QMarginsF(PdfMarginMm, PdfMarginMm, PdfMarginMm, PdfMarginMm),
                                QPageLayout::Millimeter);
        return printer;
    }
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        *error = QStringLiteral("There is no default printer.");
        return nullptr;
    }
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    if (printer->isValid())
        return printer;
    *error = QStringLiteral("The printer \"%1\" cannot be used.").arg(info.printerName());
    return nullptr;
}

QString PrintStream::AskPdfFileName(QWidget* parent, const QString& preset) {
    return Prompts::SaveFileName(parent, QStringLiteral("Print to PDF"), preset,
                                 QStringLiteral("PDF (*.pdf)"));
}

bool PrintStream::BeginPrintJob(QWidget* parent, PrintTarget target, const QString& pdfPreset,
                                QString* error) {
    clearJob();
    error->clear();
    std::unique_ptr<QPrinter> printer = MakePrinter(target, error);
    if (!printer)
        return false;
    if (target == PrintTarget::Pdf) {
        const QString path = AskPdfFileName(parent, pdfPreset);
        if (path.isEmpty())
            return false;
        printer->setOutputFileName(path);
    }
    ownPrinter_ = std::move(printer);
    return open(*ownPrinter_, error);
}

bool PrintStream::BeginPrintJob(QPrinter& target, QString* error) {
    clearJob();
    error->clear();
    ownPrinter_.reset();
    return open(target, error);
}

// Ends a running job and forgets what the last one drew.
void PrintStream::clearJob() {
    EndPrintJob();
    pieces_.clear();
    devicePages_ = 0;
    pdfFile_.clear();
}

bool PrintStream::open(QPrinter& target, QString* error) {
    printer_ = &target;
    if (target.outputFormat() == QPrinter::PdfFormat)
        pdfFile_ = target.outputFileName();
    if (!target.setPageOrientation(QPageLayout::Portrait)) {
        *error = QStringLiteral("The printer refused the portrait page setting.");
        return false;
    }
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(&target)) {
        *error = pdfFile_.isEmpty()
                     ? QStringLiteral("The print job could not be started.")
                     : QStringLiteral("The print job could not be started: cannot write %1.")
                           .arg(pdfFile_);
        return false;
    }
    painter_ = std::move(painter);
    width_ = target.width();
    height_ = target.height();
    devicePages_ = 1;
    page_ = 1;
    resetPosition();
    setFont(0, pointSize_);
    return true;
}

void PrintStream::EndPrintJob() {
    if (!painter_)
        return;
    painter_->end();
    painter_.reset();
}

QFontMetrics PrintStream::metrics(int style, int pointSize) const {
    return QFontMetrics(PrintFont(style, pointSize), printer_);
}

void PrintStream::PrnWrite(int style, int pointSize, const QString& text, bool endLine) {
    if (!isOpen())
        return;
    setFont(style, pointSize);
    write(text);
    if (endLine)
        this->endLine();
}

void PrintStream::PrnLabelLine(const QString& label, const QString& value) {
    PrnWrite(3, 10, label, false);
    PrnWrite(0, 10, value, true);
}

void PrintStream::DrawPages(const std::function<int(QPainter&, QPrinter&)>& draw) {
    if (!isOpen())
        return;
    devicePages_ = std::max(1, draw(*painter_, *printer_));
    page_ = devicePages_;
}

void PrintStream::resetPosition() {
    x_ = 0;
    y_ = 0;
    tallest_ = 0;
    carriedOver_ = false;
}

void PrintStream::setFont(int style, int pointSize) {
    style_ = style;
    pointSize_ = pointSize;
    font_ = PrintFont(style, pointSize);
    fontMetrics_.emplace(font_, printer_);
    painter_->setFont(font_);
}

void PrintStream::write(const QString& text) {
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!IsControl(text[i]))
            continue;
        writeRun(text.mid(start, i - start));
        start = i + 1;
        switch (text[i].unicode()) {
        case u'\n':
            endLine();
            break;
        case u'\f':
            newPage();
            break;
        case u'\t':
            tab();
            break;
        default: // a carriage return only hands the text over, which drawing already did
            break;
        }
    }
    writeRun(text.mid(start));
}

// Draws as much of `run` as fits the rest of the line and carries the rest to
// the next line, breaking after the last fitting character, not at a blank.
void PrintStream::writeRun(QString run) {
    while (!run.isEmpty()) {
        qsizetype length = fittingLength(run, width_ - x_);
        if (length == run.size()) {
            drawPiece(run);
            return;
        }
        if (length == 0 && x_ == 0)
            length = 1; // a character wider than the page goes out on its own line
        if (length > 0)
            drawPiece(run.left(length));
        endLine();
        run.remove(0, length);
    }
}

// The longest start of `run` whose width is at most `room`.
qsizetype PrintStream::fittingLength(const QString& run, int room) const {
    qsizetype fits = 0;
    qsizetype tooLong = run.size() + 1;
    while (tooLong - fits > 1) {
        const qsizetype middle = (fits + tooLong) / 2;
        if (fontMetrics_->horizontalAdvance(run.left(middle)) <= room)
            fits = middle;
        else
            tooLong = middle;
    }
    return fits;
}

void PrintStream::drawPiece(const QString& piece) {
    const int height = fontMetrics_->height();
    // A piece that would reach below the printable area goes to the next
    // page; one taller than a whole page goes out at the top of its own.
    if (y_ > 0 && y_ + height > height_)
        breakPage();
    // A page is only put out once something is drawn on it, so a job whose
    // last line ends at the bottom of a page leaves no blank sheet behind.
    for (; devicePages_ < page_; ++devicePages_)
        printer_->newPage();
    const int width = fontMetrics_->horizontalAdvance(piece);
    painter_->drawText(x_, y_ + fontMetrics_->ascent(), piece);
    pieces_.push_back({piece, x_, y_, page_, pointSize_, style_, width, height});
    x_ += width;
    tallest_ = std::max(tallest_, height);
    carriedOver_ = false;
}

// Empty lines that a page break carried over are dropped: a page the stream
// broke to starts with the next line that has writing on it.
void PrintStream::endLine() {
    const bool written = tallest_ > 0;
    x_ = 0;
    if (!written && carriedOver_)
        return;
    const int advance = written ? tallest_ + LineGap : fontMetrics_->height();
    y_ += advance;
    tallest_ = 0;
    const int limit = written ? height_ - 2 * advance : height_;
    if (y_ > limit)
        breakPage();
}

// A page the stream starts because the last one is full.
void PrintStream::breakPage() {
    newPage();
    carriedOver_ = true;
}

// A page that the text asks for with a form feed.
void PrintStream::newPage() {
    ++page_;
    resetPosition();
}

void PrintStream::tab() {
    const int stop = TabColumns * fontMetrics_->averageCharWidth();
    const int next = (x_ / stop + 1) * stop;
    if (next > width_)
        endLine();
    else
        x_ = next;
}

namespace {

QString Text(const std::string& bytes) {
    return FromBytes(bytes);
}

using FieldLines = std::vector<std::pair<const char*, const std::string*>>;

FieldLines WizardLines(const spelldata::SpellRecord& r) {
    return {{"Range:  ", &r->Range},
            {"Components:  ", r.components()},
            {"Duration:  ", r.duration()},
            {"Casting Time:  ", r.castingTime()},
            {"Area of Effect:  ", &r->AreaOfEffect},
            {"Saving Throw:  ", &r->SavingThrow}};
}

FieldLines PsionicLines(const spelldata::SpellRecord& r) {
    const spelldata::TPsi& psi = r.psi();
    FieldLines lines{
        {"Power Score:  ", &psi.PowerScore},           {"Initial Cost:  ", &psi.InitialCost},
        {"Maintenance Cost:  ", &psi.MaintenanceCost}, {"Range:  ", &psi.Range},
        {"Preperation Time:  ", &psi.PreparationTime}, {"Area of Effect:  ", &psi.AreaOfEffect}};
    if (!psi.Prerequisites.empty())
        lines.emplace_back("Prerequisites:  ", &psi.Prerequisites);
    return lines;
}

FieldLines KindLines(const spelldata::SpellRecord& r) {
    switch (r.kind()) {
    case spelldata::SpellKind::Priest: {
        FieldLines lines{{"Priest Sphere:  ", &r.pri().Sphere}};
        const FieldLines wizard = WizardLines(r);
        lines.insert(lines.end(), wizard.begin(), wizard.end());
        return lines;
    }
    case spelldata::SpellKind::Psionic:
        return PsionicLines(r);
    default:
        return WizardLines(r);
    }
}

} // namespace

void PrintListLines(PrintStream& out, const std::vector<const spelldata::SpellRecord*>& records) {
    out.PrnWrite(3, 20, QStringLiteral("Spell List"), true);
    for (const spelldata::SpellRecord* record : records) {
        out.PrnWrite((*record)->Reversible ? 2 : 0, 12, Text((*record)->Name), false);
        out.PrnWrite(1, 12, QStringLiteral("   ") + Text(spelldata::ListCode(*record)), true);
    }
    out.PrnWrite(3, 20, QString(), true);
}

bool PrintSpell(PrintStream& out, const spelldata::SpellRecord& record, int extraLines) {
    out.PrnWrite(3, 16, Text(record->Name), true);
    out.PrnWrite(1, 10, QStringLiteral("(") + Text(record->School) + QStringLiteral(")"), false);
    if (record->Reversible)
        out.PrnWrite(2, 10, QStringLiteral("   Reversible"), false);
    else
        out.PrnWrite(0, 10, QString(), false);
    out.PrnWrite(3, 11, QStringLiteral("  ") + Text(spelldata::LevelText(record)), true);
    out.PrnWrite(0, 11, QString(), true);
    for (const auto& [label, value] : KindLines(record))
        out.PrnLabelLine(QLatin1String(label), Text(*value));
    out.PrnWrite(0, 12, QString(), true);
    out.PrnWrite(0, 11, Text(record->Description), true);
    for (int i = 0; i < extraLines; ++i)
        out.PrnWrite(0, 12, QString(), true);
    return true;
}
