#pragma once

#include <QColor>
#include <QFileDialog>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// Every question the program asks goes through here: message boxes, file
// dialogs, the input box and the colour picker. Tests script the answers;
// a prompt that appears with no answer scripted is recorded as unexpected and
// dismissed instead of waiting for a user who is not there.
namespace Prompts {

enum class Icon { Error, Question };

// A modal message box with the given text, icon and buttons; returns the
// button that closed it.
QMessageBox::StandardButton Message(QWidget* parent, const QString& text, Icon icon,
                                    QMessageBox::StandardButtons buttons);

// The common file dialogs; an empty string when cancelled. `selectedFilter`,
// when given, receives the filter the user chose (scripted answers leave it
// as it was).
QString OpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                     const QString& filter);
// `options` reach the system's dialog (appending to a file asks no "replace?").
QString SaveFileName(QWidget* parent, const QString& caption, const QString& preset,
                     const QString& filter, QString* selectedFilter = nullptr,
                     QFileDialog::Options options = {});

// The input box; false when cancelled.
bool Text(QWidget* parent, const QString& title, const QString& prompt, QString& text);

// The colour picker; an invalid colour when cancelled.
QColor Colour(QWidget* parent, const QColor& initial);

} // namespace Prompts

// Scripted answers for tests. While scripting is on, each prompt takes the
// next queued answer of its kind; message boxes are really shown and answered
// from a timer, so the code under test runs its modal path.
namespace PromptScript {

void Start(); // scripting on, queues and records emptied
void Stop();  // back to real prompts
bool Active();

void Answer(QMessageBox::StandardButton button);
void FileName(const QString& path); // an empty path cancels
void Text(const QString& text);     // answers the input box with OK
void CancelText();
void Colour(const QColor& colour); // an invalid colour cancels

// For random sessions: a prompt with no queued answer is answered with a
// random choice instead of being recorded as unexpected. `pick(n)` returns a
// number below n; message boxes get one of their buttons, open dialogs one of
// `openPaths` or a cancel, save dialogs one of `savePaths` or a cancel, the
// input box one of `texts` or a cancel, the colour picker a random colour or
// a cancel. An empty `pick` ends this.
void Improvise(std::function<int(int)> pick, const QStringList& openPaths,
               const QStringList& savePaths, const QStringList& texts);

// The texts of the message boxes shown since Start(), in order.
QStringList Messages();
// The icon of the last message box.
Prompts::Icon LastIcon();
// Prompts that found no scripted answer, described for a failure message.
QStringList Unexpected();
// Answers queued but never used.
int Unused();

} // namespace PromptScript
