#include "unt_GutterGlyphs.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// The stop mark: a red disc with a darker rim, as large as the glyph's width allows.
void DrawStopMark(QPainter &p) {
    p.setPen(QPen(QColor(128, 0, 0), 1));
    p.setBrush(QColor(230, 30, 30));
    p.drawEllipse(QRectF(0.5, 2.5, 10, 10));
}

void DrawArrow(QPainter &p) {
    QPainterPath arrow;
    arrow.moveTo(0.5, 5.0);
    arrow.lineTo(5.0, 5.0);
    arrow.lineTo(5.0, 1.5);
    arrow.lineTo(10.5, 7.0);
    arrow.lineTo(5.0, 12.5);
    arrow.lineTo(5.0, 9.0);
    arrow.lineTo(0.5, 9.0);
    arrow.closeSubpath();
    p.setPen(QPen(QColor(0, 0, 96), 1));
    p.setBrush(QColor(40, 90, 255));
    p.drawPath(arrow);
}

}  // namespace

QPixmap DrawGutterGlyph(int index) {
    QPixmap pixmap(GutterGlyphWidth, GutterGlyphHeight);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (index) {
    case ggCommand:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 255));
        p.drawEllipse(QRectF(3, 5, 5, 5));
        break;
    case ggActive:
        DrawArrow(p);
        break;
    case ggActiveStop:
        DrawStopMark(p);
        DrawArrow(p);
        break;
    case ggStop:
        DrawStopMark(p);
        p.setPen(QPen(QColor(0, 230, 0), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(3, 7.5), QPointF(5, 10), QPointF(8.5, 4.5)}));
        break;
    case ggInvalidStop:
        DrawStopMark(p);
        p.setPen(QPen(QColor(255, 255, 0), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3.5, 5), QPointF(7.5, 10));
        p.drawLine(QPointF(7.5, 5), QPointF(3.5, 10));
        break;
    case ggDisc:
        p.setPen(QPen(QColor(96, 96, 96), 1));
        p.setBrush(QColor(160, 160, 160));
        p.drawEllipse(QRectF(0.5, 2.5, 10, 10));
        break;
    default:
        break;
    }
    return pixmap;
}
