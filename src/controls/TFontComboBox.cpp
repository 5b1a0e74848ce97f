#include "controls/TFontComboBox.h"

#include <QFontDatabase>
#include <QListView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>
#include <array>

namespace {

// One stroke of the "T" shape: a horizontal or vertical pen line from `from`
// towards `to`, which itself stays unpainted.
struct PenLine {
    QPoint from;
    QPoint to;
};

constexpr std::array<PenLine, 8> TShape{{
    {{0, 0}, {7, 0}}, // top bar ...
    {{7, 0}, {7, 3}}, // ... and its right serif
    {{0, 0}, {0, 3}}, // left serif
    {{1, 0}, {1, 1}}, // thickening of the bar
    {{6, 0}, {6, 1}},
    {{3, 0}, {3, 8}}, // two-pixel stem
    {{4, 0}, {4, 8}},
    {{1, 8}, {6, 8}}, // foot
}};

int Sign(int value) {
    return (value > 0) - (value < 0);
}

void DrawPenLine(QPainter& painter, QPoint from, QPoint to, const QColor& colour) {
    if (from == to)
        return;
    const QPoint last = to - QPoint(Sign(to.x() - from.x()), Sign(to.y() - from.y()));
    painter.fillRect(QRect(from, last).normalized(), colour);
}

void DrawT(QPainter& painter, QPoint origin, const QColor& colour) {
    for (const PenLine& line : TShape)
        DrawPenLine(painter, origin + line.from, origin + line.to, colour);
}

// Draws the open list's items: background of the item's state, the glyph
// for scalable fonts, the name indented past the glyph's place.
class FontItemDelegate final : public QStyledItemDelegate {
public:
    explicit FontItemDelegate(TFontComboBox* box) : QStyledItemDelegate(box), box_(box) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state.testFlag(QStyle::State_Selected);
        const QPalette& palette = option.palette;
        painter->save();
        painter->fillRect(option.rect, selected ? palette.highlight() : palette.base());
        if (box_->IsTrueType(index.row()))
            DrawTrueTypeGlyph(*painter, option.rect.topLeft() + QPoint(2, 2));
        painter->setFont(box_->font());
        painter->setPen(selected ? palette.highlightedText().color() : palette.text().color());
        const QRect textRect = option.rect.adjusted(TFontComboBox::TextIndent, 0, 0, 0);
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          index.data(Qt::DisplayRole).toString());
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const override {
        const int textWidth =
            box_->fontMetrics().horizontalAdvance(index.data(Qt::DisplayRole).toString());
        return {TFontComboBox::TextIndent + textWidth + 4, TFontComboBox::ItemHeight};
    }

private:
    TFontComboBox* box_;
};

QStringList SortedFamilies() {
    QStringList families;
    for (const QString& family : QFontDatabase::families()) {
        // Private families are the system's own user-interface faces.
        if (!QFontDatabase::isPrivateFamily(family))
            families.append(family);
    }
    std::stable_sort(families.begin(), families.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    return families;
}

} // namespace

void DrawTrueTypeGlyph(QPainter& painter, QPoint origin) {
    DrawT(painter, origin, QColor(128, 128, 128));
    DrawT(painter, origin + QPoint(4, 3), Qt::black);
}

TFontComboBox::TFontComboBox(QWidget* parent) : QComboBox(parent) {
    QFont face(QStringLiteral("MS Sans Serif"));
    face.setPointSize(8);
    face.setBold(false);
    setFont(face);
    setItemDelegate(new FontItemDelegate(this));
    if (auto* list = qobject_cast<QListView*>(view()))
        list->setUniformItemSizes(true);
    ReloadFonts();
}

void TFontComboBox::ReloadFonts() {
    clear();
    addItems(SortedFamilies());
    setCurrentIndex(count() > 0 ? 0 : -1);
}

bool TFontComboBox::IsTrueType(int index) const {
    if (index < 0 || index >= count())
        return false;
    return QFontDatabase::isSmoothlyScalable(itemText(index));
}
