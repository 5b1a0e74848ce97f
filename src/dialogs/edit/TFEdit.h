#pragma once

#include "spelldata/SpellRecord.h"

#include <QDialog>
#include <QStringList>

#include <map>
#include <optional>

class OneLineTextEdit;
class QComboBox;
class QFrame;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class TextBox;

// The spell editor: a modal dialog that adds a new spell or edits one in the
// collection. The kind buttons choose what is edited (their "Tag" property:
// 0 wizard, 1 priest, 2 psionic, 3 info) and the dialog's own "Tag" property
// holds the choice. OK checks the input and builds a brand-new record of the
// chosen kind, which EditSpell returns: the caller decides where it goes. An
// info entry is stored as a psionic record at level Info holding
// only the name, description, source, level and reversible flag.
class TFEdit : public QDialog {
    Q_OBJECT

public:
    static constexpr int ClientWidth = 620;
    static constexpr int ClientHeight = 414;

    explicit TFEdit(QWidget* parent = nullptr);

    // Shows the dialog modally, filled from `existing` or empty for a new
    // spell. Returns the record OK built, or nothing after Cancel or the
    // close box.
    std::optional<spelldata::SpellRecord> EditSpell(const spelldata::SpellRecord* existing);

    // The kind buttons: show the kind's groups and icon, set the dialog's
    // Tag and preset the level and list boxes. Texts typed so far are kept.
    void BWizClick();
    void BPriClick();
    void BPsiClick();
    void BInfoClick();
    // Italic name and button while the spell is reversible.
    void BRevClick();
    // Add the school or sphere chosen in the list to its text box.
    void SpeedButton4Click();
    void SpeedButton5Click();
    // Checks the input; on success builds the record and closes the dialog.
    void OKClick();
    void BitBtn1Click();

    void reject() override;

private:
    // A field longer than this shows its start only; while its box still
    // shows that start, OK keeps the whole field (laying out megabytes of one
    // line takes minutes, and a line box cuts at 32,767 characters).
    static constexpr std::size_t ShownFieldBytes = 1000;

    void createKindBar();
    void createFieldArea();
    void createHeading(QWidget* area);
    void createWizGroup(QWidget* area);
    void createPsiGroup(QWidget* area);
    void createSchoolGroups(QWidget* area);
    void createDisciplineGroup(QWidget* area);
    void createSource(QWidget* area);
    void createDescription();
    QFrame* createButtonBar();
    QPushButton* kindButton(QWidget* bar, const char* name, const char* caption, int tag);
    QLabel* kindIcon(QFrame* frame, const char* name, const char* file, const char* hint);
    QComboBox* editableCombo(QWidget* parent, const char* name, const QStringList& items);
    QLineEdit* lineEdit(QWidget* parent, const char* name, const char* hint);
    QComboBox* listCombo(QWidget* parent, const char* name, const QStringList& items,
                         const char* hint);
    void addRow(QGridLayout* grid, int row, int column, const char* caption, QWidget* field);

    void showKind(int tag);
    int kindTag() const;
    void addToBox(const QComboBox* list, OneLineTextEdit* box);

    void loadField(QWidget* box, const std::string& value);
    std::string fieldOf(const QWidget* box) const;
    void loadRecord(const spelldata::SpellRecord& record);
    void loadWizardFields(const spelldata::SpellRecord& record);
    void loadPsionicFields(const spelldata::SpellRecord& record);
    QString inputProblem() const;
    spelldata::SpellRecord buildRecord();
    void writeWizardFields(spelldata::SpellRecord& record) const;
    void writePsionicFields(spelldata::SpellRecord& record) const;

    QWidget* page_ = nullptr; // all but the button bar; scrolls on a small screen
    // Kind bar.
    QPushButton* BWiz = nullptr;
    QPushButton* BPri = nullptr;
    QPushButton* BPsi = nullptr;
    QPushButton* BInfo = nullptr;
    // Heading of the field area.
    QLabel* WizIcon = nullptr;
    QLabel* PriIcon = nullptr;
    QLabel* PsiIcon = nullptr;
    QLineEdit* CName = nullptr;
    QPushButton* BRev = nullptr;
    QComboBox* CLevel = nullptr;
    // Wizard and priest attributes.
    QGroupBox* WizGroup = nullptr;
    QComboBox* CRange = nullptr;
    QComboBox* CComponents = nullptr;
    QComboBox* CDuration = nullptr;
    QComboBox* CCastingTime = nullptr;
    QComboBox* CAOE = nullptr;
    QComboBox* CSave = nullptr;
    // Psionic attributes.
    QGroupBox* PsiGroup = nullptr;
    QComboBox* PScore = nullptr;
    QLineEdit* PCost = nullptr;
    QComboBox* PMaint = nullptr;
    QComboBox* PRange = nullptr;
    QComboBox* PPrep = nullptr;
    QComboBox* PAOE = nullptr;
    QLineEdit* PPreq = nullptr;
    // Schools, spheres and disciplines.
    QGroupBox* SphereGroup = nullptr;
    QComboBox* CSphere = nullptr;
    QToolButton* SpeedButton4 = nullptr;
    OneLineTextEdit* ESphere = nullptr;
    QGroupBox* SchoolGroup = nullptr;
    QComboBox* CSchool = nullptr;
    QToolButton* SpeedButton5 = nullptr;
    OneLineTextEdit* ESchool = nullptr;
    QGroupBox* DisciplineGroup = nullptr;
    QComboBox* CDis = nullptr;
    QComboBox* CSource = nullptr;
    // Description and buttons.
    TextBox* EDescription = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* BitBtn1 = nullptr;

    // Set by an OK that passed the checks; cleared by a failed check, by
    // Cancel and by any other way of closing.
    bool accepted_ = false;
    // The record OK built, waiting for EditSpell to return it.
    std::optional<spelldata::SpellRecord> work_;
    // Fields shown cut short: the whole field and what its box showed.
    struct CutField {
        std::string whole;
        QString shown;
    };
    std::map<const QWidget*, CutField> cutFields_;
};
