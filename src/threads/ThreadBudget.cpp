#include "threads/ThreadBudget.h"

#include "platform/Volume.h"

namespace threads {

int Workers(Use use, Answers answers) {
    // More would only queue behind the daemon or the link; the owner's thread asks too.
    constexpr int kThreadsForRoundTrips = 3;
    const int alone = answers == Answers::OverARoundTrip ? kThreadsForRoundTrips : 1;
    switch (use) {
        case Use::Search:
        case Use::Add:
        case Use::Run:
            return alone;
        case Use::AddDuringRun:
            // The run's workers keep the other processor busy changing files: where a look-up
            // keeps a processor busy too, the run's own thread makes them; where each waits on
            // a server, one worker fewer asks meanwhile.
            return alone - 1;
    }
    return alone;
}

int Workers(Use use, const std::string& path) {
    return Workers(use, platform::AnswersOverARoundTrip(path) ? Answers::OverARoundTrip
                                                              : Answers::FromThisMachine);
}

}  // namespace threads
