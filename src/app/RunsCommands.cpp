#include "app/RunsCommands.h"

#include <cstdio>
#include <ctime>

#include "core/PastRuns.h"
#include "engine/RunOptions.h"
#include "threads/Spread.h"
#include "threads/ThreadBudget.h"

namespace app {
namespace {

// A start time as the list of runs shows it, in UTC: the ids are in UTC too.
std::string StartText(std::int64_t nanoseconds) {
    const auto seconds = static_cast<std::time_t>(nanoseconds / 1'000'000'000);
    std::tm utc{};
    if (!gmtime_r(&seconds, &utc))
        return "?";
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &utc);
    return text;
}

std::unique_ptr<platform::TRunJournal> Begin(platform::TRunJournal::Kind kind, std::ostream& err) {
    std::string reason;
    std::unique_ptr<platform::TRunJournal> journal = platform::TRunJournal::Begin(kind, reason);
    if (!journal)
        err << "kelvane-cli: no journal is kept of this run (it cannot be undone): " << reason
            << '\n';
    return journal;
}

}  // namespace

bool AsksForRunsCommand(const CliCommand& command) {
    return command.undo || command.listRuns || command.forgetRuns;
}

int RunRunsCommand(const CliCommand& command, std::ostream& out, std::ostream& err) {
    if (command.listRuns) {
        for (const platform::RunSummary& run : platform::ListRuns()) {
            out << run.id << '\t' << StartText(run.started) << '\t' << run.files
                << (run.files == 1 ? " file" : " files") << '\t' << (run.isUndo ? "undo: " : "")
                << run.changed << '\t' << core::SpaceText(run.keptBytes) << " kept\n";
        }
        return 0;
    }
    if (command.forgetRuns) {
        if (const platform::Result forgot = platform::ForgetRuns(); !forgot) {
            err << "kelvane-cli: " << forgot.Reason() << '\n';
            return 1;
        }
        return 0;
    }
    std::unique_ptr<platform::TRunJournal> journal =
        command.journal ? Begin(platform::TRunJournal::Kind::Undo, err) : nullptr;
    bool left = false;
    std::size_t restored = 0;
    threads::TSpread spread(threads::Workers(threads::Use::Run, threads::Answers::FromThisMachine));
    platform::UndoWatch watch;
    watch.spread = std::ref(spread);
    const platform::Result undone = platform::UndoRun(
        *command.undo, journal.get(),
        [&](const platform::UndoneFile& file) {
            err << "kelvane-cli: " << file.path << ": " << file.reason << '\n';
            left = true;
        },
        restored, watch);
    if (!undone) {
        err << "kelvane-cli: cannot undo " << undone.Reason() << '\n';
        return 2;
    }
    return left ? 1 : 0;
}

std::unique_ptr<platform::TRunJournal> BeginRunJournal(const CliCommand& command,
                                                       std::ostream& err) {
    // A run asked for no change records none.
    if (!command.journal || command.dryRun || !engine::AsksForChange(command.options))
        return nullptr;
    return Begin(platform::TRunJournal::Kind::Run, err);
}

}  // namespace app
