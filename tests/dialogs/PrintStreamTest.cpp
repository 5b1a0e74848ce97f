#include "dialogs/output/PrintStream.h"

#include "TestSupport.h"
#include "controls/Prompts.h"
#include "spelldata/SpellRecord.h"

#include <QPrinter>
#include <gtest/gtest.h>
#include <string>

namespace {

// Every test prints into a PDF file, so none of them sends pages to a printer.
class PrintStreamTest : public ::testing::Test {
protected:
    void SetUp() override {
        PromptScript::FileName(QString::fromStdString(dir.file("stream.pdf")));
        QString error;
        ASSERT_TRUE(
            stream.BeginPrintJob(nullptr, PrintTarget::Pdf, QStringLiteral("stream.pdf"), &error))
            << error.toStdString();
    }

    const PrintedPiece& Piece(const QString& text) {
        for (const PrintedPiece& piece : stream.pieces())
            if (piece.text == text)
                return piece;
        ADD_FAILURE() << "no piece " << text.toStdString();
        static const PrintedPiece none;
        return none;
    }

    int FontHeight(int style, int size) const { return stream.metrics(style, size).height(); }

    // Lines of several sizes, one too wide for the page and enough of them
    // for a second page.
    static void WriteSample(PrintStream& out) {
        out.PrnWrite(3, 20, QStringLiteral("Spell List"), true);
        out.PrnWrite(0, 12, QString(200, u'W'), true);
        for (int i = 0; i < 80; ++i) {
            out.PrnWrite(i % 4, 10 + i % 3, QStringLiteral("Line %1\t").arg(i), false);
            out.PrnWrite(1, 12, QStringLiteral("(W  3)"), true);
        }
    }

    QStringList Pieces() const {
        QStringList lines;
        for (const PrintedPiece& p : stream.pieces())
            lines << QStringLiteral("%1|x%2|y%3|p%4|%5pt|s%6|w%7|h%8")
                         .arg(p.text)
                         .arg(p.x)
                         .arg(p.y)
                         .arg(p.page)
                         .arg(p.pointSize)
                         .arg(p.style)
                         .arg(p.width)
                         .arg(p.height);
        return lines;
    }

    testsupport::TempDir dir;
    PrintStream stream;
};

} // namespace

TEST_F(PrintStreamTest, linesAdvanceByTheirTallestPieceOrTheEmptyFontHeight) {
    stream.PrnWrite(0, 12, QStringLiteral("small\rer"), false);
    stream.PrnWrite(3, 20, QStringLiteral("Big"), true);
    stream.PrnWrite(0, 10, QStringLiteral("next"), true);
    stream.PrnWrite(0, 11, QString(), true);
    stream.PrnWrite(0, 10, QStringLiteral("after\nlast"), true);
    stream.EndPrintJob();

    // A carriage return splits the piece but does not move.
    const PrintedPiece& small = Piece(QStringLiteral("small"));
    const PrintedPiece& er = Piece(QStringLiteral("er"));
    const PrintedPiece& big = Piece(QStringLiteral("Big"));
    EXPECT_EQ(small.x, 0);
    EXPECT_EQ(er.x, small.width);
    EXPECT_EQ(big.x, small.width + er.width);
    EXPECT_EQ(big.y, 0);
    EXPECT_EQ(big.height, FontHeight(3, 20));

    const PrintedPiece& next = Piece(QStringLiteral("next"));
    EXPECT_EQ(next.y, big.height + 2);
    const PrintedPiece& after = Piece(QStringLiteral("after"));
    EXPECT_EQ(after.y, next.y + next.height + 2 + FontHeight(0, 11));
    EXPECT_EQ(Piece(QStringLiteral("last")).y, after.y + after.height + 2);
    EXPECT_EQ(stream.pageCount(), 1);
}

TEST_F(PrintStreamTest, tooWidePieceBreaksAfterTheLastCharacterThatFits) {
    QString word;
    while (word.size() < 400)
        word += QStringLiteral("Abracadabra");
    stream.PrnWrite(0, 12, QStringLiteral("Lead "), false);
    stream.PrnWrite(3, 16, word, true);

    const std::vector<PrintedPiece>& pieces = stream.pieces();
    ASSERT_GE(pieces.size(), 3u);
    const PrintedPiece& first = pieces[1];
    EXPECT_EQ(first.x, pieces[0].width);
    EXPECT_LE(first.x + first.width, stream.pageWidth());
    const QFontMetrics metrics = stream.metrics(3, 16);
    const QString withNext = word.left(first.text.size() + 1);
    EXPECT_GT(first.x + metrics.horizontalAdvance(withNext), stream.pageWidth());

    QString joined;
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        joined += pieces[i].text;
        if (i > 1) {
            EXPECT_EQ(pieces[i].x, 0);
            EXPECT_EQ(pieces[i].y, pieces[i - 1].y + pieces[i - 1].height + 2);
        }
    }
    EXPECT_EQ(joined, word);
}

