#pragma once

#include <QTextEdit>

class QMimeData;

// The program's multi-line text box. Pasting and dropping go through here so
// that an empty clipboard is harmless: on X11 a clipboard nobody owns hands
// out mime data without any format, and QTextEdit's own insertion does not
// survive that. Every text box the program creates is one of these.
class TextBox : public QTextEdit {
    Q_OBJECT

public:
    explicit TextBox(QWidget* parent = nullptr);

    // Whether `source` exists and offers at least one format.
    static bool HasContent(const QMimeData* source);

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
};
