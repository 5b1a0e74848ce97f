#pragma once

#include "controls/TextBox.h"

#include <QString>

class QLineEdit;

// Editing helpers for the spell editor's one-line fields. Each of those fields
// is one line of the data file, so a line break typed or pasted into one
// would shift every line after it; these keep breaks out.

// The text with every CR, LF, line separator and paragraph separator removed.
QString WithoutLineBreaks(const QString& text);

// Makes `edit` drop line breaks from its text whenever the text changes, be it
// by typing, pasting, dropping or setText; the caret keeps its place.
void RefuseLineBreaks(QLineEdit* edit);

// A text box that holds one paragraph: Enter and Return are left to the
// dialog (which presses its default button), pasted or dropped text loses its
// line breaks, and Tab moves the focus. Long text wraps and scrolls.
class OneLineTextEdit : public TextBox {
    Q_OBJECT

public:
    explicit OneLineTextEdit(QWidget* parent = nullptr);

    // Replaces the text, without its line breaks.
    void setLine(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
};
