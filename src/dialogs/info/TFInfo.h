#pragma once

#include <QHash>
#include <QList>
#include <QMdiSubWindow>

#include <initializer_list>

class QFont;
class QFrame;
class QGroupBox;
class QLabel;
class QToolButton;
class TextBox;

namespace spelldata {
class SpellRecord;
}

// A child window of the main window's MDI area that shows one spell: name,
// kind icon, level, school or sphere, the kind's attribute rows, the source
// and the description. The "Tag" property gives the window's role: 1 is the
// Quick View, which follows the list selection and only minimises when
// closed; 0 is a Quick Info window, opened for one spell and destroyed when
// closed. The window keeps no reference to the spell it shows.
class TFInfo : public QMdiSubWindow {
    Q_OBJECT
    Q_PROPERTY(int Tag READ tag WRITE setTag)

public:
    explicit TFInfo(QWidget* parent = nullptr);

    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

    // Fills every control from `record` and shows or hides the description
    // area by the state of ShowDesc.
    void ShowSpell(const spelldata::SpellRecord& record);
    // The window's design size: what cascading and tiling start from.
    QSize sizeHint() const override;
    // Lays out the upper group, the description area and the bottom bar over
    // the window's present size, the level box flush with the right edge.
    void FormResize();
    // Colours the window from the display settings by its role (Tag).
    void ApplyColours();
    void setDescriptionFont(const QFont& font);
    // Shows the upper group (hidden until a spell collection is loaded).
    void showSysGroup();

    // The click of ShowDesc: the window shows its own spell again, with the
    // description area shown or hidden by the button's new state.
    void ShowDescClick();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createUpperGroup();
    void createKindIcons();
    void createHeading();
    void createRows();
    void createDescription();
    void createBottomBar();
    QLabel* addLabel(QWidget* parent, const char* name, const QString& text, QPoint at,
                     const QFont& font, const QColor& colour);

    void showPsionic(const spelldata::SpellRecord& record);
    void showWizardOrPriest(const spelldata::SpellRecord& record);
    void showSource(const QString& source);
    QLabel* label(const char* name) const;
    void setShown(std::initializer_list<const char*> names, bool shown);
    void setLabelText(const char* name, const QString& text);

    int tag_ = 1;
    QWidget* client_ = nullptr;
    QGroupBox* sysGroup_ = nullptr;
    QGroupBox* levelGroup_ = nullptr;
    QWidget* wizIcon_ = nullptr;
    QWidget* clIcon_ = nullptr;
    QWidget* psioIcon_ = nullptr;
    QFrame* descPanel_ = nullptr;
    TextBox* desc_ = nullptr;
    QFrame* panel2_ = nullptr;
    QToolButton* showDesc_ = nullptr;
    QHash<QByteArray, QLabel*> labels_;
    QList<QLabel*> captions_;
    QList<QLabel*> values_;
};
