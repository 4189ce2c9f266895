// The life of a search: stopping, restarting and destroying it at any moment, handler
// failures, priorities, and several searches at once. Run these under the thread sanitizer too.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <stdexcept>

#include "vexFindSupport.h"

namespace {

using namespace vexfindtest;
using vexfind::TThreadPriority;

// A tree large enough that a search needs several hand-overs, so that none is over before the
// tests act on it.
void MakeTree(const std::string& root, int folders = 10, int files = 60) {
    for (int d = 0; d < folders; ++d) {
        for (int f = 0; f < files; ++f) {
            MakeFile(root + "/d" + std::to_string(d) + "/f" + std::to_string(f) + ".txt");
        }
    }
}

std::vector<Event> Listing(const std::string& root) {
    std::vector<Event> events;
    PlainListing(root, events);
    events.push_back({"completed", "", ""});
    return events;
}

class VexFindThread : public ::testing::Test {
protected:
    void SetUp() override {
        treeA = tmp / "A";
        treeB = tmp / "B";
        MakeTree(treeA);
        MakeTree(treeB, 2, 5);
        finder->SetFileMask("*.*");
        finder->SetDirectories({treeA});
    }

    // Binds handlers that record, and that call `onFind` after recording each find.
    void Bind(std::function<void()> onFind = {}) {
        finder->SetOnChangeDirectory([this](TFindThread&, const std::string& dir) {
            events.push_back({"dir", dir, ""});
        });
        finder->SetOnFileFound(
            [this, onFind](TFindThread& sender, const std::string& dir, const TSearchRec& find) {
                // The worker waits while a handler runs, so its own fields are the ones reported.
                EXPECT_EQ(sender.CurrentDirectory(), dir);
                EXPECT_EQ(sender.CurrentFind().Name, find.Name);
                events.push_back({"found", dir, find.Name});
                ++finds;
                if (onFind)
                    onFind();
            });
        finder->SetOnCompleted([this](TFindThread&) {
            events.push_back({"completed", "", ""});
            ++completed;
        });
    }

    std::vector<Event> EventsFrom(std::size_t index) const {
        return {events.begin() + static_cast<std::ptrdiff_t>(index), events.end()};
    }

