#pragma once

#include <QString>

namespace orvanta::ui {

// Gives a control the object name it is known by: the language files translate it under that name, and
// accessibility tools and tests find it by it.
template <typename W> W* Named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace orvanta::ui
