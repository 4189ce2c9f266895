#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/RunJournal.h"
#include "support/TempDir.h"

namespace {

using testsupport::TempDir;

// Every file under the journals' folder counts, in folders below it too; a link counts as
// itself, never as what it points at.
TEST(RunsSpaceTest, FilesBelowTheFolderAndNotWhatLinksPointAt) {
    const TempDir state;
    const testsupport::ScopedEnv stateHome("XDG_STATE_HOME", state.Path().c_str());
    EXPECT_EQ(platform::RunsSpaceHeld(), 0u);
    const std::string runs = state / "orbel-kelvane/runs";
    std::filesystem::create_directories(runs + "/kept");
    state.Write("orbel-kelvane/runs/20261209-075403-123.journal", std::string(100, 'j'));
    state.Write("orbel-kelvane/runs/kept/old.gif", std::string(50, 'g'));
    const std::string elsewhere = state.Write("large", std::string(10'000, 'x'));
    ASSERT_EQ(symlink(elsewhere.c_str(), (runs + "/kept/link").c_str()), 0);
    EXPECT_EQ(platform::RunsSpaceHeld(), 150u);
}

// Runs started one right after the other, many within one millisecond, each keep a journal of
// their own: an id whose run is over is never taken again.
TEST(RunsSpaceTest, RunsOfOneMillisecondEachKeepTheirOwnJournal) {
    const TempDir state;
    const testsupport::ScopedEnv stateHome("XDG_STATE_HOME", state.Path().c_str());
    constexpr int kRuns = 40;
    for (int run = 0; run < kRuns; ++run) {
        std::string reason;
        const std::unique_ptr<platform::TRunJournal> journal =
            platform::TRunJournal::Begin(platform::TRunJournal::Kind::Run, reason);
        ASSERT_TRUE(journal) << reason;
        platform::JournalEntry entry;
        entry.number = journal->NextNumber();
        entry.before.path = entry.after.path = "/f" + std::to_string(run);
        journal->Add(entry);
        const platform::Result synced = journal->Sync();
        ASSERT_TRUE(synced) << synced.Reason();
    }
    EXPECT_EQ(platform::ListRuns().size(), static_cast<std::size_t>(kRuns));
}

// Old content kept by the runs stays under a gibibyte: at the end of a run the oldest runs go
// until what is left fits, however few runs are kept. (Sparse files: their size counts.)
TEST(RunsSpaceTest, OldestRunsGoWhileTheirContentPassesAGibibyte) {
    const TempDir state;
    const testsupport::ScopedEnv stateHome("XDG_STATE_HOME", state.Path().c_str());
    const std::string runs = state / "orbel-kelvane/runs";
    std::filesystem::create_directories(runs);
    const std::vector<std::string> old = {"20200101-000000-000", "20200102-000000-000",
                                          "20200103-000000-000"};
    for (const std::string& id : old) {
        state.Write("orbel-kelvane/runs/" + id + ".journal", "");
        std::filesystem::create_directories(runs + "/" + id + ".kept");
        std::filesystem::resize_file(state.Write("orbel-kelvane/runs/" + id + ".kept/0", ""),
                                     std::uintmax_t{400} << 20);
    }
    {
        std::string reason;
        const std::unique_ptr<platform::TRunJournal> journal =
            platform::TRunJournal::Begin(platform::TRunJournal::Kind::Run, reason);
        ASSERT_TRUE(journal) << reason;
        platform::JournalEntry entry;
        entry.before.path = entry.after.path = "/f";
        journal->Add(entry);
        ASSERT_TRUE(journal->Sync());
    }
    std::vector<std::string> left;
    for (const platform::RunSummary& run : platform::ListRuns())
        left.push_back(run.id);
    ASSERT_EQ(left.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(left.begin(), left.begin() + 2),
              std::vector<std::string>(old.begin() + 1, old.end()));
    EXPECT_FALSE(std::filesystem::exists(runs + "/" + old[0] + ".kept"));
}

}  // namespace
