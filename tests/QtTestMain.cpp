#include <gtest/gtest.h>
#include <QCoreApplication>

// Tests of the real layer run inside a Qt application so that queued calls, timers and D-Bus
// have an event loop.
int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
