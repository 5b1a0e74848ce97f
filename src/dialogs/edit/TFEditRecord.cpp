// The spell editor's behaviour: the kind buttons and list buttons, reading a
// record into the controls, checking the input and building the new record.
#include "dialogs/edit/TFEdit.h"

#include "controls/GuiText.h"
#include "controls/Prompts.h"
#include "controls/ScreenFit.h"
#include "controls/TextBox.h"
#include "dialogs/edit/EditorFields.h"
#include "dialogs/edit/EditorLists.h"
#include "spelldata/SpellCollection.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>

using spelldata::SpellKind;
using spelldata::SpellLevel;
using spelldata::SpellRecord;

namespace {

constexpr int WizardTag = 0;
constexpr int PriestTag = 1;
constexpr int PsionicTag = 2;
constexpr int InfoTag = 3;
// The level list holds levels 0 to 13. A record from a file may carry a
// higher one; it then opens with the kind's preset level.
constexpr int LevelCount = 14;

// What each kind button shows and where it puts the level list.
struct KindView {
    bool wizGroup;
    bool psiGroup;
    bool sphereGroup;
    bool schoolGroup;
    bool disciplineGroup;
    SpellLevel level;
};

constexpr KindView KindViews[] = {
    {true, false, true, false, false, spelldata::LevelCantrip},  // wizard
    {true, false, true, true, false, 1},                         // priest
    {false, true, false, false, true, spelldata::LevelDevotion}, // psionic
    {false, false, false, false, false, spelldata::LevelInfo},   // info
};

// An info entry: level Info and none of the psionic fields filled. Only such
// a record opens under the Info button, so that OK neither invents psionic
// fields for an entry nor drops any from a power at level Info.
bool isPlainInfo(const SpellRecord& record) {
    const spelldata::TPsi& psi = record.psi();
    return psi.Level == spelldata::LevelInfo && psi.InitialCost.empty() && psi.PowerScore.empty() &&
           psi.MaintenanceCost.empty() && psi.PreparationTime.empty() && psi.Prerequisites.empty();
}

bool levelFits(int tag, int level) {
    const bool info = level == spelldata::LevelInfo;
    switch (tag) {
    case WizardTag:
        return info || (level >= spelldata::LevelCantrip && level <= spelldata::LevelQuest);
    case PriestTag:
        return info || (level >= 1 && level <= spelldata::LevelQuest);
    case PsionicTag:
        return info || level == spelldata::LevelDevotion || level == spelldata::LevelScience;
    default:
        return true;
    }
}

const char* levelMessage(int tag) {
    switch (tag) {
    case WizardTag:
        return "A Wizard spell must have a level, or be INFO, but cannot be a Devotion, Science";
    case PriestTag:
        return "A Priest spell must have a level, or be INFO, but cannot be a Devotion, Science "
               "or Cantrip";
    default:
        return "A Psionic power cannot have levels, and must be either a Devotion or Science, "
               "or INFO";
    }
}

SpellKind storedKind(int tag) {
    switch (tag) {
    case WizardTag:
        return SpellKind::Wizard;
    case PriestTag:
        return SpellKind::Priest;
    default:
        return SpellKind::Psionic;
    }
}

} // namespace

int TFEdit::kindTag() const {
    return property("Tag").toInt();
}

void TFEdit::showKind(int tag) {
    const KindView& view = KindViews[tag];
    WizGroup->setVisible(view.wizGroup);
    PsiGroup->setVisible(view.psiGroup);
    SphereGroup->setVisible(view.sphereGroup);
    SchoolGroup->setVisible(view.schoolGroup);
    DisciplineGroup->setVisible(view.disciplineGroup);
    WizIcon->setVisible(tag == WizardTag);
    PriIcon->setVisible(tag == PriestTag);
    PsiIcon->setVisible(tag == PsionicTag || tag == InfoTag);
    CLevel->setCurrentIndex(view.level);
    CLevel->setEnabled(tag != InfoTag);
    setProperty("Tag", tag);
}

