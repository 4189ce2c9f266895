// The space the kept runs take, and a stamp of them that tells when they changed: their
// journals, and whatever a journal keeps beside it (the old bytes of a rewritten file), in
// folders of their own below. Both from the folder's entries alone, no journal read.

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <system_error>

#include "platform/RunJournal.h"
#include "platform/linux/JournalFile.h"

namespace platform {
namespace {

// Calls `visit` with the path and the look-up of every regular file under the journals' folder.
// A link is taken as itself and never followed: what it points at is not ours.
void ForEachKeptFile(const std::function<void(const std::string&, const struct stat&)>& visit) {
    std::string reason;
    const std::string folder = linux_fs::RunJournalFolder(reason);
    if (folder.empty())
        return;
    namespace fs = std::filesystem;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        struct stat st {};
        if (lstat(it->path().c_str(), &st) == 0 && S_ISREG(st.st_mode))
            visit(it->path().native(), st);
    }
}

// FNV-1a, 64 bits.
void Mix(std::uint64_t& hash, const void* data, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= static_cast<const unsigned char*>(data)[i];
        hash *= 0x100000001b3;
    }
}

}  // namespace

std::uint64_t RunsSpaceHeld() {
    std::uint64_t held = 0;
    ForEachKeptFile([&held](const std::string&, const struct stat& st) {
        held += static_cast<std::uint64_t>(st.st_size);
    });
    return held;
}

std::uint64_t RunsFolderStamp() {
    std::uint64_t stamp = 0xcbf29ce484222325;
    ForEachKeptFile([&stamp](const std::string& path, const struct stat& st) {
        Mix(stamp, path.data(), path.size() + 1);
        for (const std::int64_t value :
             {static_cast<std::int64_t>(st.st_ino), static_cast<std::int64_t>(st.st_size),
              static_cast<std::int64_t>(st.st_mtim.tv_sec),
              static_cast<std::int64_t>(st.st_mtim.tv_nsec)})
            Mix(stamp, &value, sizeof value);
    });
    return stamp;
}

}  // namespace platform
