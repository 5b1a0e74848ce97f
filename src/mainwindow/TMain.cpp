#include "mainwindow/TMain.h"

#include "controls/DisplaySettings.h"
#include "controls/Prompts.h"
#include "controls/ScreenFit.h"
#include "controls/THistoryComboBox.h"
#include "dialogs/about/TForm1.h"
#include "dialogs/info/TFInfo.h"
#include "dialogs/output/TForm2.h"
#include "dialogs/progress/TFMessage.h"
#include "dialogs/search/TFSearch.h"
#include "dialogs/settings/TFconfig.h"
#include "mainwindow/ListColumns.h"
#include "mainwindow/QuickFilterBar.h"
#include "mainwindow/SpellListDelegate.h"
#include "mainwindow/SpellListModel.h"
#include "mainwindow/SpellListView.h"
#include "mainwindow/TListPanel.h"
#include "session/SpellSession.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

using namespace spelldata;

QRect PlaceOnScreen(QPoint topLeft, QSize size) {
    const QScreen* screen = QGuiApplication::screenAt(topLeft);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {topLeft, size};
    // Places read from a file can be anything up to INT_MAX: no QRect is made
    // of them before they are clamped, as its right edge would overflow.
    const QRect area = screen->availableGeometry();
    const int width = std::clamp(size.width(), 1, area.width());
    const int height = std::clamp(size.height(), 1, area.height());
    return {std::clamp(topLeft.x(), area.left(), area.left() + area.width() - width),
            std::clamp(topLeft.y(), area.top(), area.top() + area.height() - height), width,
            height};
}

// The resources live in static libraries; their registration has to be asked for.
static void initResources() {
    Q_INIT_RESOURCE(icons);
}

TMain::TMain(const QString& settingsFolder, QWidget* parent)
    : QMainWindow(parent), settingsFolder_(settingsFolder), session_(new SpellSession(this)) {
    initResources();
    setObjectName(QStringLiteral("Main"));
    setWindowTitle(QStringLiteral("Quarvine 6.20"));
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(11);
    setFont(font);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    toolBar_ = createToolBar();
    toolBar_->installEventFilter(this);
    layout->addWidget(toolBar_);
    auto* middle = new QHBoxLayout;
    middle->setSpacing(0);
    panel_ = new TListPanel(central);
    mdi_ = new QMdiArea(central);
    mdi_->setObjectName(QStringLiteral("MdiArea"));
    middle->addWidget(panel_);
    middle->addWidget(mdi_, 1);
    layout->addLayout(middle, 1);
    prog_ = new QProgressBar(central);
    prog_->setObjectName(QStringLiteral("prog"));
    prog_->setRange(0, 100);
    prog_->setValue(0);
    prog_->setTextVisible(false);
    prog_->setFixedHeight(6); // a slim strip: nothing moves it during the short commands
    layout->addWidget(prog_);
    setCentralWidget(central);

    model_ = new SpellListModel(*session_, this);
    panel_->SList->setModel(model_);
    panel_->SList->setItemDelegate(new SpellListDelegate(this));
    createActions();
    createHistory();
    createMenus();
    connectListPanel();
    connect(session_, &SpellSession::countersChanged, this, &TMain::ShowCounters);

    // Nothing is loaded yet.
    panel_->setEnabled(false);
    ShowCounters();
    setAcceptDrops(true);
    QRect place(QPoint(), QSize(618, 450));
    if (const QScreen* screen = this->screen())
        place.moveCenter(screen->availableGeometry().center());
    setGeometry(PlaceOnScreen(place.topLeft(), place.size()));
    FileN->setFocus();
}

// The session is the first child and goes first: the list lets go of the
// model that reads it before then.
TMain::~TMain() {
    panel_->SList->setModel(nullptr);
}

void TMain::StartUp() {
    auto* view = new TFInfo;
    mdi_->addSubWindow(view);
    view->setTag(1);
    view->setWindowTitle(QString());
    view->show();
    quickView_ = view;
    progress_ = new TFMessage(this);
    TFMessage::setInstance(progress_);
    LoadSettings();
    view->setDescriptionFont(CurrentDisplay().descriptionFont());
    ApplyColours();
}

// The dialogs are made when first asked for: a start-up does not pay for
// windows the user may never open.
TForm2* TMain::printDialog() {
    if (!print_)
        print_ = new TForm2(this);
    return print_;
}

