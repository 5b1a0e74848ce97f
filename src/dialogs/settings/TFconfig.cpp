#include "dialogs/settings/TFconfig.h"

#include "controls/ClickPanel.h"
#include "controls/DisplaySettings.h"
#include "controls/Prompts.h"
#include "controls/ScreenFit.h"
#include "controls/TFontComboBox.h"
#include "controls/TabChain.h"
#include "spelldata/Settings.h"

#include <QComboBox>
#include <QFontInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <optional>

namespace {

constexpr int PanelWidth = 59;
constexpr int PanelHeight = 17;
constexpr int MinFontSize = 1;
constexpr int MaxFontSize = 99;
const char* const TagProperty = "Tag";
const QString DefaultFontName = QStringLiteral("Times New Roman");
const QString DefaultDescSize = QStringLiteral("8");

// The rows of the quick info panel: the Quick View's slot and the other
// info windows' slot for each element.
struct InfoRow {
    const char* label;
    int viewSlot;
    int infoSlot;
};
constexpr std::array<InfoRow, 6> InfoRows{{
    {"Quick Info Background Color:", 1, 6},
    {"Quick Info Label Text Color:", 2, 7},
    {"Quick Info Fillout Text Color:", 3, 8},
    {"Quick Info School Text Color:", 4, 9},
    {"Quick Info Sphere Text Color:", 5, 10},
    {"Quick Info Level Color:", 18, 19},
}};

constexpr std::array<const char*, 2> Headings{"Edit and Info\nColors", "1 Spell Info\nColors"};

struct ListRow {
    const char* label;
    const char* panel;
    int slot;
};
constexpr std::array<ListRow, 7> ListRows{{
    {"Spell List Background Color:", "Pp1", 21},
    {"Description Background Color:", "pp2", 12},
    {"Description Text Color Color:", "pp3", 11},
    {"Wizard - Spell List Color", "pp4", 15},
    {"Priest Spell List Color:", "pp5", 16},
    {"Psionicist Spell List Color:", "pp6", 17},
    {"Spell List Level Color:", "pp7", 20},
}};

int SlotOf(const QObject* object) {
    return object->property(TagProperty).toInt();
}

// A raised frame around one group of controls; its Tag of 0 marks it as no
// colour panel.
QFrame* MakeSection(QWidget* parent, const char* name) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(QLatin1String(name));
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setProperty(TagProperty, 0);
    return frame;
}

TFontComboBox* MakeFontBox(QWidget* parent, const char* name) {
    auto* box = new TFontComboBox(parent);
    box->setObjectName(QLatin1String(name));
    // Long family names must not widen the dialog; the open list shows them whole.
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(12);
    box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return box;
}

QComboBox* MakeSizeBox(QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QStringLiteral("DescSize"));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    for (int size = 5; size <= 15; ++size)
        box->addItem(QString::number(size));
    box->setValidator(new QIntValidator(MinFontSize, MaxFontSize, box));
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 40);
    return box;
}

// Selects the item equal to `name`, letter case ignored; none when absent.
void SelectFont(QComboBox* box, const QString& name) {
    box->setCurrentIndex(box->findText(name, Qt::MatchFixedString));
}

// The family this desktop draws `name` in.
QString DrawnFamily(const QString& name) {
    return QFontInfo(QFont(name)).family();
}

// Selects the family that text set in `name` is drawn in: `name` itself when
// it is installed, otherwise the family the desktop puts in its place (such
// as Liberation Serif for Times New Roman). A name the desktop knows nothing
// about gets its default family, which is no stand-in for it: nothing is
// selected then.
void SelectDrawnFont(QComboBox* box, const QString& name) {
    SelectFont(box, name);
    if (box->currentIndex() >= 0)
        return;
    const QString drawn = DrawnFamily(name);
    const QString fallback = DrawnFamily(QStringLiteral("Quarvine Unknown Family"));
    if (drawn.compare(fallback, Qt::CaseInsensitive) != 0)
        SelectFont(box, drawn);
}

// The description size in points as it is drawn: a stored 0 stands for the
// desktop's default size.
int DrawnDescriptionSize(const DisplaySettings& display) {
    return QFontInfo(display.descriptionFont()).pointSize();
}

