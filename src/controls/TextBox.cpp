#include "TextBox.h"

#include <QMimeData>

TextBox::TextBox(QWidget* parent) : QTextEdit(parent) {}

bool TextBox::HasContent(const QMimeData* source) {
    return source != nullptr && !source->formats().isEmpty();
}

bool TextBox::canInsertFromMimeData(const QMimeData* source) const {
    return HasContent(source) && QTextEdit::canInsertFromMimeData(source);
}

void TextBox::insertFromMimeData(const QMimeData* source) {
    if (HasContent(source))
        QTextEdit::insertFromMimeData(source);
}
