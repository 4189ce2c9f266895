#include "engine/RowFile.h"

namespace engine {

OpenedFile OpenRowFile(const RowFile& row, platform::TOpenFolders* folders) {
    // A row's folder is opened without following a link all the same; one file done alone
    // holds it only while the file is opened.
    platform::TOpenFolders ownFolder;
    if (!folders)
        folders = &ownFolder;
    OpenedFile file;
    file.handle = platform::TFileHandle::Open(
        row.path, file.reason, platform::OpenKind::File,
        row.foundAsFile ? platform::OpenCheck::FoundAsFile : platform::OpenCheck::LookUpFirst,
        folders);
    return file;
}

OpenedFile OpenForPlan(const RowFile& row, const RunOptions& options,
                       platform::TOpenFolders& folders) {
    if (!ChangesOnlyAttributesAndTimes(options) || ReadsContent(options))
        return OpenRowFile(row, &folders);
    OpenedFile file;
    file.handle = platform::TFileHandle::Look(row.path, file.reason, folders);
    return file;
}

}  // namespace engine
