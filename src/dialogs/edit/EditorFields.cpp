#include "dialogs/edit/EditorFields.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>

#include <algorithm>

namespace {

bool isLineBreak(QChar c) {
    return c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar::LineSeparator ||
           c == QChar::ParagraphSeparator;
}

bool hasLineBreak(const QString& text) {
    return std::any_of(text.cbegin(), text.cend(), isLineBreak);
}

} // namespace

QString WithoutLineBreaks(const QString& text) {
    QString line = text;
    line.removeIf(isLineBreak);
    return line;
}

void RefuseLineBreaks(QLineEdit* edit) {
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit](const QString& text) {
        if (!hasLineBreak(text))
            return;
        const int caret =
            static_cast<int>(WithoutLineBreaks(text.left(edit->cursorPosition())).size());
        // setText emits textChanged again, now with nothing left to remove.
        edit->setText(WithoutLineBreaks(text));
        edit->setCursorPosition(caret);
    });
}

OneLineTextEdit::OneLineTextEdit(QWidget* parent) : TextBox(parent) {
    setAcceptRichText(false);
    setTabChangesFocus(true);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void OneLineTextEdit::setLine(const QString& text) {
    setPlainText(WithoutLineBreaks(text));
}

void OneLineTextEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Not a line break here: let the dialog see the key.
        event->ignore();
        return;
    }
    TextBox::keyPressEvent(event);
}

void OneLineTextEdit::insertFromMimeData(const QMimeData* source) {
    if (HasContent(source) && source->hasText())
        insertPlainText(WithoutLineBreaks(source->text()));
}
