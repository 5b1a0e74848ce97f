#include "controls/TextBox.h"

#include "controls/GuiText.h"

#include <QMimeData>
#include <QTextCursor>
#include <QTimerEvent>

#include <algorithm>

namespace {

// Bytes taken into the box at a time: a few milliseconds of work.
constexpr std::size_t StepBytes = 16 * 1024;

} // namespace

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

void TextBox::setDescription(const std::string& bytes) {
    stopSteps();
    if (bytes.size() <= StepBytes) {
        setPlainText(DescriptionToText(bytes));
        return;
    }
    pending_ = bytes;
    clear();
    document()->setUndoRedoEnabled(false); // the steps are no edits to undo
    stepTimer_ = startTimer(0);
    appendStep();
}

QString TextBox::wholeText() {
    finishLoading();
    return toPlainText();
}

void TextBox::timerEvent(QTimerEvent* event) {
    if (event->timerId() != stepTimer_) {
        QTextEdit::timerEvent(event);
        return;
    }
    appendStep();
}

// Adds the next part at the end, where it leaves the caret and the view
// alone. A step never ends between the CR and the LF of one line break.
void TextBox::appendStep() {
    std::size_t size = std::min(StepBytes, pending_.size() - pendingFrom_);
    if (size > 0 && pending_[pendingFrom_ + size - 1] == '\r' &&
        pendingFrom_ + size < pending_.size())
        ++size;
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(DescriptionToText(pending_.substr(pendingFrom_, size)));
    pendingFrom_ += size;
    if (pendingFrom_ >= pending_.size())
        stopSteps();
}

// Ends a load in steps (done or replaced): nothing pending, edits undoable.
void TextBox::stopSteps() {
    if (stepTimer_ != 0)
        killTimer(stepTimer_);
    stepTimer_ = 0;
    pending_.clear();
    pendingFrom_ = 0;
    document()->setUndoRedoEnabled(true);
}

void TextBox::finishLoading() {
    while (stepTimer_ != 0)
        appendStep();
}
