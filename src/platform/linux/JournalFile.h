#pragma once
// The bytes of a run's journal file (docs/journal.md), written and read back.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/RunJournal.h"

namespace platform::linux_fs {

// The folder of the journals, made when missing; empty with the reason when it cannot be.
std::string RunJournalFolder(std::string& reason);
// The journal of the run `id` in `folder`.
std::string JournalPath(const std::string& folder, const std::string& id);
// The runs' ids in `folder`, oldest first (an id begins with its start time, in UTC);
// `keeping`, when given, gets the ids whose folder of kept content is there.
std::vector<std::string> RunIds(const std::string& folder,
                                std::set<std::string>* keeping = nullptr);

struct JournalFile {
    TRunJournal::Kind kind = TRunJournal::Kind::Run;
    std::int64_t started = 0;
    // Whole entries, in the order written; a file cut short ends at its last whole entry.
    std::vector<JournalEntry> entries;
};

std::string EncodeJournalHeader(TRunJournal::Kind kind, std::int64_t started);
void AppendJournalEntry(const JournalEntry& entry, std::string& bytes);
// Nullopt with the reason for a file that is not a journal of ours, or whose entries are
// damaged.
std::optional<JournalFile> DecodeJournal(const std::string& bytes, std::string& reason);

}  // namespace platform::linux_fs
