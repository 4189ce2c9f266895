// kelvane-cli: the run engine without a window, for scripts and servers.

#include <clocale>
#include <iostream>

#include "app/CliHost.h"
#include "app/CliOptions.h"
#include "engine/RunEngine.h"
#include "filelist/FileList.h"
#include "platform/FileSystem.h"

namespace {

void PrintRows(const filelist::TFileList& list, std::ostream& out) {
    for (const filelist::FileRow& row : list.Rows()) {
        out << row.caption;
        for (const std::string& text : row.texts) out << '\t' << text;
        out << '\n';
    }
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
    bool addFailed = false;
    for (const std::string& path : command.paths) {
        const std::string full = platform::FullPath(path);
        if (!list.AddFileRow(full)) {
            std::cerr << "kelvane-cli: " << path
                      << (platform::FindPath(full) ? ": cannot be added (a folder, or a system "
                                                     "folder)\n"
                                                   : ": no such file or folder\n");
            addFailed = true;
        }
    }

    app::TCliHost host(command.options, std::cerr);
    engine::TRunEngine engine(list, host);
    engine.btnStartStopClick(engine::RunScope::All);
    if (host.Refused()) return 2;

    if (command.list) PrintRows(list, std::cout);
    return addFailed || host.Failed() ? 1 : 0;
}
