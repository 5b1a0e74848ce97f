#include "controls/TFontComboBox.h"

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
const QString Scalable = QStringLiteral("Liberation Serif");

// A one-character font in BDF form: a font without outlines.
const char* const BitmapFont = R"(STARTFONT 2.1
FONT -quarvine-quarvine test bitmap-medium-r-normal--8-80-75-75-c-80-iso10646-1
SIZE 8 75 75
FONTBOUNDINGBOX 1 1 0 0
STARTPROPERTIES 1
FAMILY_NAME "Quarvine Test Bitmap"
ENDPROPERTIES
CHARS 1
STARTCHAR A
ENCODING 65
SWIDTH 500 0
DWIDTH 2 0
BBX 1 1 0 0
BITMAP
80
ENDCHAR
ENDFONT
)";

QString InstallBitmapFont() {
    static QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("testbitmap.bdf")));
    if (!file.open(QIODevice::WriteOnly) || file.write(BitmapFont) < 0)
        return {};
    file.close();
    const int id = QFontDatabase::addApplicationFont(file.fileName());
    return QFontDatabase::applicationFontFamilies(id).value(0);
}

// Paints list item `row` as the open list would, at the given pixel ratio.
QImage PaintItem(const TFontComboBox& box, int row, bool selected, qreal ratio = 1.0) {
    const QSize logical(220, TFontComboBox::ItemHeight);
    QImage image(logical * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::magenta); // anything left unpainted shows
    QStyleOptionViewItem option;
    option.rect = QRect(QPoint(0, 0), logical);
    option.palette = box.palette();
    option.state = selected ? QStyle::State_Selected : QStyle::State_None;
    QPainter painter(&image);
    box.itemDelegate()->paint(&painter, option, box.model()->index(row, 0));
    return image;
}

// Whether the glyph is anywhere in the image (ratio 1): the grey T's stem
// column beside the black T's two-pixel stem, 8 pixels long each.
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

TEST(TFontComboBox, listsTheFamiliesSortedAndReloadsFontsInstalledSince) {
    TFontComboBox box;
    ASSERT_GT(box.count(), 0);
    EXPECT_EQ(box.currentIndex(), 0);
    EXPECT_NE(box.findText(Scalable), -1);
    for (int i = 1; i < box.count(); ++i)
        EXPECT_LE(QString::compare(box.itemText(i - 1), box.itemText(i), Qt::CaseInsensitive), 0);

    const QString bitmap = InstallBitmapFont();
    ASSERT_FALSE(bitmap.isEmpty()) << "the test's bitmap font could not be installed";
    EXPECT_EQ(box.findText(bitmap), -1);
    box.setCurrentIndex(box.count() - 1);
    box.ReloadFonts();
    EXPECT_NE(box.findText(bitmap), -1);
    EXPECT_EQ(box.currentIndex(), 0);
}

TEST(TFontComboBox, scalableFontItemCarriesTheGlyphAtItsPlace) {
    TFontComboBox box;
    const int row = box.findText(Scalable);
    ASSERT_TRUE(box.IsTrueType(row));
    const QImage item = PaintItem(box, row, false);
    const QColor base = box.palette().base().color();
    // The glyph's square starts at (2, 2); the black T is offset (4, 3) in it.
    for (int y = 5; y <= 12; ++y) {
        EXPECT_EQ(item.pixelColor(9, y), Black) << "black stem, row " << y;
        EXPECT_EQ(item.pixelColor(10, y), Black) << "black stem, row " << y;
        EXPECT_EQ(item.pixelColor(5, y - 3), Grey) << "grey stem, row " << y - 3;
    }
    EXPECT_EQ(item.pixelColor(11, 13), Black); // last pixel of the foot ...
    EXPECT_EQ(item.pixelColor(12, 13), base);  // ... whose end point stays unpainted
    EXPECT_EQ(item.pixelColor(13, 7), Black);  // likewise the right serif
    EXPECT_EQ(item.pixelColor(13, 8), base);
    EXPECT_TRUE(InkInColumns(item, TFontComboBox::TextIndent, item.width(), base));

    const QImage selected = PaintItem(box, row, true);
    EXPECT_EQ(selected.pixelColor(13, 8), box.palette().highlight().color());
    EXPECT_TRUE(HasGlyph(selected));
}

TEST(TFontComboBox, bitmapFontItemHasNoGlyphAndItsNameIndented) {
    const QString bitmap = InstallBitmapFont();
    ASSERT_FALSE(bitmap.isEmpty());
    TFontComboBox box;
    const int row = box.findText(bitmap);
    EXPECT_FALSE(box.IsTrueType(row));
    EXPECT_FALSE(box.IsTrueType(box.count()));
    const QImage item = PaintItem(box, row, false);
    const QColor base = box.palette().base().color();
    EXPECT_FALSE(InkInColumns(item, 0, TFontComboBox::TextIndent, base));
    EXPECT_TRUE(InkInColumns(item, TFontComboBox::TextIndent, item.width(), base));
}

TEST(TFontComboBox, glyphIsSharpAtDoubleScale) {
    TFontComboBox box;
    const QImage item = PaintItem(box, box.findText(Scalable), false, 2);
    const QColor base = box.palette().base().color();
    // Each logical pixel of the black stem (columns 9 and 10, rows 5 to 12)
    // is a 2 x 2 block of black device pixels, with nothing blurred beside it.
    for (int y = 10; y < 26; ++y) {
        for (int x = 18; x < 22; ++x)
            EXPECT_EQ(item.pixelColor(x, y), Black) << "device pixel " << x << "," << y;
        EXPECT_EQ(item.pixelColor(22, y), y < 12 ? Black : base) << "right of stem, row " << y;
    }
    EXPECT_EQ(item.pixelColor(17, 20), base);
}

TEST(TFontComboBox, openListShowsGlyphsInSixteenPixelRowsButTheClosedFaceNone) {
    TFontComboBox box;
    box.resize(200, box.sizeHint().height());
    box.setCurrentIndex(box.findText(Scalable));
    box.show();
    EXPECT_FALSE(HasGlyph(box.grab().toImage()));

    box.showPopup();
    const QModelIndex current = box.model()->index(box.currentIndex(), 0);
    EXPECT_EQ(box.view()->visualRect(current).height(), TFontComboBox::ItemHeight);
    EXPECT_TRUE(HasGlyph(box.view()->viewport()->grab().toImage()));
    box.hidePopup();
}
