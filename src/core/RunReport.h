#pragma once
// What one run did, kept for a front end to show once it is over: how many files went through
// every change asked of them, each file that did not with why, and where an error ended it.

#include <set>
#include <string>
#include <vector>

namespace core {

// "1 file", "3 files".
std::string Files(int count);

class TRunReport {
public:
    struct NotChanged {
        std::string path;
        std::string reason;
    };

    // A run has passed its checks and begins with the rows: the report of the last run goes.
    void Begin();
    // A file went through every change asked of it.
    void FileChanged() { ++changed_; }
    // A change of a file failed; the file counts once however many of its changes failed.
    void FileFailed(const std::string& path, const std::string& reason);
    // An error ended the run at `path`; `filesLeft` files of the run's scope were not visited.
    void RunStopped(const std::string& path, const std::string& reason, int filesLeft);

    // False until a run begins (a run refused by its checks begins none).
    bool Begun() const { return begun_; }
    int Changed() const { return changed_; }
    int NotChangedCount() const { return static_cast<int>(failedPaths_.size()); }
    // Every failure in the order it happened.
    const std::vector<NotChanged>& Failures() const { return failures_; }
    // "3 files changed, 1 not changed".
    std::string Summary() const;
    // One "path: reason" a line, as the command line names them.
    std::string Details() const;
    // Where and why an error ended the run and how many files it left, as the command line
    // says it; empty when the run was not ended by an error.
    std::string StoppedText() const;

private:
    bool begun_ = false;
    int changed_ = 0;
    std::vector<NotChanged> failures_;
    std::set<std::string> failedPaths_;
    std::string stopped_;
};

}  // namespace core
