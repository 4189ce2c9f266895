#pragma once
// Opens the files of upcoming rows on a worker thread while the run changes the current one.
// A run that changes only each file's own attributes and times spends about half of its system
// calls finding the file and reading what it holds; on two cores these can go ahead of the
// writes. Only reads go ahead: every change is still made on the run's thread, row after row,
// so a Stop between two rows leaves the later files exactly as they were.

#include <deque>
#include <optional>
#include <string>

#include "engine/WorkAhead.h"
#include "platform/FileHandle.h"

namespace engine {

// A row's file as the run opens it: the handle, with the file already looked up, or the
// reason it could not be opened.
struct OpenedFile {
    std::optional<platform::TFileHandle> handle;
    std::string reason;
};

OpenedFile OpenRowFile(const std::string& path);

class TOpenAhead {
public:
    // Opens up to `rowsAhead` rows ahead of the one taken last.
    explicit TOpenAhead(std::size_t rowsAhead);

    // How many more rows to ask for now.
    std::size_t Room() const { return files_.Room(); }
    // Queues the file of `row` at `path`; rows are asked for in the order they will be taken.
    void Ask(int row, std::string path) { files_.Ask(row, std::move(path)); }
    // The file of `row`. Nullopt when the first row waiting is not `row` at `path` (rows were
    // removed or renamed since they were asked for): then every row asked for is dropped. A
    // file that one of the rows taken meanwhile changed (under another name: a hard link) is
    // opened again, so that nothing read before that change is written back.
    std::optional<OpenedFile> Take(int row, const std::string& path);

private:
    const std::size_t rowsAhead_;
    // The files of the last rows taken: those a file opened ahead may have been changed by since.
    std::deque<platform::FileIdentity> taken_;
    TWorkAhead<OpenedFile> files_;
};

}  // namespace engine
