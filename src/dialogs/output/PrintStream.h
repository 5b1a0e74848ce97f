#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPainter;
class QPrinter;
class QWidget;

namespace spelldata {
class SpellRecord;
}

// One piece of text as it was put on a page, in device units from the top-left
// corner of the printable area. `y` is the top of the piece's line.
struct PrintedPiece {
    QString text;
    int x = 0;
    int y = 0;
    int page = 1; // counted from 1
    int pointSize = 0;
    int style = 0; // 0 regular, 1 bold, 2 italic, 3 bold and italic
    int width = 0;
    int height = 0; // the font's line height
};

// Where a print job goes: the system's default printer or a PDF file.
enum class PrintTarget { Printer, Pdf };

// A line-oriented text stream on the printer. Callers write pieces of text in
// a font of their choice and end lines; the stream places each piece after the
// previous one, breaks a piece that does not fit the rest of the line after its
// last fitting character, advances by the tallest piece of the line plus two
// device units and starts a new page when too little room is left. A piece
// never reaches below the printable area, and empty lines carried over a page
// break are dropped.
// Every piece drawn is also kept in pieces(), so the layout can be checked.
class PrintStream {
public:
    PrintStream();
    ~PrintStream();
    PrintStream(const PrintStream&) = delete;
    PrintStream& operator=(const PrintStream&) = delete;

    // Whether the system has a default printer to print on.
    static bool HasDefaultPrinter();
    // A printer for `target`, laid out as every job on that target is; a PDF
    // printer has no file name yet. Null, with the reason in `error`, when
    // the default printer is missing or cannot be used.
    static std::unique_ptr<QPrinter> MakePrinter(PrintTarget target, QString* error);
    // Asks for the name of the PDF file to print into; empty when cancelled.
    static QString AskPdfFileName(QWidget* parent, const QString& preset);

    // Starts a portrait job on `target`; for a PDF the user names the file
    // (`pdfPreset` is the suggested name). Returns false when no job was
    // started: with `error` empty when the user cancelled the file dialog,
    // otherwise with the reason to show. `error` must not be null.
    bool BeginPrintJob(QWidget* parent, PrintTarget target, const QString& pdfPreset,
                       QString* error);
    // Starts a portrait job on a printer the caller owns, such as the one a
    // print preview hands over for its pages. The printer must outlive the
    // job and any later use of metrics().
    bool BeginPrintJob(QPrinter& target, QString* error);
    // Ends the job and sends the pages. Does nothing when no job is running.
    void EndPrintJob();
    bool isOpen() const { return painter_ != nullptr; }

    // Writes `text` in "Times New Roman" of the given style and size, then
    // ends the line or leaves the position after the text. Inside the text a
    // line feed ends the line, a carriage return does nothing, a form feed
    // starts a new page and a tab moves to the next tab stop.
    void PrnWrite(int style, int pointSize, const QString& text, bool endLine);
    // The label in bold italic and the value in regular type, 10 points, and
    // the end of the line.
    void PrnLabelLine(const QString& label, const QString& value);
    // Hands the running job's painter and printer to `draw`, which paints
    // pages of its own (starting each after the first with newPage()) and
    // returns how many it painted; they are the job's pages.
    void DrawPages(const std::function<int(QPainter&, QPrinter&)>& draw);

    // What the last job drew, its page count and its printable area. They
    // stay readable after the job has ended, until the next one begins.
    const std::vector<PrintedPiece>& pieces() const { return pieces_; }
    int pageCount() const { return devicePages_; }
    int pageWidth() const { return width_; }
    int pageHeight() const { return height_; }
    // The PDF file the last job wrote; empty when it went to a printer.
    QString pdfFileName() const { return pdfFile_; }
    // Metrics of a print font on the last job's printer.
    QFontMetrics metrics(int style, int pointSize) const;

private:
    void clearJob();
    bool open(QPrinter& target, QString* error);
    void resetPosition();
    void setFont(int style, int pointSize);
    void write(const QString& text);
    void writeRun(QString run);
    void drawPiece(const QString& piece);
    qsizetype fittingLength(const QString& run, int room) const;
    void endLine();
    void breakPage();
    void newPage();
    void tab();

    std::unique_ptr<QPrinter> ownPrinter_; // the printer of a job this stream set up itself
    QPrinter* printer_ = nullptr;          // the running or last job's printer
    std::unique_ptr<QPainter> painter_;
    QString pdfFile_;
    QFont font_;
    std::optional<QFontMetrics> fontMetrics_;
    int style_ = 0;
    int pointSize_ = 12;
    int x_ = 0;
    int y_ = 0;
    int tallest_ = 0;          // tallest piece on the current line; 0 while it is empty
    bool carriedOver_ = false; // a page break happened and nothing is drawn since
    int page_ = 1;
    int devicePages_ = 0;
    int width_ = 0;
    int height_ = 0;
    std::vector<PrintedPiece> pieces_;
};

// The printed list into a running job: the heading "Spell List", one line per
// record (the name, in italic when reversible, then the list code in bold) and
// an empty 20-point line.
void PrintListLines(PrintStream& out, const std::vector<const spelldata::SpellRecord*>& records);

// One whole spell into a running job: name, school and level, the kind's field
// lines, the description and `extraLines` empty lines. Always returns true.
bool PrintSpell(PrintStream& out, const spelldata::SpellRecord& record, int extraLines);
