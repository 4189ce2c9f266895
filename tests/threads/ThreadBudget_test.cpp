#include "threads/ThreadBudget.h"

#include <gtest/gtest.h>

namespace threads {
namespace {

// One worker keeps the second processor busy and several keep a server's questions in flight;
// adding while a run's workers change files gets one fewer, down to the adding thread alone.
TEST(ThreadBudgetTest, EachUseOnEachKindOfVolume) {
    struct Case {
        Use use;
        int fromThisMachine;
        int overARoundTrip;
    };
    for (const Case& c : {Case{Use::Search, 1, 3}, Case{Use::Add, 1, 3}, Case{Use::Run, 1, 3},
                          Case{Use::AddDuringRun, 0, 2}}) {
        EXPECT_EQ(Workers(c.use, Answers::FromThisMachine), c.fromThisMachine)
            << static_cast<int>(c.use);
        EXPECT_EQ(Workers(c.use, Answers::OverARoundTrip), c.overARoundTrip)
            << static_cast<int>(c.use);
    }
}

}  // namespace
}  // namespace threads
