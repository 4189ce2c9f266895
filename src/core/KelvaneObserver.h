#pragma once
// Everything the application core tells its front end. The window turns each event into
// widget changes; the command line listens only to what it prints.

#include <string>

#include "filelist/FileListObserver.h"

namespace core {

class IKelvaneObserver : public filelist::IFileListObserver {
public:
    // Running: the Start/Stop command reads "&Stop"; idle: "&Start to handle...".
    virtual void RunStateChanged(bool running) = 0;
    // A run has passed its checks and begins with the rows: the file list comes to the front.
    virtual void RunBegins() = 0;
    virtual void ProgressChanged(int position, int maximum) = 0;
    // A folder search started (busy) or one completed (idle): Start and the pages are
    // disabled while busy.
    virtual void SearchBusyChanged(bool busy) = 0;
    // A folder the search could not open, and why: its files are not in the list.
    virtual void FolderNotSearched(const std::string& folder, const std::string& reason) = 0;
    // The preview of a run (TKelvaneCore::BeginPreview): the plan of `row` arrived; the preview
    // began, planned its last row or ended. A front end that shows none need not listen.
    virtual void PreviewRowPlanned(int /*row*/) {}
    virtual void PreviewStateChanged() {}
};

}  // namespace core
