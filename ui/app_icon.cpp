#include "ui/app_icon.h"

#include <QPainter>

namespace orvanta::ui {

QPixmap AppIconPixmap(int side) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 64.0, side / 64.0);
    p.setPen(QPen(QColor(20, 52, 104), 4));
    p.setBrush(QColor(250, 250, 245));
    p.drawEllipse(QPointF(32, 32), 28, 28);
    p.setPen(QPen(QColor(20, 52, 104), 3, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 12; ++i) {
        p.save();
        p.translate(32, 32);
        p.rotate(30.0 * i);
        p.drawLine(QPointF(0, -22), QPointF(0, -25));
        p.restore();
    }
    p.setPen(QPen(QColor(20, 52, 104), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(32, 32), QPointF(32, 15));
    p.setPen(QPen(QColor(200, 40, 30), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(32, 32), QPointF(45, 38));
    return pixmap;
}

QIcon AppIcon() {
    QIcon icon;
    for (int side : {16, 22, 24, 32, 48, 64})
        icon.addPixmap(AppIconPixmap(side));
    return icon;
}

} // namespace orvanta::ui
