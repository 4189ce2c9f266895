#pragma once
// What the run engine asks of its front end: the options, a turn of the event loop, the
// progress bar, the button's state and the messages. The window pumps its events here; the
// command line does not.

#include <string>

#include "engine/RunOptions.h"

namespace engine {

class IRunHost {
public:
    virtual ~IRunHost() = default;

    // The parameters as they stand now; read afresh for each file.
    virtual RunOptions ReadOptions() = 0;
    // Lets pending events run; a Stop chosen meanwhile arrives through this call.
    virtual void ProcessMessages() = 0;

    // Running: caption "&Stop", image lowered; idle: "&Start to handle...", image raised.
    virtual void RunStateChanged(bool running) = 0;
    virtual void ShowFileListPage() = 0;
    virtual void SetProgressMax(int maximum) = 0;
    virtual void SetProgressPosition(int position) = 0;

    // The program's own message box (the year-range error of the date check).
    virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
    // An error that ended the run, shown as the standard error box does.
    virtual void ShowError(const std::string& path, const std::string& message) = 0;
    // A change to one file that could not be made. The window passes over it in silence, as
    // it always has; the command line names it.
    virtual void FileFailed(const std::string& path, const std::string& reason) = 0;
};

}  // namespace engine
