#pragma once

#include <QWidget>
#include <array>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QToolButton;
class QuickFilterBar;
class SpellListView;

// The left panel of the main window: the filter strip, the list header with
// the spell commands, the spell list and the counter bar. It only builds and
// lays out the controls; the main window gives them their behaviour.
class TListPanel final : public QWidget {
    Q_OBJECT

public:
    explicit TListPanel(QWidget* parent = nullptr);

    // Level buttons in the order BC, B1..B9, b10, BDev, BSci, BI (level 0..13).
    std::array<QToolButton*, 14> levelButtons{};
    QToolButton *BWiz, *BPri, *BPsi;
    QToolButton *BBooks, *BMark, *BShowOnly, *Ball, *BEXE, *BSearch;
    QToolButton *BAddBook, *BDelBook, *BRevMark, *BUnmark;
    QComboBox *SortType, *CBooks;
    QToolButton *BResetBooks, *SpeedButton3, *SpeedButton4, *BEdit;
    QCheckBox* FullList;
    SpellListView* SList;
    QLabel *LMark, *LCur, *LMax;
    // The quick filter field over the counter bar, and its button in the bar.
    QuickFilterBar* QuickBar;
    QToolButton* BQuick;

    // Level button of a level 0..13.
    QToolButton* levelButton(int level) const {
        return levelButtons.at(static_cast<std::size_t>(level));
    }

    // One-level mode: the level buttons form one exclusive group.
    void setLevelsExclusive(bool exclusive);

private:
    QWidget* buildLevelRow();
    QWidget* buildCommandRows();
    QWidget* buildListHeader();
    QWidget* buildCounterBar();

    QButtonGroup* levelGroup_;
};

// A tool button of the panels, with its object name, hint and icon.
QToolButton* MakeToolButton(QWidget* parent, const char* name, const QString& hint,
                            bool toggle = false);
