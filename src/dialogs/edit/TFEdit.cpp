// The spell editor's window: kind bar, field area, description and buttons.
// Reading and writing records is in TFEditRecord.cpp.
#include "dialogs/edit/TFEdit.h"

#include "controls/ScreenFit.h"
#include "controls/TextBox.h"
#include "dialogs/edit/EditorFields.h"
#include "dialogs/edit/EditorLists.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QSvgRenderer>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

// The kind icons live in this library's resources; a static library has to
// register them itself, outside any namespace.
static void initKindIcons() {
    Q_INIT_RESOURCE(kindicons);
}

namespace {

constexpr int ClientWidth = TFEdit::ClientWidth;
constexpr int ClientHeight = TFEdit::ClientHeight;
constexpr int KindBarHeight = 33;
constexpr int FieldAreaHeight = 231;
constexpr int ButtonBarHeight = 31;
constexpr int DescriptionTop = KindBarHeight + FieldAreaHeight;
constexpr int ButtonBarTop = ClientHeight - ButtonBarHeight;

constexpr int RowHeight = 24;

// The field area: a heading row (icon, name, reversible, level), then two
// columns, the attribute groups and the source on the left, the school,
// sphere and discipline groups on the right.
constexpr int LeftColumn = 6;
constexpr int LeftWidth = 382;
constexpr int RightColumn = 394;
constexpr int RightWidth = 220;
constexpr int NameLeft = LeftColumn + 40; // after the kind icon
constexpr int HeadingTop = 8;
// The level list is as wide as its longest item, "10th level Spell or Quest Spell".
constexpr int LevelLeft = 364;
constexpr int GroupTop = 42;
constexpr int GroupHeight = 154;
constexpr int AttributeRows = 3;
constexpr int PsiColumns = 3;
constexpr int SourceTop = GroupTop + GroupHeight + 6;
// The school and sphere groups stack in the right column and fill its height.
constexpr int SchoolGroupTop = GroupTop - 4;
constexpr int SchoolGroupHeight = 94;

const char* const ComboHint = "In this combobox, either choose one of the items in the list, or "
                              "type in the text. ";

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// A green cross for the buttons that add a school or sphere.
QIcon plusIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 128, 0));
    painter.drawRect(7, 2, 3, 12);
    painter.drawRect(2, 7, 12, 3);
    return QIcon(pixmap);
}

QGroupBox* titledGroup(QWidget* area, const char* name, const char* title) {
    auto* group = new QGroupBox(text(title), area);
    group->setObjectName(text(name));
    return group;
}

QToolButton* plusButton(QWidget* group, const char* name, const QString& hint) {
    auto* button = new QToolButton(group);
    button->setObjectName(text(name));
    button->setIcon(plusIcon());
    button->setFixedSize(RowHeight, RowHeight);
    button->setToolTip(hint);
    return button;
}

// The box that collects the schools or spheres chosen with the plus button.
OneLineTextEdit* collectingBox(QWidget* group, const char* name) {
    auto* box = new OneLineTextEdit(group);
    box->setObjectName(text(name));
    box->setToolTip(text("Either use the select combobox to add items, or type then in."));
    // Exactly two lines high, so that no line shows cut in half; the scroll
    // bar reaches the rest. The document margin counts once: it is above the
    // first line, and below the second comes the third.
    constexpr int margin = 2;
    box->document()->setDocumentMargin(margin);
    box->setFixedHeight(2 * box->fontMetrics().lineSpacing() + margin + 2 * box->frameWidth());
    return box;
}

// The list and its plus button on one row, the collecting box below them.
void arrangeSchoolGroup(QGroupBox* group, QComboBox* list, QToolButton* plus,
                        OneLineTextEdit* box) {
    list->setFixedHeight(RowHeight);
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(6, 2, 6, 4);
    grid->setSpacing(4);
    grid->addWidget(list, 0, 0);
    grid->addWidget(plus, 0, 1);
    grid->addWidget(box, 1, 0, 1, 2);
}

// Rows of fields, each with its caption above it, from the top.
QGridLayout* attributeGrid(QGroupBox* group, int columns) {
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(8, 4, 8, 6);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(2);
    for (int column = 0; column < columns; ++column)
        grid->setColumnStretch(column, 1);
    grid->setRowStretch(2 * AttributeRows, 1);
    return grid;
}

} // namespace

