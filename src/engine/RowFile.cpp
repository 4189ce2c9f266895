#include "engine/RowFile.h"

namespace engine {

OpenedFile OpenRowFile(const RowFile& row, platform::TOpenFolders* folders) {
    OpenedFile file;
    file.handle = platform::TFileHandle::Open(
        row.path, file.reason, platform::OpenKind::File,
        row.foundAsFile ? platform::OpenCheck::FoundAsFile : platform::OpenCheck::LookUpFirst,
        folders);
    return file;
}

}  // namespace engine