// A written line needs room for two more below it; empty lines run on to the
// page height itself, but a piece never reaches below it.
TEST_F(PrintStreamTest, pageBreaksAfterWrittenAndEmptyLines) {
    for (int i = 0; i < 150; ++i)
        stream.PrnWrite(0, 12, QStringLiteral("Line %1").arg(i), true);
    const std::vector<PrintedPiece> lines = stream.pieces();
    const int advance = FontHeight(0, 12) + 2;
    const int limit = stream.pageHeight() - 2 * advance;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const bool samePage = lines[i].page == lines[i - 1].page;
        EXPECT_EQ(lines[i].page, lines[i - 1].page + (samePage ? 0 : 1));
        EXPECT_EQ(lines[i].y, samePage ? lines[i - 1].y + advance : 0);
        EXPECT_EQ(lines[i - 1].y + advance > limit, !samePage) << i;
    }
    ASSERT_GE(lines.back().page, 3);

    // After a form feed, empty lines run on until one more written line
    // just fits below them; the line after that starts the next page.
    stream.PrnWrite(0, 12, QStringLiteral("\ftop"), true);
    int y = advance;
    while (y + 2 * FontHeight(0, 12) <= stream.pageHeight()) {
        stream.PrnWrite(0, 12, QString(), true);
        y += FontHeight(0, 12);
    }
    stream.PrnWrite(0, 12, QStringLiteral("bottom"), true);
    stream.PrnWrite(0, 12, QStringLiteral("next page"), true);
    EXPECT_EQ(Piece(QStringLiteral("bottom")).y, y);
    EXPECT_EQ(Piece(QStringLiteral("bottom")).page, Piece(QStringLiteral("top")).page);
    EXPECT_EQ(Piece(QStringLiteral("next page")).page, Piece(QStringLiteral("bottom")).page + 1);
    EXPECT_EQ(Piece(QStringLiteral("next page")).y, 0);
    stream.EndPrintJob();
    EXPECT_EQ(stream.pageCount(), lines.back().page + 2);
}

// Whole spells of many lengths, each followed by a different number of empty
// lines, meet the page bottom at every kind of line: every piece lies inside
// the printable area, and a page the stream broke to starts with writing,
// not with empty lines carried over.
TEST_F(PrintStreamTest, piecesStayInsideThePageAndCarriedEmptyLinesAreDropped) {
    for (int i = 0; i < 120; ++i) {
        spelldata::SpellRecord spell = testsupport::FullWizard("Probe " + std::to_string(i));
        spell->Description.clear();
        for (int line = 0; line < i % 9; ++line)
            spell->Description += "A line of the description.\r\n";
        PrintSpell(stream, spell, 1 + (i * 7) % 13);
    }
    stream.EndPrintJob();
    ASSERT_GE(stream.pageCount(), 10);
    int page = 0;
    for (const PrintedPiece& piece : stream.pieces()) {
        SCOPED_TRACE(piece.text.toStdString());
        EXPECT_LE(piece.y + piece.height, stream.pageHeight()) << "page " << piece.page;
        if (piece.page != page) {
            EXPECT_EQ(piece.y, 0) << "first piece of page " << piece.page;
        }
        page = piece.page;
    }
}

