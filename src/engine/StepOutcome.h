#pragma once
// What one step of a file's pipeline reports, whatever went wrong inside it.

#include <string>
#include <utility>

#include "platform/Result.h"

namespace engine {

// The steps of a file's pipeline, in their order.
enum class Step {
    RemoveAttributes,
    DeleteGIFComments,
    RenameFromTag,
    ChangeCase,
    SetTimes,
    SetAttributes
};

struct StepOutcome {
    bool ok = true;
    std::string reason;     // why the step failed; empty when it did not
    bool endsRun = false;   // the failure ends the whole run, not just this file's step
    bool endsFile = false;  // no later step runs on this file; the run goes on with the next

    static StepOutcome Done() { return {}; }
    static StepOutcome Failed(Step step, std::string reason);
    // Done, or failed as `step` fails, as `result` says.
    static StepOutcome Of(Step step, const platform::Result& result);
    // A file the step will not take on at all, though nothing is wrong with it.
    static StepOutcome FileRefused(std::string reason);
};

// The one rule of which failures end a run: a GIF that cannot be read, verified or written back
// ends it (the user is shown why and the rest of the batch waits). A GIF that is sound but too
// large to take on (an image beyond what a rewrite may hold in memory) ends only its own file:
// no later step runs on it and the run goes on with the next file. Every other failure is
// passed over and the run goes on with the next step.
inline StepOutcome StepOutcome::Failed(Step step, std::string reason) {
    return {false, std::move(reason), step == Step::DeleteGIFComments, false};
}

inline StepOutcome StepOutcome::Of(Step step, const platform::Result& result) {
    return result ? Done() : Failed(step, result.Reason());
}

inline StepOutcome StepOutcome::FileRefused(std::string reason) {
    return {false, std::move(reason), false, true};
}

}  // namespace engine
