#pragma once

#include <QDialog>
#include <QList>

class QComboBox;
class QFrame;
class QGridLayout;
class QPushButton;
class TFontComboBox;

// The colour and font dialog. Each colour panel carries the number of the
// colour slot it edits in its "Tag" property; a click on it picks a colour,
// which goes into the slot of CurrentDisplay() at once and stays there even
// when the dialog is closed with its close box. The fonts and the description
// size take effect only through OK, which then emits settingsApplied so that
// the owner recolours its windows and gives them the new fonts.
class TFconfig : public QDialog {
    Q_OBJECT

public:
    static constexpr int ClientWidth = 337;
    static constexpr int ClientHeight = 440;

    explicit TFconfig(QWidget* parent = nullptr);

    // Loads the current settings into the controls; run on every opening.
    void FormShow();
    // Lets the user pick a new colour for the slot of `panel`.
    void P1Click(QFrame* panel);
    // "Default Colors": the default colours at once, the default fonts and
    // size into the boxes (applied by OK).
    void BitBtn2Click();
    // OK: the fonts and size of the boxes become the settings; a font box
    // without a selection or a size that is not a whole number from 1 to 99
    // keeps the setting it would have replaced. Closes the dialog.
    void BitBtn1Click();

signals:
    // OK changed the display settings: the windows should take them up.
    void settingsApplied();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QFrame* createFontPanel();
    QFrame* createInfoPanel();
    QFrame* createListPanel();
    void addColourPanel(QGridLayout* grid, int row, int column, const QString& name, int slot);
    void setTabOrderByRows();
    void paintPanels();
    void applyFonts();

    TFontComboBox* SLFont = nullptr;
    TFontComboBox* DescFont = nullptr;
    QComboBox* DescSize = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QList<QWidget*> colourPanels_; // in the order they read, row by row
    QSize natural_;                // the size the dialog has where the screen allows
};
