#include "dialogs/search/TFSearch.h"

#include "controls/GuiText.h"
#include "controls/Prompts.h"
#include "controls/THistoryComboBox.h"
#include "controls/TabChain.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

namespace {

constexpr int SearchHistoryLength = 20;

QCheckBox* MakeBox(QWidget* parent, const char* name, const QString& text) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(QLatin1String(name));
    box->setChecked(true);
    return box;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

} // namespace

TFSearch::TFSearch(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("FSearch"));
    setWindowTitle(QStringLiteral("Serach Dialogue"));
    createControls();
    createOptions();
    layOut();
    connect(BitBtn1, &QPushButton::clicked, this, [this] {
        BitBtn1Click();
        accept();
    });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    // The designed size, unless the desktop's font needs more room.
    setFixedSize(sizeHint().expandedTo(QSize(ClientWidth, ClientHeight)));
}

void TFSearch::createControls() {
    Label1 = new QLabel(QStringLiteral("Search String:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    SearchStr = new THistoryComboBox(this);
    SearchStr->setObjectName(QStringLiteral("SearchStr"));
    SearchStr->setEditable(true);
    SearchStr->setSorted(true);
    SearchStr->setMaxHistoryLength(SearchHistoryLength);
    SearchStr->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    Label1->setBuddy(SearchStr);
    Entire = MakeBox(this, "Entire", QStringLiteral("Search Entire Spell List"));
    BitBtn1 = MakeButton(this, "BitBtn1", QStringLiteral("OK"));
    BitBtn1->setDefault(true);
    BitBtn2 = MakeButton(this, "BitBtn2", QStringLiteral("Cancel"));
}

void TFSearch::createOptions() {
    GroupBox1 = new QGroupBox(QStringLiteral("Search Options"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    CN = MakeBox(GroupBox1, "CN", QStringLiteral("Search Spell Name"));
    CSS = MakeBox(GroupBox1, "CSS", QStringLiteral("Search Spell School or Psionic Discipline"));
    CS = MakeBox(GroupBox1, "CS", QStringLiteral("Search Spell Author/Source"));
    CSC = MakeBox(GroupBox1, "CSC", QStringLiteral("Search Prayer Sphere"));
    CD = MakeBox(GroupBox1, "CD", QStringLiteral("Search Spell Description"));
    // Two columns, the long school line across both.
    auto* grid = new QGridLayout(GroupBox1);
    grid->setVerticalSpacing(2);
    grid->addWidget(CN, 0, 0);
    grid->addWidget(CSC, 0, 1);
    grid->addWidget(CS, 1, 0);
    grid->addWidget(CD, 1, 1);
    grid->addWidget(CSS, 2, 0, 1, 2);
}

void TFSearch::layOut() {
    // String and switch on the left, the buttons beside them, the options below.
    auto* grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(SearchStr, 0, 1);
    grid->addWidget(BitBtn1, 0, 2);
    grid->addWidget(Entire, 1, 0, 1, 2);
    grid->addWidget(BitBtn2, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setHorizontalSpacing(8);
    auto* column = new QVBoxLayout(this);
    column->addLayout(grid);
    column->addWidget(GroupBox1, 1);
    // Tab reads the rows from left to right.
    SetTabChain({SearchStr, BitBtn1, Entire, BitBtn2, CN, CSC, CS, CD, CSS});
}

std::optional<SearchRequest> TFSearch::ask(bool entireList) {
    Entire->setChecked(entireList);
    answer_.reset();
    exec();
    return std::exchange(answer_, std::nullopt);
}

spelldata::SearchOptions TFSearch::options() const {
    spelldata::SearchOptions options;
    options.name = CN->isChecked();
    options.source = CS->isChecked();
    options.description = CD->isChecked();
    options.sphere = CSC->isChecked();
    options.school = CSS->isChecked();
    options.entireList = Entire->isChecked();
    return options;
}

void TFSearch::BitBtn1Click() {
    const QString text = SearchStr->currentText();
    if (text.isEmpty())
        return;
    std::string needle;
    if (const auto s = spelldata::SearchBytesFromUtf8(text.toStdString(), needle); !s) {
        Prompts::Message(this, QString::fromStdString(s.message), Prompts::Icon::Error,
                         QMessageBox::Ok);
        return;
    }
    answer_ = SearchRequest{std::move(needle), options()};
    rememberSearch(text);
}

void TFSearch::rememberSearch(const QString& text) {
    // Strings that differ only in case find the same spells: keep the latest.
    recent_.removeIf([&text](const QString& old) {
        return QString::compare(old, text, Qt::CaseInsensitive) == 0;
    });
    recent_.prepend(text);
    while (recent_.size() > std::max(SearchStr->MaxHistoryLength(), 1))
        recent_.removeLast();
    SearchStr->clear();
    SearchStr->addItems(recent_); // the box sorts them
    SearchStr->setCurrentIndex(SearchStr->findText(text));
}

void TFSearch::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Ready for a new string: typing replaces the last one.
    SearchStr->setFocus();
    SearchStr->lineEdit()->selectAll();
}
