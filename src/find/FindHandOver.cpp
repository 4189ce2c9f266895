#include "find/FindHandOver.h"

#include <chrono>
#include <utility>

namespace vexfind {

namespace {

// A find costs far less to report than a hand-over between threads: a few hundred go in one
// batch, and a find waits no longer than a user would notice before it shows. Four batches'
// worth bound what the walk holds while a busy window takes none. The walk asks whether it
// should stop before every entry, a great many times, so the clock is read at every 16th.
constexpr threads::BatchPace kFindPace{.size = 256,
                                       .delay = std::chrono::milliseconds(20),
                                       .limit = 4 * 256,
                                       .pollsPerClockReading = 16};

const std::string kNoDirectory;
const TSearchRec kNoFind;

}  // namespace

TFindHandOver::TFindHandOver(TFindThread& sender, IFindDispatcher& dispatcher, FindOptions options,
                             TFindThread::Handlers handlers, TThreadPriority priority)
    : THandOver([&dispatcher](std::function<void()> call) { dispatcher.Post(std::move(call)); },
                kFindPace),
      sender_(sender),
      options_(std::move(options)),
      handlers_(std::move(handlers)),
      priority_(priority) {}

void TFindHandOver::Run() noexcept {
    try {
        niceness_ = ApplyThreadPriority(priority_);
        RunFolderWalk(options_, *this);
        Flush();
        if (handlers_.onCompleted)
            SendAlone({Delivery::Kind::Completed, nullptr, {}, {}});
    } catch (...) {
        Stop();
    }
    Finish();
}

void TFindHandOver::ChangeDirectory(const std::string& directory) {
    if (!Stopping() && handlers_.onChangeDirectory)
        Queue({Delivery::Kind::ChangeDirectory, SharedDirectory(directory), {}, {}});
}

void TFindHandOver::FileFound(const std::string& directory, TSearchRec find) {
    if (!Stopping() && handlers_.onFileFound)
        Queue({Delivery::Kind::FileFound, SharedDirectory(directory), std::move(find), {}});
}

void TFindHandOver::FolderNotSearched(const std::string& directory, const std::string& reason) {
    if (!Stopping() && handlers_.onFolderNotSearched)
        Queue({Delivery::Kind::FolderNotSearched, SharedDirectory(directory), {}, reason});
}

const std::string& TFindHandOver::CurrentDirectory() const {
    return current_ && current_->directory ? *current_->directory : kNoDirectory;
}

const TSearchRec& TFindHandOver::CurrentFind() const {
    return current_ ? current_->find : kNoFind;
}

std::shared_ptr<const std::string> TFindHandOver::SharedDirectory(const std::string& directory) {
    if (!lastDirectory_ || *lastDirectory_ != directory)
        lastDirectory_ = std::make_shared<const std::string>(directory);
    return lastDirectory_;
}

void TFindHandOver::Deliver(const Delivery& delivery) {
    if (delivery.kind != Delivery::Kind::Completed && Stopping())
        return;
    // Read by the handler through its sender, and by nobody after it.
    struct Current {
        const Delivery*& current;
        ~Current() { current = nullptr; }
    } current{current_};
    current_ = &delivery;
    switch (delivery.kind) {
        case Delivery::Kind::ChangeDirectory:
            handlers_.onChangeDirectory(sender_, *delivery.directory);
            break;
        case Delivery::Kind::FileFound:
            handlers_.onFileFound(sender_, *delivery.directory, delivery.find);
            break;
        case Delivery::Kind::FolderNotSearched:
            handlers_.onFolderNotSearched(sender_, *delivery.directory, delivery.reason);
            break;
        case Delivery::Kind::Completed:
            handlers_.onCompleted(sender_);
            break;
    }
}

}  // namespace vexfind
