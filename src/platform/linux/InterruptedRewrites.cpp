#include "platform/InterruptedRewrites.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

#include "platform/Path.h"
#include "platform/linux/Descriptor.h"
#include "platform/linux/RewriteRecord.h"
#include "platform/linux/SiblingFile.h"

namespace platform {
namespace {

using namespace linux_fs;

struct Content {
    std::vector<std::uint8_t> bytes;
    std::uint64_t digest = 0;
};

std::optional<Content> ReadContent(int fd) {
    Content content;
    if (!ReadWhole(fd, content.bytes))
        return std::nullopt;
    content.digest = ContentDigest(content.bytes);
    return content;
}

bool Is(const Content& content, std::uint64_t size, std::uint64_t digest) {
    return content.bytes.size() == size && content.digest == digest;
}

// The names of the records in the folder, taken before any is removed.
std::vector<std::string> RecordNames(int folder) {
    std::vector<std::string> names;
    const int listing = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct CloseDir {
        void operator()(DIR* dir) const { closedir(dir); }
    };
    const std::unique_ptr<DIR, CloseDir> dir(listing >= 0 ? fdopendir(listing) : nullptr);
    if (!dir) {
        if (listing >= 0)
            close(listing);
        return names;
    }
    while (const dirent* entry = readdir(dir.get())) {
        if (IsRewriteRecordName(entry->d_name))
            names.emplace_back(entry->d_name);
    }
    return names;
}

// Puts `old` back as the whole content of the file open in `fd`.
bool WriteBack(int fd, const std::vector<std::uint8_t>& old) {
    return WriteAllAt(fd, old, 0) && ftruncate(fd, static_cast<off_t>(old.size())) == 0 &&
           fsync(fd) == 0;
}

// The file of a record, opened for mending, when it is still the file that was rewritten.
TDescriptor OpenRecordedFile(const RewriteFacts& facts, int& error) {
    const TDescriptor folder = OpenFolder(facts.fileFolder);
    TDescriptor file(openat(folder.Get(), facts.fileName.c_str(),
                            O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    error = file.Valid() ? 0 : errno;
    struct statx st {};
    if (file.Valid() &&
        (!StatDescriptor(file.Get(), st) || !S_ISREG(st.stx_mode) || st.stx_ino != facts.inode ||
         (facts.birth != 0 && BirthOf(st) != 0 && BirthOf(st) != facts.birth))) {
        error = ENOENT;
        return TDescriptor();
    }
    return file;
}

// What a write in place, cut short, can leave: new bytes over old ones, never a size outside
// the two. Anything else was changed since, and is not overwritten.
bool CouldBeTorn(std::size_t size, const RewriteFacts& facts) {
    return size >= std::min(facts.oldSize, facts.newSize) &&
           size <= std::max(facts.oldSize, facts.newSize);
}

// Mends the file of an in-place rewrite from the copy of its old bytes. Returns what was done;
// `done` false while the record must stay: the copy is kept for the user, or a folder cannot
// be reached now (a volume not mounted), and the next run looks again.
std::string MendInPlace(const RewriteFacts& facts, bool& done) {
    const TDescriptor sideFolder = OpenFolder(facts.sideFolder);
    const TDescriptor copy(
        openat(sideFolder.Get(), facts.sideName.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    const std::string copyPath = JoinPath(facts.sideFolder, facts.sideName);
    const std::string keptIn = "; its old content is kept in " + copyPath;
    // No copy: the rewrite never began, or it ended and removed its copy (or the user did).
    if (!copy.Valid() && errno == ENOENT && sideFolder.Valid())
        return {};
    if (!copy.Valid())
        return done = false, "a rewrite was interrupted and cannot be mended now (" +
                                 SystemReason(errno) + ")" + keptIn;
    const std::optional<Content> old = ReadContent(copy.Get());
    if (!old)
        return done = false, "the copy of its old content cannot be read: " + copyPath;
    const auto removeCopy = [&] { unlinkat(sideFolder.Get(), facts.sideName.c_str(), 0); };
    // The file is written only once the copy is whole and synced: a copy cut short means the
    // file was never touched.
    if (!Is(*old, facts.oldSize, facts.oldDigest)) {
        removeCopy();
        return "a rewrite was interrupted before it began; its unfinished copy was removed";
    }
    int error = 0;
    const TDescriptor file = OpenRecordedFile(facts, error);
    if (!file.Valid()) {
        done = false;
        return error == ENOENT
                   ? "a rewrite was interrupted and the file is no longer there" + keptIn
                   : "the file cannot be opened to mend an interrupted rewrite (" +
                         SystemReason(error) + ")" + keptIn;
    }
    const std::optional<Content> now = ReadContent(file.Get());
    if (!now)
        return done = false, "the file cannot be read to mend an interrupted rewrite" + keptIn;
    if (Is(*now, facts.newSize, facts.newDigest)) {
        removeCopy();
        return "a rewrite was interrupted after the file was wholly new; the copy of its old "
               "content was removed";
    }
    if (now->bytes == old->bytes) {
        removeCopy();
        return "a rewrite was interrupted before the file changed; the copy of its old content "
               "was removed";
    }
    if (!CouldBeTorn(now->bytes.size(), facts))
        return done = false, "the file changed since its rewrite was interrupted" + keptIn;
    if (!WriteBack(file.Get(), old->bytes)) {
        return done = false, "a rewrite was interrupted and the file could not be put back (" +
                                 SystemReason(errno) + ")" + keptIn;
    }
    removeCopy();
    return "a rewrite was interrupted with the file half written; its old content was put back";
}

// A new file that never took the old one's name is only left over: the file is as it was.
std::string MendByRename(const RewriteFacts& facts) {
    const TDescriptor sideFolder = OpenFolder(facts.sideFolder);
    if (unlinkat(sideFolder.Get(), facts.sideName.c_str(), 0) != 0)
        return {};
    return "a rewrite was interrupted; the file is as it was, and the unfinished new file " +
           JoinPath(facts.sideFolder, facts.sideName) + " was removed";
}

}  // namespace

std::vector<MendedRewrite> MendInterruptedRewrites() {
    std::vector<MendedRewrite> mended;
    const std::string folderPath = RewriteRecordFolder();
    if (folderPath.empty())
        return mended;
    const TDescriptor folder(open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.Valid())
        return mended;
    for (const std::string& name : RecordNames(folder.Get())) {
        // Read and write: NFS takes an exclusive lock on no other descriptor.
        const TDescriptor record(
            openat(folder.Get(), name.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat st {};
        // A record still locked belongs to a rewrite going on now; one removed meanwhile is done.
        if (!record.Valid() || flock(record.Get(), LOCK_EX | LOCK_NB) != 0 ||
            fstat(record.Get(), &st) != 0 || st.st_nlink == 0 || !S_ISREG(st.st_mode)) {
            continue;
        }
        std::vector<std::uint8_t> bytes;
        if (!ReadWhole(record.Get(), bytes))
            continue;
        const std::optional<RewriteFacts> facts =
            DecodeRewriteFacts(std::string(bytes.begin(), bytes.end()));
        bool done = true;
        // A record cut short was never synced: its rewrite had not begun.
        std::string what;
        if (facts) {
            what = facts->kind == RewriteKind::InPlace ? MendInPlace(*facts, done)
                                                       : MendByRename(*facts);
        }
        if (!what.empty())
            mended.push_back({JoinPath(facts->fileFolder, facts->fileName), std::move(what)});
        if (done)
            unlinkat(folder.Get(), name.c_str(), 0);
    }
    return mended;
}

}  // namespace platform
