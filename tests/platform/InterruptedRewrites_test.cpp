#include "platform/InterruptedRewrites.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/linux/RewriteRecord.h"
#include "support/TempDir.h"

namespace platform {
namespace {

using linux_fs::RewriteFacts;
using linux_fs::RewriteKind;
using linux_fs::TRewriteRecord;
using testsupport::ReadFile;
using testsupport::TempDir;

std::uint64_t Digest(const std::string& text) {
    return linux_fs::ContentDigest(
        {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

// What a rewrite killed at some moment leaves: the file as it then was, the copy of its old
// bytes as far as it was written, and the record.
struct Leftover {
    const char* what;
    const char* file;  // nullptr: the file is gone
    const char* copy;
    const char* fileAfter;
    bool copyRemains;
};

TEST(InterruptedRewritesTest, TheFileIsLeftWhollyOldOrWhollyNew) {
    const std::string old = "old old old old";
    const std::string fresh = "new bytes";
    const Leftover cases[] = {
        {"torn", "new bytesld old", "old old old old", "old old old old", false},
        {"wholly new", "new bytes", "old old old old", "new bytes", false},
        {"not yet written", "old old old old", "old old old old", "old old old old", false},
        {"copy cut short", "old old old old", "old ol", "old old old old", false},
        {"file gone", nullptr, "old old old old", nullptr, true},
        {"changed since", "edited by the user since then", "old old old old",
         "edited by the user since then", true},
    };
    for (const Leftover& c : cases) {
        TempDir state;
        setenv("XDG_STATE_HOME", state.Path().c_str(), 1);
        TempDir dir;
        const std::string file = dir.Write("image.gif", c.file ? c.file : "");
        const std::string copy = dir.Write(".kelvane-1-0.tmp", c.copy);
        struct stat st {};
        stat(file.c_str(), &st);
        if (!c.file)
            unlink(file.c_str());
        RewriteFacts facts{RewriteKind::InPlace, dir.Path(), "image.gif", dir.Path(),
                           ".kelvane-1-0.tmp", st.st_ino, 0, old.size(), Digest(old),
                           fresh.size(), Digest(fresh)};
        std::string reason;
        std::optional<TRewriteRecord> record = TRewriteRecord::Begin(facts, reason);
        ASSERT_TRUE(record) << reason;
        // Left locked by a rewrite still going on: not touched.
        EXPECT_TRUE(MendInterruptedRewrites().empty()) << c.what;
        record->Keep();
        record.reset();

        const std::vector<MendedRewrite> mended = MendInterruptedRewrites();
        ASSERT_EQ(mended.size(), 1u) << c.what;
        EXPECT_EQ(mended[0].path, file) << c.what;
        if (c.fileAfter) {
            EXPECT_EQ(ReadFile(file), c.fileAfter) << c.what;
        }
        EXPECT_EQ(std::filesystem::exists(copy), c.copyRemains) << c.what;
        // A copy kept for the user is named on every run until the user removes it.
        if (c.copyRemains) {
            EXPECT_NE(mended[0].what.find(copy), std::string::npos) << mended[0].what;
            EXPECT_EQ(MendInterruptedRewrites().size(), 1u) << c.what;
            unlink(copy.c_str());
        }
        EXPECT_TRUE(MendInterruptedRewrites().empty()) << c.what;
        unsetenv("XDG_STATE_HOME");
    }
}

TEST(InterruptedRewritesTest, AnUnfinishedNewFileIsRemoved) {
    TempDir state;
    setenv("XDG_STATE_HOME", state.Path().c_str(), 1);
    TempDir dir;
    const std::string file = dir.Write("image.gif", "old");
    const std::string unfinished = dir.Write(".kelvane-1-0.tmp", "ne");
    RewriteFacts facts{RewriteKind::ByRename, dir.Path(), "image.gif", dir.Path(),
                       ".kelvane-1-0.tmp"};
    std::string reason;
    std::optional<TRewriteRecord> record = TRewriteRecord::Begin(facts, reason);
    ASSERT_TRUE(record) << reason;
    record->Keep();
    record.reset();
    EXPECT_EQ(MendInterruptedRewrites().size(), 1u);
    EXPECT_EQ(ReadFile(file), "old");
    EXPECT_FALSE(std::filesystem::exists(unfinished));
    unsetenv("XDG_STATE_HOME");
}

}  // namespace
}  // namespace platform
