#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

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

}  // namespace
