#include "find/vexFind.h"

#include <algorithm>
#include <cassert>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>

#include "find/FindText.h"

namespace vexfind {

namespace {

using Clock = std::chrono::steady_clock;

// Finds travel to the owner in batches: a round trip between two threads costs far more than
// reporting one entry, so one per find would make the hand-over most of a search's time. A
// batch is due when it holds kBatchSize finds or its first find has waited long enough to be
// noticed, and goes as soon as the owner is free to take it. While the owner is busy (or not
// yet scheduled, on a loaded machine) the batch keeps growing, so that the walk goes on, up
// to kBatchLimit: that bounds what the worker holds, and how long one batch keeps a window's
// thread from its other events.
constexpr std::size_t kBatchSize = 256;
constexpr std::size_t kBatchLimit = 4 * kBatchSize;
constexpr Clock::duration kBatchDelay = std::chrono::milliseconds(20);
// The walk asks whether it should stop before every entry, and a large tree has a great many:
// the clock is read at every so many questions only, since a batch's delay is no deadline.
constexpr int kEntriesPerClockReading = 16;

// One notification on its way to the owner. The finds of one folder share its name.
struct Delivery {
    enum class Kind { ChangeDirectory, FileFound, FolderNotSearched, Completed };
    Kind kind;
    std::shared_ptr<const std::string> directory;
    TSearchRec find;
    std::string reason;  // why a folder was not searched
};

const std::string kNoDirectory;
const TSearchRec kNoFind;

// A worker let go from inside one of its handlers (see ~TFindThread) ends soon after, but may
// still be walking when the program ends. The end of the program waits for such workers, so
// that none touches what the exit destroys (the volume caches, the attribute stores). Made at
// the first let-go, after the walk's own static objects, and so destroyed before them.
class TLetGoWorkers {
public:
    ~TLetGoWorkers() {
        std::unique_lock lock(mutex_);
        ended_.wait(lock, [this] { return running_ == 0; });
    }
    void Began() {
        const std::lock_guard lock(mutex_);
        ++running_;
    }
    void Ended() {
        const std::lock_guard lock(mutex_);
        if (--running_ == 0)
            ended_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable ended_;
    int running_ = 0;
};

TLetGoWorkers& LetGoWorkers() {
    static TLetGoWorkers workers;
    return workers;
}

}  // namespace

// What the worker and the owner's thread share. The worker holds it through a shared pointer
// of its own, so that a worker let go while it finishes (see ~TFindThread) never outlives it.
//
// The worker passes a batch of notifications to the owner and walks on while the owner runs
// them, in order, one handler at a time; before it passes the next batch it waits until that
// one has run, so batches run in walk order, never two at once, and no more than two exist.
// The owner runs a find or folder notification only while no termination has been requested,
// so after Stop no such handler runs; the rest of the batch is dropped. The worker thus looks
// ahead by at most two batches, which nobody can observe. The completion always travels alone
// and after every find has run, so that it runs exactly when it was handed over before
// termination was requested.
class TFindThread::Shared : public IWalkEvents, public std::enable_shared_from_this<Shared> {
public:
    Shared(TFindThread& sender, IFindDispatcher& dispatcher, FindOptions options, Handlers handlers,
           TThreadPriority priority)
        : sender_(sender),
          dispatcher_(dispatcher),
          options_(std::move(options)),
          handlers_(std::move(handlers)),
          priority_(priority),
          owner_(std::this_thread::get_id()) {}

    // The worker's whole life. Nothing escapes it: a failure of the walk itself (out of
    // memory) just ends the search like a termination.
    void Run() noexcept {
        try {
            niceness_ = ApplyThreadPriority(priority_);
            RunFolderWalk(options_, *this);
            HandOver();
            WaitUntilServed();
            if (!terminated_ && handlers_.onCompleted) {
                batch_.push_back({Delivery::Kind::Completed, nullptr, {}, {}});
                HandOver();
                WaitUntilServed();
            }
        } catch (...) {
            terminated_ = true;
        }
        {
            std::lock_guard lock(mutex_);
            finished_ = true;
            if (letGo_)
                LetGoWorkers().Ended();
        }
        changed_.notify_all();
    }