TFEdit::TFEdit(QWidget* parent) : QDialog(parent) {
    initKindIcons();
    setObjectName(QStringLiteral("FEdit"));
    setWindowTitle(QStringLiteral("Spell Editing"));
    setFixedSize(ClientWidth, ClientHeight);
    setProperty("Tag", 0);
    // Everything but the buttons lies on a page that scrolls when the screen
    // is too small for the dialog; OK and Cancel stay in sight below it.
    page_ = new QWidget;
    page_->setObjectName(QStringLiteral("EditPage"));
    page_->setFixedSize(ClientWidth, ButtonBarTop);
    createKindBar();
    createFieldArea();
    createDescription();
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(ScrollingPage(page_, this), 1);
    column->addWidget(createButtonBar());
    BWiz->setChecked(true);
    showKind(0);
    CName->setFocus();
}

void TFEdit::createKindBar() {
    auto* bar = new QFrame(page_);
    bar->setObjectName(QStringLiteral("KindBar"));
    bar->setFrameStyle(QFrame::Panel | QFrame::Raised);
    bar->setGeometry(0, 0, ClientWidth, KindBarHeight);
    bar->setToolTip(text("Click any one of these types, to change the spell/power to that type. "
                         "Notice that some items might change."));
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(3);
    auto* group = new QButtonGroup(bar);
    BWiz = kindButton(bar, "BWiz", "Wizard Spell", 0);
    BPri = kindButton(bar, "BPri", "Priest Prayer", 1);
    BPsi = kindButton(bar, "BPsi", "Psionic Power", 2);
    BInfo = kindButton(bar, "BInfo", "Info", 3);
    for (QPushButton* button : {BWiz, BPri, BPsi, BInfo}) {
        group->addButton(button);
        layout->addWidget(button);
    }
    connect(BWiz, &QPushButton::clicked, this, &TFEdit::BWizClick);
    connect(BPri, &QPushButton::clicked, this, &TFEdit::BPriClick);
    connect(BPsi, &QPushButton::clicked, this, &TFEdit::BPsiClick);
    connect(BInfo, &QPushButton::clicked, this, &TFEdit::BInfoClick);
}

QPushButton* TFEdit::kindButton(QWidget* bar, const char* name, const char* caption, int tag) {
    auto* button = new QPushButton(text(caption), bar);
    button->setObjectName(text(name));
    button->setProperty("Tag", tag);
    button->setCheckable(true);
    button->setAutoDefault(false);
    button->setFixedSize(150, 25);
    return button;
}

void TFEdit::createFieldArea() {
    auto* area = new QWidget(page_);
    area->setObjectName(QStringLiteral("FieldArea"));
    area->setGeometry(0, KindBarHeight, ClientWidth, FieldAreaHeight);
    createHeading(area);
    createWizGroup(area);
    createPsiGroup(area);
    createSchoolGroups(area);
    createDisciplineGroup(area);
    createSource(area);
}

void TFEdit::createHeading(QWidget* area) {
    auto* frame = new QFrame(area);
    frame->setObjectName(QStringLiteral("IconFrame"));
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setGeometry(LeftColumn, 3, 34, 34);
    WizIcon = kindIcon(frame, "WizIcon", "wizard.svg", "Wizrad Spell");
    PriIcon = kindIcon(frame, "PriIcon", "priest.svg", "Cleric Prayer");
    PsiIcon = kindIcon(frame, "PsiIcon", "psionic.svg", "Psionic Power");

    CName = lineEdit(area, "CName",
                     "Type in or Edit the name of ths spell. For changes to take effect, a "
                     "spell MUST have a name.");
    QFont bold = CName->font();
    bold.setBold(true);
    CName->setFont(bold);
    CName->setGeometry(NameLeft, HeadingTop, 212, RowHeight);

    BRev = new QPushButton(text("Reversible"), area);
    BRev->setObjectName(QStringLiteral("BRev"));
    BRev->setCheckable(true);
    BRev->setAutoDefault(false);
    BRev->setToolTip(text("When down, spell is reversible."));
    BRev->setGeometry(NameLeft + 218, HeadingTop, 92, RowHeight);
    connect(BRev, &QPushButton::clicked, this, &TFEdit::BRevClick);

    auto* caption = new QLabel(text("Level:"), area);
    caption->setGeometry(LevelLeft, HeadingTop, 40, RowHeight);
    CLevel = listCombo(area, "CLevel", editorlists::Levels(),
                       "Select one of the levels in the list. Note that Wizard spells can be "
                       "levels 0-10, Priest spells can be levels 1-10 where 10 are Quest Spells, "
                       "and Psionic Powers can only be devotions or Sciences. All can be INFO.");
    CLevel->setGeometry(LevelLeft + 40, HeadingTop, ClientWidth - LeftColumn - LevelLeft - 40,
                        RowHeight);
    caption->setBuddy(CLevel);
}

