#include "filelist/FolderPool.h"

#include <deque>
#include <mutex>
#include <unordered_map>

namespace filelist {
namespace {

struct Pool {
    std::mutex mutex;
    // A deque keeps every element where it is as it grows, so the index may hold views of them.
    std::deque<std::string> texts{std::string()};
    std::unordered_map<std::string_view, FolderId> ids{{texts.front(), 0}};
};

Pool& ThePool() {
    static Pool pool;
    return pool;
}

// Rows come folder by folder, both when they are made and when they are shown: each thread
// keeps the folder it met last, and a folder's text and number never change once given.
struct LastFolder {
    FolderId id = 0;
    const std::string* text = nullptr;  // null until the thread has met a folder
};
thread_local LastFolder lastFolder;

}  // namespace

FolderId InternFolder(std::string_view folder) {
    if (lastFolder.text && *lastFolder.text == folder)
        return lastFolder.id;
    Pool& pool = ThePool();
    std::lock_guard lock(pool.mutex);
    auto found = pool.ids.find(folder);
    if (found == pool.ids.end()) {
        const FolderId id = static_cast<FolderId>(pool.texts.size());
        found = pool.ids.emplace(pool.texts.emplace_back(folder), id).first;
    }
    lastFolder = {found->second, &pool.texts[found->second]};
    return found->second;
}

const std::string& FolderAt(FolderId id) {
    if (lastFolder.text && lastFolder.id == id)
        return *lastFolder.text;
    Pool& pool = ThePool();
    std::lock_guard lock(pool.mutex);
    if (id >= pool.texts.size())
        return pool.texts.front();
    lastFolder = {id, &pool.texts[id]};
    return *lastFolder.text;
}

}  // namespace filelist
