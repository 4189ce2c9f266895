#pragma once
// One file opened once, without following a link, through which the run reads and changes
// it: a link swapped in for the file after it was opened cannot redirect any of its reads or
// writes.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Result.h"

namespace platform {

struct FileState;

// Which file a handle holds, whatever its name: two names of one file (hard links) are the
// same file.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

struct FileIdentityHash {
    std::size_t operator()(const FileIdentity& file) const {
        return std::hash<std::uint64_t>()(file.inode * 31 + file.device);
    }
};

// What Open accepts besides a regular file: the path setters also change folders.
enum class OpenKind { File, FileOrFolder };

// Whether Open looks the path up before opening it, so that a device is never even opened, or
// a look-up the caller made a moment ago, which found a regular file there, stands for that.
enum class OpenCheck { LookUpFirst, FoundAsFile };

class TFileHandle {
public:
    // Opens a regular file (or, if asked, a folder) without following a link. On failure:
    // nullopt and a short reason for the command line ("a symbolic link is not followed",
    // "a device, FIFO or socket is not changed", "a folder is not processed", "no such file",
    // or the system's text).
    // With `folders`, the path is reached from its folder, held open there and opened without
    // following a link anywhere on its path: a folder that cannot be opened so gives the reason
    // (FolderReason).
    static std::optional<TFileHandle> Open(const std::string& path, std::string& reason,
                                           OpenKind kind = OpenKind::File,
                                           OpenCheck check = OpenCheck::LookUpFirst,
                                           TOpenFolders* folders = nullptr);
    // A handle that only looks: the regular file is looked up by name in its folder, held open
    // in `folders` as Open holds it, and never opened itself. It reads what a plan needs (the
    // look-up, the attributes, the Check functions) at the cost of a look-up, where an open
    // costs three calls more; every change, lock and read of content fails. The reasons for
    // what cannot be looked at are Open's.
    static std::optional<TFileHandle> Look(const std::string& path, std::string& reason,
                                           TOpenFolders& folders);

    // Makes room ahead of time for `count` files held open at once, and returns how many the
    // process may hold (fewer where its limit cannot be raised that far). The limit is raised
    // up to what the system allows; where threads share the table of open files, the system
    // grows it only after every thread has passed a pause, so it is grown now.
    static std::size_t MakeRoomFor(std::size_t count);

    TFileHandle(TFileHandle&& other) noexcept;
    TFileHandle& operator=(TFileHandle&& other) noexcept;
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;
    ~TFileHandle();

    const std::string& Path() const { return path_; }
    FileIdentity Identity() const { return identity_; }
    // The caller renamed the file (the handle still reaches it); names shown from now on, and
    // the folder a rewrite goes through, are those of the new path.
    void Renamed(const std::string& newPath);

    // The file as FindPath reports it. Looked up once: after a change made through the handle
    // it reports what was written, and looks again only at what the change could have moved
    // in ways not known in advance (the times a file system rounds, a rewritten file).
    std::optional<FindData> Find() const;
    // kInvalidAttributes when the file cannot be read. Where the volume keeps the creation
    // time apart from the attributes, it is left unread.
    std::uint32_t GetAttributes() const;
    // Same contract as SetFileAttributes, failing with the reason.
    Result SetAttributes(std::uint32_t attributes);
    // Same contract as SetFileTimes, failing with the reason.
    Result SetTimes(const FileTimesToSet& times);

    // What SetAttributes and SetTimes would refuse for what the file and its volume are, asked
    // without changing anything (a preview): the reason the setter would give, or done when
    // nothing but a failing write could stand in its way. `attributes` is the attribute word the
    // file would have by then (an earlier change may clear read-only).
    Result CheckAttributes(std::uint32_t attributes) const;
    Result CheckTimes(const FileTimesToSet& times, std::uint32_t attributes) const;

    // Takes the advisory lock (flock) that keeps two runs from changing one file at once, and
    // holds it until the handle closes. A file another run holds is waited for a while, then
    // looked at afresh; one that stays held fails with the reason. Where no lock can be taken
    // (a descriptor that may not read the file, a volume without locks) the file goes on unlocked.
    Result LockForChange();

    // The file as a run's journal keeps it (RunJournal.h): names, the times to the nanosecond,
    // the attributes with the very bytes the volume stores for them, the mode. Nullopt when it
    // cannot be read.
    std::optional<FileState> JournalState() const;
    // The same into `state`, whose room is reused; false when it cannot be read.
    bool ReadJournalState(FileState& state) const;
    // Gives the file back the state `wanted` (name, stored values, mode, the two Linux times),
    // without ever replacing another file: a name taken now fails before anything changes.
    Result RestoreState(const FileState& wanted);

    // Up to `count` bytes from the start.
    Result ReadPrefix(std::size_t count, std::vector<std::uint8_t>& bytes) const;
    // The last `count` bytes; a failure when the file is shorter.
    Result ReadTail(std::size_t count, std::vector<std::uint8_t>& bytes) const;
    // The whole file, however long it is by the time it is read.
    Result ReadAll(std::vector<std::uint8_t>& bytes) const;

    // Replaces the whole content with `bytes` so that at any moment of a crash, kill or full
    // disk the file is wholly old or wholly new, keeping its owner, mode, extended attributes
    // (ACLs included), the creation time shown and its hard links. A read-only file is refused,
    // as Windows cannot open one for writing. A failure leaves the file as it was.
    // With `keepOldAs` (a new file's path, in a run journal's folder), the old content is kept
    // there, durably, before the file changes: a hard link to the old file where a new one takes
    // its place, a copy where the file is written in place or lies on another volume. The
    // handle's identity follows the new file.
    Result ReplaceContent(std::span<const std::uint8_t> bytes, const std::string& keepOldAs = {});

private:
    // What the system holds of the open file: its descriptor and what is known of it.
    struct State;

    TFileHandle(std::unique_ptr<State> state, std::string path, FileIdentity identity);

    // The file's own look-up, made again when a change made it unknown.
    bool Stat() const;
    // Forgets what is known, after a change whose outcome is not known.
    void Forget() const;

    std::unique_ptr<State> state_;
    std::string path_;
    FileIdentity identity_;
};

}  // namespace platform
