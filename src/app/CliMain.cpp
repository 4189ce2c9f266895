// kelvane-cli: the run engine without a window, for scripts and servers.

#include <clocale>
#include <iostream>

#include "app/CliHost.h"
#include "app/CliOptions.h"
#include "engine/RunEngine.h"
#include "filelist/FileAdder.h"
#include "filelist/FileList.h"
#include "find/FindEventLoop.h"
#include "platform/FileSystem.h"

namespace {

void PrintRows(const filelist::TFileList& list, std::ostream& out) {
    for (const filelist::FileRow& row : list.Rows()) {
        out << row.caption;
        for (const std::string& text : row.texts)
            out << '\t' << text;
        out << '\n';
    }
}

// Adds each path the way a dropped file is added, and searches each folder the way the
// add-folder commands do, in the order given. False when something could not be added.
bool AddItems(const std::vector<app::AddItem>& items, filelist::TFileList& list) {
    vexfind::TFindEventLoop loop;
    bool busy = false;
    filelist::TFileAdder adder(list, loop, [&busy](bool value) { busy = value; });
    bool allAdded = true;
    for (const app::AddItem& item : items) {
        const std::string full = platform::FullPath(item.path);
        const std::optional<platform::FindData> found = platform::FindPath(full);
        std::string problem;
        if (!found) {
            problem = "no such file or folder";
        } else if (item.searchFolder && !(found->attributes & platform::kAttrDirectory)) {
            problem = "not a folder";
        } else if (item.searchFolder) {
            adder.AddFolder(item.mode, full);
            // A search that a failing hand-over ended reports no completion: watch the finder too.
            vexfind::TVexFind& finder = adder.Finder(item.mode);
            loop.RunUntil([&] { return !busy || !finder.Searching(); });
            if (finder.HandlerError())
                problem = "the search ended early";
        } else {
            // A path is added as a file dropped on a fresh window, whatever search came before.
            list.addFolderMode = filelist::AddFolderMode::FilesOnly;
            if (adder.AddFiles({full}) == 0) {
                problem = (found->attributes & platform::kAttrDirectory)
                              ? "a folder is added only by --add-folder"
                              : "cannot be added";
            }
        }
        if (!problem.empty()) {
            std::cerr << "kelvane-cli: " << item.path << ": " << problem << "\n";
            allAdded = false;
        }
    }
    return allAdded;
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    std::ios::sync_with_stdio(false);

    const app::CliParseResult parsed = app::ParseCommandLine(argc, argv);
    if (parsed.kind == app::CliParseResult::Kind::Exit) {
        (parsed.exitCode == 0 ? std::cout : std::cerr) << parsed.output;
        return parsed.exitCode;
    }
    const app::CliCommand& command = parsed.command;

    filelist::TFileList list;
    const bool addFailed = !AddItems(command.items, list);

    app::TCliHost host(command.options, std::cerr);
    engine::TRunEngine engine(list, host);
    engine.btnStartStopClick(engine::RunScope::All);
    if (host.Refused())
        return 2;

    if (command.list)
        PrintRows(list, std::cout);
    return addFailed || host.Failed() ? 1 : 0;
}
