// The data module's picture lists: theme names first, then the fallback pictures, drawn on
// a 16-unit grid and scaled to the size asked for.
#include "dtm_Images.h"

#include <QPainter>
#include <QPainterPath>

#include "unt_GutterGlyphs.h"

namespace {

TdtmImages *TheInstance = nullptr;

const char *const ThemeNames[IconCount] = {
    "document-new", "document-open", "document-save", "document-save-as", "document-print-preview",
    "document-print", "application-exit", "help-contents", "help-about",
    "dialog-ok", "media-playback-start", "media-skip-forward", "media-playback-stop", "media-record",
    "", "", "", "window-minimize", "window-restore", "window-maximize", "window-close",
    "format-indent-more", "", "preferences-system", "edit-clear",
    "edit-undo", "edit-redo", "edit-copy", "edit-cut", "edit-paste", "edit-find", "edit-find-replace",
    "go-down", "go-up"};

const QColor Ink(40, 40, 40);
const QColor Paper(250, 250, 250);
const QColor Blue(30, 90, 200);
const QColor Green(20, 160, 40);
const QColor Red(210, 30, 30);
const QColor Yellow(240, 200, 60);

void Page(QPainter &p, QRectF r) {
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 3, r.top());
    path.lineTo(r.right(), r.top() + 3);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(Ink, 1));
    p.setBrush(Paper);
    p.drawPath(path);
}

void Window(QPainter &p, QRectF r) {
    p.setPen(QPen(Ink, 1));
    p.setBrush(Paper);
    p.drawRect(r);
    p.setBrush(Blue);
    p.drawRect(QRectF(r.left(), r.top(), r.width(), 2.5));
}

