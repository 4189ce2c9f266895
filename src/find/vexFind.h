#pragma once
// TVexFind searches folder trees on a worker thread of its own, TFindThread, and reports each
// matching entry to the thread that owns it. It knows nothing of the file list: it walks,
// matches and notifies.
//
// Notifications go to the owner's thread in small batches (see FindHandOver.h): handlers see finds
// one at a time, in walk order, on the owner's thread only, and may change the owner's state
// without a lock. The worker walks on while the owner runs one batch, but hands over the next
// only after it; after Stop no find or folder handler runs, and the completion runs alone,
// after every find.

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "find/FindDispatcher.h"
#include "find/FolderWalk.h"
#include "find/SearchRec.h"
#include "find/ThreadPriority.h"

namespace vexfind {

class TFindThread;
class TFindHandOver;

// The sender of every event is the worker that reports, not the component.
using TMatchEvent = std::function<void(TFindThread& sender, const std::string& directory,
                                       const TSearchRec& fileInfo)>;
using TChangeDirEvent = std::function<void(TFindThread& sender, const std::string& directory)>;
using TNotifyEvent = std::function<void(TFindThread& sender)>;
using TFolderErrorEvent = std::function<void(TFindThread& sender, const std::string& directory,
                                             const std::string& reason)>;

// The worker of one search. It works on its own copies of everything it was given, so changes
// to the component during a search do not reach it.
class TFindThread {
public:
    struct Handlers {
        TMatchEvent onFileFound;
        TChangeDirEvent onChangeDirectory;
        TNotifyEvent onCompleted;
        TFolderErrorEvent onFolderNotSearched;
    };

    // Created suspended: nothing runs before Resume. The dispatcher must outlive the worker.
    TFindThread(IFindDispatcher& dispatcher, FindOptions options, Handlers handlers,
                TThreadPriority priority);
    // Requests termination and waits for the end, serving the worker's pending hand-overs on
    // the calling (owner's) thread meanwhile.
    ~TFindThread();
    TFindThread(const TFindThread&) = delete;
    TFindThread& operator=(const TFindThread&) = delete;

    void Resume();
    // Returns at once. After it no find or folder handler runs; a completion the worker had
    // already handed over still runs.
    void Terminate();
    bool Terminated() const;
    // The run is over: walked to the end, terminated, or ended by a handler's exception.
    bool Finished() const;
    // The niceness the worker runs at; valid from its first hand-over on.
    int Niceness() const;
    // What a handler threw, ending the search; null when none did.
    std::exception_ptr HandlerError() const;

    // The folder and the entry being reported; read them only inside a handler, on the
    // owner's thread.
    const std::string& CurrentDirectory() const;
    const TSearchRec& CurrentFind() const;

private:
    // Shared with the running thread, which keeps it alive should it outlive this object.
    std::shared_ptr<TFindHandOver> shared_;
    std::thread thread_;
};

// The folders of a search: kept sorted without regard to case. Only an exact duplicate is
// dropped, since on Linux "/Music" and "/music" are two different folders.
class TDirectoryList {
public:
    void Add(const std::string& directory);
    void Clear() { items_.clear(); }
    std::size_t Count() const { return items_.size(); }
    const std::string& operator[](std::size_t index) const { return items_[index]; }
    const std::vector<std::string>& Items() const { return items_; }

private:
    std::vector<std::string> items_;
};

class TVexFind {
public:
    // The dispatcher hands calls to the owner's thread and must outlive the component.
    explicit TVexFind(IFindDispatcher& dispatcher);
    // Stops a running search and waits for its end (see ~TFindThread).
    ~TVexFind() = default;
    TVexFind(const TVexFind&) = delete;
    TVexFind& operator=(const TVexFind&) = delete;

    // Starts a search with the current properties and returns at once. A search still running
    // is ended first; only the new one reports from then on.
    void Start();
    // Asks the running search to end; returns at once, without waiting.
    void Stop();

    // Whether the last search's worker is still running.
    bool Searching() const;
    // What a handler of the last search threw, ending it; null when none did.
    std::exception_ptr HandlerError() const;

    const TMatchEvent& OnFileFound() const { return onFileFound_; }
    void SetOnFileFound(TMatchEvent handler) { onFileFound_ = std::move(handler); }
    const TNotifyEvent& OnCompleted() const { return onCompleted_; }
    void SetOnCompleted(TNotifyEvent handler) { onCompleted_ = std::move(handler); }
    const TChangeDirEvent& OnChangeDirectory() const { return onChangeDirectory_; }
    void SetOnChangeDirectory(TChangeDirEvent handler) { onChangeDirectory_ = std::move(handler); }
    // A folder the search could not open, with the reason; it runs in walk order with the finds.
    const TFolderErrorEvent& OnFolderNotSearched() const { return onFolderNotSearched_; }
    void SetOnFolderNotSearched(TFolderErrorEvent handler) {
        onFolderNotSearched_ = std::move(handler);
    }

    // Exact comparison of ContainingText instead of folding A-Z.
    bool CaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool value) { caseSensitive_ = value; }

    // Only files holding this text are reported, and folders then never; empty reports every
    // match of the mask. Any length works (see FindText.h).
    const std::string& ContainingText() const { return containingText_; }
    void SetContainingText(std::string text) { containingText_ = std::move(text); }

    // Roots of the search (see WalkRoots); empty searches from "/". The setter drops empty
    // entries; entries added directly are kept as given.
    TDirectoryList& Directories() { return directories_; }
    const TDirectoryList& Directories() const { return directories_; }
    void SetDirectories(const std::vector<std::string>& directories);

    // Letters A-Z only, upper-cased ("c:d" becomes "CD"); an empty value means no search.
    const std::string& Drives() const { return drives_; }
    void SetDrives(std::string_view drives);

    // When not empty, only entries named here by name or by path are reported; leading "/"
    // are removed at Start, so "/readme.txt" matches readme.txt in every folder.
    std::vector<std::string>& Files() { return files_; }
    const std::vector<std::string>& Files() const { return files_; }
    void SetFiles(std::vector<std::string> files) { files_ = std::move(files); }

    const std::string& FileMask() const { return fileMask_; }
    void SetFileMask(std::string mask) { fileMask_ = std::move(mask); }

    TThreadPriority ThreadPriority() const { return threadPriority_; }
    void SetThreadPriority(TThreadPriority priority) { threadPriority_ = priority; }

private:
    FindOptions OptionsForWorker() const;

    IFindDispatcher& dispatcher_;
    TMatchEvent onFileFound_;
    TNotifyEvent onCompleted_;
    TChangeDirEvent onChangeDirectory_;
    TFolderErrorEvent onFolderNotSearched_;
    bool caseSensitive_ = false;
    std::string containingText_;
    TDirectoryList directories_;
    std::string drives_ = "C";
    std::vector<std::string> files_;
    std::string fileMask_ = "*.exe";
    TThreadPriority threadPriority_ = TThreadPriority::tpNormal;
    // Last, so that it is destroyed, and the search ended, before the handlers it copied from.
    std::unique_ptr<TFindThread> worker_;
};

}  // namespace vexfind
