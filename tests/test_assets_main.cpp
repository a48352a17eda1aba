// Test entry for asset tests that decode pictures through Qt's image readers.
#include <QGuiApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Test discovery runs this program at build time too, where no display exists.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
