#pragma once
// A record, kept apart from the file, of a rewrite in progress: which file, where its old bytes
// are kept meanwhile, and what its old and new bytes are like. Nothing holds SIGKILL or a power
// cut off; the record outlives them, and the next run puts the file back whole from it.

#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/linux/Descriptor.h"

namespace platform::linux_fs {

// A digest of a file's bytes, enough to tell whole old bytes, whole new bytes and a torn mix
// apart (it guards against accidents, not against an attacker).
std::uint64_t ContentDigest(std::span<const std::uint8_t> bytes);

// How the file is being rewritten: in place, its old bytes kept in a copy; or by a new file that
// takes its name in one rename, which leaves the old file whole until then.
enum class RewriteKind { InPlace, ByRename };

struct RewriteFacts {
    RewriteKind kind = RewriteKind::InPlace;
    std::string fileFolder;  // full path
    std::string fileName;
    // The copy of the old bytes (in place) or the new file (by rename).
    std::string sideFolder;  // full path
    std::string sideName;
    // The file by inode and birth time (nanoseconds, 0 where the volume keeps none): a volume
    // mounted again may have another device number, and a new file the same inode number.
    std::uint64_t inode = 0;
    std::uint64_t birth = 0;
    std::uint64_t oldSize = 0;
    std::uint64_t oldDigest = 0;
    std::uint64_t newSize = 0;
    std::uint64_t newDigest = 0;
};

// The birth time of a file in nanoseconds, 0 where its volume keeps none.
std::uint64_t BirthOf(const struct statx& st);

std::string EncodeRewriteFacts(const RewriteFacts& facts);
// nullopt for a record cut short or not of ours.
std::optional<RewriteFacts> DecodeRewriteFacts(const std::string& text);

// The folder of the records: $XDG_STATE_HOME/orbel-kelvane/rewrites (~/.local/state when the
// variable is unset); made on first use, for the user alone. Empty when there is no home.
std::string RewriteRecordFolder();
// Whether a name in RewriteRecordFolder() is that of a whole record.
bool IsRewriteRecordName(const std::string& name);
// Where a copy of old bytes goes when the file's own folder takes no new file.
std::string KeptCopyFolder();

// The record of one rewrite, held locked while the rewrite runs so that another run's recovery
// leaves it alone; removed when the rewrite ends, unless kept.
class TRewriteRecord {
public:
    // Writes and syncs the record; nullopt with the reason when it cannot.
    static std::optional<TRewriteRecord> Begin(const RewriteFacts& facts, std::string& reason);

    TRewriteRecord(TRewriteRecord&&) noexcept = default;
    TRewriteRecord& operator=(TRewriteRecord&&) noexcept = default;
    TRewriteRecord(const TRewriteRecord&) = delete;
    TRewriteRecord& operator=(const TRewriteRecord&) = delete;
    ~TRewriteRecord();

    // The rewrite failed with the file torn: the next run is to mend it.
    void Keep() { name_.clear(); }

private:
    TRewriteRecord(TDescriptor folder, std::string name, TDescriptor fd)
        : folder_(std::move(folder)), name_(std::move(name)), fd_(std::move(fd)) {}

    TDescriptor folder_;
    std::string name_;
    TDescriptor fd_;
};

}  // namespace platform::linux_fs
