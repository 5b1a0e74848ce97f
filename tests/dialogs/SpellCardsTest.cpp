#include "dialogs/output/SpellCards.h"

#include "TestSupport.h"
#include "controls/DisplaySettings.h"
#include "controls/Prompts.h"
#include "dialogs/output/TForm2.h"
#include "dialogs/progress/TFMessage.h"
#include "spelldata/SpellCollection.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

using spelldata::SpellRecord;

namespace {

// A PDF page of the given size with the margins the print dialog gives a PDF.
struct Page {
    explicit Page(QPageSize::PageSizeId size, const std::string& path)
        : writer(QString::fromStdString(path)) {
        writer.setResolution(1200);
        writer.setPageSize(QPageSize(size));
        writer.setPageMargins(QMarginsF(6.35, 6.35, 6.35, 6.35), QPageLayout::Millimeter);
    }
    QPdfWriter writer;
};

std::vector<const SpellRecord*> Pointers(const std::vector<SpellRecord>& records) {
    std::vector<const SpellRecord*> pointers;
    for (const SpellRecord& r : records)
        pointers.push_back(&r);
    return pointers;
}

QString Words(int count) {
    QStringList words;
    for (int i = 0; i < count; ++i)
        words << QStringLiteral("word%1").arg(i);
    return words.join(u' ');
}

// The description as the card shows it: its pieces below the fields, in order.
QString CardText(const std::vector<SpellCard>& cards, int skipPieces) {
    QStringList pieces;
    for (const SpellCard& card : cards) {
        const std::size_t first = card.continued ? 3 : static_cast<std::size_t>(skipPieces);
        for (std::size_t i = first; i < card.pieces.size(); ++i)
            pieces << card.pieces[i].text;
    }
    return pieces.join(u' ');
}

// Every piece lies inside its card, clear of the cut lines and of the other
// pieces, and every card inside the grid, which the page holds at full size.
void ExpectInsideCards(const CardSheet& sheet, QPagedPaintDevice& device) {
    const QSizeF paint = device.pageLayout().paintRectPixels(device.logicalDpiX()).size();
    EXPECT_TRUE(QRectF(QPointF(), paint).contains(sheet.toPage.mapRect(sheet.grid)));
    EXPECT_DOUBLE_EQ(sheet.toPage.m11(), 1.0);
    for (const SpellCard& card : sheet.cards) {
        EXPECT_TRUE(sheet.grid.contains(card.rect));
        const QRectF inside = card.rect.adjusted(1, 1, -1, -1);
        for (std::size_t i = 0; i < card.pieces.size(); ++i) {
            const CardPiece& piece = card.pieces[i];
            EXPECT_TRUE(inside.contains(piece.rect)) << piece.text.left(40).toStdString();
            for (std::size_t j = i + 1; j < card.pieces.size(); ++j)
                EXPECT_FALSE(piece.rect.intersects(card.pieces[j].rect))
                    << piece.text.left(40).toStdString() << " | "
                    << card.pieces[j].text.left(40).toStdString();
        }
        EXPECT_TRUE(inside.contains(card.band) && card.band.contains(card.icon));
    }
}

class SpellCardsTest : public ::testing::Test {
protected:
    testsupport::TempDir dir;
};

} // namespace

TEST_F(SpellCardsTest, cardsGoNineToAPageInReadingOrderOnA4AndLetter) {
    for (const auto size : {QPageSize::A4, QPageSize::Letter}) {
        for (const int count : {1, 9, 10, 100}) {
            SCOPED_TRACE(std::to_string(count) + (size == QPageSize::A4 ? " on A4" : " on Letter"));
            std::vector<SpellRecord> records;
            for (int i = 0; i < count; ++i)
                records.push_back(
                    i % 3 == 0   ? testsupport::FullWizard("Wizard " + std::to_string(i))
                    : i % 3 == 1 ? testsupport::FullPriest("Priest " + std::to_string(i))
                                 : testsupport::FullPsionic("Power " + std::to_string(i)));
            Page page(size, dir.file("cards.pdf"));
            const CardSheet sheet = LayoutCards(Pointers(records), page.writer);
            ASSERT_EQ(sheet.cards.size(), static_cast<std::size_t>(count));
            EXPECT_EQ(sheet.pageCount, (count + 8) / 9);
            for (int i = 0; i < count; ++i) {
                const SpellCard& card = sheet.cards[static_cast<std::size_t>(i)];
                EXPECT_EQ(card.record, &records[static_cast<std::size_t>(i)]);
                EXPECT_EQ(card.page, i / 9 + 1);
                EXPECT_FALSE(card.continued);
                EXPECT_EQ(card.textPointSize, LargestCardTextPt);
                const QPointF expected(i % 3 * card.rect.width(), i % 9 / 3 * card.rect.height());
                EXPECT_EQ(card.rect.topLeft(), expected);
            }
            EXPECT_NEAR(sheet.cards[0].rect.width() / page.writer.logicalDpiX() * 25.4, CardWidthMm,
                        0.01);
            EXPECT_NEAR(sheet.cards[0].rect.height() / page.writer.logicalDpiX() * 25.4,
                        CardHeightMm, 0.01);
            ExpectInsideCards(sheet, page.writer);
        }
    }
}

