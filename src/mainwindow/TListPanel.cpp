#include "mainwindow/TListPanel.h"

#include "controls/SvgIcon.h"
#include "mainwindow/SpellListView.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

struct LevelButtonDef {
    const char* name;
    const char* caption;
    const char* hint;
    int group;
};

constexpr LevelButtonDef kLevelButtons[14] = {
    {"BC", "C", "Spell Levels", 15},
    {"B1", "1", "Spell Levels", 1},
    {"B2", "2", "Spell Levels", 2},
    {"B3", "3", "Spell Levels", 3},
    {"B4", "4", "Spell Levels", 4},
    {"B5", "5", "Spell Levels", 5},
    {"B6", "6", "Spell Levels", 6},
    {"B7", "7", "Spell Levels", 7},
    {"B8", "8", "Spell Levels", 8},
    {"B9", "9", "Spell Levels", 9},
    {"b10", "10", "Spell Levels", 10},
    {"BDev", "D", "Psionic Powers (Devotion)", 11},
    {"BSci", "S", "Psionic Powers (Science)", 12},
    {"BI", "I", "Psionic Powers (Info)", 13},
};

QToolButton* captionButton(QWidget* parent, const char* name, const char* caption,
                           const QString& hint, int group, int width) {
    QToolButton* b = MakeToolButton(parent, name, hint, true);
    b->setIcon(QIcon());
    b->setText(QString::fromLatin1(caption));
    b->setProperty("GroupIndex", group);
    b->setFixedSize(width, 16);
    b->setChecked(true);
    QFont f = b->font();
    f.setBold(true);
    b->setFont(f);
    return b;
}

// The toggle buttons of the strip show their down state filled in the
// palette's highlight colour, which stands out in light and dark palettes.
const QString kToggleStyle = QStringLiteral(
    "QToolButton { border: 1px solid palette(mid); border-radius: 2px;"
    " background: palette(button); color: palette(button-text); padding: 0px; }"
    "QToolButton:hover { border-color: palette(highlight); }"
    "QToolButton:checked { background: palette(highlight); color: palette(highlighted-text);"
    " border: 1px solid palette(shadow); }"
    "QToolButton:disabled { color: palette(mid); }"
    "QToolButton:checked:disabled { background: palette(mid); color: palette(button); }");

// A control of the list header at its fixed place and size.
void place(QWidget* control, const QRect& at) {
    control->setFixedSize(at.size());
    control->move(at.topLeft());
}

QHBoxLayout* rowLayout(QWidget* row) {
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(1);
    return layout;
}

} // namespace

QToolButton* MakeToolButton(QWidget* parent, const char* name, const QString& hint, bool toggle) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(hint);
    b->setAccessibleName(hint.isEmpty() ? QString::fromLatin1(name) : hint);
    b->setCheckable(toggle);
    b->setAutoRaise(false);
    const QString icon = QStringLiteral(":/icons/%1.svg").arg(QString::fromLatin1(name));
    if (QFile::exists(icon))
        b->setIcon(SvgIcon(icon));
    b->setIconSize(QSize(16, 16));
    b->setFixedSize(24, 22);
    return b;
}

TListPanel::TListPanel(QWidget* parent) : QWidget(parent), levelGroup_(new QButtonGroup(this)) {
    setObjectName(QStringLiteral("ListPanel"));
    setFixedWidth(302);
    levelGroup_->setExclusive(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildLevelRow());
    layout->addWidget(buildCommandRows());
    layout->addWidget(buildListHeader());
    SList = new SpellListView(this);
    // The list keeps its room while hidden, so the rows above stay in place.
    QSizePolicy policy = SList->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    SList->setSizePolicy(policy);
    SList->hide();
    layout->addWidget(SList, 1);
    layout->addWidget(buildCounterBar());
    for (QToolButton* b : findChildren<QToolButton*>()) {
        if (b->isCheckable())
            b->setStyleSheet(kToggleStyle);
    }
}

