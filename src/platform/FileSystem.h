#pragma once
// The file operations of the program, each with the contract of its Windows namesake; the
// Linux meaning of every one is in linux/.

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/FileTime.h"
#include "platform/Result.h"

namespace platform {

constexpr std::uint32_t kAttrReadOnly = 0x01;
constexpr std::uint32_t kAttrHidden = 0x02;
constexpr std::uint32_t kAttrSystem = 0x04;
constexpr std::uint32_t kAttrDirectory = 0x10;
constexpr std::uint32_t kAttrArchive = 0x20;
constexpr std::uint32_t kAttrTemporary = 0x100;
constexpr std::uint32_t kAttrCompressed = 0x800;
// The bits a run changes; a volume's other bits (compressed, sparse, encrypted …) stay as they are.
constexpr std::uint32_t kChangeableAttributes =
    kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;
// What a failed attribute query returns: every bit set.
constexpr std::uint32_t kInvalidAttributes = 0xFFFFFFFF;

constexpr char kPathSeparator = '/';

// What an entry is, as far as the program cares: only regular files are ever changed.
enum class EntryKind { File, Folder, SymbolicLink, Special };

// One entry as a directory search reports it.
struct FindData {
    std::string name;  // the entry's own name, bytes as stored
    EntryKind kind = EntryKind::File;
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
    std::optional<FileTime> creationTime;  // absent where the file system keeps none
    FileTime lastWriteTime = 0;
    FileTime lastAccessTime = 0;
    std::uint64_t device = 0;  // the volume it lies on, by number

    bool operator==(const FindData&) const = default;
};

// The path made absolute against the current folder, "." and empty components dropped. A ".."
// means what it means to the system: the folder above the one the path has reached, a link
// before it followed (so "lnk/.." is the folder above the link's target). The part up to the
// last ".." is resolved so; where it cannot be (a folder on it is missing), ".." is folded as
// written. Links elsewhere are not resolved.
std::string FullPath(const std::string& path);

// The path with every link on it followed (realpath); empty when it cannot be resolved.
std::string ResolvedPath(const std::string& path);
// The same, with why it could not be resolved, in the words of the command line.
std::string ResolvedPath(const std::string& path, std::string& reason);

// A path the user named (command line, drop, file dialog): a symbolic link stands for its
// target, so the path of the target itself is returned; any other path comes back as it is,
// and so does a link whose target is gone.
std::string ResolveNamedLink(const std::string& path);

// Whether a look-up of a path that is a symbolic link reports the link's target or the link.
enum class LinkRule { Follow, NoFollow };

// How much a look-up reads of a regular file. A row shows its stored attributes and creation
// time, which some volumes keep apart from the rest (a second call per file, or a second round
// trip); a row that nobody will see needs only what the statx gives (Unshown), since a run reads
// the stored values afresh before it changes them. A folder is always read whole: whether a
// folder is added depends on its stored system bit.
enum class FileDetail { Shown, Unshown };

// Looks one path up, like a directory search for that exact path. A link named by the user
// stands for its target (Follow); an entry met in a folder search is taken as it is (NoFollow:
// a link reports itself, never a folder).
std::optional<FindData> FindPath(const std::string& path, LinkRule rule = LinkRule::Follow,
                                 FileDetail detail = FileDetail::Shown);

// Folders held open while many paths in them are looked up, so that each look-up has the kernel
// walk one name instead of the whole path. Any thread may ask; each folder stays open as long
// as the object, which holds a few dozen at most: any other folder is opened for the one path.
class TOpenFolders {
public:
    TOpenFolders() = default;
    TOpenFolders(const TOpenFolders&) = delete;
    TOpenFolders& operator=(const TOpenFolders&) = delete;
    ~TOpenFolders();

private:
    // The platform's own code reaches a path's folder through these.
    friend class TFileHandle;
    friend std::optional<FindData> FindNamedPath(std::string& path, TOpenFolders& folders,
                                                 FileDetail detail);

    // The folder that holds a path, as Holding gives it: held by the object, or by this alone
    // when the object holds many already.
    class THeld {
    public:
        THeld(int fd, int error, bool owned) : fd_(fd), error_(error), owned_(owned) {}
        THeld(THeld&& other) noexcept;
        THeld& operator=(THeld&&) = delete;
        THeld(const THeld&) = delete;
        THeld& operator=(const THeld&) = delete;
        ~THeld();