// Widths shared by the quick info and list panels, so that their labels and
// first colour column line up.
int LabelColumnWidth(const QFontMetrics& metrics) {
    int width = 0;
    for (const InfoRow& row : InfoRows)
        width = std::max(width, metrics.horizontalAdvance(QLatin1String(row.label)));
    for (const ListRow& row : ListRows)
        width = std::max(width, metrics.horizontalAdvance(QLatin1String(row.label)));
    return width;
}

int ColourColumnWidth(const QFontMetrics& metrics) {
    int width = PanelWidth;
    for (const char* heading : Headings)
        width = std::max(width, metrics.boundingRect(QRect(), 0, QLatin1String(heading)).width());
    return width;
}

void PrepareColumns(QGridLayout* grid, const QFontMetrics& metrics) {
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    grid->setColumnMinimumWidth(0, LabelColumnWidth(metrics));
    grid->setColumnMinimumWidth(1, ColourColumnWidth(metrics));
}

std::optional<int> ParseSize(const QString& text) {
    bool ok = false;
    const int size = text.trimmed().toInt(&ok);
    if (!ok || size < MinFontSize || size > MaxFontSize)
        return std::nullopt;
    return size;
}

} // namespace

TFconfig::TFconfig(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("Fconfig"));
    setWindowTitle(QStringLiteral("Fconfig"));
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &TFconfig::BitBtn1Click);
    // The panels lie on a page that scrolls when the screen is too small for
    // the dialog; OK stays in sight below it.
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("ConfigPage"));
    auto* panels = new QVBoxLayout(page);
    panels->setContentsMargins(0, 0, 0, 0);
    panels->setSpacing(6);
    panels->addWidget(createFontPanel());
    panels->addWidget(createInfoPanel());
    panels->addWidget(createListPanel(), 1);
    auto* column = new QVBoxLayout(this);
    column->setSpacing(6);
    column->addWidget(ScrollingPage(page, this), 1);
    column->addWidget(BitBtn1, 0, Qt::AlignRight);
    setTabOrderByRows();
    // The designed size, unless the desktop's font needs more room.
    const QMargins margins = column->contentsMargins();
    const QSize pageSize = page->sizeHint();
    natural_ = QSize(pageSize.width() + margins.left() + margins.right(),
                     pageSize.height() + column->spacing() + BitBtn1->sizeHint().height() +
                         margins.top() + margins.bottom())
                   .expandedTo(QSize(ClientWidth, ClientHeight));
    setFixedSize(natural_);
}

// Tab goes through the dialog as it reads: the fonts, the colour panels row
// by row, "Default Colors" beside the list rows, and OK last.
void TFconfig::setTabOrderByRows() {
    QList<QWidget*> chain{SLFont, DescFont, DescSize};
    for (QWidget* panel : colourPanels_)
        chain << panel;
    chain << BitBtn2 << BitBtn1;
    SetTabChain(chain);
}

QFrame* TFconfig::createFontPanel() {
    QFrame* panel = MakeSection(this, "FontPanel");
    SLFont = MakeFontBox(panel, "SLFont");
    DescFont = MakeFontBox(panel, "DescFont");
    DescSize = MakeSizeBox(panel);
    auto* listLabel = new QLabel(QStringLiteral("Spell List Font:"), panel);
    listLabel->setBuddy(SLFont);
    auto* descLabel = new QLabel(QStringLiteral("Description Font:"), panel);
    descLabel->setBuddy(DescFont);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setVerticalSpacing(4);
    grid->addWidget(listLabel, 0, 0);
    grid->addWidget(SLFont, 0, 1, 1, 2);
    grid->addWidget(descLabel, 1, 0);
    grid->addWidget(DescFont, 1, 1);
    grid->addWidget(DescSize, 1, 2);
    grid->setColumnStretch(1, 1);
    return panel;
}

QFrame* TFconfig::createInfoPanel() {
    QFrame* panel = MakeSection(this, "InfoPanel");
    auto* grid = new QGridLayout(panel);
    PrepareColumns(grid, fontMetrics());
    grid->setContentsMargins(6, 4, 6, 6);
    int column = 1;
    for (const char* heading : Headings) {
        auto* label = new QLabel(QLatin1String(heading), panel);
        label->setAlignment(Qt::AlignCenter);
        grid->addWidget(label, 0, column++);
    }
    for (std::size_t i = 0; i < InfoRows.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        grid->addWidget(new QLabel(QLatin1String(InfoRows[i].label), panel), row, 0);
        addColourPanel(grid, row, 1, QStringLiteral("P%1").arg(row), InfoRows[i].viewSlot);
        addColourPanel(grid, row, 2, QStringLiteral("Pa%1").arg(row), InfoRows[i].infoSlot);
    }
    grid->setColumnStretch(2, 1);
    return panel;
}

