#include "dialogs/output/CardText.h"

#include <algorithm>

QFont CardFont(int style, double pointSize) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSizeF(pointSize);
    font.setBold((style & 1) != 0);
    font.setItalic((style & 2) != 0);
    return font;
}

CardFonts::CardFonts(double pointSize, QPaintDevice* device) : pointSize_(pointSize) {
    double descent = 0;
    for (int style = 0; style < 4; ++style) {
        const QFontMetricsF& m = metrics_.emplace_back(CardFont(style, pointSize), device);
        lineHeight_ = std::max(lineHeight_, m.lineSpacing());
        ascent_ = std::max(ascent_, m.ascent());
        descent = std::max(descent, m.descent());
    }
    lineHeight_ = std::max(lineHeight_, ascent_ + descent);
}

const QFontMetricsF& CardFonts::metrics(int style) const {
    return metrics_[static_cast<std::size_t>(style & 3)];
}

namespace {

// Blanks, and control characters such as tabs, which have no glyph to show.
bool IsSpace(QChar c) {
    return c == u' ' || c.unicode() < 0x20;
}

class LineBreaker {
public:
    LineBreaker(const CardFonts& fonts, double width, std::size_t maxLines)
        : fonts_(fonts), width_(width), maxLines_(maxLines) {}

    void word(QStringView text, int style, bool spaceBefore) {
        if (truncated_)
            return;
        if (!line_.segments.empty()) {
            if (append(text, style, spaceBefore))
                return;
            newLine();
        }
        split(text, style);
    }

    std::vector<CardLine> finish() {
        if (!line_.segments.empty() && !truncated_)
            lines_.push_back(std::move(line_));
        return std::move(lines_);
    }

    bool truncated() const { return truncated_; }

private:
    double advance(int style, const QString& text) const {
        return fonts_.metrics(style).horizontalAdvance(text);
    }

    // Adds a word to the current line when it fits there.
    bool append(QStringView text, int style, bool spaceBefore) {
        CardSegment& last = line_.segments.back();
        const QString word = text.toString();
        if (last.style == style) {
            const QString joined =
                last.text + (spaceBefore ? QStringLiteral(" ") : QString()) + word;
            const double width = advance(style, joined);
            if (last.x + width > width_)
                return false;
            last.text = joined;
            last.width = width;
            return true;
        }
        const double space = spaceBefore ? advance(style, QStringLiteral(" ")) : 0;
        const double x = last.x + last.width + space;
        const double width = advance(style, word);
        if (x + width > width_)
            return false;
        line_.segments.push_back({word, style, x, width});
        return true;
    }

    // Puts a word at the start of a line, split over as many lines as it
    // needs when it is wider than one.
    void split(QStringView text, int style) {
        while (!text.isEmpty() && !truncated_) {
            const qsizetype length = fittingLength(text, style);
            if (length == text.size()) {
                const QString whole = text.toString();
                line_.segments.push_back({whole, style, 0, advance(style, whole)});
                return;
            }
            const QString part = text.left(length).toString() + u'-';
            line_.segments.push_back({part, style, 0, advance(style, part)});
            newLine();
            text = text.mid(length);
        }
    }

    // The longest start of `text` that fits a line: whole, or with a hyphen
    // after it. The search grows from short starts, so a huge word costs
    // little more than the lines it fills. At least one character.
    qsizetype fittingLength(QStringView text, int style) const {
        const qsizetype size = text.size();
        auto fits = [&](qsizetype n) {
            const QString start = text.left(n).toString();
            return advance(style, n == size ? start : start + u'-') <= width_;
        };
        qsizetype fitting = 0;
        qsizetype tooLong = 1;
        while (tooLong <= size && fits(tooLong)) {
            fitting = tooLong;
            tooLong *= 2;
        }
        tooLong = std::min(tooLong, size + 1);
        while (tooLong - fitting > 1) {
            const qsizetype middle = (fitting + tooLong) / 2;
            (fits(middle) ? fitting : tooLong) = middle;
        }
        return std::max<qsizetype>(fitting, 1);
    }

    void newLine() {
        lines_.push_back(std::move(line_));
        line_ = CardLine();
        truncated_ = lines_.size() >= maxLines_;
    }

    const CardFonts& fonts_;
    double width_;
    std::size_t maxLines_;
    std::vector<CardLine> lines_;
    CardLine line_;
    bool truncated_ = false;
};

} // namespace

std::vector<CardLine> BreakLines(const std::vector<TextRun>& runs, double width,
                                 const CardFonts& fonts, std::size_t maxLines, bool* truncated) {
    LineBreaker breaker(fonts, width, maxLines);
    bool space = false;
    for (const TextRun& run : runs) {
        const QStringView text(run.text);
        qsizetype at = 0;
        while (at < text.size()) {
            if (IsSpace(text[at])) {
                space = true;
                ++at;
                continue;
            }
            qsizetype end = at;
            while (end < text.size() && !IsSpace(text[end]))
                ++end;
            breaker.word(text.mid(at, end - at), run.style, space);
            space = false;
            at = end;
        }
    }
    if (truncated)
        *truncated = breaker.truncated();
    return breaker.finish();
}