TEST_F(PrintStreamTest, tabsStopEveryEightAverageWidthsAndFormFeedsStartAPage) {
    const int stop = 8 * stream.metrics(0, 12).averageCharWidth();
    stream.PrnWrite(0, 12, QStringLiteral("a\tb\t\tc"), true);
    EXPECT_EQ(Piece(QStringLiteral("b")).x, stop);
    EXPECT_EQ(Piece(QStringLiteral("c")).x, 3 * stop);

    // From the left edge, the tab that would pass the right edge ends the
    // line, so with the line end after it two empty lines are left behind.
    QString tabs(stream.pageWidth() / stop + 1, u'\t');
    stream.PrnWrite(0, 12, tabs, true);
    stream.PrnWrite(0, 12, QStringLiteral("d\fe"), false);
    const PrintedPiece& d = Piece(QStringLiteral("d"));
    EXPECT_EQ(d.x, 0);
    EXPECT_EQ(d.y, Piece(QStringLiteral("c")).y + d.height + 2 + 2 * FontHeight(0, 12));
    const PrintedPiece& e = Piece(QStringLiteral("e"));
    EXPECT_EQ(e.page, 2);
    EXPECT_EQ(e.x, 0);
    EXPECT_EQ(e.y, 0);
    stream.EndPrintJob();
    EXPECT_EQ(stream.pageCount(), 2);
    EXPECT_GT(testsupport::ReadBytes(dir.file("stream.pdf")).size(), 0u);
}

// A printer handed over from outside (as a print preview does) gets the very
// pieces and pages of a job the stream set up itself for the same target.
TEST_F(PrintStreamTest, givenPrinterGetsTheSamePagesAsTheStreamsOwnJob) {
    WriteSample(stream);
    stream.EndPrintJob();
    const QStringList own = Pieces();
    const int ownPages = stream.pageCount();
    ASSERT_GE(ownPages, 2);
    EXPECT_EQ(stream.pdfFileName(), QString::fromStdString(dir.file("stream.pdf")));

    QString error;
    std::unique_ptr<QPrinter> printer = PrintStream::MakePrinter(PrintTarget::Pdf, &error);
    ASSERT_NE(printer, nullptr);
    const QString given = QString::fromStdString(dir.file("given.pdf"));
    printer->setOutputFileName(given);
    ASSERT_TRUE(stream.BeginPrintJob(*printer, &error)) << error.toStdString();
    EXPECT_TRUE(stream.pieces().empty()); // the last job's pieces are gone
    WriteSample(stream);
    stream.EndPrintJob();
    EXPECT_EQ(Pieces(), own);
    EXPECT_EQ(stream.pageCount(), ownPages);
    EXPECT_EQ(stream.pdfFileName(), given);
    EXPECT_GT(testsupport::ReadBytes(dir.file("given.pdf")).size(), 0u);
}

TEST_F(PrintStreamTest, givenPrinterIsTurnedToPortrait) {
    stream.EndPrintJob();
    const int portraitWidth = stream.pageWidth();
    QString error;
    std::unique_ptr<QPrinter> printer = PrintStream::MakePrinter(PrintTarget::Pdf, &error);
    ASSERT_NE(printer, nullptr);
    printer->setOutputFileName(QString::fromStdString(dir.file("turned.pdf")));
    printer->setPageOrientation(QPageLayout::Landscape);
    ASSERT_TRUE(stream.BeginPrintJob(*printer, &error)) << error.toStdString();
    stream.EndPrintJob();
    EXPECT_EQ(printer->pageLayout().orientation(), QPageLayout::Portrait);
    EXPECT_EQ(stream.pageWidth(), portraitWidth);
    EXPECT_LT(stream.pageWidth(), stream.pageHeight());
}

TEST_F(PrintStreamTest, cancelledPdfNameStartsNoJobAndReportsNothing) {
    stream.PrnWrite(0, 12, QStringLiteral("earlier"), true);
    PromptScript::FileName(QString());
    QString error = QStringLiteral("stale");
    EXPECT_FALSE(stream.BeginPrintJob(nullptr, PrintTarget::Pdf, QStringLiteral("x.pdf"), &error));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_FALSE(stream.isOpen());
    EXPECT_TRUE(stream.pieces().empty());
    stream.PrnWrite(0, 12, QStringLiteral("lost"), true); // no job: nothing is drawn
    EXPECT_TRUE(stream.pieces().empty());
}

// Without a default printer the printer target is an error with a reason,
// and no PDF file name is asked for instead.
TEST_F(PrintStreamTest, printerTargetNeedsADefaultPrinter) {
    if (PrintStream::HasDefaultPrinter())
        GTEST_SKIP() << "a default printer exists";
    QString error;
    EXPECT_EQ(PrintStream::MakePrinter(PrintTarget::Printer, &error), nullptr);
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_FALSE(stream.BeginPrintJob(nullptr, PrintTarget::Printer, QString(), &error));
    EXPECT_EQ(error, QStringLiteral("There is no default printer."));
    EXPECT_FALSE(stream.isOpen());
}