void TFEdit::BWizClick() {
    showKind(WizardTag);
    CSphere->setCurrentIndex(0);
}

void TFEdit::BPriClick() {
    showKind(PriestTag);
    CSphere->setCurrentIndex(0);
    CSchool->setCurrentIndex(0);
}

void TFEdit::BPsiClick() {
    showKind(PsionicTag);
}

void TFEdit::BInfoClick() {
    showKind(InfoTag);
}

void TFEdit::BRevClick() {
    const bool reversible = BRev->isChecked();
    QFont nameFont = CName->font();
    nameFont.setBold(true);
    nameFont.setItalic(reversible);
    CName->setFont(nameFont);
    QFont buttonFont = BRev->font();
    buttonFont.setItalic(reversible);
    BRev->setFont(buttonFont);
}

void TFEdit::SpeedButton4Click() {
    addToBox(CSphere, ESphere);
}

void TFEdit::SpeedButton5Click() {
    addToBox(CSchool, ESchool);
}

// Appends the list's item to the box, joined with ", ", unless the box holds
// that text already (anywhere, even inside a longer name).
void TFEdit::addToBox(const QComboBox* list, OneLineTextEdit* box) {
    const QString item = list->currentText();
    const QString old = box->toPlainText();
    if (item.isEmpty() || old.contains(item, Qt::CaseSensitive))
        return;
    box->setLine(old.isEmpty() ? item : old + QStringLiteral(", ") + item);
}

void TFEdit::OKClick() {
    accepted_ = true;
    const QString problem = inputProblem();
    if (!problem.isEmpty()) {
        Prompts::Message(this, problem, Prompts::Icon::Error, QMessageBox::Cancel);
        accepted_ = false;
        return;
    }
    work_ = buildRecord();
    accept();
}

void TFEdit::BitBtn1Click() {
    reject();
}

// Escape and the close box come here too: whatever closes the dialog other
// than a successful OK saves nothing.
void TFEdit::reject() {
    accepted_ = false;
    QDialog::reject();
}

QString TFEdit::inputProblem() const {
    if (CName->text().isEmpty())
        return QStringLiteral("Spell must have a Name to be saved");
    if (!levelFits(kindTag(), CLevel->currentIndex()))
        return QString::fromLatin1(levelMessage(kindTag()));
    return {};
}

std::optional<SpellRecord> TFEdit::EditSpell(const SpellRecord* existing) {
    accepted_ = false;
    work_.reset();
    cutFields_.clear();
    BWiz->setChecked(true);
    BWizClick();
    if (existing)
        loadRecord(*existing);
    CName->setFocus();
    FitToScreen(this, QSize(ClientWidth, ClientHeight));
    exec();
    std::optional<SpellRecord> built;
    if (accepted_)
        built.swap(work_);
    work_.reset();
    return built;
}

namespace {

QString boxText(const QWidget* box) {
    if (const auto* line = qobject_cast<const QLineEdit*>(box))
        return line->text();
    if (const auto* combo = qobject_cast<const QComboBox*>(box))
        return combo->currentText();
    return static_cast<const OneLineTextEdit*>(box)->toPlainText();
}

void setBoxText(QWidget* box, const QString& text) {
    if (auto* line = qobject_cast<QLineEdit*>(box)) {
        line->setText(text);
        line->setModified(false);
    } else if (auto* combo = qobject_cast<QComboBox*>(box)) {
        combo->setEditText(text);
    } else {
        static_cast<OneLineTextEdit*>(box)->setLine(text);
    }
}

} // namespace

void TFEdit::loadField(QWidget* box, const std::string& value) {
    if (value.size() <= ShownFieldBytes) {
        setBoxText(box, FromBytes(value));
        cutFields_.erase(box);
        return;
    }
    setBoxText(box, FromBytes(value.substr(0, ShownFieldBytes)));
    cutFields_[box] = {value, boxText(box)};
}

