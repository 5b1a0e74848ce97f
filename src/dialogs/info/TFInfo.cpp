#include "dialogs/info/TFInfo.h"

#include "controls/DisplaySettings.h"
#include "controls/GuiText.h"
#include "controls/TextBox.h"
#include "spelldata/SpellRecord.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

// The kind icons live in this library's resources; a static library has to
// register them itself.
static void initKindIcons() {
    Q_INIT_RESOURCE(kindicons);
}

using spelldata::SpellKind;
using spelldata::SpellRecord;

using namespace spelldata::ColourSlot;

namespace {

constexpr int DesignWidth = 524;
constexpr int DesignHeight = 356;
constexpr int SysGroupHeight = 185;
constexpr int BottomBarHeight = 22;
constexpr int ValueLeft = 124;

// A caption or value label of the attribute rows.
struct RowLabel {
    const char* name;
    const char* text;
    int left;
    int top;
};

// Each row has a caption for wizard and priest spells, one for psionic
// powers and a value label shared by both layouts.
constexpr RowLabel Captions[] = {
    {"LPowe", "Power Score:", 4, 53},       {"LRang", "Range:", 4, 70},
    {"LInit", "Initial Cost:", 4, 70},      {"LComp", "Components:", 4, 86},
    {"LMain", "Maintenance Cost:", 4, 86},  {"Ldura", "Duration:", 4, 102},
    {"LRang1", "Range:", 4, 102},           {"LCast", "Casting Time:", 4, 118},
    {"LPrep", "Preparation Time:", 4, 118}, {"LArea", "Area of Effect:", 4, 134},
    {"LArea1", "Area of Effect:", 4, 134},  {"LSave", "Saving Throw:", 4, 150},
    {"LPreq", "Prerequisites:", 4, 150},    {"LSour", "Author/Source:", 5, 165},
};

constexpr RowLabel Values[] = {
    {"Powe", "", ValueLeft, 54},  {"Rang", "", ValueLeft, 71},  {"Comp", "", ValueLeft, 86},
    {"Dura", "", ValueLeft, 102}, {"Cast", "", ValueLeft, 118}, {"Area", "", ValueLeft, 134},
    {"Save", "", ValueLeft, 150}, {"Sour", "", ValueLeft, 165},
};

// A label lays out the whole of its text, even far past the window's edge,
// so a name of millions of characters would freeze the window. No screen
// shows this many characters on one line: the rest gives way to an ellipsis.
constexpr std::size_t LabelChars = 1000;

QString LabelText(const std::string& bytes) {
    if (bytes.size() <= LabelChars)
        return FromBytes(bytes);
    return FromBytes(bytes.substr(0, LabelChars)) + QChar(0x2026);
}

QFont timesFont(int pixels, bool bold, bool italic) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

void setBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// A kind icon: the SVG picture drawn straight onto the widget, so it stays
// sharp at any device pixel ratio.
class KindIcon : public QWidget {
public:
    KindIcon(QWidget* parent, const QString& resource) : QWidget(parent), svg_(resource) {
        setFixedSize(32, 32);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        svg_.render(&painter, QRectF(rect()));
    }

private:
    QSvgRenderer svg_;
};

QFrame* sunkenPanel(QWidget* parent, const char* name) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(1);
    return panel;
}

} // namespace

TFInfo::TFInfo(QWidget* parent) : QMdiSubWindow(parent) {
    initKindIcons();
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("InfoClient"));
    createUpperGroup();
    createDescription();
    createBottomBar();
    setWidget(client_);
    resize(DesignWidth, DesignHeight);
    FormResize();
}

void TFInfo::createUpperGroup() {
    sysGroup_ = new QGroupBox(client_);
    sysGroup_->setObjectName(QStringLiteral("SysGroup"));
    setBackground(sysGroup_, palette().color(QPalette::Button));
    sysGroup_->hide();
    createKindIcons();
    createHeading();
    createRows();
    levelGroup_->raise();
}

void TFInfo::createKindIcons() {
    QFrame* panel1 = sunkenPanel(sysGroup_, "Panel1");
    panel1->setGeometry(4, 10, 34, 34);
    const auto icon = [panel1](const char* name, const char* file, const char* hint) {
        auto* image = new KindIcon(panel1, QStringLiteral(":/kinds/") + QLatin1String(file));
        image->setObjectName(QString::fromLatin1(name));
        image->setToolTip(QString::fromLatin1(hint));
        image->move(1, 1);
        image->hide();
        return image;
    };
    wizIcon_ = icon("WizIcon", "wizard.svg", "Wizrad Spell");
    clIcon_ = icon("ClIcon", "priest.svg", "Cleric Prayer");
    psioIcon_ = icon("PsioIcon", "psionic.svg", "Psionic Power");
}

