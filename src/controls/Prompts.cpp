#include "Prompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QQueue>
#include <QTimer>
#include <optional>

namespace {

struct Script {
    bool active = false;
    QQueue<QMessageBox::StandardButton> answers;
    QQueue<QString> fileNames;
    QQueue<std::optional<QString>> texts;
    QQueue<QColor> colours;
    QStringList messages;
    QStringList unexpected;
    Prompts::Icon lastIcon = Prompts::Icon::Error;
};

Script& script() {
    static Script s;
    return s;
}

// Clicks the scripted button of a shown box, or dismisses it.
void answerBox(QMessageBox* box) {
    Script& s = script();
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

template <typename T> std::optional<T> nextScripted(QQueue<T>& queue, const QString& what) {
    if (queue.isEmpty()) {
        script().unexpected << what;
        return std::nullopt;
    }
    return queue.dequeue();
}

} // namespace

namespace Prompts {

QMessageBox::StandardButton Message(QWidget* parent, const QString& text, Icon icon,
                                    QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon == Icon::Error ? QMessageBox::Critical : QMessageBox::Question,
                    QApplication::applicationDisplayName(), text, buttons, parent);
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
    if (script().active)
        return nextScripted(script().fileNames, QStringLiteral("open dialog: ") + caption)
            .value_or(QString());
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString SaveFileName(QWidget* parent, const QString& caption, const QString& preset,
                     const QString& filter, QString* selectedFilter) {
    if (script().active)
        return nextScripted(script().fileNames, QStringLiteral("save dialog: ") + caption)
            .value_or(QString());
    return QFileDialog::getSaveFileName(parent, caption, preset, filter, selectedFilter);
}

bool Text(QWidget* parent, const QString& title, const QString& prompt, QString& text) {
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