QWidget* TListPanel::buildLevelRow() {
    auto* row = new QWidget(this);
    QHBoxLayout* layout = rowLayout(row);
    for (std::size_t i = 0; i < levelButtons.size(); ++i) {
        const LevelButtonDef& d = kLevelButtons[i];
        levelButtons[i] = captionButton(row, d.name, d.caption, QString::fromLatin1(d.hint),
                                        d.group, i == 10 ? 19 : 16);
        layout->addWidget(levelButtons[i]);
    }
    layout->addStretch(1);
    BWiz = captionButton(row, "BWiz", "W", QStringLiteral("Spell Types (Wizard)"), 21, 16);
    BPri = captionButton(row, "BPri", "C", QStringLiteral("Spell Types (Priest)"), 22, 16);
    BPsi = captionButton(row, "BPsi", "P", QStringLiteral("Spell Types (Psionicist)"), 23, 16);
    for (QToolButton* b : {BWiz, BPri, BPsi})
        layout->addWidget(b);
    return row;
}

QWidget* TListPanel::buildCommandRows() {
    auto* rows = new QWidget(this);
    auto* v = new QVBoxLayout(rows);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    auto* first = new QWidget(rows);
    QHBoxLayout* l1 = rowLayout(first);
    SortType = new QComboBox(first);
    SortType->setObjectName(QStringLiteral("SortType"));
    SortType->setEditable(true);
    SortType->setInsertPolicy(QComboBox::NoInsert); // only its four orders
    SortType->addItems({QStringLiteral("Sort by level"), QStringLiteral("Sort by Name"),
                        QStringLiteral("Sort by Type"), QStringLiteral("Sort by Type & Level")});
    SortType->setCurrentIndex(1);
    SortType->setToolTip(QStringLiteral("Select the sorting tehcnique"));
    l1->addWidget(SortType, 1);
    BBooks =
        MakeToolButton(first, "BBooks",
                       QStringLiteral("When pressed, and a book is selected, and executed, only "
                                      "spells in that book will be shown."),
                       true);
    BMark = MakeToolButton(
        first, "BMark",
        QStringLiteral("When pressed, and executed, only marked spells will be shown"), true);
    BShowOnly = MakeToolButton(
        first, "BShowOnly",
        QStringLiteral("When pressed, this allows only 1 spell level to be selected."), true);
    Ball = MakeToolButton(first, "Ball",
                          QStringLiteral("This will set all spell levels & types down."));
    BEXE = MakeToolButton(first, "BEXE",
                          QStringLiteral("Executes Sort/Show Only. First choose the levels/types/"
                                         "markings/books you want to see. Then press this button "
                                         "and the list will change."));
    BSearch = MakeToolButton(first, "BSearch",
                             QStringLiteral("Run search dialogue, and executes search."));
    for (QToolButton* b : {BBooks, BMark, BShowOnly, Ball, BEXE, BSearch})
        l1->addWidget(b);
    BBooks->setProperty("GroupIndex", 100);
    BMark->setProperty("GroupIndex", 30);
    BShowOnly->setProperty("GroupIndex", 35);

    auto* second = new QWidget(rows);
    QHBoxLayout* l2 = rowLayout(second);
    CBooks = new QComboBox(second);
    CBooks->setObjectName(QStringLiteral("CBooks"));
    CBooks->addItem(QStringLiteral("(None) - Full List"));
    CBooks->setToolTip(QStringLiteral("Select a book from the list to show the spell book/list"));
    l2->addWidget(CBooks, 1);
    BAddBook = MakeToolButton(second, "BAddBook", QStringLiteral("Add a new Spell Book"));
    BDelBook = MakeToolButton(second, "BDelBook", QStringLiteral("Delete the selected Spell Book"));
    BRevMark = MakeToolButton(second, "BRevMark",
                              QStringLiteral("Reverses marking sin teh entire spell list"));
    BUnmark = MakeToolButton(second, "BUnmark", QStringLiteral("Unmarks all spells"));
    for (QToolButton* b : {BAddBook, BDelBook, BRevMark, BUnmark})
        l2->addWidget(b);
    v->addWidget(first);
    v->addWidget(second);
    return rows;
}

