#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class QTextEdit;
class QTimer;

// The opening screen and the about box: the same borderless window, shown
// compact (picture and credits) for two seconds at start-up, or in full with
// the about text until the user presses OK.
class TForm1 : public QDialog {
    Q_OBJECT

public:
    explicit TForm1(QWidget* parent = nullptr);

    // Shows the window modally and returns when it has closed: as the opening
    // screen (about = false), which its timer closes, or as the about box
    // (about = true), which only OK closes.
    void ShowOpenForm(bool about);

    void Timer1Timer();
    void BOKClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createPanel();
    void createPicture();
    void createLabels();
    void createAboutText();
    void createButtonAndTimer();
    void renderPicture();
    void centreOnScreen();

    QFrame* Panel1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label2 = nullptr;
    QTextEdit* RE = nullptr;
    QPushButton* BOK = nullptr;
    QTimer* Timer1 = nullptr;
};
