#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QProgressBar;

// The small always-on-top window that tells the user what a long operation on
// the user-interface thread is doing ("Sorting Spell List"). It has no
// title-bar buttons and does not take the keyboard focus from the main window.
class TFMessage : public QDialog {
    Q_OBJECT

public:
    explicit TFMessage(QWidget* parent = nullptr);

    // Shows `text` under `caption`, with the progress bar if `showBar`, brings
    // the window to the front and draws it at once, since the caller's work
    // gives it no chance to paint afterwards. While shown, only the texts change.
    void ShowProgress(const QString& caption, const QString& text, bool showBar);
    void HideProgress();

    // The window the free ShowProgress and HideProgress act on; the main
    // window registers the one it creates. Cleared when that window goes.
    static void setInstance(TFMessage* window);
    static TFMessage* instance();

private:
    void placeText(const QString& text, bool showBar);
    void moveToScreenCentre();

    QLabel* LText;
    QProgressBar* ProgBar;
};

// The registered progress window's ShowProgress and HideProgress; they do
// nothing while no window is registered.
void ShowProgress(const QString& caption, const QString& text, bool showBar);
void HideProgress();

// Shows the registered progress window for as long as it lives, so that the
// command that puts the message up is the one that takes it down, however
// the command ends.
class ProgressShown {
public:
    ProgressShown(const QString& caption, const QString& text, bool showBar) {
        ShowProgress(caption, text, showBar);
    }
    ~ProgressShown() { HideProgress(); }
    ProgressShown(const ProgressShown&) = delete;
    ProgressShown& operator=(const ProgressShown&) = delete;
};
