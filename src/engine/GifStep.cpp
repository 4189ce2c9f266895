#include "engine/GifStep.h"

#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "gif/DeleteGIFComments.h"
#include "gif/GIFException.h"

namespace engine {
namespace {

// The texts the program's file streams have always given, with the system's reason after them.
std::string CannotOpenFile(const std::string& path) {
    return "Cannot open file " + path;
}

std::string CannotCreateFile(const std::string& path) {
    return "Cannot create file " + path;
}

StepOutcome Failed(std::string reason) {
    return StepOutcome::Failed(Step::DeleteGIFComments, std::move(reason));
}

// Runs `work`, turning what the GIF subsystem throws into the step's outcome.
template <typename Work>
StepOutcome Guarded(const Work& work) {
    try {
        return work();
    } catch (const gif::GIFImageTooLarge& error) {
        return StepOutcome::FileRefused(error.what());
    } catch (const std::bad_alloc&) {
        // One image at a time did not fit: as with a too large image, nothing is wrong with
        // the file, and the next one may well fit.
        return StepOutcome::FileRefused("not enough memory for this image");
    } catch (const std::exception& error) {
        // The GIF subsystem's errors carry the message the user is shown, as it stands.
        return Failed(error.what());
    }
}

}  // namespace

// The header is checked before the file is read whole, so a huge file that is no GIF costs
// nothing.
GifPlan PlanGifStep(const platform::TFileHandle& file, gif::TGIFDocument& image) {
    GifPlan plan;
    plan.outcome = Guarded([&] {
        if (const platform::Result read = file.ReadPrefix(gif::kHeaderSize, plan.bytes); !read)
            return Failed(CannotOpenFile(file.Path()) + ": " + read.Reason());
        gif::CheckHeader(plan.bytes);
        if (const platform::Result read = file.ReadAll(plan.bytes); !read)
            return Failed(CannotOpenFile(file.Path()) + ": " + read.Reason());
        plan.comments = gif::CountGIFComments(image, plan.bytes);
        return StepOutcome::Done();
    });
    return plan;
}

StepOutcome ApplyGifStep(platform::TFileHandle& file, gif::TGIFDocument& image, const GifPlan& plan,
                         const std::string& keepOldAs) {
    if (!plan.outcome.ok || plan.comments == 0)
        return plan.outcome;
    return Guarded([&] {
        const std::optional<std::vector<std::uint8_t>> rewritten =
            gif::DeleteGIFComments(image, plan.bytes);
        if (!rewritten)
            return StepOutcome::Done();
        if (const platform::Result written = file.ReplaceContent(*rewritten, keepOldAs); !written)
            return Failed(CannotCreateFile(file.Path()) + ": " + written.Reason());
        return StepOutcome::Done();
    });
}

}  // namespace engine
