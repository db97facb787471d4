// Widget tests need one application object for the whole run; without a display they draw
// off-screen.

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char* argv[]) {
    // Run by hand, the tests get the same 1280 x 1024 design screen as under ctest.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" VM_DESIGN_SCREEN_CONFIG);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
