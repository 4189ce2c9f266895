// The space the kept runs take: their journals, and whatever a journal keeps beside it (the
// old bytes of a rewritten file), in folders of their own below.

#include <filesystem>
#include <system_error>

#include "platform/RunJournal.h"
#include "platform/linux/JournalFile.h"

namespace platform {

std::uint64_t RunsSpaceHeld() {
    std::string reason;
    const std::string folder = linux_fs::RunJournalFolder(reason);
    if (folder.empty())
        return 0;
    namespace fs = std::filesystem;
    std::uint64_t held = 0;
    std::error_code error;
    // A link is counted as itself and never followed: what it points at is not ours.
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code sizeError;
        if (it->symlink_status(sizeError).type() != fs::file_type::regular)
            continue;
        if (const std::uintmax_t size = it->file_size(sizeError); !sizeError)
            held += size;
    }
    return held;
}

}  // namespace platform
