#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

// The widgets need an application; with no display they render offscreen.
int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZEM Setup"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
