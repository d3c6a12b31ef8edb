#pragma once

#include <QPixmap>
#include <QWidget>
#include <vector>

namespace orvanta::ui {

// Where the three banner pictures go in a strip of the given width.
struct BannerPlacement {
    int picturesX = 0;
    std::vector<int> gradientXs; // left edges of the gradient tiles, left to right
    int algenX = 0;
};

// The end picture sits at the right end; the picture block starts at the left and the gradient is tiled
// between them. A strip too narrow for both pictures shifts the picture block left until it touches the
// end picture, and no gradient is drawn.
BannerPlacement PlaceBanner(int stripWidth, int picturesWidth, int gradientWidth, int algenWidth);

// The strip under the menu (Logo), drawn from three pictures made in code.
class Banner : public QWidget {
    Q_OBJECT

  public:
    explicit Banner(QWidget* parent);

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  signals:
    // The strip stands in for the title bar, whose menu belongs to the window manager here.
    void controlMenuRequested(const QPoint& globalPos);

  private:
    QPixmap pictures_; // BAR_PICTURES
    QPixmap gradient_; // BAR_GRADIENT
    QPixmap algen_;    // BAR_ALGEN
};

} // namespace orvanta::ui