    bool Terminated() override {
        if (BatchDue() && (batch_.size() >= kBatchLimit || OwnerFree())) {
            HandOver();
        }
        return terminated_;
    }

    void ChangeDirectory(const std::string& directory) override {
        if (!terminated_ && handlers_.onChangeDirectory) {
            Queue({Delivery::Kind::ChangeDirectory, SharedDirectory(directory), {}, {}});
        }
    }

    void FileFound(const std::string& directory, TSearchRec find) override {
        if (!terminated_ && handlers_.onFileFound) {
            Queue({Delivery::Kind::FileFound, SharedDirectory(directory), std::move(find), {}});
        }
    }

    void FolderNotSearched(const std::string& directory, const std::string& reason) override {
        if (!terminated_ && handlers_.onFolderNotSearched) {
            Queue({Delivery::Kind::FolderNotSearched, SharedDirectory(directory), {}, reason});
        }
    }

    // Runs the batch the worker is waiting for, if there is one. Owner's thread only.
    void ServePending() {
        std::unique_lock lock(mutex_);
        // Empty when it was served already, and also when this is an event loop run from
        // inside a handler being served.
        if (pending_.empty()) {
            return;
        }
        assert(std::this_thread::get_id() == owner_);
        const std::vector<Delivery> batch = std::exchange(pending_, {});
        serving_ = true;
        lock.unlock();
        std::exception_ptr error;
        try {
            for (const Delivery& delivery : batch) {
                Deliver(delivery);
            }
        } catch (...) {
            error = std::current_exception();
        }
        current_ = nullptr;
        lock.lock();
        serving_ = false;
        inFlight_ = false;
        // A handler's exception ends the search; the worker may be walking meanwhile, so it
        // must not hand over anything more.
        if (error && !handlerError_) {
            handlerError_ = error;
            terminated_ = true;
        }
        lock.unlock();
        changed_.notify_all();
    }

    // Waits, on the owner's thread, until the run is over, serving its hand-overs meanwhile.
    void WaitForEnd() {
        std::unique_lock lock(mutex_);
        while (!finished_) {
            if (!pending_.empty()) {
                lock.unlock();
                ServePending();
                lock.lock();
            } else {
                changed_.wait(lock);
            }
        }
    }

    // The owner may serve a batch while the worker is still on its way out of Post; whoever
    // lets the worker go must wait for that, since the dispatcher may go right after.
    void WaitUntilPostReturned() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !posting_; });
    }

    void Terminate() { terminated_ = true; }

    // The owner lets the worker finish on its own (see ~TFindThread).
    void LetGo() {
        std::lock_guard lock(mutex_);
        if (finished_)
            return;
        letGo_ = true;
        LetGoWorkers().Began();
    }
    bool IsTerminated() const { return terminated_; }

    bool Finished() const {
        std::lock_guard lock(mutex_);
        return finished_;
    }

    bool ServingOnThisThread() const {
        std::lock_guard lock(mutex_);
        return serving_ && std::this_thread::get_id() == owner_;
    }

    std::exception_ptr HandlerError() const {
        std::lock_guard lock(mutex_);
        return handlerError_;
    }

    int Niceness() const { return niceness_; }
    const std::string& CurrentDirectory() const {
        return current_ && current_->directory ? *current_->directory : kNoDirectory;
    }
    const TSearchRec& CurrentFind() const { return current_ ? current_->find : kNoFind; }

