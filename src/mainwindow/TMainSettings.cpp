// The main window's side of the settings files: window places, the file box
// history, fonts and colours.
#include "mainwindow/TMain.h"

#include "controls/DisplaySettings.h"
#include "controls/GuiText.h"
#include "controls/Prompts.h"
#include "controls/THistoryComboBox.h"
#include "dialogs/info/TFInfo.h"
#include "mainwindow/SpellListView.h"
#include "mainwindow/TListPanel.h"
#include "spelldata/Settings.h"

#include <QFile>
#include <QMdiArea>
#include <QToolButton>

#include <algorithm>

using namespace spelldata;

namespace {
std::string folderBytes(const QString& folder) {
    return NativePath(folder);
}

// A place read from a file, limited so that no edge overflows; the window
// is fitted into the window area later.
QRect saneRect(int left, int top, int width, int height) {
    constexpr int far = 1 << 20;
    return {std::clamp(left, -far, far), std::clamp(top, -far, far), std::clamp(width, 0, far),
            std::clamp(height, 0, far)};
}
} // namespace

void TMain::LoadSettings() {
    Settings settings;
    for (int i = 0; i < FileN->count(); ++i)
        settings.fileList.push_back(NativePath(FileN->itemText(i)));
    const Status s = spelldata::LoadSettings(folderBytes(settingsFolder_), settings);
    FileN->clear();
    for (const std::string& entry : settings.fileList)
        FileN->addItem(PathFromBytes(entry));
    FileN->setCurrentIndex(-1); // nothing is open until the user picks a file
    DisplaySettings& display = CurrentDisplay();
    display.colours = settings.colours;
    if (settings.haveIni) {
        display.DescFontName = FromBytes(settings.ini.DescFontName);
        display.DescFontSize = settings.ini.DescFontSize;
        display.ListFontName = FromBytes(settings.ini.ListFontName);
        applyPlaces(settings.ini);
    }
    if (!s)
        Prompts::Message(this, FromBytes(s.message), Prompts::Icon::Error, QMessageBox::Ok);
    if (settings.replacedColours > 0)
        Prompts::Message(this,
                         QStringLiteral("%1: %2 of the 21 values are not colours; those slots "
                                        "use their default colours.")
                             .arg(PathFromBytes(folderBytes(settingsFolder_) + ColourFileName))
                             .arg(settings.replacedColours),
                         Prompts::Icon::Error, QMessageBox::Ok);
}

void TMain::applyPlaces(const IniSettings& ini) {
    // A place on a screen that is gone (or a damaged file) is brought back
    // onto the screen; the child windows are fitted when the window shows.
    setGeometry(PlaceOnScreen({ini.mainLeft, ini.mainTop}, {ini.mainWidth, ini.mainHeight}));
    if (ini.mainMaximised)
        setWindowState(windowState() | Qt::WindowMaximized);
    if (!quickView_)
        return;
    if (ini.viewMaximised)
        quickView_->showMaximized();
    else
        quickView_->setGeometry(saneRect(ini.viewLeft, ini.viewTop, ini.viewWidth, ini.viewHeight));
    if (auto* showDesc = quickView_->findChild<QToolButton*>(QStringLiteral("ShowDesc")))
        showDesc->setChecked(ini.showDescription);
}

IniSettings TMain::currentPlaces() const {
    IniSettings ini;
    const QRect main = normalGeometry().isValid() ? normalGeometry() : geometry();
    ini.mainTop = main.top();
    ini.mainLeft = main.left();
    ini.mainHeight = main.height();
    ini.mainWidth = main.width();
    ini.mainMaximised = isMaximized();
    if (quickView_) {
        const QRect view =
            quickView_->isMaximized() ? quickView_->normalGeometry() : quickView_->geometry();
        ini.viewTop = view.top();
        ini.viewLeft = view.left();
        ini.viewHeight = view.height();
        ini.viewWidth = view.width();
        ini.viewMaximised = quickView_->isMaximized();
        if (auto* showDesc = quickView_->findChild<QToolButton*>(QStringLiteral("ShowDesc")))
            ini.showDescription = showDesc->isChecked();
    }
    const DisplaySettings& display = CurrentDisplay();
    ini.DescFontName = ToBytes(display.DescFontName);
    ini.DescFontSize = display.DescFontSize;
    ini.ListFontName = ToBytes(display.ListFontName);
    return ini;
}

// A settings file that cannot be written is reported once per run; closing
// goes on regardless, so the user is never trapped in the program.
void TMain::SaveSettings() {
    Settings settings;
    settings.ini = currentPlaces();
    settings.colours = CurrentDisplay().colours;
    for (int i = 0; i < FileN->count(); ++i)
        settings.fileList.push_back(NativePath(FileN->itemText(i)));
    const Status s = spelldata::SaveSettings(folderBytes(settingsFolder_), settings);
    if (!s && !settingsErrorShown_) {
        settingsErrorShown_ = true;
        Prompts::Message(this, FromBytes(s.message), Prompts::Icon::Error, QMessageBox::Ok);
    }
}

void TMain::ApplyColours() {
    for (TFInfo* window : infoWindows())
        window->ApplyColours();
    QPalette palette = panel_->SList->palette();
    palette.setColor(QPalette::Base, CurrentDisplay().colour(ColourSlot::ListBackground));
    panel_->SList->setPalette(palette);
    update();
}
