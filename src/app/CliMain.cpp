// kelvane-cli: the application core without a window, for scripts and servers.

#include <clocale>
#include <iostream>

#include "app/CliFrontEnd.h"
#include "app/CliOptions.h"
#include "app/PlanLines.h"
#include "app/RunsCommands.h"
#include "core/KelvaneCore.h"
#include "find/FindEventLoop.h"
#include "platform/FileSystem.h"
#include "platform/InterruptedRewrites.h"
#include "platform/Volume.h"
#include "threads/PiecesAhead.h"

namespace {

// One line per row from index `first` up to `last`, not included: the eight column texts as
// the list shows them, tab-separated.
std::string RowLines(const std::vector<filelist::FileRow>& rows, std::size_t first,
                     std::size_t last) {
    std::string text;
    for (std::size_t i = first; i < last; ++i) {
        for (int column = 0; column < filelist::kListColumnCount; ++column) {
            if (column > 0)
                text += '\t';
            rows[i].AppendText(static_cast<filelist::ListColumn>(column), text);
        }
        text += '\n';
    }
    return text;
}

// Made in pieces, a worker making the next ones while this thread writes: the texts of a large
// listing take as long to make as the rest of a folder's add. Each piece is written whole, so a
// listing takes a few hundred writes rather than a million, and no more memory than a few pieces.
void PrintRows(const filelist::TFileList& list, std::ostream& out) {
    constexpr std::size_t kRowsPerPiece = 2048;
    constexpr std::size_t kPiecesAhead = 4;
    const std::vector<filelist::FileRow>& rows = list.Rows();
    threads::TPiecesAhead<std::string> lines(
        rows.size(), kRowsPerPiece, kPiecesAhead,
        [&rows](std::size_t first, std::size_t last) { return RowLines(rows, first, last); });
    while (const auto piece = lines.Next())
        out.write(piece->second.data(), static_cast<std::streamsize>(piece->second.size()));
}

// Why a folder of the command line cannot be searched; empty when it can.
std::string CheckFolder(const std::string& full) {
    const std::optional<platform::FindData> found = platform::FindPath(full);
    if (!found)
        return "no such file or folder";
    if ((found->attributes & platform::kAttrDirectory) == 0)
        return "not a folder";
    return {};
}

// The paths of items[begin, end), taken out of them as they were given: the look-up makes each
// full as it reaches it, rather than all of them before the first is added.
std::vector<std::string> TakePaths(std::vector<app::AddItem>& items, std::size_t begin,
                                   std::size_t end) {
    std::vector<std::string> paths;
    paths.reserve(end - begin);
    for (std::size_t i = begin; i < end; ++i)
        paths.push_back(std::move(items[i].path));
    return paths;
}

// Why a path named as a file added no row, in the command line's words.
std::string NotAddedReason(filelist::NotAdded why) {
    switch (why) {
        case filelist::NotAdded::Missing:
            return "no such file or folder";
        case filelist::NotAdded::SystemFolder:
        case filelist::NotAdded::Folder:
            return "a folder is added only by --add-folder";
        case filelist::NotAdded::NotFolder:
            return "not a folder";
        case filelist::NotAdded::OtherVolume:
            break;
    }
    return "cannot be added";
}

// Names each of `paths` that added no row, and why.
core::PathRefused ComplainNotAdded(const std::vector<std::string>& paths,
                                   app::TCliFrontEnd& frontEnd) {
    return [&paths, &frontEnd](std::size_t k, filelist::NotAdded why) {
        frontEnd.Complain(paths[k], NotAddedReason(why));
    };
}

// Where the paths after the last folder begin: they are added as the run reaches them.
std::size_t FirstTrailingFile(const std::vector<app::AddItem>& items) {
    std::size_t begin = items.size();
    while (begin > 0 && !items[begin - 1].searchFolder)
        --begin;
    return begin;
}

// Adds each path of items[0, end) as a file dropped on a fresh window is added, and searches
// each folder as the add-folder commands do, in the order given.
void AddItems(std::vector<app::AddItem>& items, std::size_t end, platform::FileDetail detail,
              core::TKelvaneCore& core, vexfind::TFindEventLoop& loop,
              app::TCliFrontEnd& frontEnd) {
    for (std::size_t i = 0; i < end;) {
        // The paths between two folders are added together, so that they are looked up ahead.
        std::size_t last = i;
        while (last < end && !items[last].searchFolder)
            ++last;
        if (last > i) {
            const std::vector<std::string> paths = TakePaths(items, i, last);
            core.AddPaths(paths, filelist::AddFolderMode::FilesOnly,
                          ComplainNotAdded(paths, frontEnd), detail);
            i = last;
            continue;
        }
        const app::AddItem& item = items[i++];
        const std::string full = platform::FullPath(item.path);
        std::string problem = CheckFolder(full);
        if (problem.empty()) {
            core.AddFolder(item.mode, full);
            // A search that a failing hand-over ended reports no completion: watch it too.
            loop.RunUntil([&] { return !core.SearchBusy() || !core.Searching(item.mode); });
            if (core.SearchFailed(item.mode))
                problem = "the search ended early";
        }
        if (!problem.empty())
            frontEnd.Complain(item.path, problem);
    }
}

// Adds the items in the order given and runs over every row, or with `preview` previews the run
// instead. Rows that will not be listed leave out of each named file what only the listing would
// show (a preview looks each file up again through its handle).
void AddItemsAndRun(std::vector<app::AddItem> items, bool listed, core::TKelvaneCore& core,
                    vexfind::TFindEventLoop& loop, app::TCliFrontEnd& frontEnd,
                    const engine::TRunEngine::PlanFn& preview = {}) {
    const platform::FileDetail detail =
        listed ? platform::FileDetail::Shown : platform::FileDetail::Unshown;
    const std::size_t trailing = FirstTrailingFile(items);
    AddItems(items, trailing, detail, core, loop, frontEnd);
    const std::vector<std::string> paths = TakePaths(items, trailing, items.size());
    core.AddPathsAndRun(paths, filelist::AddFolderMode::FilesOnly,
                        ComplainNotAdded(paths, frontEnd), detail, preview);
}

// Prints the plan of each file as the preview of a run makes it, in pieces of some size: one
// write per file would be most of the work of a large dry run.
class TPlanPrinter {
public:
    explicit TPlanPrinter(std::ostream& out) : out_(out) {}
    ~TPlanPrinter() { Flush(); }
    TPlanPrinter(const TPlanPrinter&) = delete;
    TPlanPrinter& operator=(const TPlanPrinter&) = delete;