TFSearch* TMain::searchDialog() {
    if (!search_)
        search_ = new TFSearch(this);
    return search_;
}

TFconfig* TMain::configDialog() {
    if (!config_) {
        config_ = new TFconfig(this);
        connect(config_, &TFconfig::settingsApplied, this, &TMain::applyDisplaySettings);
    }
    return config_;
}

QWidget* TMain::createToolBar() {
    auto* bar = new QFrame(this);
    bar->setObjectName(QStringLiteral("Panel1"));
    bar->setFixedHeight(33);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->setSpacing(2);
    BOpenAdd = MakeToolButton(bar, "BOpenAdd",
                              QStringLiteral("When down, when you open new datafiles, the spells "
                                             "will be added to the list, intstead of replacing the "
                                             "list."),
                              true);
    BOpenAdd->setEnabled(false);
    FileN = new THistoryComboBox(bar);
    FileN->setObjectName(QStringLiteral("FileN"));
    FileN->setProperty("MaxHistoryLength", 8);
    FileN->setProperty("Sorted", true);
    FileN->setEditable(false);
    FileN->setMinimumWidth(150);
    FileN->setToolTip(QStringLiteral(
        "Choose a datafile to be loaded from the list, or press the browse icon on the right to "
        "look for one. Then press the open/save. If you want to add the spells to the existing "
        "list, then press down the icon on the left."));
    BitBtn11 = MakeToolButton(bar, "BitBtn11", QStringLiteral("Browse: Looks for a data file"));
    BOpenConv =
        MakeToolButton(bar, "BOpenConv", QStringLiteral("Reloads the datafile in the list."));
    BSaveConv = MakeToolButton(bar, "BSaveConv", QStringLiteral("Saves the current datafile."));
    BOpen = MakeToolButton(bar, "BOpen", QStringLiteral("Opens a text file to convert. "));
    BColorConfig = MakeToolButton(bar, "BColorConfig",
                                  QStringLiteral("Configuration menu - changing colors & Fonts"));
    BPrint = MakeToolButton(bar, "BPrint", QStringLiteral("Print"));
    BSaveText = MakeToolButton(bar, "BSaveText", QStringLiteral("Save as text"));
    BConnecttoSite =
        MakeToolButton(bar, "BConnecttoSite", QStringLiteral("Quarvine's home page: ") + HomePage);
    BAbout = MakeToolButton(bar, "BAbout", QStringLiteral("Shows the About Page"));
    layout->addWidget(BOpenAdd);
    layout->addWidget(FileN, 1);
    for (QToolButton* b : {BitBtn11, BOpenConv, BSaveConv, BOpen, BColorConfig, BPrint, BSaveText,
                           BConnecttoSite, BAbout})
        layout->addWidget(b);
    layout->addSpacing(110);
    BBringToFront = MakeToolButton(bar, "BBringToFront",
                                   QStringLiteral("Brings the quick view window to front."));
    BCloseAll = MakeToolButton(
        bar, "BCloseAll", QStringLiteral("Closes all Quick Info windows, accept the Quick View."));
    BTile = MakeToolButton(bar, "BTile", QStringLiteral("Tiles the open windows"));
    BCascade = MakeToolButton(bar, "BCascade", QStringLiteral("Cascades the open windows."));
    return bar;
}

