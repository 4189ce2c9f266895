// The window tests drive real widgets, so they need an application object; listing the tests,
// which the build does to register them, needs no window system.

#include <gtest/gtest.h>

#include <QApplication>

#include "support/TempDir.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    // Every run of a window keeps a journal: a window made without a folder of its own keeps
    // them here, never among the user's.
    const testsupport::TempDir state;
    const testsupport::ScopedEnv stateHome("XDG_STATE_HOME", state.Path().c_str());
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