void TFInfo::createHeading() {
    addLabel(sysGroup_, "Name", QString(), {42, 8}, timesFont(24, true, true), QColor(0x80, 0, 0));
    addLabel(sysGroup_, "Scho", QString(), {41, 36}, timesFont(15, true, false),
             QColor(0, 0x80, 0));
    addLabel(sysGroup_, "PSch", QString(), {41, 53}, timesFont(15, true, false),
             QColor(0, 0x80, 0x80))
        ->hide();

    levelGroup_ = new QGroupBox(sysGroup_);
    levelGroup_->setObjectName(QStringLiteral("LevelGroup"));
    levelGroup_->setGeometry(0, 0, 40, 45);
    QLabel* level = addLabel(levelGroup_, "Level", QString(), {3, 8}, timesFont(27, true, true),
                             QColor(0, 0, 0xFF));
    level->setFixedSize(34, 31);
    level->setAlignment(Qt::AlignCenter);
}

void TFInfo::createRows() {
    const QFont captionFont = timesFont(13, true, false);
    const QFont valueFont = timesFont(13, false, false);
    for (const RowLabel& row : Captions)
        captions_ << addLabel(sysGroup_, row.name, QString::fromLatin1(row.text),
                              {row.left, row.top}, captionFont, QColor(0x80, 0, 0x80));
    for (const RowLabel& row : Values)
        values_ << addLabel(sysGroup_, row.name, QString(), {row.left, row.top}, valueFont,
                            Qt::black);
    // The window starts in the wizard and priest layout.
    setShown({"LPowe", "LInit", "LMain", "LRang1", "LPrep", "LArea1", "LPreq", "Powe"}, false);
}

void TFInfo::createDescription() {
    descPanel_ = new QFrame(client_);
    descPanel_->setObjectName(QStringLiteral("DescPanel"));
    // A groove: lowered outer and raised inner bevel.
    descPanel_->setFrameStyle(QFrame::Box | QFrame::Sunken);
    descPanel_->setLineWidth(1);
    descPanel_->hide();

    desc_ = new TextBox(descPanel_);
    desc_->setObjectName(QStringLiteral("Desc"));
    desc_->setReadOnly(true);
    desc_->setAcceptRichText(false);
    desc_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    desc_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Not reached with Tab: a click gives it the focus, the arrow and page
    // keys then scroll it (no caret in a box that cannot be edited), and Tab
    // moves on instead of staying in the box.
    desc_->setTabChangesFocus(true);
    desc_->setFocusPolicy(Qt::ClickFocus);

    auto* layout = new QVBoxLayout(descPanel_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(desc_);
}

void TFInfo::createBottomBar() {
    panel2_ = sunkenPanel(client_, "Panel2");
    showDesc_ = new QToolButton(panel2_);
    showDesc_->setObjectName(QStringLiteral("ShowDesc"));
    showDesc_->setCheckable(true);
    showDesc_->setChecked(true);
    showDesc_->setArrowType(Qt::DownArrow);
    showDesc_->setGeometry(3, 3, 15, 15);
    showDesc_->setToolTip(QStringLiteral("When down, the spell description will be visible."));
    showDesc_->setAccessibleName(showDesc_->toolTip());
    connect(showDesc_, &QToolButton::clicked, this, &TFInfo::ShowDescClick);
}

QLabel* TFInfo::addLabel(QWidget* parent, const char* name, const QString& text, QPoint at,
                         const QFont& font, const QColor& colour) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(font);
    setTextColour(label, colour);
    label->move(at);
    label->adjustSize();
    labels_.insert(QByteArray(name), label);
    return label;
}

QLabel* TFInfo::label(const char* name) const {
    return labels_.value(QByteArray(name));
}

void TFInfo::setShown(std::initializer_list<const char*> names, bool shown) {
    for (const char* name : names)
        label(name)->setVisible(shown);
}

void TFInfo::setLabelText(const char* name, const QString& text) {
    QLabel* target = label(name);
    target->setText(text);
    target->adjustSize();
}

void TFInfo::ShowSpell(const SpellRecord& record) {
    setWindowTitle(LabelText(record->Name));
    setLabelText("Level", QString::fromStdString(spelldata::LevelLetter(record->Level)));
    QLabel* name = label("Name");
    QFont nameFont = name->font();
    nameFont.setBold(true);
    nameFont.setItalic(record->Reversible != 0);
    name->setFont(nameFont);

    if (record.kind() == SpellKind::Psionic)
        showPsionic(record);
    else
        showWizardOrPriest(record);

    desc_->setDescription(record->Description);
    showSource(LabelText(record->Source));
    descPanel_->setVisible(showDesc_->isChecked());
}

