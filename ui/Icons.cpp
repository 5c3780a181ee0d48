#include "ui/Icons.h"

#include <QFile>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace brim::ui {

QIcon programIcon() {
    // Pictures of data/brimmark.svg built into the program; the installed
    // theme icon where the build had no means to make them.
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128}) {
        const QString file = QStringLiteral(":/icons/brimmark-%1.png").arg(size);
        if (QFile::exists(file)) icon.addFile(file, QSize(size, size));
    }
    return icon.isNull() ? QIcon::fromTheme(QStringLiteral("brimmark")) : icon;
}

QIcon makeIcon(IconKind kind, bool small) {
    const int s = small ? 13 : 16;
    QPixmap pm(s, s);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(s / 16.0, s / 16.0);
    const QPen outline(QColor(40, 40, 40), 1.2);
    p.setPen(outline);
    switch (kind) {
        case IconKind::Get:  // an arrow into a tray
            p.setBrush(QColor(70, 140, 220));
            p.drawPolygon(QPolygonF({{8, 13}, {3, 7}, {6, 7}, {6, 1}, {10, 1}, {10, 7}, {13, 7}}));
            p.drawLine(2, 15, 14, 15);
            break;
        case IconKind::Same:  // two equal bars
            p.setBrush(QColor(90, 170, 90));
            p.drawRect(QRectF(2, 4, 12, 3));
            p.drawRect(QRectF(2, 9, 12, 3));
            break;
        case IconKind::Folder:
            p.setBrush(QColor(240, 200, 80));
            p.drawPolygon(QPolygonF({{1, 4}, {6, 4}, {7, 6}, {15, 6}, {15, 14}, {1, 14}}));
            break;
        case IconKind::Search:  // a magnifying glass
            p.setBrush(QColor(200, 225, 250));
            p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
            p.setPen(QPen(QColor(40, 40, 40), 2.5));
            p.drawLine(QPointF(9.5, 9.5), QPointF(14.5, 14.5));
            break;
        case IconKind::Open: {  // a globe
            p.setBrush(QColor(120, 190, 240));
            p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QRectF(5, 1.5, 6, 13));
            p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
            break;
        }
        case IconKind::Delete:  // a cross
            p.setPen(QPen(QColor(200, 50, 50), 3, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(3, 3, 13, 13);
            p.drawLine(13, 3, 3, 13);
            break;
        case IconKind::Html:  // a page with angle brackets
            p.setBrush(Qt::white);
            p.drawRect(QRectF(2.5, 1.5, 11, 13));
            p.setPen(QPen(QColor(220, 110, 30), 1.5));
            p.drawPolyline(QPolygonF({{7, 5}, {4.5, 8}, {7, 11}}));
            p.drawPolyline(QPolygonF({{9, 5}, {11.5, 8}, {9, 11}}));
            break;
        case IconKind::Exit: {  // a power sign
            p.setPen(QPen(QColor(60, 60, 60), 2, Qt::SolidLine, Qt::RoundCap));
            QPainterPath arc;
            arc.arcMoveTo(QRectF(2, 3, 12, 12), 120);
            arc.arcTo(QRectF(2, 3, 12, 12), 120, 300);
            p.drawPath(arc);
            p.drawLine(QPointF(8, 1.5), QPointF(8, 8));
            break;
        }
        case IconKind::Save:  // a floppy disk
            p.setBrush(QColor(80, 110, 170));
            p.drawRect(QRectF(1.5, 1.5, 13, 13));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4, 2, 8, 5));
            break;
        case IconKind::Mode:  // a window with a bar
            p.setBrush(Qt::white);
            p.drawRect(QRectF(1.5, 2.5, 13, 11));
            p.setBrush(QColor(70, 110, 190));
            p.drawRect(QRectF(1.5, 2.5, 13, 3));
            break;
        case IconKind::None:
            break;
    }
    p.end();
    return QIcon(pm);
}

}  // namespace brim::ui
