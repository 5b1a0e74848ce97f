#include "TFontComboBox.h"

#include <QAbstractItemView>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QStyleOptionViewItem>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QColor Grey(128, 128, 128);
const QColor Black(0, 0, 0);

// A one-character bitmap font in BDF form: installed for the test, it is a
// font without outlines.
const char* const BitmapFont = R"(STARTFONT 2.1
FONT -quarvine-quarvine test bitmap-medium-r-normal--8-80-75-75-c-80-iso10646-1
SIZE 8 75 75
FONTBOUNDINGBOX 8 8 0 0
STARTPROPERTIES 3
FAMILY_NAME "Quarvine Test Bitmap"
FONT_ASCENT 8
FONT_DESCENT 0
ENDPROPERTIES
CHARS 1
STARTCHAR A
ENCODING 65
SWIDTH 500 0
DWIDTH 8 0
BBX 8 8 0 0
BITMAP
18
24
42
42
7E
42
42
00
ENDCHAR
ENDFONT
)";

QString InstallBitmapFont() {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("testbitmap.bdf"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(BitmapFont);
    file.close();
    const QStringList families =
        QFontDatabase::applicationFontFamilies(QFontDatabase::addApplicationFont(path));
    return families.value(0);
}

// Paints list item `row` of `box` as its popup would, `logical` pixels in
// size, at the given device pixel ratio.
QImage PaintItem(const TFontComboBox& box, int row, bool selected, qreal ratio = 1.0) {
    const QSize logical(220, TFontComboBox::ItemHeight);
    QImage image(logical * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::magenta); // anything left unpainted shows
    QStyleOptionViewItem option;
    option.rect = QRect(QPoint(0, 0), logical);
    option.palette = box.palette();
    option.font = box.font();
    option.state = QStyle::State_Enabled | (selected ? QStyle::State_Selected : QStyle::State_None);
    QPainter painter(&image);
    box.itemDelegate()->paint(&painter, option, box.model()->index(row, 0));
    return image;
}

// Whether the two-"T" glyph is anywhere in the image at ratio 1: the grey
// T's stem column beside the black T's two-pixel stem, 8 pixels long each.
bool HasGlyph(const QImage& image) {
    auto matches = [&image](int x, int y) {
        for (int dy = 0; dy < 8; ++dy) {
            if (image.pixelColor(x + 3, y + dy) != Grey ||
                image.pixelColor(x + 7, y + 3 + dy) != Black ||
                image.pixelColor(x + 8, y + 3 + dy) != Black)
                return false;
        }
        return true;
    };
    for (int y = 0; y + 12 <= image.height(); ++y) {
        for (int x = 0; x + 12 <= image.width(); ++x) {
            if (matches(x, y))
                return true;
        }
    }
    return false;
}

// Whether any pixel in columns [from, to) differs from `background`.
bool InkInColumns(const QImage& image, int from, int to, const QColor& background) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = from; x < to; ++x) {
            if (image.pixelColor(x, y) != background)
                return true;
        }
    }
    return false;
}

} // namespace

