#include "controls/ClickPanel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

ClickPanel::ClickPanel(QWidget* parent) : QLabel(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void ClickPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void ClickPanel::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (event->modifiers() == Qt::NoModifier &&
        (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

// The focus frame has two lines, the highlight colour outside and the
// window colour inside, so it shows on any colour the panel is painted in.
void ClickPanel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    const QRect inside = contentsRect().adjusted(1, 1, -2, -2);
    painter.setPen(palette().color(QPalette::Active, QPalette::Highlight));
    painter.drawRect(inside);
    painter.setPen(QPen(palette().color(QPalette::Active, QPalette::Base), 1, Qt::DotLine));
    painter.drawRect(inside.adjusted(1, 1, -1, -1));
}