QLabel* TFEdit::kindIcon(QFrame* frame, const char* name, const char* file, const char* hint) {
    const qreal ratio = devicePixelRatioF();
    QPixmap pixmap(QSize(32, 32) * ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QSvgRenderer(QStringLiteral(":/kinds/") + text(file)).render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(ratio);

    auto* icon = new QLabel(frame);
    icon->setObjectName(text(name));
    icon->setToolTip(text(hint));
    icon->setPixmap(pixmap);
    icon->setGeometry(1, 1, 32, 32);
    return icon;
}

QComboBox* TFEdit::editableCombo(QWidget* parent, const char* name, const QStringList& items) {
    auto* box = new QComboBox(parent);
    box->setObjectName(text(name));
    box->setEditable(true);
    // The lists offer suggestions only: typing neither adds items nor gets
    // completed to an item, so what the user typed is what is stored.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setCompleter(nullptr);
    box->addItems(items);
    box->setCurrentIndex(-1);
    box->clearEditText();
    box->setMaxVisibleItems(12);
    box->setToolTip(text(ComboHint));
    RefuseLineBreaks(box->lineEdit());
    return box;
}

QLineEdit* TFEdit::lineEdit(QWidget* parent, const char* name, const char* hint) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(text(name));
    edit->setToolTip(text(hint));
    RefuseLineBreaks(edit);
    return edit;
}

QComboBox* TFEdit::listCombo(QWidget* parent, const char* name, const QStringList& items,
                             const char* hint) {
    auto* box = new QComboBox(parent);
    box->setObjectName(text(name));
    box->addItems(items);
    box->setCurrentIndex(-1);
    box->setToolTip(text(hint));
    return box;
}

// Puts `field` with its caption above it into the grid cell (row, column).
void TFEdit::addRow(QGridLayout* grid, int row, int column, const char* caption, QWidget* field) {
    auto* label = new QLabel(text(caption), field->parentWidget());
    label->setBuddy(field);
    // Space between one row's field and the next row's caption.
    label->setContentsMargins(0, row > 0 ? 6 : 0, 0, 0);
    field->setFixedHeight(RowHeight);
    grid->addWidget(label, 2 * row, column);
    grid->addWidget(field, 2 * row + 1, column);
}

void TFEdit::createWizGroup(QWidget* area) {
    WizGroup = new QGroupBox(area);
    WizGroup->setObjectName(QStringLiteral("WizGroup"));
    WizGroup->setGeometry(LeftColumn, GroupTop, LeftWidth, GroupHeight);
    CRange = editableCombo(WizGroup, "CRange", editorlists::Ranges());
    CComponents = editableCombo(WizGroup, "CComponents", editorlists::Components());
    CDuration = editableCombo(WizGroup, "CDuration", editorlists::Durations());
    CCastingTime = editableCombo(WizGroup, "CCastingTime", editorlists::CastingTimes());
    CAOE = editableCombo(WizGroup, "CAOE", editorlists::AreasOfEffect());
    CSave = editableCombo(WizGroup, "CSave", editorlists::SavingThrows());

    QGridLayout* grid = attributeGrid(WizGroup, 2);
    addRow(grid, 0, 0, "Range:", CRange);
    addRow(grid, 0, 1, "Components:", CComponents);
    addRow(grid, 1, 0, "Duration:", CDuration);
    addRow(grid, 1, 1, "Casting Time:", CCastingTime);
    addRow(grid, 2, 0, "Area of Effect:", CAOE);
    addRow(grid, 2, 1, "Saving Throw:", CSave);
}

void TFEdit::createPsiGroup(QWidget* area) {
    PsiGroup = new QGroupBox(area);
    PsiGroup->setObjectName(QStringLiteral("PsiGroup"));
    PsiGroup->setGeometry(LeftColumn, GroupTop, LeftWidth, GroupHeight);
    PScore = editableCombo(PsiGroup, "PScore", editorlists::PowerScores());
    PCost = lineEdit(PsiGroup, "PCost", "Type in the initial cost of using the psionic power.");
    PMaint = editableCombo(PsiGroup, "PMaint", editorlists::MaintenanceCosts());
    PRange = editableCombo(PsiGroup, "PRange", editorlists::PsionicRanges());
    PPrep = editableCombo(PsiGroup, "PPrep", editorlists::PreparationTimes());
    PAOE = editableCombo(PsiGroup, "PAOE", editorlists::PsionicAreasOfEffect());
    PPreq = lineEdit(PsiGroup, "PPreq", ComboHint);

    QGridLayout* grid = attributeGrid(PsiGroup, PsiColumns);
    addRow(grid, 0, 0, "Power Score:", PScore);
    addRow(grid, 0, 1, "Initial Cost:", PCost);
    addRow(grid, 0, 2, "Mainenance Cost:", PMaint);
    addRow(grid, 1, 0, "Range:", PRange);
    addRow(grid, 1, 1, "Preparation Time:", PPrep);
    addRow(grid, 1, 2, "Area of Effect:", PAOE);
    addRow(grid, 2, 0, "Prerequisite:", PPreq);
    // The prerequisites are often a list of powers: give them the full row.
    grid->addWidget(PPreq, 5, 0, 1, PsiColumns);
}