void TFInfo::showPsionic(const SpellRecord& record) {
    const spelldata::TPsi& psi = record.psi();
    setTextColour(label("Name"), CurrentDisplay().colour(PsionicName));
    psioIcon_->show();
    wizIcon_->hide();
    clIcon_->hide();
    setShown({"LPowe", "LInit", "LMain", "LRang1", "LPrep", "LArea1", "Powe"}, true);
    setShown({"LPreq", "PSch", "LRang", "LCast", "Ldura", "LArea", "LSave", "LComp"}, false);
    setShown({"LPreq", "Save"}, !psi.Prerequisites.empty());

    setLabelText("Name", LabelText(psi.Name));
    setLabelText("Scho", LabelText(psi.School));
    setLabelText("Powe", LabelText(psi.PowerScore));
    setLabelText("Rang", LabelText(psi.InitialCost));
    setLabelText("Comp", LabelText(psi.MaintenanceCost));
    setLabelText("Dura", LabelText(psi.Range));
    setLabelText("Cast", LabelText(psi.PreparationTime));
    setLabelText("Area", LabelText(psi.AreaOfEffect));
    setLabelText("Save", LabelText(psi.Prerequisites));
}

void TFInfo::showWizardOrPriest(const SpellRecord& record) {
    const bool priest = record.kind() == SpellKind::Priest;
    psioIcon_->hide();
    setTextColour(label("Name"), CurrentDisplay().colour(priest ? PriestName : WizardName));
    wizIcon_->setVisible(!priest);
    clIcon_->setVisible(priest);
    setShown({"LComp", "Save", "PSch", "LRang", "LCast", "Ldura", "LArea", "LSave"}, true);
    setShown({"Powe", "LPowe", "LInit", "LMain", "LRang1", "LPrep", "LArea1", "LPreq"}, false);

    setLabelText("Name", LabelText(record->Name));
    setLabelText("Scho", LabelText(record->School));
    setLabelText("PSch", priest ? LabelText(record.pri().Sphere) : QString());
    setLabelText("Comp", LabelText(*record.components()));
    setLabelText("Cast", LabelText(*record.castingTime()));
    setLabelText("Dura", LabelText(*record.duration()));
    setLabelText("Rang", LabelText(record->Range));
    setLabelText("Area", LabelText(record->AreaOfEffect));
    setLabelText("Save", LabelText(record->SavingThrow));
}

void TFInfo::showSource(const QString& source) {
    const bool known = !source.isEmpty();
    setShown({"LSour", "Sour"}, known);
    if (known)
        setLabelText("Sour", source);
}

QSize TFInfo::sizeHint() const {
    return {DesignWidth, DesignHeight};
}

// Every text the window shows is still in its controls, so its own spell is
// shown again by showing or hiding the description area alone.
void TFInfo::ShowDescClick() {
    descPanel_->setVisible(showDesc_->isChecked());
    FormResize();
}

void TFInfo::FormResize() {
    const int width = client_->width();
    const int height = client_->height();
    // The upper group sits at the top, the bar at the bottom; the description
    // takes what lies between (all of the top when the group is hidden).
    const int descTop = sysGroup_->isHidden() ? 0 : SysGroupHeight;
    sysGroup_->setGeometry(0, 0, width, SysGroupHeight);
    panel2_->setGeometry(0, height - BottomBarHeight, width, BottomBarHeight);
    descPanel_->setGeometry(0, descTop, width, std::max(0, height - BottomBarHeight - descTop));
    levelGroup_->move(sysGroup_->width() - levelGroup_->width(), 0);
    desc_->viewport()->update();
}

void TFInfo::ApplyColours() {
    const bool quickView = tag_ == 1;
    const auto slot = [quickView](int viewSlot, int infoSlot) {
        return CurrentDisplay().colour(quickView ? viewSlot : infoSlot);
    };
    setBackground(sysGroup_, slot(QuickViewBackground, InfoBackground));
    for (QLabel* caption : std::as_const(captions_))
        setTextColour(caption, slot(QuickViewCaptions, InfoCaptions));
    for (QLabel* value : std::as_const(values_))
        setTextColour(value, slot(QuickViewValues, InfoValues));
    setTextColour(label("Scho"), slot(QuickViewSchool, InfoSchool));
    setTextColour(label("PSch"), slot(QuickViewSphere, InfoSphere));
    setTextColour(label("Level"), slot(QuickViewLevel, InfoLevel));

    QPalette descPalette = desc_->palette();
    descPalette.setColor(QPalette::Text, CurrentDisplay().colour(DescriptionText));
    descPalette.setColor(QPalette::Base, CurrentDisplay().colour(DescriptionBackground));
    desc_->setPalette(descPalette);
    update();
}

void TFInfo::setDescriptionFont(const QFont& font) {
    desc_->setFont(font);
    desc_->viewport()->update();
}

void TFInfo::showSysGroup() {
    sysGroup_->show();
    FormResize();
}

void TFInfo::resizeEvent(QResizeEvent* event) {
    QMdiSubWindow::resizeEvent(event);
    FormResize();
}

void TFInfo::closeEvent(QCloseEvent* event) {
    if (tag_ == 0) {
        // A Quick Info window shows one spell only and goes when closed.
        setAttribute(Qt::WA_DeleteOnClose);
        QMdiSubWindow::closeEvent(event);
        event->accept();
        return;
    }
    // The Quick View lives for the whole run: closing it minimises it.
    event->ignore();
    showMinimized();
}
