#include "dialogs/output/SpellCards.h"

#include "controls/DisplaySettings.h"
#include "controls/GuiText.h"
#include "dialogs/output/CardText.h"
#include "spelldata/SpellRecord.h"
#include "spelldata/TextExport.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

// The kind pictures live in this library's resources.
static void initCardIcons() {
    Q_INIT_RESOURCE(kindicons);
}

using spelldata::SpellKind;
using spelldata::SpellRecord;

namespace {

constexpr double PaddingMm = 2.5; // inside the cut lines
constexpr double BandPadMm = 1.0; // around the name band's contents
constexpr double IconMm = 6.0;
constexpr double GapMm = 1.5; // between the band's parts and below the band
constexpr double NamePt = 9.0;
constexpr double LevelPt = 11.0;
constexpr std::size_t NameLines = 2;
constexpr double TextSizeStep = 0.5;
constexpr double ContinuedLines = 1.4; // "(continued)" and a little room below it
const QColor CutLineColour(190, 190, 190);
const QColor TextColour(Qt::black);

struct Units {
    double perMm;
    double mm(double millimetres) const { return millimetres * perMm; }
};

QString Text(const std::string& bytes) {
    QString text = FromBytes(bytes);
    text.replace(u'\r', u' ').replace(u'\n', u' ');
    return text;
}

int KindSlot(SpellKind kind) {
    using namespace spelldata::ColourSlot;
    return kind == SpellKind::Priest    ? PriestName
           : kind == SpellKind::Psionic ? PsionicName
                                        : WizardName;
}

QString IconResource(SpellKind kind) {
    return kind == SpellKind::Priest    ? QStringLiteral(":/kinds/priest.svg")
           : kind == SpellKind::Psionic ? QStringLiteral(":/kinds/psionic.svg")
                                        : QStringLiteral(":/kinds/wizard.svg");
}

double Luminance(const QColor& c) {
    auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

// The band: the kind's colour, mostly white, so it prints as a light grey.
QColor BandTint(const QColor& kind) {
    auto mix = [](int channel) { return 255 - (255 - channel) * 18 / 100; };
    return QColor(mix(kind.red()), mix(kind.green()), mix(kind.blue()));
}

// The kind's colour, darkened until it reads well on the band, also when
// printed in shades of grey.
QColor NameColour(const QColor& kind) {
    const double band = Luminance(BandTint(kind));
    QColor colour = kind;
    for (int i = 0; i < 30 && (band + 0.05) / (Luminance(colour) + 0.05) < 4.5; ++i)
        colour = colour.darker(115);
    return colour;
}

using FieldRows = std::vector<std::pair<const char*, const std::string*>>;

FieldRows KindRows(const SpellRecord& r) {
    if (r.kind() == SpellKind::Psionic) {
        const spelldata::TPsi& psi = r.psi();
        FieldRows rows{
            {"Power Score", &psi.PowerScore},           {"Initial Cost", &psi.InitialCost},
            {"Maintenance Cost", &psi.MaintenanceCost}, {"Range", &psi.Range},
            {"Preparation Time", &psi.PreparationTime}, {"Area of Effect", &psi.AreaOfEffect}};
        if (!psi.Prerequisites.empty())
            rows.emplace_back("Prerequisites", &psi.Prerequisites);
        return rows;
    }
    return {{"Range", &r->Range},
            {"Components", r.components()},
            {"Duration", r.duration()},
            {"Casting Time", r.castingTime()},
            {"Area of Effect", &r->AreaOfEffect},
            {"Saving Throw", &r->SavingThrow}};
}

// A paragraph of the text below the band, with the room above it in lines.
struct Part {
    std::vector<TextRun> runs;
    double gapLines = 0;
    bool rule = false;
};

std::vector<Part> TextParts(const SpellRecord& r) {
    QString school = Text(r->School);
    if (r.kind() == SpellKind::Priest && !r.pri().Sphere.empty())
        school += QStringLiteral("; Sphere: ") + Text(r.pri().Sphere);
    QString level = FromBytes(spelldata::LevelText(r));
    if (r->Reversible)
        level += QStringLiteral(", Reversible");
    std::vector<Part> parts{{{{school, 2}}}, {{{level, 2}}}};
    bool first = true;
    const FieldRows rows = r.isInfo() ? FieldRows() : KindRows(r); // an info entry has only text
    for (const auto& [label, value] : rows) {
        parts.push_back({{{QLatin1String(label) + QStringLiteral(": "), 1}, {Text(*value), 0}},
                         first ? 0.4 : 0.0});
        first = false;
    }
    double gap = 0.6;
    bool rule = true;
    const QString description = FromBytes(r->Description).remove(u'\r');
    for (const QString& paragraph : description.split(u'\n')) {
        if (paragraph.trimmed().isEmpty()) {
            gap = std::max(gap, 0.5);
            continue;
        }
        parts.push_back({{{paragraph, 0}}, gap, rule});
        gap = 0.3;
        rule = false;
    }
    return parts;
}

// The lines of the parts; with `limit`, no more than one line beyond it,
// which is enough to know that they do not fit.
std::vector<CardLine> TextLines(const std::vector<Part>& parts, double width,
                                const CardFonts& fonts,
                                std::size_t limit = std::numeric_limits<std::size_t>::max() - 1) {
    std::vector<CardLine> lines;
    for (const Part& part : parts) {
        if (lines.size() > limit)
            break;
        std::vector<CardLine> broken =
            BreakLines(part.runs, width, fonts, limit + 1 - lines.size());
        if (broken.empty())
            continue;
        broken.front().gapBefore = part.gapLines * fonts.lineHeight();
        broken.front().ruleBefore = part.rule;
        std::move(broken.begin(), broken.end(), std::back_inserter(lines));
    }
    return lines;
}

double TextHeight(const std::vector<CardLine>& lines, double lineHeight) {
    double height = 0;
    for (std::size_t i = 0; i < lines.size(); ++i)
        height += (i == 0 ? 0 : lines[i].gapBefore) + lineHeight;
    return height;
}

void AddLine(SpellCard& card, const CardLine& line, QPointF at, const CardFonts& fonts,
             const QColor& colour) {
    for (const CardSegment& s : line.segments)
        card.pieces.push_back({s.text, QRectF(at.x() + s.x, at.y(), s.width, fonts.lineHeight()),
                               at.y() + fonts.ascent(), fonts.pointSize(), s.style, colour});
}

// Lays out the cards of one spell, each in a card rectangle at the origin.
class SpellCardMaker {
public:
    SpellCardMaker(QPaintDevice* device, Units units) : device_(device), units_(units) {}

    std::vector<SpellCard> make(const SpellRecord& record) {
        SpellCard head = header(record);
        const QRectF inner = head.rect.adjusted(units_.mm(PaddingMm), 0, -units_.mm(PaddingMm),
                                                -units_.mm(PaddingMm));
        const double top = head.band.bottom() + units_.mm(GapMm);
        const std::vector<Part> parts = TextParts(record);
        const QRectF area(inner.left(), top, inner.width(), inner.bottom() - top);
        // Each larger size is only tried up to the lines one card can hold.
        for (double size = LargestCardTextPt; size > SmallestCardTextPt; size -= TextSizeStep) {
            const CardFonts fonts(size, device_);
            const auto fitting = static_cast<std::size_t>(area.height() / fonts.lineHeight());
            std::vector<CardLine> lines = TextLines(parts, area.width(), fonts, fitting);
            if (lines.size() <= fitting && TextHeight(lines, fonts.lineHeight()) <= area.height())
                return fill(head, lines, fonts, area);
        }
        const CardFonts smallest(SmallestCardTextPt, device_);
        return fill(head, TextLines(parts, area.width(), smallest), smallest, area);
    }

private:
    SpellCard header(const SpellRecord& record) const {
        SpellCard card;
        card.record = &record;
        card.rect = QRectF(0, 0, units_.mm(CardWidthMm), units_.mm(CardHeightMm));
        card.kindColour = CurrentDisplay().colour(KindSlot(record.kind()));
        card.iconResource = IconResource(record.kind());
        const QColor ink = NameColour(card.kindColour);
        const double pad = units_.mm(PaddingMm), bandPad = units_.mm(BandPadMm);
        const double gap = units_.mm(GapMm), icon = units_.mm(IconMm);
        const QRectF band(pad, pad, card.rect.width() - 2 * pad, 0);

        const CardFonts level(LevelPt, device_);
        const QString code = FromBytes(spelldata::LevelCode(record->Level));
        const double codeWidth = level.metrics(1).horizontalAdvance(code);

        const CardFonts name(NamePt, device_);
        const double nameLeft = band.left() + bandPad + icon + gap;
        const double nameWidth = band.right() - bandPad - codeWidth - gap - nameLeft;
        bool cut = false;
        std::vector<CardLine> lines =
            BreakLines({{Text(record->Name), 1}}, nameWidth, name, NameLines, &cut);
        if (cut && !lines.empty()) {
            CardSegment& last = lines.back().segments.back();
            last.text = name.metrics(1).elidedText(last.text + QStringLiteral(" \u2026"),
                                                   Qt::ElideRight, nameWidth - last.x);
            last.width = name.metrics(1).horizontalAdvance(last.text);
        }
        const double namesHeight =
            double(std::max<std::size_t>(lines.size(), 1)) * name.lineHeight();
        const double inside = std::max({icon, namesHeight, level.lineHeight()});
        card.band = QRectF(band.left(), band.top(), band.width(), inside + 2 * bandPad);
        const double middle = card.band.center().y();
        card.icon = QRectF(band.left() + bandPad, middle - icon / 2, icon, icon);
        double y = middle - namesHeight / 2;
        for (const CardLine& line : lines) {
            AddLine(card, line, QPointF(nameLeft, y), name, ink);
            y += name.lineHeight();
        }
        const double codeTop = middle - level.lineHeight() / 2;
        card.pieces.push_back(
            {code,
             QRectF(band.right() - bandPad - codeWidth, codeTop, codeWidth, level.lineHeight()),
             codeTop + level.ascent(), LevelPt, 1, ink});
        return card;
    }

    // Puts the lines on the head card and as many following cards as they
    // need; a following card starts with "(continued)" below the band.
    std::vector<SpellCard> fill(const SpellCard& head, const std::vector<CardLine>& lines,
                                const CardFonts& fonts, const QRectF& area) const {
        std::vector<SpellCard> cards{head};
        double y = area.top();
        bool cardTop = true;
        for (const CardLine& line : lines) {
            double gap = cardTop ? 0 : line.gapBefore;
            if (!cardTop && y + gap + fonts.lineHeight() > area.bottom()) {
                cards.push_back(continuation(head, fonts, area));
                y = area.top() + fonts.lineHeight() * ContinuedLines;
                gap = 0;
            }
            SpellCard& card = cards.back();
            if (line.ruleBefore && gap > 0)
                card.rules.emplace_back(area.left(), y + gap / 2, area.right(), y + gap / 2);
            y += gap;
            AddLine(card, line, QPointF(area.left(), y), fonts, TextColour);
            y += fonts.lineHeight();
            cardTop = false;
        }
        for (SpellCard& card : cards)
            card.textPointSize = fonts.pointSize();
        return cards;
    }

    static SpellCard continuation(const SpellCard& head, const CardFonts& fonts,
                                  const QRectF& area) {
        SpellCard card = head;
        card.continued = true;
        const QString text = QStringLiteral("(continued)");
        AddLine(card, {{{text, 2, 0, fonts.metrics(2).horizontalAdvance(text)}}}, area.topLeft(),
                fonts, TextColour);
        return card;
    }

    QPaintDevice* device_;
    Units units_;
};

void MoveCard(SpellCard& card, QPointF by) {
    card.rect.translate(by);
    card.band.translate(by);
    card.icon.translate(by);
    for (QLineF& rule : card.rules)
        rule.translate(by);
    for (CardPiece& piece : card.pieces) {
        piece.rect.translate(by);
        piece.baseline += by.y();
    }
}

QTransform GridOnPage(const QPagedPaintDevice& device, const QRectF& grid) {
    const QPageLayout layout = device.pageLayout();
    const int dpi = device.logicalDpiX();
    const QRectF paper = layout.fullRectPixels(dpi);
    const QRectF paint = layout.paintRectPixels(dpi);
    const double scale =
        std::min({1.0, paint.width() / grid.width(), paint.height() / grid.height()});
    auto place = [](double paperSize, double paintStart, double paintSize, double size) {
        return std::clamp((paperSize - size) / 2 - paintStart, 0.0, paintSize - size);
    };
    const double x = place(paper.width(), paint.left(), paint.width(), grid.width() * scale);
    const double y = place(paper.height(), paint.top(), paint.height(), grid.height() * scale);
    return QTransform(scale, 0, 0, scale, x, y);
}

} // namespace

CardSheet LayoutCards(const std::vector<const SpellRecord*>& records, QPagedPaintDevice& device) {
    const Units units{device.logicalDpiX() / 25.4};
    CardSheet sheet;
    sheet.grid =
        QRectF(0, 0, units.mm(CardWidthMm) * CardColumns, units.mm(CardHeightMm) * CardRows);
    sheet.toPage = GridOnPage(device, sheet.grid);
    SpellCardMaker maker(&device, units);
    for (const SpellRecord* record : records) {
        for (SpellCard& card : maker.make(*record)) {
            const int at = static_cast<int>(sheet.cards.size());
            card.page = at / CardsPerPage + 1;
            const int place = at % CardsPerPage;
            MoveCard(card, QPointF(place % CardColumns * units.mm(CardWidthMm),
                                   place / CardColumns * units.mm(CardHeightMm)));
            sheet.cards.push_back(std::move(card));
        }
    }
    sheet.pageCount = static_cast<int>((sheet.cards.size() + CardsPerPage - 1) / CardsPerPage);
    return sheet;
}

namespace {

void PaintCard(QPainter& painter, const SpellCard& card, double unitsPerMm) {
    painter.setPen(QPen(CutLineColour, 0.15 * unitsPerMm));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(card.rect);
    painter.fillRect(card.band, BandTint(card.kindColour));
    painter.setPen(QPen(card.kindColour, 0.4 * unitsPerMm));
    painter.drawLine(card.band.bottomLeft(), card.band.bottomRight());
    QSvgRenderer(card.iconResource).render(&painter, card.icon);
    painter.setPen(QPen(CutLineColour, 0.2 * unitsPerMm));
    for (const QLineF& rule : card.rules)
        painter.drawLine(rule);
    for (const CardPiece& piece : card.pieces) {
        painter.setFont(CardFont(piece.style, piece.pointSize));
        painter.setPen(piece.colour);
        painter.drawText(QPointF(piece.rect.left(), piece.baseline), piece.text);
    }
}

} // namespace

void PaintCards(QPainter& painter, QPagedPaintDevice& device, const CardSheet& sheet) {
    initCardIcons();
    const double unitsPerMm = device.logicalDpiX() / 25.4;
    for (int page = 1; page <= sheet.pageCount; ++page) {
        if (page > 1)
            device.newPage();
        painter.save();
        painter.setTransform(sheet.toPage);
        for (const SpellCard& card : sheet.cards)
            if (card.page == page)
                PaintCard(painter, card, unitsPerMm);
        painter.restore();
    }
}
