#include <QApplication>
#include <gtest/gtest.h>

// The windows need an application object; listing the tests (as CTest does at build time) must not,
// since no display may exist then.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    return RUN_ALL_TESTS();
}
