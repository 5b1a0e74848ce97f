#include "controls/Prompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontMetrics>
#include <QInputDialog>
#include <QQueue>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <optional>

namespace {

// The program's title, on every message box.
const QString ProgramTitle = QStringLiteral("Quarvine32");

struct Script {
    bool active = false;
    QQueue<QMessageBox::StandardButton> answers;
    QQueue<QString> fileNames;
    QQueue<std::optional<QString>> texts;
    QQueue<QColor> colours;
    QStringList messages;
    QStringList unexpected;
    std::function<int(int)> pick; // improvises answers while set
    QStringList improvisedOpenPaths;
    QStringList improvisedSavePaths;
    QStringList improvisedTexts;
    Prompts::Icon lastIcon = Prompts::Icon::Error;
};

Script& script() {
    static Script s;
    return s;
}

// Clicks the scripted button of a shown box, or dismisses it.
void answerBox(QMessageBox* box) {
    Script& s = script();
    if (s.answers.isEmpty() && s.pick && !box->buttons().isEmpty()) {
        const QList<QAbstractButton*> buttons = box->buttons();
        buttons[s.pick(static_cast<int>(buttons.size()))]->click();
        return;
    }
    if (s.answers.isEmpty()) {
        s.unexpected << QStringLiteral("message box: ") + box->text();
        box->done(QMessageBox::NoButton);
        return;
    }
    QAbstractButton* button = box->button(s.answers.dequeue());
    if (!button) {
        s.unexpected << QStringLiteral("message box without the scripted button: ") + box->text();
        box->done(QMessageBox::NoButton);
        return;
    }
    button->click();
}

// One of `choices` or, as often as any one of them, nothing (a cancel).
std::optional<QString> improvised(const QStringList& choices) {
    const int n = script().pick(static_cast<int>(choices.size()) + 1);
    return n < choices.size() ? std::optional<QString>(choices[n]) : std::nullopt;
}

template <typename T> std::optional<T> nextScripted(QQueue<T>& queue, const QString& what) {
    if (queue.isEmpty()) {
        script().unexpected << what;
        return std::nullopt;
    }
    return queue.dequeue();
}

// The text a message box can show without growing past the screen. A file's
// content quoted in a message can be any length and need not have a blank
// where the box could wrap it: each line is cut to three widths of the box's
// wrapping width, a long run without blanks gets places where it may wrap
// (zero-width spaces), and the whole is cut to a third of the screen's height.
QString fitToScreen(const QString& text, const QWidget* parent) {
    const QScreen* screen =
        parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 640, 480);
    const QFontMetrics metrics(QApplication::font("QMessageBox"));
    const int width = std::clamp(area.width() - 480, 200, 1000);
    const int runLength = std::max(8, width / (2 * std::max(1, metrics.averageCharWidth())));
    int budget = std::max(3, area.height() / 3 / std::max(1, metrics.lineSpacing()));
    const auto advance = [&](QStringView s) { return metrics.horizontalAdvance(s.toString()); };
    QStringList shown;
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (budget <= 0) {
            shown << QStringLiteral("...");
            break;
        }
        // The longest start of the line within three widths; only so many
        // characters are looked at, which bounds the work for a huge line.
        QStringView cut = line.left(3 * width);
        if (advance(cut) > 3 * width) {
            qsizetype low = 0;
            qsizetype high = cut.size();
            while (low < high) {
                const qsizetype mid = (low + high + 1) / 2;
                if (advance(cut.left(mid)) <= 3 * width)
                    low = mid;
                else
                    high = mid - 1;
            }
            cut = cut.left(low);
        }
        QString piece;
        int run = 0;
        for (const QChar c : cut) {
            piece += c;
            run = c.isSpace() ? 0 : run + 1;
            if (run == runLength) {
                piece += QChar(0x200B);
                run = 0;
            }
        }
        if (cut.size() < line.size())
            piece += QStringLiteral("...");
        shown << piece;
        budget -= std::max(1, (advance(cut) + width - 1) / width);
    }
    return shown.join(u'\n');
}

} // namespace

namespace Prompts {

QMessageBox::StandardButton Message(QWidget* parent, const QString& text, Icon icon,
                                    QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon == Icon::Error ? QMessageBox::Critical : QMessageBox::Question,
                    ProgramTitle, fitToScreen(text, parent), buttons, parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    if (script().active) {
        script().messages << text;
        script().lastIcon = icon;
        QTimer::singleShot(0, &box, [&box] { answerBox(&box); });
    }
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString OpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                     const QString& filter) {
    if (script().active && script().fileNames.isEmpty() && script().pick)
        return improvised(script().improvisedOpenPaths).value_or(QString());
    if (script().active)
        return nextScripted(script().fileNames, QStringLiteral("open dialog: ") + caption)
            .value_or(QString());
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString SaveFileName(QWidget* parent, const QString& caption, const QString& preset,
                     const QString& filter, QString* selectedFilter, QFileDialog::Options options) {
    if (script().active && script().fileNames.isEmpty() && script().pick)
        return improvised(script().improvisedSavePaths).value_or(QString());
    if (script().active)
        return nextScripted(script().fileNames, QStringLiteral("save dialog: ") + caption)
            .value_or(QString());
    return QFileDialog::getSaveFileName(parent, caption, preset, filter, selectedFilter, options);
}

bool Text(QWidget* parent, const QString& title, const QString& prompt, QString& text) {
    if (script().active && script().texts.isEmpty() && script().pick) {
        const std::optional<QString> answer = improvised(script().improvisedTexts);
        if (answer)
            text = *answer;
        return answer.has_value();
    }
    if (script().active) {
        const auto answer = nextScripted(script().texts, QStringLiteral("input box: ") + prompt);
        if (!answer || !*answer)
            return false;
        text = **answer;
        return true;
    }
    bool ok = false;
    const QString answer =
        QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, text, &ok);
    if (ok)
        text = answer;
    return ok;
}

QColor Colour(QWidget* parent, const QColor& initial) {
    if (script().active && script().colours.isEmpty() && script().pick)
        return script().pick(4) == 0 ? QColor()
                                     : QColor::fromRgb(static_cast<QRgb>(script().pick(1 << 24)));
    if (script().active)
        return nextScripted(script().colours, QStringLiteral("colour dialog")).value_or(QColor());
    return QColorDialog::getColor(initial, parent);
}

} // namespace Prompts

namespace PromptScript {

void Start() {
    script() = Script();
    script().active = true;
}

void Stop() {
    script() = Script();
}

bool Active() {
    return script().active;
}

void Answer(QMessageBox::StandardButton button) {
    script().answers.enqueue(button);
}
void FileName(const QString& path) {
    script().fileNames.enqueue(path);
}
void Text(const QString& text) {
    script().texts.enqueue(text);
}
void CancelText() {
    script().texts.enqueue(std::nullopt);
}
void Colour(const QColor& colour) {
    script().colours.enqueue(colour);
}

void Improvise(std::function<int(int)> pick, const QStringList& openPaths,
               const QStringList& savePaths, const QStringList& texts) {
    script().pick = std::move(pick);
    script().improvisedOpenPaths = openPaths;
    script().improvisedSavePaths = savePaths;
    script().improvisedTexts = texts;
}

QStringList Messages() {
    return script().messages;
}
Prompts::Icon LastIcon() {
    return script().lastIcon;
}
QStringList Unexpected() {
    return script().unexpected;
}

int Unused() {
    const Script& s = script();
    return static_cast<int>(s.answers.size() + s.fileNames.size() + s.texts.size() +
                            s.colours.size());
}

} // namespace PromptScript
