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

}  // namespace

FolderId InternFolder(std::string_view folder) {
    Pool& pool = ThePool();
    std::lock_guard lock(pool.mutex);
    if (const auto found = pool.ids.find(folder); found != pool.ids.end())
        return found->second;
    const FolderId id = static_cast<FolderId>(pool.texts.size());
    pool.ids.emplace(pool.texts.emplace_back(folder), id);
    return id;
}

const std::string& FolderAt(FolderId id) {
    Pool& pool = ThePool();
    std::lock_guard lock(pool.mutex);
    return id < pool.texts.size() ? pool.texts[id] : pool.texts.front();
}

}  // namespace filelist