// Name and level code first, then the school and level lines and the kind's
// rows: each row's label in bold and its value after it. A name too long for
// two lines of the band ends them with an ellipsis; it stays clear of the
// level code even as one word that fills the lines to their end.
TEST_F(SpellCardsTest, cardShowsNameLevelCodeSchoolAndTheRowsOfItsKind) {
    std::vector<SpellRecord> records{testsupport::FullPriest("Ember Psalm"),
                                     testsupport::FullPsionic("Glass Mind"),
                                     testsupport::FullWizard(std::string(70, 'x') + " Mansion")};
    Page page(QPageSize::A4, dir.file("cards.pdf"));
    const CardSheet sheet = LayoutCards(Pointers(records), page.writer);
    ExpectInsideCards(sheet, page.writer);
    ASSERT_EQ(sheet.cards.size(), 3u);
    auto labels = [](const SpellCard& card) {
        QStringList bold;
        for (const CardPiece& piece : card.pieces)
            if (piece.style == 1)
                bold << piece.text;
        return bold;
    };
    EXPECT_EQ(labels(sheet.cards[0]),
              (QStringList{"Ember Psalm", "5", "Range:", "Components:", "Duration:",
                           "Casting Time:", "Area of Effect:", "Saving Throw:"}));
    EXPECT_EQ(sheet.cards[0].pieces[2].text,
              QStringLiteral("Evocation, Fire; Sphere: Elemental (Fire)"));
    EXPECT_EQ(labels(sheet.cards[1]).mid(2, 6),
              (QStringList{"Power Score:", "Initial Cost:", "Maintenance Cost:", "Range:",
                           "Preparation Time:", "Area of Effect:"}));
    EXPECT_EQ(labels(sheet.cards[1])[1], QStringLiteral("D"));
    EXPECT_EQ(sheet.cards[0].iconResource, QStringLiteral(":/kinds/priest.svg"));
    const std::vector<CardPiece>& named = sheet.cards[2].pieces;
    EXPECT_TRUE(named[0].text.startsWith(QStringLiteral("xxx")) && named[0].text.endsWith(u'-'));
    EXPECT_TRUE(named[1].text.endsWith(u'\u2026')) << named[1].text.toStdString();
    EXPECT_EQ(named[2].text, QStringLiteral("3"));
    EXPECT_EQ(named[3].text, QStringLiteral("Evocation, Fire"));
}

// A description that does not fit is set smaller first; one that does not
// fit at the smallest size goes on over a card marked "(continued)", with
// no word lost, split or repeated. A word wider than the card alone is split,
// with hyphens.
TEST_F(SpellCardsTest, longTextIsSetSmallerThenContinuesOnTheNextCard) {
    constexpr int Heading = 2 + 2 + 12; // name, code, two lines, six labelled rows
    Page page(QPageSize::A4, dir.file("cards.pdf"));
    auto layout = [&](const QString& description) {
        SpellRecord record = testsupport::FullWizard();
        record->Description = description.toStdString();
        const std::vector<SpellRecord> records{record};
        CardSheet sheet = LayoutCards(Pointers(records), page.writer);
        ExpectInsideCards(sheet, page.writer);
        for (SpellCard& card : sheet.cards)
            card.record = nullptr; // the record goes out of scope
        return sheet;
    };
    const CardSheet smaller = layout(Words(120));
    ASSERT_EQ(smaller.cards.size(), 1u);
    EXPECT_LT(smaller.cards[0].textPointSize, LargestCardTextPt);
    EXPECT_GE(smaller.cards[0].textPointSize, SmallestCardTextPt);
    EXPECT_EQ(CardText(smaller.cards, Heading), Words(120));

    const CardSheet two = layout(Words(250));
    ASSERT_EQ(two.cards.size(), 2u);
    EXPECT_FALSE(two.cards[0].continued);
    EXPECT_TRUE(two.cards[1].continued);
    EXPECT_EQ(two.cards[1].pieces[0].text, two.cards[0].pieces[0].text); // the name again
    EXPECT_EQ(two.cards[1].pieces[2].text, QStringLiteral("(continued)"));
    EXPECT_EQ(two.cards[1].textPointSize, SmallestCardTextPt);
    EXPECT_EQ(CardText(two.cards, Heading), Words(250));

    const QString word = QString(300, u'x');
    const CardSheet split = layout(QStringLiteral("a ") + word + QStringLiteral(" b"));
    ASSERT_EQ(split.cards.size(), 1u);
    QString joined;
    const std::vector<CardPiece>& pieces = split.cards[0].pieces;
    ASSERT_GT(pieces.size(), static_cast<std::size_t>(Heading + 3));
    for (std::size_t i = Heading + 1; i < pieces.size(); ++i) {
        EXPECT_TRUE(pieces[i].text.endsWith(u'-') || i + 1 == pieces.size()) << i;
        joined += pieces[i].text.chopped(pieces[i].text.endsWith(u'-') ? 1 : 0);
    }
    EXPECT_EQ(pieces[Heading].text, QStringLiteral("a"));
    EXPECT_EQ(joined, word + QStringLiteral(" b"));
}

