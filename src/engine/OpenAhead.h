#pragma once
// Opens the files of upcoming rows on a worker thread while the run changes the current one.
// A run that changes only each file's own attributes and times spends about half of its system
// calls finding the file and reading what it holds; on two cores these can go ahead of the
// writes. Only reads go ahead: every change is still made on the run's thread, row after row,
// so a Stop between two rows leaves the later files exactly as they were.

#include <deque>
#include <optional>
#include <string>

#include "platform/FileHandle.h"
#include "platform/WorkAhead.h"

namespace engine {

// A row's file as the run opens it: the handle, with the file already looked up, or the
// reason it could not be opened.
struct OpenedFile {
    std::optional<platform::TFileHandle> handle;
    std::string reason;
};

// What the steps of a run read of each file: read as soon as the file is opened, it is read
// ahead with it. A change of attributes alone needs no creation time, which some volumes keep
// apart.
enum class FileReads { None, Attributes, Everything };

// A row's file as the run asks for it: its path, and whether the row's look-up of a moment ago
// found a regular file there, which then stands for the check before the file is opened.
struct RowFile {
    std::string path;
    bool foundAsFile = false;
    bool operator==(const RowFile&) const = default;
};

OpenedFile OpenRowFile(const RowFile& row, FileReads reads = FileReads::None,
                       platform::TOpenFolders* folders = nullptr);

class TOpenAhead {
public:
    // Opens up to `rowsAhead` rows ahead of the one taken last on `threads` threads, reading
    // `reads` of each.
    TOpenAhead(std::size_t rowsAhead, FileReads reads, int threads);

    // How many more rows to ask for now.
    std::size_t Room() const { return files_.Room(); }
    // Queues the file of `row`; rows are asked for in the order they will be taken.
    void Ask(int row, RowFile file) { files_.Ask(row, std::move(file)); }
    // The file of `row`. Nullopt when the first row waiting is not `row` with `file` (rows
    // were removed or renamed since they were asked for): then every row asked for is dropped. A
    // file that one of the rows taken meanwhile changed (under another name: a hard link) is
    // opened again, so that nothing read before that change is written back.
    std::optional<OpenedFile> Take(int row, const RowFile& asked);

private:
    const std::size_t rowsAhead_;
    // The files of the last rows taken: those a file opened ahead may have been changed by since.
    std::deque<platform::FileIdentity> taken_;
    // The rows' folders, held open while the files in them are opened; declared before the
    // work-ahead, so that they close after its threads stop.
    platform::TOpenFolders folders_;
    platform::TWorkAhead<OpenedFile, RowFile> files_;
};

}  // namespace engine
