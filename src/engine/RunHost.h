#pragma once
// What a front end provides to a run: the options, a turn of its event loop, and the places
// where messages and failures are shown. The window pumps its events here; the command line
// does not.

#include <string>

#include "engine/RunOptions.h"
#include "platform/RunJournal.h"

namespace engine {

class IRunHost {
public:
    virtual ~IRunHost() = default;

    // The parameters as they stand now; read afresh for each file.
    virtual RunOptions ReadOptions() = 0;
    // Whether events should run now, before the next row: the window lets them in every few
    // milliseconds, not at every row; the command line never does.
    virtual bool MessagesDue() const = 0;
    // Lets pending events run; a Stop chosen meanwhile arrives through this call, and so does
    // every change of the options and of the list while a run is in progress.
    virtual void ProcessMessages() = 0;
    // Whether events run at all during a run. Before they run every row handed to the workers
    // is taken back; a host that lets none in (the command line) lets the run keep more out.
    virtual bool LetsEventsIn() const { return true; }
    // The rows were added a moment before the run, by this same process (the command line),
    // so the look-up each was made from still stands for the check before its file is opened.
    // A window's rows may have waited for hours: their files are looked up again.
    virtual bool RowsJustAdded() const = 0;

    // Where the run records each change before it makes it, so that it can be undone; null
    // for a run without a journal.
    virtual platform::TRunJournal* Journal() { return nullptr; }

    // The program's own message box (the year-range error of the date check).
    virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
    // An error that ended the run at `path`; `filesLeft` rows of the run's scope were then not
    // visited. The window shows the message as the standard error box does.
    virtual void ShowError(const std::string& path, const std::string& message, int filesLeft) = 0;
    // A file the run could not change as asked. The window passes over it in silence, as it
    // always has; the command line names it.
    virtual void FileFailed(const std::string& path, const std::string& reason) = 0;
};

// What a run tells the application about its progress.
class IRunEvents {
public:
    virtual ~IRunEvents() = default;
    // Running: the Start/Stop command reads "&Stop"; idle: "&Start to handle...".
    virtual void RunStateChanged(bool running) = 0;
    // The run has passed its checks and begins with the rows: the file list comes to the front.
    virtual void RunBegins() = 0;
    virtual void ProgressChanged(int position, int maximum) = 0;
    // A file went through every change asked of it, without a failure (the failures reach the
    // host's FileFailed). A front end that does not count them need not listen.
    virtual void FileChanged() {}
};

}  // namespace engine
