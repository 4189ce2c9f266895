#pragma once
// What one step of a file's pipeline reports, whatever went wrong inside it.

#include <string>

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
    std::string reason;    // why the step failed; empty when it did not
    bool endsRun = false;  // the failure ends the whole run, not just this file's step

    static StepOutcome Done() { return {}; }
    static StepOutcome Failed(Step step, std::string reason);
};

inline StepOutcome StepOutcome::Failed(Step step, std::string reason) {
    // The one rule of which failures end a run: a GIF that cannot be read, verified or written
    // back ends it (the user is shown why and the rest of the batch waits); every other failure
    // is passed over and the run goes on with the next step.
    return {false, std::move(reason), step == Step::DeleteGIFComments};
}

}  // namespace engine
