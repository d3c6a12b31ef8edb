#include "ui/flat_check_box.h"

#include <QPainter>
#include <QStyleOptionViewItem>
#include <algorithm>

namespace orvanta::ui {

void DrawFlatCheckBox(QPainter* painter, const QStyleOptionViewItem& option, bool checked) {
    // The row text starts with blanks, so the box lies over empty space. A small flat square centred in
    // the strip; the whole strip and row height answer the click.
    const int side = std::min(kCheckBoxRight - kCheckBoxLeft + 1, option.rect.height() - 2) - 2;
    const QRect box(option.rect.left() + kCheckBoxLeft + (kCheckBoxRight - kCheckBoxLeft + 1 - side) / 2,
                    option.rect.top() + (option.rect.height() - side) / 2, side, side);
    const QColor ink = option.palette.color(QPalette::Text);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(ink, 1));
    painter->setBrush(option.palette.color(QPalette::Base));
    painter->drawRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5));
    if (checked) {
        painter->setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const QRectF r = QRectF(box).adjusted(3, 3, -3, -3);
        painter->drawPolyline(QPolygonF{QPointF(r.left(), r.center().y()),
                                        QPointF(r.left() + r.width() * 0.4, r.bottom()), r.topRight()});
    }
    painter->restore();
}

} // namespace orvanta::ui
