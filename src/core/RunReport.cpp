#include "core/RunReport.h"

namespace core {

std::string Files(int count) {
    return std::to_string(count) + (count == 1 ? " file" : " files");
}

void TRunReport::Begin() {
    *this = TRunReport();
    begun_ = true;
}

void TRunReport::FileFailed(const std::string& path, const std::string& reason) {
    failures_.push_back({path, reason});
    failedPaths_.insert(path);
}

void TRunReport::RunStopped(const std::string& path, const std::string& reason, int filesLeft) {
    FileFailed(path, reason);
    stopped_ =
        "The run stopped at " + path + ": " + reason + "; " + Files(filesLeft) + " not processed.";
}

std::string TRunReport::Summary() const {
    return Files(changed_) + " changed, " + std::to_string(NotChangedCount()) + " not changed";
}

std::string TRunReport::Details() const {
    std::string text;
    for (const NotChanged& failure : failures_)
        text += failure.path + ": " + failure.reason + "\n";
    return text;
}

std::string TRunReport::StoppedText() const {
    return stopped_;
}

}  // namespace core