    testsupport::TempDir tmp;
    std::string treeA;
    std::string treeB;
    TFindEventLoop loop;
    std::unique_ptr<TVexFind> finder = std::make_unique<TVexFind>(loop);
    std::vector<Event> events;
    int finds = 0;
    int completed = 0;
};

TEST_F(VexFindThread, StopFromTheOwnerBetweenHandOvers) {
    Bind();
    finder->Start();
    loop.RunUntil([this] { return finds >= 5; });
    finder->Stop();
    const std::size_t atStop = events.size();
    RunToEnd(loop, *finder);
    EXPECT_EQ(events.size(), atStop);
    EXPECT_EQ(completed, 0);
    EXPECT_FALSE(finder->Searching());
}

TEST_F(VexFindThread, StartDuringAWalkReportsOnlyTheNewSearch) {
    Bind();
    finder->Start();
    loop.RunUntil([this] { return finds >= 5; });
    const std::size_t atRestart = events.size();
    finder->SetDirectories({treeB});
    finder->Start();
    RunToEnd(loop, *finder);
    EXPECT_EQ(EventsFrom(atRestart), Listing(treeB));
    EXPECT_EQ(completed, 1);
}

TEST_F(VexFindThread, StartFromInsideAHandlerReplacesTheSearchReportingIt) {
    std::size_t atRestart = 0;
    Bind([this, &atRestart] {
        if (finds == 5) {
            atRestart = events.size();
            finder->SetDirectories({treeB});
            finder->Start();
        }
    });
    finder->Start();
    RunToEnd(loop, *finder);
    EXPECT_EQ(EventsFrom(atRestart), Listing(treeB));
    EXPECT_EQ(completed, 1);
}

TEST_F(VexFindThread, DestroyDuringAWalk) {
    Bind();
    finder->Start();
    loop.RunUntil([this] { return finds >= 5; });
    finder.reset();
    const std::size_t atDestroy = events.size();
    while (loop.WaitAndProcess(std::chrono::milliseconds(50))) {
    }
    EXPECT_EQ(events.size(), atDestroy);
    EXPECT_EQ(completed, 0);
}

TEST_F(VexFindThread, DestroyFromInsideAHandler) {
    Bind([this] {
        if (finds == 5)
            finder.reset();
    });
    finder->Start();
    loop.RunUntil([this] { return finds >= 5; });
    while (loop.WaitAndProcess(std::chrono::milliseconds(50))) {
    }
    EXPECT_EQ(finds, 5);
    EXPECT_EQ(completed, 0);
}

TEST_F(VexFindThread, CompletionAlreadyHandedOverStillRunsWhileStartWaits) {
    Bind();
    finder->SetDrives("");  // no walk: the only hand-over is the completion
    finder->Start();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (loop.PendingCount() == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(loop.PendingCount(), 1u);
    finder->Start();  // serves the waiting completion itself before it starts again
    EXPECT_EQ(completed, 1);
    RunToEnd(loop, *finder);
    EXPECT_EQ(completed, 2);
}

TEST_F(VexFindThread, HandlerExceptionEndsTheSearchAndAllowsANewOne) {
    Bind([this] {
        if (finds == 3)
            throw std::runtime_error("list full");
    });
    finder->Start();
    RunToEnd(loop, *finder);
    EXPECT_EQ(finds, 3);
    EXPECT_EQ(completed, 0);
    ASSERT_TRUE(finder->HandlerError());
    EXPECT_THROW(std::rethrow_exception(finder->HandlerError()), std::runtime_error);

    Bind();
    events.clear();
    finder->SetDirectories({treeB});
    finder->Start();
    EXPECT_FALSE(finder->HandlerError());
    RunToEnd(loop, *finder);
    EXPECT_EQ(events, Listing(treeB));
}

TEST_F(VexFindThread, PropertiesChangedDuringASearchDoNotReachIt) {
    Bind();
    finder->SetDirectories({treeB});
    finder->Start();
    finder->SetFileMask("*.none");
    finder->SetDirectories({treeA});
    finder->SetDrives("");
    RunToEnd(loop, *finder);
    EXPECT_EQ(events, Listing(treeB));
}

TEST_F(VexFindThread, SeveralComponentsSearchAtOnce) {
    TVexFind second(loop);
    second.SetFileMask("*.*");
    second.SetDirectories({treeB});
    Recorder secondRecorder(second);
    Bind();
    finder->Start();
    second.Start();
    loop.RunUntil([&] { return !finder->Searching() && !second.Searching(); });
    EXPECT_EQ(events, Listing(treeA));
    EXPECT_EQ(secondRecorder.events, Listing(treeB));
    EXPECT_FALSE(secondRecorder.offThread);
}

// The worker walks on while the owner runs a batch: whatever the owner's pace and wherever a
// handler stops the search (inside a batch, at a batch's edge, at the last find), the handlers
// see a prefix of the plain walk, and nothing after the Stop. The tree is large enough that a
// slow owner makes the worker wait for it more than once.
TEST_F(VexFindThread, OverlappingHandOversKeepWalkOrderUpToAStop) {
    const std::string root = tmp / "deep";
    for (int d = 0; d < 6; ++d) {
        const std::string folder = root + "/d" + std::to_string(d);
        MakeTree(folder, 4, 60);
        MakeFile(folder + "/.hidden/skipped.txt");
        fs::create_directory_symlink(root, folder + "/back");
    }
    const std::vector<Event> listing = Listing(root);
    const int allFinds = static_cast<int>(std::count_if(
        listing.begin(), listing.end(), [](const Event& e) { return e.kind == "found"; }));
    struct Case {
        int stopAfter;  // finds before the handler stops the search; 0: never
        bool slowOwner;
    };
    const Case cases[] = {{0, false},   {0, true},    {1, false},      {256, true},
                          {257, false}, {1200, true}, {allFinds, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "stop after " << c.stopAfter << (c.slowOwner ? ", slow owner" : ""));
        events.clear();
        finds = 0;
        Bind([&] {
            if (c.slowOwner && finds % 256 == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            if (finds == c.stopAfter)
                finder->Stop();
        });
        finder->SetDirectories({root});
        finder->Start();
        RunToEnd(loop, *finder);
        std::vector<Event> expected = listing;
        if (c.stopAfter != 0) {
            int seen = 0;
            const auto last = std::find_if(expected.begin(), expected.end(), [&](const Event& e) {
                return e.kind == "found" && ++seen == c.stopAfter;
            });
            expected.erase(last + 1, expected.end());
        }
        EXPECT_EQ(events, expected);
    }
}

TEST(VexFindPriority, WorkerRunsAtItsNicenessOrInheritsWhenRaisingIsRefused) {
    const int base = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
    struct Case {
        TThreadPriority priority;
        int offset;  // added to the starting thread's niceness
    };
    const Case cases[] = {
        {TThreadPriority::tpIdle, 39},          {TThreadPriority::tpLowest, 10},
        {TThreadPriority::tpLower, 5},          {TThreadPriority::tpNormal, 0},
        {TThreadPriority::tpHigher, -5},        {TThreadPriority::tpHighest, -10},
        {TThreadPriority::tpTimeCritical, -39},
    };
    testsupport::TempDir tmp;
    TFindEventLoop loop;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.offset);
        TVexFind finder(loop);
        finder.SetDirectories({tmp.Path()});
        finder.SetThreadPriority(c.priority);
        int niceness = 1000;
        finder.SetOnCompleted([&](TFindThread& sender) { niceness = sender.Niceness(); });
        finder.Start();
        RunToEnd(loop, finder);
        EXPECT_EQ(vexfind::NicenessOffset(c.priority), c.offset);
        // The niceness when the change is allowed, within the range the system has.
        const int allowed = std::clamp(base + c.offset, -20, 19);
        if (allowed < base) {
            EXPECT_TRUE(niceness == allowed || niceness == base) << niceness;
        } else {
            EXPECT_EQ(niceness, allowed);
        }
    }
}

}  // namespace
