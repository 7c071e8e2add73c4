#include <gtest/gtest.h>
#include <QApplication>

// Tests of the real layer run inside a Qt application so that queued calls, timers, D-Bus and
// widgets have an event loop; without a display they draw offscreen.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