private:
    // Collects only: the walk asks Terminated before every entry and folder, and that passes
    // the batch on when it is due.
    void Queue(Delivery delivery) {
        if (batch_.empty()) {
            batch_.reserve(kBatchSize);
            batchStart_ = Clock::now();
            entriesSinceClock_ = 0;
        }
        batch_.push_back(std::move(delivery));
    }

    // The walk reports a folder's finds one after another: they all share the folder's name.
    std::shared_ptr<const std::string> SharedDirectory(const std::string& directory) {
        if (!lastDirectory_ || *lastDirectory_ != directory) {
            lastDirectory_ = std::make_shared<const std::string>(directory);
        }
        return lastDirectory_;
    }

    bool BatchDue() {
        if (batch_.size() >= kBatchSize) {
            return true;
        }
        if (batch_.empty() || ++entriesSinceClock_ < kEntriesPerClockReading) {
            return false;
        }
        entriesSinceClock_ = 0;
        return Clock::now() - batchStart_ >= kBatchDelay;
    }

    bool OwnerFree() {
        std::lock_guard lock(mutex_);
        return !inFlight_;
    }

    // Has the collected batch run on the owner's thread, once the batch before it has run, and
    // returns at once: the walk goes on while the owner runs it. After a termination request
    // nothing collected would run, so nothing is handed over.
    void HandOver() {
        WaitUntilServed();
        {
            std::lock_guard lock(mutex_);
            if (batch_.empty() || terminated_) {
                batch_.clear();
                return;
            }
            pending_ = std::exchange(batch_, {});
            inFlight_ = true;
            posting_ = true;
        }
        changed_.notify_all();  // an owner waiting for the end serves it at once
        try {
            dispatcher_.Post([weak = weak_from_this()] {
                if (const std::shared_ptr<Shared> self = weak.lock()) {
                    self->ServePending();
                }
            });
        } catch (...) {
            PostReturned();
            throw;
        }
        PostReturned();
    }

    // Waits until the owner has run every batch handed over.
    void WaitUntilServed() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !inFlight_; });
    }

    void PostReturned() {
        {
            std::lock_guard lock(mutex_);
            posting_ = false;
        }
        changed_.notify_all();
    }

    void Deliver(const Delivery& delivery) {
        if (delivery.kind != Delivery::Kind::Completed && terminated_) {
            return;
        }
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

    TFindThread& sender_;
    IFindDispatcher& dispatcher_;
    const FindOptions options_;
    const Handlers handlers_;
    const TThreadPriority priority_;
    const std::thread::id owner_;

    std::atomic<bool> terminated_ = false;
    std::atomic<int> niceness_ = 0;

    // The worker's own.
    std::vector<Delivery> batch_;
    Clock::time_point batchStart_;
    int entriesSinceClock_ = 0;
    std::shared_ptr<const std::string> lastDirectory_;

    // The owner's own: the notification whose handler runs.
    const Delivery* current_ = nullptr;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Delivery> pending_;  // handed over, not yet taken by the owner
    bool inFlight_ = false;          // a batch was handed over and has not run to its end
    bool posting_ = false;           // the worker is inside the dispatcher's Post
    bool serving_ = false;           // the owner is inside a handler of this worker
    bool finished_ = false;
    bool letGo_ = false;
    std::exception_ptr handlerError_;
};

TFindThread::TFindThread(IFindDispatcher& dispatcher, FindOptions options, Handlers handlers,
                         TThreadPriority priority)
    : shared_(std::make_shared<Shared>(*this, dispatcher, std::move(options), std::move(handlers),
                                       priority)) {}

TFindThread::~TFindThread() {
    if (!thread_.joinable()) {
        return;
    }
    shared_->Terminate();
    if (shared_->ServingOnThisThread()) {
        // Destroyed from inside one of its own handlers: the worker ends only after that
        // handler has returned, so waiting for its end here would never end. It has been told
        // to stop, posts nothing more, and keeps alive all that it still touches.
        shared_->WaitUntilPostReturned();
        shared_->LetGo();
        thread_.detach();
        return;
    }
    shared_->WaitForEnd();
    thread_.join();
}

void TFindThread::Resume() {
    assert(!thread_.joinable());
    thread_ = std::thread([shared = shared_] { shared->Run(); });
}

void TFindThread::Terminate() {
    shared_->Terminate();
}
bool TFindThread::Terminated() const {
    return shared_->IsTerminated();
}
bool TFindThread::Finished() const {
    return shared_->Finished();
}
int TFindThread::Niceness() const {
    return shared_->Niceness();
}
std::exception_ptr TFindThread::HandlerError() const {
    return shared_->HandlerError();
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