void TMain::createActions() {
    auto action = [this](QAction*& a, const char* name, const QString& text, QKeySequence key,
                         void (TMain::*slot)()) {
        a = new QAction(text, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(key);
        if (slot)
            connect(a, &QAction::triggered, this, slot);
    };
    action(MOpenData, "MOpenData", QStringLiteral("&Open Data File"),
           QKeySequence(Qt::CTRL | Qt::Key_O), &TMain::BOpenClick);
    action(MSaveData, "MSaveData", QStringLiteral("&Save Data File"),
           QKeySequence(Qt::CTRL | Qt::Key_S), &TMain::BSaveConvClick);
    action(MPrint, "MPrint", QStringLiteral("&Print"), QKeySequence(Qt::CTRL | Qt::Key_P),
           &TMain::BPrintClick);
    action(MImportText, "MImportText", QStringLiteral("&Import Text File"),
           QKeySequence(Qt::CTRL | Qt::Key_T), &TMain::MImportTextClick);
    action(MSaveText, "MSaveText", QStringLiteral("Save &Text File"),
           QKeySequence(Qt::CTRL | Qt::Key_F), &TMain::BSaveTextClick);
    action(Exit1, "Exit1", QStringLiteral("&Exit"), QKeySequence(), &TMain::Exit1Click);
    action(Tile1, "Tile1", QStringLiteral("&Tile"), QKeySequence(Qt::CTRL | Qt::Key_I),
           &TMain::BTileClick);
    action(CasCade1, "CasCade1", QStringLiteral("&Cascade"), QKeySequence(Qt::CTRL | Qt::Key_C),
           &TMain::BCascadeClick);
    action(CloseAllWindows1, "CloseAllWindows1", QStringLiteral("Close &All Windows"),
           QKeySequence(Qt::CTRL | Qt::Key_A), &TMain::BCloseAllClick);
    action(MBringToFront, "MBringToFront", QStringLiteral("Bring Quick View to Front"),
           QKeySequence(Qt::CTRL | Qt::Key_B), &TMain::BBringToFrontClick);
    action(ConnectToSite1, "ConnectToSite1", QStringLiteral("Connect To Site"), QKeySequence(),
           &TMain::BConnecttoSiteClick);
    action(AboutQuarvine322, "AboutQuarvine322", QStringLiteral("About Quarvine32"), QKeySequence(),
           &TMain::BAboutClick);
    // The tool buttons of the same commands are views of these actions: they
    // keep their icons and hints, and enabling an action enables both.
    const std::pair<QToolButton*, QAction*> shared[] = {{BSaveConv, MSaveData},
                                                        {BOpen, MImportText},
                                                        {BPrint, MPrint},
                                                        {BSaveText, MSaveText},
                                                        {BTile, Tile1},
                                                        {BCascade, CasCade1},
                                                        {BCloseAll, CloseAllWindows1},
                                                        {BBringToFront, MBringToFront},
                                                        {BConnecttoSite, ConnectToSite1},
                                                        {BAbout, AboutQuarvine322}};
    for (const auto& [button, a] : shared) {
        a->setIcon(button->icon());
        a->setIconVisibleInMenu(false);
        a->setToolTip(button->toolTip());
        button->setDefaultAction(a);
    }
    for (QAction* a : {MSaveData, MPrint, MSaveText})
        a->setEnabled(false);
}

void TMain::createMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("ImportFile"));
    file->addActions({MOpenData, MSaveData, MPrint, MImportText, MSaveText});
    addPrintCardsCommand(file);
    addExportCommand(file);
    file->addSeparator();
    file->addAction(Exit1);
    menuBar()->addMenu(createEditMenu());
    QMenu* window = menuBar()->addMenu(QStringLiteral("&Window"));
    window->setObjectName(QStringLiteral("Window1"));
    window->addActions({Tile1, CasCade1, CloseAllWindows1, MBringToFront});
    window->addSeparator();
    window->addActions({ConnectToSite1, AboutQuarvine322});

    // The commands that have no menu entry.
    connect(BOpenAdd, &QToolButton::clicked, this, &TMain::BOpenAddClick);
    connect(BitBtn11, &QToolButton::clicked, this, &TMain::BitBtn11Click);
    connect(BOpenConv, &QToolButton::clicked, this, &TMain::BOpenConvClick);
    connect(BColorConfig, &QToolButton::clicked, this, &TMain::BColorConfigClick);
}

