#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QPushButton>
#include <QTest>
#include <stdexcept>
#include <string>

namespace orvanta::test {

// A window's control by the object name it is built with, as an accessibility tool sees it. A missing or
// renamed control fails the test instead of crashing it.
template <typename W> W* Control(const QObject& window, const char* name) {
    W* control = window.findChild<W*>(QString::fromLatin1(name));
    if (!control) throw std::runtime_error(std::string("no control named ") + name);
    return control;
}

// Presses a button as the user does: nothing happens while it is disabled.
inline void Click(const QObject& window, const char* button) {
    Control<QPushButton>(window, button)->click();
}

// Waits until the window's loading flag, set while it fills itself, has dropped.
template <typename Window> void WaitUntilLoaded(const Window& window) {
    for (int i = 0; i < 400 && window.loading(); ++i)
        QTest::qWait(5);
    if (window.loading()) throw std::runtime_error("the window never finished loading");
}

} // namespace orvanta::test
