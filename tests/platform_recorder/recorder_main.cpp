#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

// The recorder window needs the X11 platform of the toolkit, so the hook's client messages reach it;
// listing the tests needs no display.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests) || !std::getenv("DISPLAY")) return RUN_ALL_TESTS();
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    return RUN_ALL_TESTS();
}
