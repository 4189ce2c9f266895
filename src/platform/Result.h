#pragma once
// What an operation that can fail gives back: that it was done, or why not, in the words the
// command line prints. Every platform call that changes or reads a file answers with one, and
// so does each step of a run, so a reason is made once, where the failure is known, and only
// travels up from there.

#include <string>
#include <utility>

namespace platform {

class [[nodiscard]] Result {
public:
    static Result Done() { return Result(); }
    static Result Failed(std::string reason) { return Result(std::move(reason)); }

    bool Ok() const { return !failed_; }
    explicit operator bool() const { return Ok(); }
    // Why it failed; empty when it did not.
    const std::string& Reason() const { return reason_; }

private:
    Result() = default;
    explicit Result(std::string reason) : failed_(true), reason_(std::move(reason)) {}

    bool failed_ = false;
    std::string reason_;
};

}  // namespace platform
