#pragma once
// The hand-over of one search: what the walking thread reports, passed to the thread that owns
// the search in batches (threads::THandOver) and run there by the search's handlers.
//
// The owner runs a find or folder notification only while no termination has been requested,
// so after Stop no such handler runs; the rest of the batch is dropped. The completion always
// travels alone and after every find has run, so that it runs exactly when it was handed over
// before termination was requested.

#include <exception>
#include <memory>
#include <string>

#include "find/FindDispatcher.h"
#include "find/FolderWalk.h"
#include "find/SearchRec.h"
#include "find/ThreadPriority.h"
#include "find/vexFind.h"
#include "threads/HandOver.h"

namespace vexfind {

// One notification on its way to the owner. The finds of one folder share its name.
struct Delivery {
    enum class Kind { ChangeDirectory, FileFound, FolderNotSearched, Completed };
    Kind kind;
    std::shared_ptr<const std::string> directory;
    TSearchRec find;
    std::string reason;  // why a folder was not searched
};

// What the worker and the owner's thread share: the worker walks into it, the owner's thread
// runs its handlers from it.
class TFindHandOver : public IWalkEvents, public threads::THandOver<Delivery> {
public:
    TFindHandOver(TFindThread& sender, IFindDispatcher& dispatcher, FindOptions options,
                  TFindThread::Handlers handlers, TThreadPriority priority);

    // The worker's whole life. Nothing escapes it: a failure of the walk itself (out of
    // memory) just ends the search like a termination.
    void Run() noexcept;

    bool Terminated() override { return Poll(); }
    void ChangeDirectory(const std::string& directory) override;
    void FileFound(const std::string& directory, TSearchRec find) override;
    void FolderNotSearched(const std::string& directory, const std::string& reason) override;

    int Niceness() const { return niceness_; }
    // The notification whose handler runs; owner's thread only.
    const std::string& CurrentDirectory() const;
    const TSearchRec& CurrentFind() const;

protected:
    void Deliver(const Delivery& delivery) override;

private:
    // The walk reports a folder's finds one after another: they all share the folder's name.
    std::shared_ptr<const std::string> SharedDirectory(const std::string& directory);

    TFindThread& sender_;
    const FindOptions options_;
    const TFindThread::Handlers handlers_;
    const TThreadPriority priority_;
    std::atomic<int> niceness_ = 0;

    // The worker's own.
    std::shared_ptr<const std::string> lastDirectory_;
    // The owner's own.
    const Delivery* current_ = nullptr;
};

}  // namespace vexfind