QWidget* TListPanel::buildListHeader() {
    auto* header = new QWidget(this);
    header->setObjectName(QStringLiteral("ListHeader"));
    header->setFixedHeight(22);
    auto* check = new QLabel(header);
    check->setObjectName(QStringLiteral("CheckHeader"));
    check->setPixmap(SvgIcon(QStringLiteral(":/icons/CheckHeader.svg")).pixmap(12, 12));
    check->setGeometry(3, 5, 12, 12);
    auto* book = new QLabel(header);
    book->setObjectName(QStringLiteral("BookHeader"));
    book->setPixmap(SvgIcon(QStringLiteral(":/icons/BookHeader.svg")).pixmap(17, 12));
    book->setGeometry(20, 5, 17, 12);
    BResetBooks = MakeToolButton(
        header, "BResetBooks",
        QStringLiteral("Zero's number of spells in the full list of the selected Spell Book"));
    place(BResetBooks, {38, 2, 18, 18});
    SpeedButton3 =
        MakeToolButton(header, "SpeedButton3", QStringLiteral("Adds a spell to the list"));
    place(SpeedButton3, {59, 3, 16, 16});
    SpeedButton4 =
        MakeToolButton(header, "SpeedButton4", QStringLiteral("Deletes current Spell from list"));
    place(SpeedButton4, {75, 3, 16, 16});
    // The small buttons get smaller icons so their frames do not clip them.
    for (QToolButton* b : {BResetBooks, SpeedButton3, SpeedButton4})
        b->setIconSize(QSize(12, 12));
    BEdit = new QToolButton(header);
    BEdit->setObjectName(QStringLiteral("BEdit"));
    BEdit->setCheckable(true);
    BEdit->setText(QStringLiteral("Edit Spells on Double Click"));
    BEdit->setToolTip(QStringLiteral(
        "When down, this allows you to edit spells by double clicking on the spell in the list. "
        "Otherwise it will show the quickview window of that spell."));
    BEdit->setProperty("GroupIndex", 75);
    place(BEdit, {92, 2, 131, 18});
    FullList = new QCheckBox(QStringLiteral("Entire List"), header);
    FullList->setObjectName(QStringLiteral("FullList"));
    FullList->setChecked(true);
    FullList->setToolTip(QStringLiteral(
        "When checked the sorting/search works on the entire list, else it works on the current "
        "list."));
    place(FullList, {226, 2, 74, 18});
    return header;
}

QWidget* TListPanel::buildCounterBar() {
    auto* bar = new QFrame(this);
    bar->setObjectName(QStringLiteral("Panel3"));
    bar->setFrameShape(QFrame::Panel);
    bar->setFrameShadow(QFrame::Sunken);
    bar->setFixedHeight(22);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(4, 1, 4, 1);
    auto* check = new QLabel(bar);
    check->setObjectName(QStringLiteral("MarkGlyph"));
    check->setPixmap(SvgIcon(QStringLiteral(":/icons/CheckHeader.svg")).pixmap(14, 14));
    LMark = new QLabel(QStringLiteral("0"), bar);
    LCur = new QLabel(QStringLiteral("0"), bar);
    LMax = new QLabel(QStringLiteral("0"), bar);
    auto* of = new QLabel(QStringLiteral("of"), bar);
    LMark->setObjectName(QStringLiteral("LMark"));
    LCur->setObjectName(QStringLiteral("LCur"));
    LMax->setObjectName(QStringLiteral("LMax"));
    QFont bold = font();
    bold.setBold(true);
    for (QLabel* l : {LMark, LCur, LMax})
        l->setFont(bold);
    LMark->setStyleSheet(QStringLiteral("color: navy;"));
    LMark->setFixedWidth(40);
    LMark->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LCur->setFixedWidth(50);
    LCur->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LMax->setFixedWidth(51);
    layout->addWidget(check);
    layout->addWidget(LMark);
    layout->addStretch(1);
    layout->addWidget(LCur);
    layout->addWidget(of);
    layout->addWidget(LMax);
    return bar;
}

void TListPanel::setLevelsExclusive(bool exclusive) {
    for (QToolButton* b : levelButtons) {
        if (exclusive)
            levelGroup_->addButton(b);
        else
            levelGroup_->removeButton(b);
    }
}
