#include "engine/OpenAhead.h"

#include <algorithm>

namespace engine {

OpenedFile OpenRowFile(const RowFile& row, FileReads reads, platform::TOpenFolders* folders) {
    OpenedFile file;
    file.handle = platform::TFileHandle::Open(
        row.path, file.reason, platform::OpenKind::File,
        row.foundAsFile ? platform::OpenCheck::FoundAsFile : platform::OpenCheck::LookUpFirst,
        folders);
    if (!file.handle)
        return file;
    // The handle keeps what it read, so the steps read it without a call of their own.
    if (reads == FileReads::Everything)
        file.handle->Find();
    else if (reads == FileReads::Attributes)
        file.handle->GetAttributes();
    return file;
}

TOpenAhead::TOpenAhead(std::size_t rowsAhead, FileReads reads, int threads)
    : rowsAhead_(rowsAhead),
      files_(
          rowsAhead,
          [this, reads](const RowFile& row) { return OpenRowFile(row, reads, &folders_); },
          threads) {}

std::optional<OpenedFile> TOpenAhead::Take(int row, const RowFile& asked) {
    std::optional<OpenedFile> opened = files_.Take(row, asked);
    if (!opened || !opened->handle)
        return opened;
    const platform::FileIdentity file = opened->handle->Identity();
    if (std::find(taken_.begin(), taken_.end(), file) != taken_.end())
        opened = OpenRowFile(asked, FileReads::None, &folders_);
    taken_.push_back(file);
    if (taken_.size() > rowsAhead_)
        taken_.pop_front();
    return opened;
}

}  // namespace engine
