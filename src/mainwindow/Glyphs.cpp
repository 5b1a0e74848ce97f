#include "mainwindow/Glyphs.h"

#include <QPainter>
#include <QPainterPath>

void DrawCheckMark(QPainter& painter, const QRectF& cell, const QColor& colour) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(colour, qMax(1.6, cell.height() / 6.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    const qreal w = cell.width(), h = cell.height();
    QPainterPath path;
    path.moveTo(cell.left() + w * 0.18, cell.top() + h * 0.55);
    path.lineTo(cell.left() + w * 0.42, cell.top() + h * 0.80);
    path.lineTo(cell.left() + w * 0.85, cell.top() + h * 0.22);
    painter.drawPath(path);
    painter.restore();
}

void DrawBookSign(QPainter& painter, const QRectF& cell, const QColor& colour) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const qreal w = cell.width(), h = cell.height();
    const qreal left = cell.left() + w * 0.08, right = cell.right() - w * 0.08;
    const qreal mid = cell.center().x();
    const qreal top = cell.top() + h * 0.22, bottom = cell.bottom() - h * 0.18;
    // Two pages rising from a spine, each with a gentle curve at the top.
    QPainterPath pages;
    pages.moveTo(mid, bottom);
    pages.quadTo(mid - w * 0.2, bottom - h * 0.12, left, bottom - h * 0.04);
    pages.lineTo(left, top + h * 0.06);
    pages.quadTo(mid - w * 0.2, top - h * 0.04, mid, top + h * 0.1);
    pages.quadTo(mid + w * 0.2, top - h * 0.04, right, top + h * 0.06);
    pages.lineTo(right, bottom - h * 0.04);
    pages.quadTo(mid + w * 0.2, bottom - h * 0.12, mid, bottom);
    pages.closeSubpath();
    QColor fill = colour;
    fill.setAlpha(40);
    painter.setBrush(fill);
    painter.drawPath(pages);
    painter.drawLine(QPointF(mid, top + h * 0.1), QPointF(mid, bottom));
    painter.restore();
}
