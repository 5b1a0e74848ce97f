#pragma once

#include <QTextEdit>

#include <string>

class QMimeData;

// The program's multi-line text box. Pasting and dropping go through here so
// that an empty clipboard is harmless: on X11 a clipboard nobody owns hands
// out mime data without any format, and QTextEdit's own insertion does not
// survive that. Every text box the program creates is one of these.
//
// A spell description can be far longer than anyone writes; the box takes it
// in steps, so that its window shows at once and stays usable while the rest
// arrives from the event loop.
class TextBox : public QTextEdit {
    Q_OBJECT

public:
    explicit TextBox(QWidget* parent = nullptr);

    // Whether `source` exists and offers at least one format.
    static bool HasContent(const QMimeData* source);

    // Replaces the text by a stored description (Windows-1252 bytes, CR LF
    // between lines). The first part shows at once, the rest follows.
    void setDescription(const std::string& bytes);
    // The whole text, the part still to come included.
    QString wholeText();

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void appendStep();
    void stopSteps();
    void finishLoading();

    std::string pending_; // description bytes not in the box yet
    std::size_t pendingFrom_ = 0;
    int stepTimer_ = 0;
};