QFrame* TFconfig::createListPanel() {
    QFrame* panel = MakeSection(this, "ListPanel");
    auto* grid = new QGridLayout(panel);
    PrepareColumns(grid, fontMetrics());
    for (std::size_t i = 0; i < ListRows.size(); ++i) {
        const int row = static_cast<int>(i);
        grid->addWidget(new QLabel(QLatin1String(ListRows[i].label), panel), row, 0);
        addColourPanel(grid, row, 1, QLatin1String(ListRows[i].panel), ListRows[i].slot);
    }
    BitBtn2 = new QPushButton(QStringLiteral("Default Colors"), panel);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setAutoDefault(false);
    connect(BitBtn2, &QPushButton::clicked, this, &TFconfig::BitBtn2Click);
    grid->addWidget(BitBtn2, 0, 2, static_cast<int>(ListRows.size()), 1, Qt::AlignCenter);
    grid->setColumnStretch(2, 1);
    return panel;
}

// A colour panel is a button: a click, or Space or Enter while it has the
// focus, picks its colour.
void TFconfig::addColourPanel(QGridLayout* grid, int row, int column, const QString& name,
                              int slot) {
    auto* panel = new ClickPanel(grid->parentWidget());
    panel->setObjectName(name);
    panel->setProperty(TagProperty, slot);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setFixedSize(PanelWidth, PanelHeight);
    panel->setAutoFillBackground(true);
    connect(panel, &ClickPanel::clicked, this, [this, panel] { P1Click(panel); });
    grid->addWidget(panel, row, column, Qt::AlignCenter);
    colourPanels_ << panel;
}

// Every opening starts at the first control, not at OK.
void TFconfig::showEvent(QShowEvent* event) {
    FormShow();
    FitToScreen(this, natural_);
    QDialog::showEvent(event);
    SLFont->setFocus();
}

// The boxes show the fonts as the windows draw them, so that OK stores what
// the user saw, not a name or a 0 the desktop replaced.
void TFconfig::FormShow() {
    const DisplaySettings& display = CurrentDisplay();
    SelectDrawnFont(SLFont, display.ListFontName);
    SelectDrawnFont(DescFont, display.DescFontName);
    DescSize->setEditText(QString::number(DrawnDescriptionSize(display)));
    paintPanels();
}

void TFconfig::paintPanels() {
    for (QFrame* panel : findChildren<QFrame*>()) {
        const int slot = SlotOf(panel);
        if (slot < 1)
            continue;
        QPalette palette = panel->palette();
        palette.setColor(QPalette::Window, CurrentDisplay().colour(slot));
        panel->setPalette(palette);
    }
}

void TFconfig::P1Click(QFrame* panel) {
    const int slot = SlotOf(panel);
    const QColor picked = Prompts::Colour(this, CurrentDisplay().colour(slot));
    if (!picked.isValid())
        return;
    CurrentDisplay().colours[slot] = ValueFromColour(picked);
    paintPanels();
}

void TFconfig::BitBtn2Click() {
    for (TFontComboBox* box : {SLFont, DescFont}) {
        SelectFont(box, DefaultFontName);
        // Without the font itself, the family the desktop shows in its place.
        if (box->currentIndex() < 0)
            SelectFont(box, DrawnFamily(DefaultFontName));
    }
    DescSize->setEditText(DefaultDescSize);
    spelldata::SetDefaultColours(CurrentDisplay().colours);
    paintPanels();
}

void TFconfig::BitBtn1Click() {
    accept();
    applyFonts();
    emit settingsApplied();
}

void TFconfig::applyFonts() {
    DisplaySettings& display = CurrentDisplay();
    if (SLFont->currentIndex() >= 0)
        display.ListFontName = SLFont->currentText();
    if (DescFont->currentIndex() >= 0)
        display.DescFontName = DescFont->currentText();
    if (const std::optional<int> size = ParseSize(DescSize->currentText()))
        display.DescFontSize = *size;
}