// The print dialog opened for cards: no description choice; the preview
// shows as many pages as printing the same spells into a PDF writes. The
// next ordinary opening is the print dialog as before.
TEST_F(SpellCardsTest, printDialogPreviewsAndPrintsTheCardPages) {
    TFMessage progress;
    TFMessage::setInstance(&progress);
    spelldata::SpellCollection spells;
    for (int i = 0; i < 10; ++i)
        spells.Append(testsupport::FullPriest("Psalm " + std::to_string(i)));
    ListSource source;
    source.spells = &spells;
    for (int i = 0; i < 10; ++i)
        source.rows.push_back(i);
    source.selectedRow = 0;
    source.programDir = QString::fromStdString(dir.path().string());
    TForm2 form;
    auto open = [&](bool preview, std::function<void()> inPreview) {
        QTimer::singleShot(0, &form, [&, preview, inPreview] {
            EXPECT_FALSE(form.findChild<QCheckBox*>("Desc")->isVisible());
            EXPECT_TRUE(form.findChild<QLabel*>("CardsNote")->isVisible());
            EXPECT_EQ(form.windowTitle(), QStringLiteral("Printing Cards..."));
            auto* target = form.findChild<QComboBox*>("PrintTarget");
            target->setCurrentIndex(target->findText(QStringLiteral("PDF")));
            form.findChild<QCheckBox*>("PreviewFirst")->setChecked(preview);
            QTimer::singleShot(0, &form, inPreview);
            QTest::mouseClick(form.findChild<QWidget*>("BMin"), Qt::LeftButton);
        });
        form.BPrintCardsClick(source);
    };
    int previewed = -1;
    open(true, [&] {
        auto* preview = form.findChild<QPrintPreviewDialog*>();
        ASSERT_NE(preview, nullptr);
        previewed = preview->findChild<QPrintPreviewWidget*>()->pageCount();
        preview->reject();
    });
    EXPECT_EQ(previewed, 2);
    const std::string pdf = dir.file("cards.pdf");
    PromptScript::FileName(QString::fromStdString(pdf));
    open(false, [] {});
    EXPECT_EQ(form.printStream().pageCount(), 2);
    EXPECT_EQ(progress.findChild<QLabel*>("LText")->text(),
              QStringLiteral("Printing List as Cards..."));
    const std::string bytes = testsupport::ReadBytes(pdf);
    const std::size_t count = bytes.find("/Count ");
    ASSERT_NE(count, std::string::npos);
    EXPECT_EQ(std::atoi(bytes.c_str() + count + 7), previewed);

    QTimer::singleShot(0, &form, [&] {
        EXPECT_TRUE(form.findChild<QCheckBox*>("Desc")->isVisible());
        EXPECT_FALSE(form.findChild<QLabel*>("CardsNote")->isVisible());
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Printing..."));
        form.reject();
    });
    form.BPrintClick(source);
    EXPECT_FALSE(form.CardsMode());
}

// The band and the name take the kind's name colour from the settings; a
// light one is darkened for the name until it reads on the band, a dark one
// is kept as it is.
TEST_F(SpellCardsTest, nameColourFollowsTheSettingsAndStaysReadable) {
    const DisplaySettings saved = CurrentDisplay();
    CurrentDisplay().colours[spelldata::ColourSlot::WizardName] =
        ValueFromColour(QColor(255, 255, 0));
    CurrentDisplay().colours[spelldata::ColourSlot::PriestName] =
        ValueFromColour(QColor(0, 0, 128));
    std::vector<SpellRecord> records{testsupport::FullWizard(), testsupport::FullPriest()};
    Page page(QPageSize::A4, dir.file("cards.pdf"));
    const CardSheet sheet = LayoutCards(Pointers(records), page.writer);
    CurrentDisplay() = saved;
    ASSERT_EQ(sheet.cards.size(), 2u);
    EXPECT_EQ(sheet.cards[0].kindColour, QColor(255, 255, 0));
    EXPECT_EQ(sheet.cards[1].kindColour, QColor(0, 0, 128));
    EXPECT_EQ(sheet.cards[1].pieces[0].colour, QColor(0, 0, 128));
    const QColor name = sheet.cards[0].pieces[0].colour;
    EXPECT_EQ(sheet.cards[0].pieces[1].colour, name); // the level code
    EXPECT_LT(name.lightness(), 100);
    EXPECT_GT(name.red(), name.blue()); // still a yellow, darkened
    EXPECT_EQ(sheet.cards[0].pieces[2].colour, QColor(Qt::black));
}