void TMain::connectListPanel() {
    TListPanel* p = panel_;
    connect(p->BEXE, &QToolButton::clicked, this, &TMain::BEXEClick);
    connect(p->BSearch, &QToolButton::clicked, this, &TMain::BSearchClick);
    connect(p->Ball, &QToolButton::clicked, this, &TMain::BAllClick);
    connect(p->BShowOnly, &QToolButton::clicked, this, &TMain::BShowOnlyClick);
    // A row chosen by mouse or key changes the selection; a click on the row
    // that is already selected chooses it again.
    connect(p->SList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TMain::SListClick);
    connect(p->SList, &SpellListView::selectedRowClicked, this, &TMain::SListClick);
    connect(p->CBooks, &QComboBox::currentIndexChanged, this, &TMain::CBooksChange);
    connect(p->SList, &SpellListView::pressed, this, &TMain::SListMouseDown);
    connect(p->SList, &SpellListView::doubleClicked, this, &TMain::SListDblClick);
    connect(p->SList, &SpellListView::markKey, this, [this] {
        if (selectedSlot() >= 0)
            toggleMark(selectedSlot());
    });
    connect(p->SList, &SpellListView::openKey, this, [this] {
        panel_->SList->setNameArea(true);
        SListDblClick();
    });
    connect(p->SList, &SpellListView::deleteKey, this, &TMain::SpeedButton4Click);
    // The keys act as presses in the book and copies columns would.
    auto pressColumn = [this](Qt::MouseButton button, int x) {
        const bool nameArea = panel_->SList->nameArea(); // a key is not a press on the list
        SListMouseDown(button, x);
        panel_->SList->setNameArea(nameArea);
    };
    connect(p->SList, &SpellListView::bookKey, this,
            [pressColumn] { pressColumn(Qt::LeftButton, ListColumns::Book); });
    connect(p->SList, &SpellListView::copiesKey, this, [pressColumn](bool add) {
        pressColumn(add ? Qt::LeftButton : Qt::RightButton, ListColumns::Copies);
    });
    connect(p->BMark, &QToolButton::clicked, this, &TMain::BMarkClick);
    connect(p->BUnmark, &QToolButton::clicked, this, &TMain::BUnmarkClick);
    connect(p->BRevMark, &QToolButton::clicked, this, &TMain::BRevMarkClick);
    connect(p->BEdit, &QToolButton::clicked, this, &TMain::BEditClick);
    connect(p->SpeedButton3, &QToolButton::clicked, this, &TMain::SpeedButton3Click);
    connect(p->SpeedButton4, &QToolButton::clicked, this, &TMain::SpeedButton4Click);
    connect(p->BAddBook, &QToolButton::clicked, this, &TMain::BAddBookClick);
    connect(p->BDelBook, &QToolButton::clicked, this, &TMain::BDelBookClick);
    connect(p->BBooks, &QToolButton::clicked, this, &TMain::BBooksClick);
    connect(p->BResetBooks, &QToolButton::clicked, this, &TMain::BResetBooksClick);
    p->QuickBar->attach(*session_, *p->SList);
    connect(p->BQuick, &QToolButton::clicked, p->QuickBar, &QuickFilterBar::open);
    auto* quickFilter = new QAction(this);
    quickFilter->setObjectName(QStringLiteral("MQuickFilter"));
    quickFilter->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    addAction(quickFilter);
    connect(quickFilter, &QAction::triggered, p->QuickBar, &QuickFilterBar::open);
}

bool TMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == toolBar_ && event->type() == QEvent::Resize)
        FormResize();
    return QMainWindow::eventFilter(watched, event);
}

// The window buttons keep their distance from the right edge of the window.
void TMain::FormResize() {
    const int outer = toolBar_->width() + (frameGeometry().width() - width());
    BBringToFront->move(outer - 111, 5);
    BCloseAll->move(outer - 86, 5);
    BTile->move(outer - 61, 5);
    BCascade->move(outer - 36, 5);
}

void TMain::BAboutClick() {
    TForm1 about(this);
    about.ShowOpenForm(true);
}

void TMain::BConnecttoSiteClick() {
    if (QDesktopServices::openUrl(QUrl(QString::fromLatin1(HomePage))))
        Prompts::Message(this, QStringLiteral("Netscape Link Successful"), Prompts::Icon::Question,
                         QMessageBox::Ok);
    else
        Prompts::Message(this,
                         QStringLiteral("Failed to make Netscape Link. You must run the Netscape "
                                        "program, inorder to connect to the progs page."),
                         Prompts::Icon::Error, QMessageBox::Ok);
}

void TMain::Exit1Click() {
    SaveSettings();
    close();
}

// The places of the child windows are checked once the window area has its
// size: at the first show, after the settings have placed them.
void TMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (event->spontaneous())
        return;
    keepOnScreen();
    fitChildWindows();
    // The Quick View is the area's active window already, so activating the
    // main window leaves the focus in the file box.
    if (quickView_)
        mdi_->setActiveSubWindow(quickView_);
    FileN->setFocus();
}

// Once the window has its frame, the frame too is kept on the screen.
void TMain::keepOnScreen() {
    const QRect frame = frameGeometry();
    const QRect fit = PlaceOnScreen(frame.topLeft(), frame.size());
    if (fit == frame)
        return;
    resize(size() - (frame.size() - fit.size()));
    move(fit.topLeft());
}

void TMain::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}
