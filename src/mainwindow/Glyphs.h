#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

// The small signs of the spell list, drawn as shapes so they look the same on
// every system: a check mark for marked spells and an open book for members of
// the chosen spell book. Each fills the given cell.
void DrawCheckMark(QPainter& painter, const QRectF& cell, const QColor& colour);
void DrawBookSign(QPainter& painter, const QRectF& cell, const QColor& colour);
