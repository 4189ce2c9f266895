#pragma once
// Helpers for the folder search tests: building trees, recording what a search reports, and
// the plain recursive listing a search must agree with.

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "find/FindEventLoop.h"
#include "find/vexFind.h"
#include "support/TempDir.h"

namespace vexfindtest {

namespace fs = std::filesystem;
using vexfind::TFindEventLoop;
using vexfind::TFindThread;
using vexfind::TSearchRec;
using vexfind::TVexFind;

// One notification as a handler saw it: a folder entered ("dir"), a find, a folder not searched
// (with the reason as its name), or the completion.
struct Event {
    std::string kind;
    std::string directory;
    std::string name;
    bool operator==(const Event&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Event& e) {
    return out << e.kind << " " << e.directory << (e.name.empty() ? "" : " | ") << e.name;
}

// Binds all three handlers of a component and records what they see, and on which thread.
class Recorder {
public:
    explicit Recorder(TVexFind& finder) {
        finder.SetOnChangeDirectory([this](TFindThread&, const std::string& directory) {
            Note({"dir", directory, ""});
        });
        finder.SetOnFileFound(
            [this](TFindThread&, const std::string& directory, const TSearchRec& find) {
                Note({"found", directory, find.Name});
                finds.push_back(find);
            });
        finder.SetOnFolderNotSearched(
            [this](TFindThread&, const std::string& directory, const std::string& reason) {
                Note({"not searched", directory, reason});
            });
        finder.SetOnCompleted([this](TFindThread&) {
            Note({"completed", "", ""});
            ++completed;
        });
    }

    std::vector<Event> events;
    std::vector<TSearchRec> finds;
    int completed = 0;
    bool offThread = false;

    std::vector<std::string> FoundNames() const {
        std::vector<std::string> names;
        for (const Event& e : events) {
            if (e.kind == "found")
                names.push_back(e.name);
        }
        return names;
    }
    std::vector<std::string> Folders() const {
        std::vector<std::string> folders;
        for (const Event& e : events) {
            if (e.kind == "dir")
                folders.push_back(e.directory);
        }
        return folders;
    }

private:
    void Note(Event event) {
        offThread = offThread || std::this_thread::get_id() != owner_;
        events.push_back(std::move(event));
    }
    std::thread::id owner_ = std::this_thread::get_id();
};

// Serves the search's hand-overs until its worker has ended.
inline void RunToEnd(TFindEventLoop& loop, TVexFind& finder) {
    loop.RunUntil([&] { return !finder.Searching(); });
    loop.ProcessPending();
}

inline void MakeFile(const std::string& path, std::size_t size = 0, char fill = 'x') {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << std::string(size, fill);
}

// The listing every search with mask "*.*" and no filters must equal: depth first, a folder's
// entries in directory order before its subfolders (also in directory order); links and
// dot-folders are listed but not entered.
inline void PlainListing(const std::string& directory, std::vector<Event>& out) {
    out.push_back({"dir", directory, ""});
    std::vector<std::string> subfolders;
    for (const fs::directory_entry& entry : fs::directory_iterator(directory)) {
        const std::string name = entry.path().filename();
        out.push_back({"found", directory, name});
        if (entry.is_directory() && !entry.is_symlink() && name[0] != '.') {
            subfolders.push_back(entry.path());
        }
    }
    for (const std::string& sub : subfolders) {
        PlainListing(sub, out);
    }
}

// Takes the permission overrides out of the calling thread's effective capabilities, so that
// even root meets a folder's permissions; threads started meanwhile inherit that. Linux keeps
// capabilities per thread, and the dropped ones stay permitted, so they come back at the end.
class ScopedNoPermissionOverride {
public:
    ScopedNoPermissionOverride() {
        syscall(SYS_capget, &header_, saved_);
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        syscall(SYS_capset, &header_, reduced);
    }
    ~ScopedNoPermissionOverride() { syscall(SYS_capset, &header_, saved_); }
    ScopedNoPermissionOverride(const ScopedNoPermissionOverride&) = delete;
    ScopedNoPermissionOverride& operator=(const ScopedNoPermissionOverride&) = delete;

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
};

}  // namespace vexfindtest