    void Print(const std::string& path, const engine::FilePlan& plan) {
        lines_.Append(path, plan, text_);
        if (text_.size() >= 1 << 16)
            Flush();
    }

private:
    void Flush() {
        out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
        text_.clear();
    }

    std::ostream& out_;
    app::TPlanLines lines_;
    std::string text_;
};

// Where each item's attributes and creation time are kept, one line each; true when every
// item could be looked up.
bool Explain(const std::vector<app::AddItem>& items, std::ostream& out, std::ostream& err) {
    bool found = true;
    for (const app::AddItem& item : items) {
        const std::optional<platform::AttributeHome> home =
            platform::FindAttributeHome(platform::FullPath(item.path));
        if (!home) {
            err << "kelvane-cli: " << item.path << ": no such file or folder\n";
            found = false;
            continue;
        }
        out << item.path << ": " << home->fileSystem << ": attributes in " << home->attributes
            << ", creation time in " << home->creationTime << '\n';
    }
    return found;
}

int Run(int argc, char** argv) {
    app::CliParseResult parsed = app::ParseCommandLine(argc, argv);
    if (parsed.kind == app::CliParseResult::Kind::Exit) {
        (parsed.exitCode == 0 ? std::cout : std::cerr) << parsed.output;
        return parsed.exitCode;
    }
    app::CliCommand& command = parsed.command;
    if (command.explain)
        return Explain(command.items, std::cout, std::cerr) ? 0 : 1;
    if (app::AsksForRunsCommand(command))
        return app::RunRunsCommand(command, std::cout, std::cerr);

    // A rewrite that a kill cut short is mended before the run looks at any file; a dry run
    // changes nothing, that mend included.
    if (!command.dryRun) {
        for (const platform::MendedRewrite& file : platform::MendInterruptedRewrites())
            std::cerr << "kelvane-cli: " << file.path << ": " << file.what << '\n';
    }
    const std::unique_ptr<platform::TRunJournal> journal = app::BeginRunJournal(command, std::cerr);
    app::TCliFrontEnd frontEnd(command.options, std::cerr, journal.get());
    vexfind::TFindEventLoop loop;
    core::TKelvaneCore core(frontEnd, frontEnd, loop);
    if (command.dryRun) {
        TPlanPrinter printer(std::cout);
        AddItemsAndRun(std::move(command.items), command.list, core, loop, frontEnd,
                       [&printer](int, const std::string& path, const engine::FilePlan& plan) {
                           printer.Print(path, plan);
                       });
    } else {
        AddItemsAndRun(std::move(command.items), command.list, core, loop, frontEnd);
    }
    if (frontEnd.Refused())
        return 2;
    for (const filelist::ListColumn column : command.sorts)
        core.Sort(column);
    if (command.list)
        PrintRows(core.List(), std::cout);
    return frontEnd.Failed() ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    std::ios::sync_with_stdio(false);
    // The steps report their own failures; what still escapes is said in words, not as a
    // library's type name or an abort.
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::cerr << "kelvane-cli: not enough memory\n";
    } catch (const std::exception& error) {
        std::cerr << "kelvane-cli: " << error.what() << "\n";
    }
    return 1;
}
