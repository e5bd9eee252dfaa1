#include "app/toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tavrel::gui {

namespace {

const QColor kInk(0x2b, 0x4f, 0x8c);
const QColor kAccent(0xd0, 0x4a, 0x2a);

QPolygonF arrow(bool horizontal, bool positive) {
    // An arrow in the 22 x 20 box, pointing right (horizontal, positive),
    // left, down or up.
    QPolygonF p;
    if (horizontal) {
        p << QPointF(3, 7.5) << QPointF(11, 7.5) << QPointF(11, 3) << QPointF(19, 10) << QPointF(11, 17)
          << QPointF(11, 12.5) << QPointF(3, 12.5);
        if (!positive)
            for (QPointF& q : p) q.setX(22 - q.x());
    } else {
        p << QPointF(8.5, 2) << QPointF(13.5, 2) << QPointF(13.5, 10) << QPointF(18, 10) << QPointF(11, 18)
          << QPointF(4, 10) << QPointF(8.5, 10);
        if (!positive)
            for (QPointF& q : p) q.setY(20 - q.y());
    }
    return p;
}

void paint(QPainter& g, ToolIcon which) {
    g.setRenderHint(QPainter::Antialiasing);
    QPen pen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    g.setPen(pen);
    switch (which) {
        case ToolIcon::Previous:
        case ToolIcon::Next:
            g.setBrush(kInk.lighter(150));
            g.drawPolygon(arrow(false, which == ToolIcon::Next));
            break;
        case ToolIcon::Back:
        case ToolIcon::Forward:
            g.setBrush(QColor(0x3c, 0x9a, 0x4a));
            g.setPen(QPen(QColor(0x24, 0x6b, 0x30), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            g.drawPolygon(arrow(true, which == ToolIcon::Forward));
            break;
        case ToolIcon::Synchro: {
            g.setBrush(Qt::NoBrush);
            g.drawArc(QRectF(4, 3, 14, 14), 30 * 16, 150 * 16);
            g.drawArc(QRectF(4, 3, 14, 14), 210 * 16, 150 * 16);
            g.setBrush(kInk);
            g.drawPolygon(QPolygonF() << QPointF(2, 8) << QPointF(7, 8) << QPointF(4.5, 12));
            g.drawPolygon(QPolygonF() << QPointF(15, 12) << QPointF(20, 12) << QPointF(17.5, 8));
            break;
        }
        case ToolIcon::Refer:
            g.setBrush(Qt::NoBrush);
            g.drawRoundedRect(QRectF(2.5, 6.5, 10, 7), 3.5, 3.5);
            g.setPen(QPen(kAccent, 1.6));
            g.drawRoundedRect(QRectF(9.5, 6.5, 10, 7), 3.5, 3.5);
            break;
        case ToolIcon::Brachet:
            g.setBrush(Qt::NoBrush);
            g.drawArc(QRectF(3, 2, 8, 16), 100 * 16, 160 * 16);
            g.setPen(QPen(kAccent, 1.6));
            g.drawArc(QRectF(11, 2, 8, 16), -80 * 16, 160 * 16);
            g.setPen(QPen(kInk.lighter(140), 1.2));
            g.drawLine(QPointF(8.5, 10), QPointF(13.5, 10));
            break;
        case ToolIcon::OnTop:
            g.setBrush(QColor(0xe8, 0xe8, 0xe8));
            g.drawRect(QRectF(2.5, 7.5, 11, 9));
            g.setBrush(QColor(0xff, 0xf2, 0xb0));
            g.drawRect(QRectF(8.5, 3.5, 11, 9));
            break;
        case ToolIcon::PinPoint:
            g.setBrush(Qt::NoBrush);
            g.drawEllipse(QPointF(11, 10), 7, 7);
            g.drawEllipse(QPointF(11, 10), 3.5, 3.5);
            g.drawLine(QPointF(11, 1), QPointF(11, 5));
            g.drawLine(QPointF(11, 15), QPointF(11, 19));
            g.drawLine(QPointF(2, 10), QPointF(6, 10));
            g.drawLine(QPointF(16, 10), QPointF(20, 10));
            g.setPen(Qt::NoPen);
            g.setBrush(kAccent);
            g.drawEllipse(QPointF(11, 10), 1.6, 1.6);
            break;
        case ToolIcon::DesignData: {
            g.setBrush(QColor(0xf4, 0xf0, 0xe4));
            g.drawRect(QRectF(4.5, 2.5, 13, 15));
            g.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::FlatCap));
            // An H section.
            g.drawLine(QPointF(8, 6), QPointF(14, 6));
            g.drawLine(QPointF(8, 14), QPointF(14, 14));
            g.drawLine(QPointF(11, 6), QPointF(11, 14));
            break;
        }
        case ToolIcon::printPage:
            g.setBrush(Qt::white);
            g.drawRect(QRectF(6.5, 2.5, 9, 6));
            g.setBrush(QColor(0xb8, 0xc4, 0xd8));
            g.drawRoundedRect(QRectF(2.5, 7.5, 17, 7), 1.5, 1.5);
            g.setBrush(Qt::white);
            g.drawRect(QRectF(6.5, 12.5, 9, 5.5));
            g.setPen(QPen(kInk.lighter(150), 1));
            g.drawLine(QPointF(8, 14.5), QPointF(14, 14.5));
            g.drawLine(QPointF(8, 16.5), QPointF(13, 16.5));
            break;
        case ToolIcon::CitedBy:
            // A page with a reference coming back to it from the right.
            g.setBrush(QColor(0xf4, 0xf0, 0xe4));
            g.drawRect(QRectF(2.5, 2.5, 9, 15));
            g.setPen(QPen(kInk.lighter(150), 1));
            g.drawLine(QPointF(4.5, 6.5), QPointF(9.5, 6.5));
            g.drawLine(QPointF(4.5, 9.5), QPointF(9.5, 9.5));
            g.drawLine(QPointF(4.5, 12.5), QPointF(8, 12.5));
            g.setPen(QPen(kAccent, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            g.drawLine(QPointF(20, 10), QPointF(14, 10));
            g.setBrush(kAccent);
            g.drawPolygon(QPolygonF() << QPointF(12.5, 10) << QPointF(16, 7) << QPointF(16, 13));
            break;
    }
}

}  // namespace

QIcon toolIcon(ToolIcon which) {
    QIcon icon;
    for (int scale = 1; scale <= 3; ++scale) {
        QPixmap pixmap(22 * scale, 20 * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter g(&pixmap);
        paint(g, which);
        g.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace tavrel::gui
