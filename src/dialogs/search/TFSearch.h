#pragma once

#include "spelldata/Search.h"

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class THistoryComboBox;

// The modal search dialog: a search string, the fields to look in and the
// entire-list switch. OK runs the search over the collection given with
// setCollection, which only sets the records' Shown flags; the caller then
// rebuilds its list and hides the progress window that the search leaves up.
// Created once and reused, so the string and the boxes keep their states
// from one search to the next. The strings searched are offered again in
// SearchStr's list: the most recent MaxHistoryLength of them, one entry for
// strings that differ only in letter case.
class TFSearch : public QDialog {
    Q_OBJECT

public:
    static constexpr int ClientWidth = 427;
    static constexpr int ClientHeight = 190;

    explicit TFSearch(QWidget* parent = nullptr);

    // The collection OK searches; the dialog does not own it.
    void setCollection(spelldata::SpellCollection* spells) { spells_ = spells; }

    // Copies `entireList` into Entire, shows the dialog modally and returns
    // whether it was closed with OK (the search, if any, has then run).
    bool run(bool entireList);

    // The options as the boxes are set now.
    spelldata::SearchOptions options() const;

    // OK: searches for the string unless it is empty; closing is left to the button.
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void createOptions();
    void layOut();
    void rememberSearch(const QString& text);

    spelldata::SpellCollection* spells_ = nullptr;
    QStringList recent_; // searched strings, most recent first

    QLabel* Label1 = nullptr;
    THistoryComboBox* SearchStr = nullptr;
    QCheckBox* Entire = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QCheckBox* CN = nullptr;
    QCheckBox* CSS = nullptr;
    QCheckBox* CS = nullptr;
    QCheckBox* CSC = nullptr;
    QCheckBox* CD = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
};
