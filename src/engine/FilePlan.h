#pragma once
// What a run would do to one file, worked out from its one look-up and the options before
// anything changes. A run makes the plan and then applies it; a preview makes the plan alone,
// so what a preview shows and what a run does come from the same rules.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/GifStep.h"
#include "engine/Renaming.h"
#include "engine/StepOutcome.h"
#include "platform/FileSystem.h"

namespace engine {

// A step the run would refuse, the path it would name (the file's name by then) and the reason
// it would give.
struct PlannedFailure {
    Step step;
    std::string path;
    std::string reason;
};

struct FilePlan {
    // The file as it is, and as the steps would leave it (name, times, attributes). Each step
    // is planned on what the steps before it would leave.
    platform::FindData now;
    platform::FindData after;

    // What each step would write; absent for a step not asked for, or one with nothing to write.
    std::optional<std::uint32_t> removedAttributes;
    std::optional<GifPlan> gif;
    RenameOutcome tagRename;
    RenameOutcome caseRename;
    std::optional<platform::FileTimesToSet> times;
    // Why no time would be written, when times are asked for and none are planned.
    std::string noTimesReason;
    std::optional<std::uint32_t> setAttributes;

    // The refusals the run would give, in the order of the steps.
    std::vector<PlannedFailure> failures;
    // A failure that ends the file's steps, or the whole run (endsRun): no later step is planned.
    std::optional<StepOutcome> end;
};

}  // namespace engine
