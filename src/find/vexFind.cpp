#include "find/vexFind.h"

#include <algorithm>
#include <cassert>
#include <utility>

#include "find/FindHandOver.h"
#include "find/FindText.h"

namespace vexfind {

TFindThread::TFindThread(IFindDispatcher& dispatcher, FindOptions options, Handlers handlers,
                         TThreadPriority priority)
    : shared_(std::make_shared<TFindHandOver>(*this, dispatcher, std::move(options),
                                              std::move(handlers), priority)) {}

// Possibly from inside one of its own handlers.
TFindThread::~TFindThread() {
    shared_->StopAndEnd(thread_);
}

void TFindThread::Resume() {
    assert(!thread_.joinable());
    thread_ = std::thread([shared = shared_] { shared->Run(); });
}

void TFindThread::Terminate() {
    shared_->Stop();
}
bool TFindThread::Terminated() const {
    return shared_->Stopping();
}
bool TFindThread::Finished() const {
    return shared_->Finished();
}
int TFindThread::Niceness() const {
    return shared_->Niceness();
}
std::exception_ptr TFindThread::HandlerError() const {
    return shared_->Error();
}
const std::string& TFindThread::CurrentDirectory() const {
    return shared_->CurrentDirectory();
}
const TSearchRec& TFindThread::CurrentFind() const {
    return shared_->CurrentFind();
}

namespace {

// Letters A-Z compared without regard to case, then by bytes, so that the order is total.
bool DirectoryLess(const std::string& a, const std::string& b) {
    const std::string foldedA = FoldAsciiToLower(a);
    const std::string foldedB = FoldAsciiToLower(b);
    return foldedA != foldedB ? foldedA < foldedB : a < b;
}

}  // namespace

void TDirectoryList::Add(const std::string& directory) {
    const auto place = std::lower_bound(items_.begin(), items_.end(), directory, DirectoryLess);
    if (place == items_.end() || *place != directory) {
        items_.insert(place, directory);
    }
}

TVexFind::TVexFind(IFindDispatcher& dispatcher) : dispatcher_(dispatcher) {}

void TVexFind::Start() {
    // Ending the previous search first; whatever it had already handed over is served while
    // waiting for it, so that it can reach its end.
    worker_.reset();
    worker_ = std::make_unique<TFindThread>(
        dispatcher_, OptionsForWorker(),
        TFindThread::Handlers{onFileFound_, onChangeDirectory_, onCompleted_, onFolderNotSearched_},
        threadPriority_);
    worker_->Resume();
}

void TVexFind::Stop() {
    if (worker_) {
        worker_->Terminate();
    }
}

bool TVexFind::Searching() const {
    return worker_ && !worker_->Finished();
}

std::exception_ptr TVexFind::HandlerError() const {
    return worker_ ? worker_->HandlerError() : nullptr;
}

void TVexFind::SetDirectories(const std::vector<std::string>& directories) {
    directories_.Clear();
    for (const std::string& directory : directories) {
        if (!directory.empty()) {
            directories_.Add(directory);
        }
    }
}

void TVexFind::SetDrives(std::string_view drives) {
    drives_.clear();
    for (const char c : drives) {
        const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 0x20) : c;
        if (upper >= 'A' && upper <= 'Z') {
            drives_ += upper;
        }
    }
}

FindOptions TVexFind::OptionsForWorker() const {
    FindOptions options;
    options.fileMask = fileMask_;
    options.directories = directories_.Items();
    options.drives = drives_;
    for (const std::string& entry : files_) {
        const std::size_t start = entry.find_first_not_of(platform::kPathSeparator);
        if (start != std::string::npos) {
            options.files.push_back(entry.substr(start));
        }
    }
    options.containingText = containingText_;
    options.caseSensitive = caseSensitive_;
    return options;
}

}  // namespace vexfind
