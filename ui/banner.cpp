#include "ui/banner.h"

#include "ui/app_icon.h"

#include <QContextMenuEvent>
#include <QLinearGradient>
#include <QPainter>

namespace orvanta::ui {
namespace {

constexpr int kHeight = 48;
const QColor kDeep(24, 62, 122);
const QColor kLight(92, 148, 214);

// The banner's one background, so its three pieces join without a seam.
void FillBackground(QPainter& p, const QRect& area) {
    QLinearGradient fill(0, 0, 0, kHeight);
    fill.setColorAt(0, kLight);
    fill.setColorAt(1, kDeep);
    p.fillRect(area, fill);
}

QPixmap Gradient() {
    QPixmap pixmap(16, kHeight);
    QPainter p(&pixmap);
    FillBackground(p, pixmap.rect());
    return pixmap;
}

QPixmap Pictures() {
    QPixmap pixmap(260, kHeight);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    FillBackground(p, pixmap.rect());
    p.drawPixmap(8, 4, AppIconPixmap(40));
    QFont font = p.font();
    font.setPixelSize(22);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(58, 0, 200, kHeight), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Orvanta"));
    return pixmap;
}

QPixmap Algen() {
    QPixmap pixmap(120, kHeight);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    FillBackground(p, pixmap.rect());
    // A fan of clock ticks fading towards the window's edge.
    for (int i = 0; i < 12; ++i) {
        QColor tick = Qt::white;
        tick.setAlphaF(0.15 + 0.05 * i);
        p.setPen(QPen(tick, 2));
        const int x = 10 + i * 9;
        p.drawLine(x, kHeight / 2 - (i % 3 == 0 ? 12 : 6), x, kHeight / 2 + (i % 3 == 0 ? 12 : 6));
    }
    return pixmap;
}

} // namespace

BannerPlacement PlaceBanner(int stripWidth, int picturesWidth, int gradientWidth, int algenWidth) {
    BannerPlacement placement;
    placement.algenX = stripWidth - algenWidth;
    if (stripWidth < picturesWidth + algenWidth) {
        placement.picturesX = placement.algenX - picturesWidth;
        return placement;
    }
    if (gradientWidth <= 0) return placement;
    for (int x = picturesWidth; x < placement.algenX; x += gradientWidth)
        placement.gradientXs.push_back(x);
    return placement;
}

Banner::Banner(QWidget* parent)
    : QWidget(parent), pictures_(Pictures()), gradient_(Gradient()), algen_(Algen()) {
    setObjectName("Logo");
    setFixedHeight(kHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize Banner::sizeHint() const {
    return {pictures_.width() + algen_.width(), kHeight};
}

void Banner::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const BannerPlacement placement =
        PlaceBanner(width(), pictures_.width(), gradient_.width(), algen_.width());
    p.drawPixmap(placement.picturesX, 0, pictures_);
    for (int x : placement.gradientXs)
        p.drawPixmap(x, 0, gradient_);
    // Last, so it covers the part of the final tile that reaches under it.
    p.drawPixmap(placement.algenX, 0, algen_);
}

void Banner::contextMenuEvent(QContextMenuEvent* event) {
    emit controlMenuRequested(event->globalPos());
}

} // namespace orvanta::ui
