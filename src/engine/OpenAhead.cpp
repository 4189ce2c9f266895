#include "engine/OpenAhead.h"

#include <algorithm>

namespace engine {

OpenedFile OpenRowFile(const std::string& path) {
    OpenedFile file;
    file.handle = platform::TFileHandle::Open(path, file.reason);
    // Looked up now, so that the steps read what the file holds without a call of their own.
    if (file.handle)
        file.handle->Find();
    return file;
}

TOpenAhead::TOpenAhead(std::size_t rowsAhead)
    : rowsAhead_(rowsAhead), files_(rowsAhead, OpenRowFile) {}

std::optional<OpenedFile> TOpenAhead::Take(int row, const std::string& path) {
    std::optional<OpenedFile> opened = files_.Take(row, path);
    if (!opened || !opened->handle)
        return opened;
    const platform::FileIdentity file = opened->handle->Identity();
    if (std::find(taken_.begin(), taken_.end(), file) != taken_.end())
        opened = OpenRowFile(path);
    taken_.push_back(file);
    if (taken_.size() > rowsAhead_)
        taken_.pop_front();
    return opened;
}

}  // namespace engine