        // The descriptor; -1 when the folder could not be opened (Error(), an errno, says why)
        // and for "/", which no folder holds (Error() is 0).
        int Fd() const { return fd_; }
        int Error() const { return error_; }

    private:
        int fd_;
        int error_;
        bool owned_;
    };

    // The folder that holds `path` (a full path), opened on first use without following a link
    // anywhere on its path (OpenFolderWithoutLinks).
    THeld Holding(const std::string& path);

    struct Folder {
        int fd = -1;
        int error = 0;
    };
    std::mutex mutex_;
    // Searched by a view of the path's folder, so that a folder held already costs no copy.
    struct FolderHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view folder) const {
            return std::hash<std::string_view>{}(folder);
        }
    };
    std::unordered_map<std::string, Folder, FolderHash, std::equal_to<>> fds_;
};

// Looks up a path the user named, made full (FullPath): a link stands for its target, and
// `path` becomes the target's (see ResolveNamedLink); a link on its folder's path is resolved
// too, so that the row's folder is the real one. One look-up for anything that is not a link,
// relative to its folder when `folders` holds that open.
std::optional<FindData> FindNamedPath(std::string& path, TOpenFolders& folders,
                                      FileDetail detail = FileDetail::Shown);

// Why an entry of this kind is passed over, in the words of the command line; empty for a
// regular file.
std::string PassedOverReason(EntryKind kind);

// The attribute word, or kInvalidAttributes when the path cannot be read.
std::uint32_t GetFileAttributes(const std::string& path);

// The file's changeable attributes become exactly those of `attributes`. False when any
// asked-for bit could not be stored; what was changed before that is put back. A stored
// attribute value that cannot be read is never overwritten: a change that would rewrite it
// fails. A name beginning with "." is always hidden: without that bit the others are set as
// asked and the result is false, since the file still shows hidden. The path is opened once
// without following a link (TFileHandle); a folder is changed as well.
bool SetFileAttributes(const std::string& path, std::uint32_t attributes);

// Times to write in one call; an absent time is left as it is.
struct FileTimesToSet {
    std::optional<FileTime> creation;
    std::optional<FileTime> lastAccess;
    std::optional<FileTime> lastWrite;
};

// Writes the given UTC times; false when the file is missing or read-only (Windows cannot open
// such a file for writing), or a write fails. Last write and access are written first, so a
// creation time the file system cannot store leaves them written and reports false, unless it
// is the creation time the file already has; the same holds where the stored value that would
// take it cannot be read. Opened like SetFileAttributes.
bool SetFileTimes(const std::string& path, const FileTimesToSet& times);

// Makes a folder and every missing folder above it.
Result CreateFolders(const std::string& folder);

// A file of the program's own (the settings) may be a symbolic link the user made to a file kept
// elsewhere; it is read and written through the link. Anything else at the path that is not a
// regular file (a FIFO, a device, a folder, a link to one of those or to nothing) is neither
// opened, which could block or set a driver going, nor replaced.
enum class OwnFileRead { Read, Missing, Refused };
// Missing when nothing at all is at the path; Refused, with the reason, for anything that is
// not a regular file, or one that cannot be read.
OwnFileRead ReadOwnFile(const std::string& path, std::vector<std::uint8_t>& bytes,
                        std::string& reason);

// Writes a whole file of the program's own in one step: a crash or a full disk leaves the old
// file or the new one, never a cut one. A link is written through: the file it leads to is
// replaced, keeping its permissions. Refused when the path holds anything else than a regular
// file or nothing (see ReadOwnFile). A failure leaves the old file as it was.
Result WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes);

// NameTooLong: the volume takes no name that long.
enum class MoveResult { Moved, TargetExists, NameTooLong, Failed };

struct MoveOutcome {
    MoveResult result = MoveResult::Failed;
    std::string reason;  // why, when Failed, in the words of the command line
};

// Renames a file, never replacing another: fails with TargetExists when the new name is
// taken, or, on NTFS, when another name of the folder differs from it in letter case only
// (Windows could not tell the two apart). A change of letter case alone, on a file system that
// ignores case, renames the file itself. On any failure the file keeps its old name.
MoveOutcome MoveFile(const std::string& from, const std::string& to);

// What MoveFile would answer, asked without renaming anything (a preview): TargetExists when
// the new name is taken by another file (or, on NTFS, by a name differing in letter case only),
// NameTooLong when the volume takes no name that long, Moved otherwise. A failure the rename
// itself would meet is not foreseen.
MoveOutcome CheckMove(const std::string& from, const std::string& to);

}  // namespace platform