TEST(TFontComboBox, startsWithItsFontAndTheSortedFamiliesFirstSelected) {
    TFontComboBox box;
    EXPECT_EQ(box.font().family(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(box.font().pointSize(), 8);
    EXPECT_FALSE(box.font().bold());

    ASSERT_GT(box.count(), 0);
    EXPECT_EQ(box.currentIndex(), 0);
    EXPECT_NE(box.findText(QStringLiteral("Liberation Serif")), -1);
    EXPECT_NE(box.findText(QStringLiteral("DejaVu Sans")), -1);
    for (int i = 1; i < box.count(); ++i) {
        EXPECT_LE(QString::compare(box.itemText(i - 1), box.itemText(i), Qt::CaseInsensitive), 0)
            << box.itemText(i - 1).toStdString() << " before " << box.itemText(i).toStdString();
    }
}

TEST(TFontComboBox, reloadListsFontsInstalledSinceAndSelectsTheFirst) {
    TFontComboBox box;
    const int before = box.count();
    const QString bitmap = InstallBitmapFont();
    ASSERT_FALSE(bitmap.isEmpty()) << "the test's bitmap font could not be installed";
    EXPECT_EQ(box.findText(bitmap), -1);
    box.setCurrentIndex(box.count() - 1);

    box.ReloadFonts();
    EXPECT_EQ(box.count(), before + 1);
    EXPECT_NE(box.findText(bitmap), -1);
    EXPECT_EQ(box.currentIndex(), 0);
}

TEST(TFontComboBox, trueTypeMeansAScalableOutlineFont) {
    const QString bitmap = InstallBitmapFont();
    ASSERT_FALSE(bitmap.isEmpty());
    TFontComboBox box;
    EXPECT_TRUE(box.IsTrueType(box.findText(QStringLiteral("Liberation Serif"))));
    EXPECT_FALSE(box.IsTrueType(box.findText(bitmap)));
    EXPECT_FALSE(box.IsTrueType(-1));
    EXPECT_FALSE(box.IsTrueType(box.count()));
}

TEST(TFontComboBox, scalableFontItemCarriesTheGlyphAtItsPlace) {
    TFontComboBox box;
    const int row = box.findText(QStringLiteral("Liberation Serif"));
    const QImage item = PaintItem(box, row, false);
    const QColor base = box.palette().base().color();
    // The glyph square starts at (2, 2): the black T is offset (4, 3) in it.
    for (int y = 5; y <= 12; ++y) {
        EXPECT_EQ(item.pixelColor(9, y), Black) << "black stem, row " << y;
        EXPECT_EQ(item.pixelColor(10, y), Black) << "black stem, row " << y;
        EXPECT_EQ(item.pixelColor(5, y - 3), Grey) << "grey stem, row " << y - 3;
    }
    EXPECT_EQ(item.pixelColor(7, 13), Black);  // foot of the black T ...
    EXPECT_EQ(item.pixelColor(11, 13), Black); // ... up to its last pixel
    EXPECT_EQ(item.pixelColor(13, 7), Black);  // last pixel of the right serif
    // Pen lines stop short of their end points.
    EXPECT_EQ(item.pixelColor(12, 13), base);
    EXPECT_EQ(item.pixelColor(13, 8), base);
    EXPECT_EQ(item.pixelColor(1, 1), base);
    EXPECT_TRUE(HasGlyph(item));
    EXPECT_TRUE(InkInColumns(item, TFontComboBox::TextIndent, item.width(), base));
}

TEST(TFontComboBox, selectedItemIsFilledWithTheHighlightAroundTheGlyph) {
    TFontComboBox box;
    const QImage item = PaintItem(box, box.findText(QStringLiteral("Liberation Serif")), true);
    const QColor highlight = box.palette().highlight().color();
    EXPECT_EQ(item.pixelColor(1, 1), highlight);
    EXPECT_EQ(item.pixelColor(13, 8), highlight);
    EXPECT_EQ(item.pixelColor(item.width() - 1, item.height() - 1), highlight);
    EXPECT_TRUE(HasGlyph(item));
}

TEST(TFontComboBox, bitmapFontItemHasNoGlyphAndItsNameIndented) {
    const QString bitmap = InstallBitmapFont();
    ASSERT_FALSE(bitmap.isEmpty());
    TFontComboBox box;
    const QImage item = PaintItem(box, box.findText(bitmap), false);
    const QColor base = box.palette().base().color();
    EXPECT_FALSE(HasGlyph(item));
    EXPECT_FALSE(InkInColumns(item, 0, TFontComboBox::TextIndent, base));
    EXPECT_TRUE(InkInColumns(item, TFontComboBox::TextIndent, item.width(), base));
}

TEST(TFontComboBox, glyphIsSharpAtDoubleScale) {
    TFontComboBox box;
    const QImage item = PaintItem(box, box.findText(QStringLiteral("Liberation Serif")), false, 2);
    const QColor base = box.palette().base().color();
    // Each logical pixel of the black stem (columns 9 and 10) is a 2 x 2 block
    // of black device pixels, with nothing blurred beside it.
    for (int y = 10; y < 26; ++y) {
        for (int x = 18; x < 22; ++x)
            EXPECT_EQ(item.pixelColor(x, y), Black) << "device pixel " << x << "," << y;
        EXPECT_EQ(item.pixelColor(22, y), y < 12 ? Black : base) << "right of stem, row " << y;
    }
    EXPECT_EQ(item.pixelColor(17, 20), base);
    EXPECT_EQ(item.pixelColor(10, 4), Grey);
    EXPECT_EQ(item.pixelColor(11, 19), Grey);
}

TEST(TFontComboBox, openListHasSixteenPixelRowsWithGlyphsButTheClosedFaceHasNone) {
    TFontComboBox box;
    box.resize(200, box.sizeHint().height());
    box.setCurrentIndex(box.findText(QStringLiteral("Liberation Serif")));
    box.show();
    EXPECT_FALSE(HasGlyph(box.grab().toImage()));

    box.showPopup();
    QAbstractItemView* list = box.view();
    const QModelIndex current = box.model()->index(box.currentIndex(), 0);
    EXPECT_EQ(list->visualRect(current).height(), TFontComboBox::ItemHeight);
    EXPECT_TRUE(HasGlyph(list->viewport()->grab().toImage()));
    box.hidePopup();
}
