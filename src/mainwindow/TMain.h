#pragma once

#include "dialogs/info/TFInfo.h"

#include <QMainWindow>
#include <QPointer>

#include <optional>

class ProgressShown;
class QAction;
class QMimeData;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QProgressBar;
class QToolButton;
class SessionHistory;
class SpellListModel;
class SpellSession;
struct FilterRequest;
class TFMessage;
class TFSearch;
class TFconfig;
class TForm2;
class THistoryComboBox;
class TListPanel;
namespace spelldata {
struct ImportReport;
struct IniSettings;
} // namespace spelldata

// A window place moved onto the available area of the screen its corner lies
// on (or the primary screen), made smaller only where it does not fit.
QRect PlaceOnScreen(QPoint topLeft, QSize size);

// The main window: tool bar, menus, the spell list panel and the area of the
// quick info windows. Its commands read the controls, call the spell session
// that holds the data, and show the prompts.
class TMain final : public QMainWindow {
    Q_OBJECT

public:
    static constexpr const char* HomePage = "https://quarvine.example.org/";

    // `settingsFolder` holds the settings files (ends with "/").
    explicit TMain(const QString& settingsFolder, QWidget* parent = nullptr);
    ~TMain() override;

    // Creates the quick view and the progress window, loads the settings and
    // applies colours and fonts: the start-up steps after the splash window.
    // The other dialogs are made when first used.
    void StartUp();

    SpellSession* session() const { return session_; }
    // Every change the window makes to the collection goes through here.
    SessionHistory* history() const { return history_; }
    TListPanel* listPanel() const { return panel_; }
    SpellListModel* listModel() const { return model_; }
    QMdiArea* mdiArea() const { return mdi_; }
    TFInfo* quickView() const { return quickView_; }
    THistoryComboBox* fileBox() const { return FileN; }
    // The print and save-as-text dialog, made on first use.
    TForm2* printDialog();

    // Opens a data file (.Dat) or imports a spell text file, as dropping it
    // on the window does.
    void openPath(const QString& path);

    // The slot of the selected row's spell, or -1.
    int selectedSlot() const;

public slots:
    // File commands.
    void BOpenAddClick();
    void BitBtn11Click();
    void BOpenConvClick();
    void BSaveConvClick();
    void MImportTextClick();
    void MExportClick();
    void BOpenClick();
    void Exit1Click();
    // Window commands.
    void BTileClick();
    void BCascadeClick();
    void BCloseAllClick();
    void BBringToFrontClick();
    void BColorConfigClick();
    void BAboutClick();
    void BConnecttoSiteClick();
    // The filter strip and the list.
    void BEXEClick();
    void BAllClick();
    void BShowOnlyClick();
    void ShowCounters();
    void SListClick();
    void ApplyColours();
    void RebuildBookBox();
    // The list's mouse and the spell commands.
    void SListMouseDown(Qt::MouseButton button, int x);
    void SListDblClick();
    void BMarkClick();
    void BUnmarkClick();
    void BRevMarkClick();
    void BEditClick();
    void SpeedButton3Click();
    void SpeedButton4Click();
    // Output, search and configuration.
    void BPrintClick();
    void MPrintCardsClick();
    void BSaveTextClick();
    void BSearchClick();
    // Spell books.
    void BAddBookClick();
    void BDelBookClick();
    void CBooksChange();
    void BBooksClick();
    void BResetBooksClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TFSearch* searchDialog();
    TFconfig* configDialog();
    void createActions();
    void createMenus();
    void createHistory();
    QMenu* createEditMenu();
    void setDocument(const QString& path);
    void updateTitle();
    void afterStep();
    void keepSlotOf(TFInfo* window, int slot);
    QWidget* createToolBar();
    void connectListPanel();
    void FormResize();
    bool FormCloseQuery();

    // File command steps.
    QString filePath() const;
    bool requireFileName();
    void setSaveControlsEnabled(bool enabled);
    void selectOrAddFile(const QString& path);
    void afterLoad();
    bool saveDataFile(const QString& path);
    bool importText(const QString& path, std::optional<ProgressShown>& progress);
    void addExportCommand(QMenu* file);
    void addPrintCardsCommand(QMenu* file);
    void reportImportNotes(const spelldata::ImportReport& report, const QString& path);
    void importFile(const QString& path);
    void listImported(bool offerSave);
    static QString droppedFile(const QMimeData* data);
    void reportRefused(int refused);

    // Filter run steps.
    void runFilter(bool nested);
    FilterRequest filterRequest();
    int chosenBook() const;
    void chooseBook(const std::string& name);
    void openQuickInfo(int slot);
    // Edits the spell in `slot`, or a new one for -1; true when one was stored.
    bool editSpell(int slot);
    void toggleMark(int slot);

    // Settings.
    void LoadSettings();
    void SaveSettings();
    void applyPlaces(const spelldata::IniSettings& ini);
    spelldata::IniSettings currentPlaces() const;

    // Child windows.
    void keepOnScreen();
    void fitIntoArea(QMdiSubWindow* window) const;
    void fitChildWindows() const;
    void showQuickView();
    QList<TFInfo*> infoWindows() const;
    TFInfo* frontInfoWindow() const;
    void showSpellIn(TFInfo* window, int slot);
    void applyDisplaySettings();
    struct ListSource listSource() const;

    QString settingsFolder_;
    SpellSession* session_ = nullptr;
    SessionHistory* history_ = nullptr;
    QString documentPath_;
    TListPanel* panel_ = nullptr;
    SpellListModel* model_ = nullptr;
    QMdiArea* mdi_ = nullptr;
    QPointer<TFInfo> quickView_;
    TFMessage* progress_ = nullptr;
    TFconfig* config_ = nullptr;
    TFSearch* search_ = nullptr;
    TForm2* print_ = nullptr;
    QProgressBar* prog_ = nullptr;
    QWidget* toolBar_ = nullptr;
    THistoryComboBox* FileN = nullptr;
    bool settingsErrorShown_ = false;

    // Tool bar buttons and menu actions, by their names.
    QToolButton *BOpenAdd = nullptr, *BitBtn11 = nullptr, *BOpenConv = nullptr,
                *BSaveConv = nullptr, *BOpen = nullptr, *BColorConfig = nullptr, *BPrint = nullptr,
                *BSaveText = nullptr, *BConnecttoSite = nullptr, *BAbout = nullptr,
                *BBringToFront = nullptr, *BCloseAll = nullptr, *BTile = nullptr,
                *BCascade = nullptr;
    QAction *MOpenData = nullptr, *MSaveData = nullptr, *MPrint = nullptr, *MImportText = nullptr,
            *MSaveText = nullptr, *Exit1 = nullptr, *Tile1 = nullptr, *CasCade1 = nullptr,
            *CloseAllWindows1 = nullptr, *MBringToFront = nullptr, *ConnectToSite1 = nullptr,
            *AboutQuarvine322 = nullptr, *MExport = nullptr, *MPrintCards = nullptr,
            *MUndo = nullptr, *MRedo = nullptr;
};
