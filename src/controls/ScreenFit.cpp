#include "controls/ScreenFit.h"

#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace {

// Before the window system has framed a window its frame is unknown; this
// much is kept free for the title bar then.
constexpr int TitleBarRoom = 32;

} // namespace

QScrollArea* ScrollingPage(QWidget* page, QWidget* parent) {
    auto* area = new QScrollArea(parent);
    area->setObjectName(page->objectName() + QStringLiteral("Scroll"));
    area->setFrameShape(QFrame::NoFrame);
    // Tab goes to the page's controls; the area scrolls to the one it reaches.
    area->setFocusPolicy(Qt::NoFocus);
    area->setWidgetResizable(true); // never smaller than the page's minimum, though
    area->setWidget(page);
    return area;
}

QRect KeepInside(const QRect& place, const QRect& area) {
    const QSize size = place.size().boundedTo(area.size()).expandedTo(QSize(1, 1));
    return {std::clamp(place.left(), area.left(), area.left() + area.width() - size.width()),
            std::clamp(place.top(), area.top(), area.top() + area.height() - size.height()),
            size.width(), size.height()};
}

void FitToArea(QWidget* window, QSize natural, const QRect& area) {
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    const bool framed = frame != inner;
    const int extraWidth = framed ? frame.width() - inner.width() : 0;
    const int extraHeight = framed ? frame.height() - inner.height() : TitleBarRoom;
    const QSize room(area.width() - extraWidth, area.height() - extraHeight);
    QSize size = natural.boundedTo(room);
    // A page that scrolls up and down needs the width of its scroll bar too.
    if (size.height() < natural.height())
        size.setWidth(std::min(room.width(), natural.width() + window->style()->pixelMetric(
                                                                   QStyle::PM_ScrollBarExtent)));
    window->setFixedSize(size);
    const int left =
        std::clamp(frame.left(), area.left(),
                   std::max(area.left(), area.right() + 1 - window->width() - extraWidth));
    const int top =
        std::clamp(frame.top(), area.top(),
                   std::max(area.top(), area.bottom() + 1 - window->height() - extraHeight));
    if (QPoint(left, top) != frame.topLeft())
        window->move(left, top);
}

void FitToScreen(QWidget* window, QSize natural) {
    if (const QScreen* screen = window->screen())
        FitToArea(window, natural, screen->availableGeometry());
    else
        window->setFixedSize(natural);
}