void Arrow(QPainter &p, QPointF from, QPointF to, const QColor &color) {
    p.setPen(QPen(color, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    const QLineF line(to, from);
    QLineF a = line;
    a.setLength(4);
    a.setAngle(line.angle() + 35);
    QLineF b = line;
    b.setLength(4);
    b.setAngle(line.angle() - 35);
    p.drawLine(a);
    p.drawLine(b);
}

void CurvedArrow(QPainter &p, bool toLeft) {
    QPainterPath path;
    const qreal s = toLeft ? 1 : -1;
    path.moveTo(8 + s * 5, 12);
    path.cubicTo(8 + s * 6, 5, 8 - s * 2, 3, 8 - s * 5, 7);
    p.setPen(QPen(Blue, 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setBrush(Blue);
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF({QPointF(8 - s * 7.5, 4), QPointF(8 - s * 3, 9.5), QPointF(8 - s * 7.5, 10)}));
}

void Magnifier(QPainter &p, QPointF centre, qreal radius) {
    p.setPen(QPen(Ink, 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(QColor(200, 230, 255));
    p.drawEllipse(centre, radius, radius);
    p.drawLine(centre + QPointF(radius * 0.7, radius * 0.7), centre + QPointF(radius * 1.7, radius * 1.7));
}

void Letter(QPainter &p, QRectF r, const QString &text, const QColor &color) {
    QFont font = p.font();
    font.setPixelSize(static_cast<int>(r.height()));
    font.setBold(true);
    p.setFont(font);
    p.setPen(color);
    p.drawText(r, Qt::AlignCenter, text);
}

void Floppy(QPainter &p) {
    p.setPen(QPen(Ink, 1));
    p.setBrush(Blue);
    p.drawRect(QRectF(1.5, 1.5, 12, 12));
    p.setBrush(Paper);
    p.drawRect(QRectF(4, 1.5, 7, 4.5));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(4, 9, 7, 4.5));
}

void DrawPicture(QPainter &p, int index) {
    switch (index) {
    case iiNew:
        Page(p, QRectF(3.5, 1.5, 9, 13));
        break;
    case iiOpen:
        p.setPen(QPen(Ink, 1));
        p.setBrush(Yellow.darker(115));
        p.drawRect(QRectF(1.5, 3.5, 12, 10));
        p.setBrush(Yellow);
        p.drawPolygon(QPolygonF({QPointF(3.5, 6.5), QPointF(15, 6.5), QPointF(13.5, 13.5), QPointF(1.5, 13.5)}));
        break;
    case iiSave:
        Floppy(p);
        break;
    case iiSaveAs:
        Floppy(p);
        p.setPen(QPen(Yellow.darker(150), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(9, 14), QPointF(15, 8));
        break;
    case iiPreview:
        Page(p, QRectF(1.5, 1.5, 9, 13));
        Magnifier(p, QPointF(9.5, 8.5), 3);
        break;
    case iiPrint:
        Page(p, QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(170, 170, 170));
        p.drawRect(QRectF(1.5, 6.5, 13, 6));
        Page(p, QRectF(4.5, 10.5, 7, 4));
        break;
    case iiExit:
        Window(p, QRectF(1.5, 1.5, 8, 13));
        Arrow(p, QPointF(6, 8), QPointF(15, 8), Red);
        break;
    case iiHelp:
    case iiAbout:
        p.setPen(Qt::NoPen);
        p.setBrush(Blue);
        p.drawEllipse(QRectF(1, 1, 14, 14));
        Letter(p, QRectF(1, 2, 14, 12), index == iiHelp ? QStringLiteral("?") : QStringLiteral("i"), Paper);
        break;
    case iiCompile:
        p.setPen(QPen(Green, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6.5, 12.5), QPointF(13.5, 3.5)}));
        break;
    case iiRun:
        p.setPen(QPen(Green.darker(130), 1));
        p.setBrush(Green);
        p.drawPolygon(QPolygonF({QPointF(3.5, 2), QPointF(13.5, 8), QPointF(3.5, 14)}));
        break;
    case iiStepOver:
        Arrow(p, QPointF(1.5, 8), QPointF(12, 8), Blue);
        p.setPen(Qt::NoPen);
        p.setBrush(Ink);
        p.drawEllipse(QRectF(12, 11, 3, 3));
        break;
    case iiStop:
        p.setPen(QPen(Red.darker(130), 1));
        p.setBrush(Red);
        p.drawRect(QRectF(3.5, 3.5, 9, 9));
        break;
    case iiBreakPoint:
        p.setPen(QPen(Red.darker(150), 1));
        p.setBrush(Red);
        p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
        break;
    case iiCascade:
        Window(p, QRectF(1.5, 1.5, 9, 8));
        Window(p, QRectF(5.5, 6.5, 9, 8));
        break;
    case iiHorizontal:
        Window(p, QRectF(1.5, 1.5, 13, 6));
        Window(p, QRectF(1.5, 8.5, 13, 6));
        break;
    case iiVertical:
        Window(p, QRectF(1.5, 1.5, 6, 13));
        Window(p, QRectF(8.5, 1.5, 6, 13));
        break;
    case iiMinimize:
        p.setPen(QPen(Ink, 2));
        p.drawLine(QPointF(3, 13), QPointF(13, 13));
        break;
    case iiNormalize:
        Window(p, QRectF(4.5, 1.5, 10, 8));
        Window(p, QRectF(1.5, 6.5, 10, 8));
        break;
    case iiMaximize:
        Window(p, QRectF(1.5, 1.5, 13, 13));
        break;
    case iiClose:
        p.setPen(QPen(Red, 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
        break;
    case iiCodeFormat:
        p.setPen(QPen(Ink, 1.5));
        p.drawLine(QPointF(1.5, 3), QPointF(12, 3));
        p.drawLine(QPointF(5, 6.5), QPointF(14.5, 6.5));
        p.drawLine(QPointF(5, 10), QPointF(13, 10));
        p.drawLine(QPointF(1.5, 13.5), QPointF(9, 13.5));
        break;
    case iiKirdaToCode:
        Arrow(p, QPointF(2, 5), QPointF(14, 5), Blue);
        Arrow(p, QPointF(14, 11), QPointF(2, 11), Green);
        break;
    case iiSetupEditor: {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(110, 110, 110));
        for (int tooth = 0; tooth < 8; ++tooth) {
            p.save();
            p.translate(8, 8);
            p.rotate(tooth * 45);
            p.drawRect(QRectF(-1.5, -7.5, 3, 4));
            p.restore();
        }
        p.drawEllipse(QPointF(8, 8), 5, 5);
        p.setBrush(Paper);
        p.drawEllipse(QPointF(8, 8), 2, 2);
        break;
    }
    case iiSetupDefault:
        CurvedArrow(p, true);
        p.setPen(QPen(Ink, 1));
        p.drawLine(QPointF(4, 14.5), QPointF(12, 14.5));
        break;
    case iiUndo:
        CurvedArrow(p, true);
        break;
    case iiRedo:
        CurvedArrow(p, false);
        break;
    case iiCopy:
        Page(p, QRectF(1.5, 1.5, 8, 10));
        Page(p, QRectF(6.5, 4.5, 8, 10));
        break;
    case iiCut:
        p.setPen(QPen(Ink, 1.5));
        p.drawLine(QPointF(4, 1.5), QPointF(10.5, 11));
        p.drawLine(QPointF(12, 1.5), QPointF(5.5, 11));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Red, 1.5));
        p.drawEllipse(QPointF(4.5, 12.5), 2.5, 2.5);
        p.drawEllipse(QPointF(11.5, 12.5), 2.5, 2.5);
        break;
    case iiPaste:
        p.setPen(QPen(Ink, 1));
        p.setBrush(QColor(180, 130, 70));
        p.drawRect(QRectF(1.5, 2.5, 10, 12));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(4.5, 1.5, 4, 2.5));
        Page(p, QRectF(6.5, 6.5, 8, 8));
        break;
    case iiSearch:
        Magnifier(p, QPointF(6.5, 6.5), 4);
        break;
    case iiReplace:
        Magnifier(p, QPointF(5.5, 5.5), 3.5);
        Arrow(p, QPointF(8, 13.5), QPointF(15, 13.5), Green);
        break;
    case iiSearchNext:
        Magnifier(p, QPointF(5.5, 5.5), 3.5);
        Arrow(p, QPointF(13, 6), QPointF(13, 15), Blue);
        break;
    case iiSearchPrior:
        Magnifier(p, QPointF(5.5, 9.5), 3.5);
        Arrow(p, QPointF(13, 10), QPointF(13, 1), Blue);
        break;
    default:
        break;
    }
}

QPixmap DrawIcon(int index, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    DrawPicture(p, index);
    return pixmap;
}

}  // namespace

TdtmImages::TdtmImages(QObject *parent) : QObject(parent) {
    setObjectName(QStringLiteral("dtmImages"));
    for (int index = 0; index < IconCount; ++index) {
        const QString name = ThemeIconName(index);
        imlIcons << (name.isEmpty() ? FallbackIcon(index) : QIcon::fromTheme(name, FallbackIcon(index)));
    }
    for (int index = 0; index < GutterGlyphCount; ++index)
        imlGlyphs << DrawGutterGlyph(index);
    if (!TheInstance)
        TheInstance = this;
}

TdtmImages::~TdtmImages() {
    if (TheInstance == this)
        TheInstance = nullptr;
}

TdtmImages *TdtmImages::Instance() { return TheInstance; }

QString TdtmImages::ThemeIconName(int index) {
    return index >= 0 && index < IconCount ? QString::fromLatin1(ThemeNames[index]) : QString();
}

QIcon TdtmImages::FallbackIcon(int index) {
    QIcon icon;
    if (index < 0 || index >= IconCount)
        return icon;
    icon.addPixmap(DrawIcon(index, 16));
    icon.addPixmap(DrawIcon(index, 24));
    icon.addPixmap(DrawIcon(index, 32));
    return icon;
}
