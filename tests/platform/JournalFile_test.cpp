// The bytes of a run's journal: what is written is read back the same, and a journal that an
// older build wrote is still read.

#include "platform/linux/JournalFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using platform::FileState;
using platform::JournalEntry;
using platform::JournalEntryKind;
using platform::StoredValue;

FileState State(std::string path, std::int64_t time, std::uint32_t mode,
                std::vector<StoredValue> stored, bool storedKnown = true) {
    FileState state;
    state.path = std::move(path);
    state.creation = time - 7;
    state.lastWrite = time;
    state.lastAccess = time + 1;
    state.attributes = 0x20;
    state.mode = mode;
    state.storedKnown = storedKnown;
    state.stored = std::move(stored);
    return state;
}

// An intent keeps its foreseen state, and a done entry what the change left, as they differ from
// the state before and from what was foreseen: each field that may differ comes back as written.
TEST(JournalFileTest, EntriesComeBackAsWritten) {
    const std::vector<StoredValue> none = {{"user.DOSATTRIB", std::nullopt}};
    const std::vector<StoredValue> hidden = {{"user.DOSATTRIB", std::string("0x2\0\3", 5)}};
    struct Case {
        const char* name;
        FileState before, foreseen, left;
        platform::FileIdentity identityLeft;
    };
    const platform::FileIdentity file{5, 77};
    const Case cases[] = {
        {"times set, the stored value written", State("/d/a", 100, 0644, none),
         State("/d/a", 200, 0644, {}, false), State("/d/a", 200, 0644, hidden), file},
        {"renamed, made read-only, a new file in its place",
         State("/d/a", 100, 0644, hidden),
         State("/d/B", 100, 0644, {}, false),
         State("/d/B", 300, 0444, hidden),
         {5, 78}},
        {"an undo foresees all, and its change leaves just that", State("/d/a", 100, 0444, hidden),
         State("/d/b", 50, 0644, none), State("/d/b", 50, 0644, none), file},
        {"a value taken away, the creation time with it", State("/d/a", 100, 0644, hidden),
         State("/d/a", 100, 0644, {}, false),
         [&] {
             FileState left = State("/d/a", 100, 0644, none);
             left.creation.reset();
             return left;
         }(),
         file},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string bytes =
            platform::linux_fs::EncodeJournalHeader(platform::TRunJournal::Kind::Undo, 42);
        platform::linux_fs::AppendJournalEntry(
            {JournalEntryKind::Intent, 9, file, c.before, c.foreseen, true}, bytes);
        platform::linux_fs::AppendJournalEntry(
            {JournalEntryKind::Done, 9, c.identityLeft, c.foreseen, c.left}, bytes);
        std::string reason;
        const auto journal = platform::linux_fs::DecodeJournal(bytes, reason);
        ASSERT_TRUE(journal) << reason;
        EXPECT_EQ(journal->kind, platform::TRunJournal::Kind::Undo);
        EXPECT_EQ(journal->started, 42);
        ASSERT_EQ(journal->entries.size(), 2u);
        const JournalEntry& intent = journal->entries[0];
        EXPECT_EQ(intent.kind, JournalEntryKind::Intent);
        EXPECT_EQ(intent.identity, file);
        EXPECT_EQ(intent.before, c.before);
        EXPECT_EQ(intent.after, c.foreseen);
        EXPECT_TRUE(intent.contentKept);
        const JournalEntry& done = journal->entries[1];
        EXPECT_EQ(done.kind, JournalEntryKind::Done);
        EXPECT_EQ(done.number, 9u);
        EXPECT_EQ(done.identity, c.identityLeft);
        EXPECT_EQ(done.after, c.left);
    }
}

// A done entry with no intent before it cannot be read against anything: the journal is damaged.
TEST(JournalFileTest, DoneEntryWithoutItsIntentIsDamage) {
    std::string bytes =
        platform::linux_fs::EncodeJournalHeader(platform::TRunJournal::Kind::Run, 1);
    platform::linux_fs::AppendJournalEntry(
        {JournalEntryKind::Done, 3, {1, 2}, {}, State("/d/a", 1, 0644, {})}, bytes);
    std::string reason;
    EXPECT_FALSE(platform::linux_fs::DecodeJournal(bytes, reason));
    EXPECT_EQ(reason, "the journal is damaged");
}

// A run that an older build made hidden, journal and all: it can still be undone.
TEST(JournalFileTest, JournalOfTheFirstVersionIsRead) {
    const std::string hex =
        "4f4b4a4f55524e0a0100000000e17cf72f99a4ef18a3000000b5cb79745196444b01000000000000000000fe"
        "00000000000050d6b100000000000f0000002f746d702f763166782f612e7478740124a2c42e99a4ef1815ff"
        "81efd5f2e51515ff81efd5f2e51500000000a401000001010000000e000000757365722e444f534154545249"
        "4200000000000f0000002f746d702f763166782f612e7478740124a2c42e99a4ef1815ff81efd5f2e51515ff"
        "81efd5f2e51502000000a4010000000000000000c80000001b75726af956ed5902000000000000000000fe00"
        "000000000050d6b1000000000000000000000000000000000000000000000000000000000000000000000000"
        "00000000000001000000000f0000002f746d702f763166782f612e7478740124a2c42e99a4ef1815ff81efd5"
        "f2e51515ff81efd5f2e51502000000a401000001010000000e000000757365722e444f534154545249420134"
        "0000003078320003000300010000000200000000000000000000000000000000000000000000000000000000"
        "000000000000000000000000";
    std::string bytes;
    for (std::size_t at = 0; at < hex.size(); at += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(at, 2), nullptr, 16));
    std::string reason;
    const auto journal = platform::linux_fs::DecodeJournal(bytes, reason);
    ASSERT_TRUE(journal) << reason;
    EXPECT_EQ(journal->kind, platform::TRunJournal::Kind::Run);
    ASSERT_EQ(journal->entries.size(), 2u);
    const JournalEntry& intent = journal->entries[0];
    EXPECT_EQ(intent.kind, JournalEntryKind::Intent);
    EXPECT_EQ(intent.before.path, "/tmp/v1fx/a.txt");
    EXPECT_EQ(intent.before.lastWrite, 1577934245123456789);
    EXPECT_EQ(intent.before.mode, 0644u);
    EXPECT_EQ(intent.before.stored, (std::vector<StoredValue>{{"user.DOSATTRIB", std::nullopt}}));
    EXPECT_EQ(intent.after.attributes, 0x02u);
    EXPECT_FALSE(intent.after.storedKnown);
    const JournalEntry& done = journal->entries[1];
    EXPECT_EQ(done.kind, JournalEntryKind::Done);
    EXPECT_EQ(done.identity, intent.identity);
    ASSERT_EQ(done.after.stored.size(), 1u);
    EXPECT_EQ(done.after.stored[0].bytes->size(), 52u);
}

}  // namespace
