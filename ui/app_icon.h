#pragma once

#include <QIcon>
#include <QPixmap>

namespace orvanta::ui {

// The program's clock face, drawn at the size asked for.
QPixmap AppIconPixmap(int side);
// The clock face at the sizes the window frame and the notification area ask for.
QIcon AppIcon();

} // namespace orvanta::ui
