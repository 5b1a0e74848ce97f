// The quick info windows in the window area: opening, placing, tiling,
// cascading, closing and bringing the quick view to the front.
#include "mainwindow/TMain.h"

#include "controls/DisplaySettings.h"
#include "controls/Prompts.h"
#include "controls/ScreenFit.h"
#include "dialogs/info/TFInfo.h"

#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

QList<TFInfo*> TMain::infoWindows() const {
    QList<TFInfo*> windows;
    for (QMdiSubWindow* w : mdi_->subWindowList(QMdiArea::StackingOrder)) {
        if (auto* info = qobject_cast<TFInfo*>(w))
            windows.prepend(info); // front first
    }
    return windows;
}

TFInfo* TMain::frontInfoWindow() const {
    const QList<TFInfo*> windows = infoWindows();
    return windows.isEmpty() ? nullptr : windows.front();
}

void TMain::BTileClick() {
    mdi_->tileSubWindows();
}

// The platform's staircase, each window at its own size where the area has
// room for it, smaller where it has not.
void TMain::BCascadeClick() {
    mdi_->cascadeSubWindows();
    const QSize area = mdi_->viewport()->size();
    for (QMdiSubWindow* window : mdi_->subWindowList()) {
        if (window->isMinimized() || window->isMaximized())
            continue;
        const QSize room(area.width() - window->x(), area.height() - window->y());
        window->resize(window->sizeHint().boundedTo(room).expandedTo(area / 2));
        fitIntoArea(window);
    }
}

// A child window placed or restored where the window area does not show it
// is moved inside; where it is larger than the area it is made smaller (its
// contents are laid out at any size). Maximised and minimised windows are
// placed by the area itself.
void TMain::fitIntoArea(QMdiSubWindow* window) const {
    const QRect area = mdi_->viewport()->rect();
    if (area.isEmpty() || window->isMaximized() || window->isMinimized())
        return;
    const QRect place = KeepInside(window->geometry(), area);
    if (place != window->geometry())
        window->setGeometry(place);
}

void TMain::fitChildWindows() const {
    for (QMdiSubWindow* window : mdi_->subWindowList())
        fitIntoArea(window);
}

// The Quick View is shown whenever the list has rows.
void TMain::showQuickView() {
    if (!quickView_)
        return;
    if (quickView_->isHidden()) {
        quickView_->show();
        fitIntoArea(quickView_);
    }
    quickView_->showSysGroup();
}

void TMain::BCloseAllClick() {
    for (TFInfo* window : infoWindows()) {
        if (window->tag() != 1)
            window->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const TFInfo* front = frontInfoWindow();
    if (front && front->tag() != 1)
        Prompts::Message(this, QStringLiteral("Error - Mdi Form"), Prompts::Icon::Question,
                         QMessageBox::Ok);
}

void TMain::BBringToFrontClick() {
    for (TFInfo* window : infoWindows()) {
        if (window->tag() == 1) {
            if (window->isMinimized())
                window->showNormal(); // a maximised one keeps its state
            else
                window->show();
            mdi_->setActiveSubWindow(window);
            window->raise();
        }
    }
}

void TMain::openQuickInfo(int slot) {
    auto* window = new TFInfo;
    mdi_->addSubWindow(window);
    window->setTag(0);
    window->showSysGroup();
    window->setDescriptionFont(CurrentDisplay().descriptionFont());
    window->show();
    fitIntoArea(window);
    mdi_->setActiveSubWindow(window);
    ApplyColours();
    keepSlotOf(window, slot);
    showSpellIn(window, slot);
}