void TFEdit::createSchoolGroups(QWidget* area) {
    SphereGroup = titledGroup(area, "SphereGroup", "Spell School of Magic");
    SphereGroup->setGeometry(RightColumn, SchoolGroupTop, RightWidth, SchoolGroupHeight);
    CSphere = listCombo(SphereGroup, "CSphere", editorlists::WizardSchools(),
                        "Select one of the Wizard Schools in the list, and press the '+' icon, "
                        "to add to the Sschools Edit Box.");
    SpeedButton4 = plusButton(SphereGroup, "SpeedButton4", CSphere->toolTip());
    ESphere = collectingBox(SphereGroup, "ESphere");
    arrangeSchoolGroup(SphereGroup, CSphere, SpeedButton4, ESphere);
    connect(SpeedButton4, &QToolButton::clicked, this, &TFEdit::SpeedButton4Click);

    SchoolGroup = titledGroup(area, "SchoolGroup", "Priest Prayer Sphere");
    SchoolGroup->setGeometry(RightColumn, SchoolGroupTop + SchoolGroupHeight + 2, RightWidth,
                             SchoolGroupHeight);
    CSchool = listCombo(SchoolGroup, "CSchool", editorlists::PriestSpheres(),
                        "Select one of the Spheres in the list, and press the '+' icon, to add "
                        "to the Spheres Edit Box.");
    SpeedButton5 = plusButton(SchoolGroup, "SpeedButton5", CSchool->toolTip());
    ESchool = collectingBox(SchoolGroup, "ESchool");
    arrangeSchoolGroup(SchoolGroup, CSchool, SpeedButton5, ESchool);
    connect(SpeedButton5, &QToolButton::clicked, this, &TFEdit::SpeedButton5Click);
}

void TFEdit::createDisciplineGroup(QWidget* area) {
    DisciplineGroup = titledGroup(area, "DisciplineGroup", "Discipline");
    DisciplineGroup->setGeometry(RightColumn, SchoolGroupTop, RightWidth, 58);
    CDis = listCombo(DisciplineGroup, "CDis", editorlists::Disciplines(),
                     "Select one of the Disciplines in the list.");
    CDis->setFixedHeight(RowHeight);
    auto* layout = new QHBoxLayout(DisciplineGroup);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->addWidget(CDis);
}

void TFEdit::createSource(QWidget* area) {
    auto* caption = new QLabel(text("Author/Source:"), area);
    caption->setGeometry(LeftColumn + 2, SourceTop, 94, RowHeight);
    CSource = editableCombo(area, "CSource", editorlists::Sources());
    CSource->setGeometry(LeftColumn + 98, SourceTop, LeftWidth - 98, RowHeight);
    caption->setBuddy(CSource);
}

void TFEdit::createDescription() {
    EDescription = new TextBox(page_);
    EDescription->setObjectName(QStringLiteral("EDescription"));
    EDescription->setAcceptRichText(false);
    EDescription->setTabChangesFocus(true);
    EDescription->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    EDescription->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    EDescription->setToolTip(text("Fill in the description of the spell."));
    EDescription->setGeometry(LeftColumn, DescriptionTop, ClientWidth - 2 * LeftColumn,
                              ButtonBarTop - DescriptionTop);
}

QFrame* TFEdit::createButtonBar() {
    auto* bar = new QFrame(this);
    bar->setObjectName(QStringLiteral("ButtonBar"));
    bar->setFixedHeight(ButtonBarHeight);
    OK = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), text("OK"), bar);
    OK->setObjectName(QStringLiteral("OK"));
    OK->setDefault(true);
    OK->setToolTip(text("Press the OK to save changes."));
    BitBtn1 =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), text("Cancel"), bar);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setAutoDefault(false);
    BitBtn1->setToolTip(text("Cancel's the changes you made, or the adding of a new spell."));

    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(LeftColumn, 3, LeftColumn, 3);
    layout->addStretch(1);
    layout->addWidget(OK);
    layout->addWidget(BitBtn1);
    connect(OK, &QPushButton::clicked, this, &TFEdit::OKClick);
    connect(BitBtn1, &QPushButton::clicked, this, &TFEdit::BitBtn1Click);
    return bar;
}
