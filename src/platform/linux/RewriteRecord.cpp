#include "platform/linux/RewriteRecord.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/linux/SiblingFile.h"
#include "platform/linux/StateFolder.h"

namespace platform::linux_fs {
namespace {

// The first field of every record, with the version of its layout.
constexpr const char* kRecordMark = "orbel-kelvane rewrite 1";
constexpr std::size_t kRecordFields = 12;
// The ending of a record's name, once it is whole.
constexpr std::string_view kRecordSuffix = ".record";

const char* KindName(RewriteKind kind) {
    return kind == RewriteKind::InPlace ? "in-place" : "by-rename";
}

std::optional<std::uint64_t> Number(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::strtoull(text.c_str(), nullptr, 10);
}

}  // namespace

std::uint64_t ContentDigest(std::span<const std::uint8_t> bytes) {
    // FNV-1a, 64 bits.
    std::uint64_t digest = 14695981039346656037ull;
    for (const std::uint8_t byte : bytes) {
        digest ^= byte;
        digest *= 1099511628211ull;
    }
    return digest;
}

std::uint64_t BirthOf(const struct statx& st) {
    if (!(st.stx_mask & STATX_BTIME))
        return 0;
    return static_cast<std::uint64_t>(st.stx_btime.tv_sec) * 1'000'000'000u + st.stx_btime.tv_nsec;
}

// Fields end in a NUL byte, which no path holds.
std::string EncodeRewriteFacts(const RewriteFacts& facts) {
    std::string text;
    for (const std::string& field :
         {std::string(kRecordMark), std::string(KindName(facts.kind)), facts.fileFolder,
          facts.fileName, facts.sideFolder, facts.sideName, std::to_string(facts.inode),
          std::to_string(facts.birth), std::to_string(facts.oldSize),
          std::to_string(facts.oldDigest), std::to_string(facts.newSize),
          std::to_string(facts.newDigest)}) {
        text += field;
        text += '\0';
    }
    return text;
}

std::optional<RewriteFacts> DecodeRewriteFacts(const std::string& text) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\0', start)) != std::string::npos; start = end + 1)
        fields.push_back(text.substr(start, end - start));
    if (start != text.size() || fields.size() != kRecordFields || fields[0] != kRecordMark)
        return std::nullopt;
    RewriteFacts facts;
    if (fields[1] == KindName(RewriteKind::ByRename))
        facts.kind = RewriteKind::ByRename;
    else if (fields[1] != KindName(RewriteKind::InPlace))
        return std::nullopt;
    facts.fileFolder = fields[2];
    facts.fileName = fields[3];
    facts.sideFolder = fields[4];
    facts.sideName = fields[5];
    std::uint64_t* numbers[] = {&facts.inode,     &facts.birth,   &facts.oldSize,
                                &facts.oldDigest, &facts.newSize, &facts.newDigest};
    for (std::size_t i = 0; i < std::size(numbers); ++i) {
        const std::optional<std::uint64_t> value = Number(fields[6 + i]);
        if (!value)
            return std::nullopt;
        *numbers[i] = *value;
    }
    return facts;
}

std::string RewriteRecordFolder() {
    const std::string state = ProgramStateFolder();
    return state.empty() ? state : state + "/rewrites";
}

std::string KeptCopyFolder() {
    const std::string records = RewriteRecordFolder();
    return records.empty() ? records : records + "/kept";
}

std::optional<TRewriteRecord> TRewriteRecord::Begin(const RewriteFacts& facts,
                                                    std::string& reason) {
    const std::string folderPath = RewriteRecordFolder();
    if (folderPath.empty())
        return Fail(reason, "no home folder to keep a record of the rewrite in"), std::nullopt;
    if (const Result made = CreateFolders(folderPath); !made)
        return Fail(reason, made.Reason()), std::nullopt;
    TDescriptor folder = OpenFolder(folderPath);
    TSiblingFile file(folder.Get());
    const std::string text = EncodeRewriteFacts(facts);
    // Written and locked under a name recovery passes over, then given its own in one rename:
    // no recovery ever takes a record being written for one left behind.
    std::string name = file.Name();
    if (file.Valid())
        name.replace(name.rfind('.'), std::string::npos, kRecordSuffix);
    if (!folder.Valid() || !file.Valid() || flock(file.Fd(), LOCK_EX) != 0 ||
        !WriteAllAt(file.Fd(), {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()},
                    0) ||
        fsync(file.Fd()) != 0 ||
        renameat(folder.Get(), file.Name().c_str(), folder.Get(), name.c_str()) != 0) {
        FailWithErrno(reason);
        reason = "cannot keep a record of the rewrite in " + folderPath + ": " + reason;
        return std::nullopt;
    }
    TDescriptor fd = file.Keep();
    TRewriteRecord record(std::move(folder), std::move(name), std::move(fd));
    if (fsync(record.folder_.Get()) != 0) {
        FailWithErrno(reason);
        reason = "cannot keep a record of the rewrite in " + folderPath + ": " + reason;
        return std::nullopt;
    }
    return record;
}

bool IsRewriteRecordName(const std::string& name) {
    return name.size() > kRecordSuffix.size() &&
           name.compare(name.size() - kRecordSuffix.size(), kRecordSuffix.size(), kRecordSuffix) ==
               0;
}

TRewriteRecord::~TRewriteRecord() {
    if (!name_.empty() && folder_.Valid())
        unlinkat(folder_.Get(), name_.c_str(), 0);
}

}  // namespace platform::linux_fs
