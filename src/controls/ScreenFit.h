#pragma once

#include <QRect>
#include <QSize>

class QScrollArea;
class QWidget;

// Windows designed for a desktop of the program's day can be taller than a
// small or highly scaled screen (1366 x 768 at 200% leaves 683 x 384). Such a
// window is made to fit the room the screen has, and the part of it that
// cannot shrink scrolls.

// Puts `page` into a scroll area without a frame. At the page's own size the
// area shows all of it; in a smaller window scroll bars reach the rest.
QScrollArea* ScrollingPage(QWidget* page, QWidget* parent);

// `place` made no larger than `area` (and at least 1 x 1) and moved inside it.
QRect KeepInside(const QRect& place, const QRect& area);

// Gives `window` the fixed size `natural`, or as much of it as `area` holds
// with room for a title bar, and moves the window inside `area`.
void FitToArea(QWidget* window, QSize natural, const QRect& area);
// The same for the available area of the screen the window is on.
void FitToScreen(QWidget* window, QSize natural);