std::string TFEdit::fieldOf(const QWidget* box) const {
    const QString text = boxText(box);
    const auto cut = cutFields_.find(box);
    return cut != cutFields_.end() && cut->second.shown == text ? cut->second.whole : ToBytes(text);
}

void TFEdit::loadRecord(const SpellRecord& record) {
    loadField(CName, record->Name);
    BRev->setChecked(record->Reversible != 0);
    BRevClick();
    EDescription->setDescription(record->Description);
    switch (record.kind()) {
    case SpellKind::Wizard:
        loadWizardFields(record);
        break;
    case SpellKind::Priest:
        BPri->setChecked(true);
        BPriClick();
        loadWizardFields(record);
        loadField(ESchool, record.pri().Sphere);
        break;
    case SpellKind::Psionic:
        loadPsionicFields(record);
        break;
    }
    if (record->Level < LevelCount)
        CLevel->setCurrentIndex(record->Level);
    loadField(CSource, record->Source);
}

void TFEdit::loadWizardFields(const SpellRecord& record) {
    loadField(CRange, record->Range);
    loadField(CSave, record->SavingThrow);
    loadField(ESphere, record->School);
    loadField(CAOE, record->AreaOfEffect);
    loadField(CComponents, *record.components());
    loadField(CDuration, *record.duration());
    loadField(CCastingTime, *record.castingTime());
}

void TFEdit::loadPsionicFields(const SpellRecord& record) {
    if (isPlainInfo(record)) {
        BInfo->setChecked(true);
        BInfoClick();
        return;
    }
    BPsi->setChecked(true);
    BPsiClick();
    const spelldata::TPsi& psi = record.psi();
    loadField(PRange, psi.Range);
    loadField(PCost, psi.InitialCost);
    loadField(PScore, psi.PowerScore);
    loadField(PMaint, psi.MaintenanceCost);
    loadField(PPrep, psi.PreparationTime);
    loadField(PPreq, psi.Prerequisites);
    // An empty school names no discipline (powers imported without one):
    // the list then shows none, and OK keeps the school empty.
    const QString school = FromBytes(psi.School);
    CDis->setCurrentIndex(school.isEmpty() ? -1
                                           : CDis->findText(editorlists::DisciplineFor(school)));
    loadField(PAOE, psi.AreaOfEffect);
}

SpellRecord TFEdit::buildRecord() {
    const int tag = kindTag();
    SpellRecord record(storedKind(tag));
    if (tag == WizardTag || tag == PriestTag)
        writeWizardFields(record);
    if (tag == PriestTag)
        record.pri().Sphere = fieldOf(ESchool);
    if (tag == PsionicTag)
        writePsionicFields(record);
    // An info entry (tag 3) gets the common fields only.
    record->Name = fieldOf(CName);
    record->Description = TextToDescription(EDescription->wholeText());
    record->Source = fieldOf(CSource);
    record->Level = static_cast<SpellLevel>(CLevel->currentIndex());
    record->Reversible = BRev->isChecked() ? 1 : 0;
    return record;
}

void TFEdit::writeWizardFields(SpellRecord& record) const {
    record->Range = fieldOf(CRange);
    record->SavingThrow = fieldOf(CSave);
    record->School = fieldOf(ESphere);
    record->AreaOfEffect = fieldOf(CAOE);
    *record.components() = fieldOf(CComponents);
    *record.duration() = fieldOf(CDuration);
    *record.castingTime() = fieldOf(CCastingTime);
}

void TFEdit::writePsionicFields(SpellRecord& record) const {
    spelldata::TPsi& psi = record.psi();
    psi.Range = fieldOf(PRange);
    psi.School = ToBytes(CDis->currentText());
    psi.InitialCost = fieldOf(PCost);
    psi.PowerScore = fieldOf(PScore);
    psi.MaintenanceCost = fieldOf(PMaint);
    psi.PreparationTime = fieldOf(PPrep);
    psi.Prerequisites = fieldOf(PPreq);
    psi.AreaOfEffect = fieldOf(PAOE);
}
