#pragma once

#include "spelldata/Search.h"

#include <QDialog>
#include <QStringList>
#include <optional>
#include <string>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class THistoryComboBox;

// A search as the user asked for it: the string as the collection's bytes,
// never empty, and where to look.
struct SearchRequest {
    std::string needle;
    spelldata::SearchOptions options;
};

// The modal search dialog: a search string, the fields to look in and the
// entire-list switch. It only asks; the caller runs the search it answers
// with and rebuilds its list. Created once and reused, so the string and the
// boxes keep their states from one search to the next. The strings searched
// are offered again in SearchStr's list: the most recent MaxHistoryLength of
// them, one entry for strings that differ only in letter case.
class TFSearch : public QDialog {
    Q_OBJECT

public:
    static constexpr int ClientWidth = 427;
    static constexpr int ClientHeight = 190;

    explicit TFSearch(QWidget* parent = nullptr);

    // Copies `entireList` into Entire, shows the dialog modally and returns
    // the search to run: nothing when it was cancelled, or closed with OK on
    // an empty string or on one the collection cannot hold.
    std::optional<SearchRequest> ask(bool entireList);

    // The options as the boxes are set now.
    spelldata::SearchOptions options() const;

    // OK: takes the string as the answer unless it is empty or cannot be
    // searched; closing is left to the button.
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void createOptions();
    void layOut();
    void rememberSearch(const QString& text);

    std::optional<SearchRequest> answer_;
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
