#include "app/CliOptions.h"

#include "app/CliTimes.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>

namespace app {
namespace {

// Reads attribute letters (R, H, S, A, either case) into the four ticks of one group.
bool ReadAttributeLetters(const std::string& letters, bool& readOnly, bool& hidden, bool& system,
                          bool& archive, std::string& error) {
    for (const char letter : letters) {
        switch (letter) {
            case 'R':
            case 'r':
                readOnly = true;
                break;
            case 'H':
            case 'h':
                hidden = true;
                break;
            case 'S':
            case 's':
                system = true;
                break;
            case 'A':
            case 'a':
                archive = true;
                break;
            default:
                error =
                    std::string("unknown attribute letter '") + letter + "' (use R, H, S and A)";
                return false;
        }
    }
    return true;
}

// A folder search given as "--add-folder=MODE DIR" (or "--add-folder MODE DIR").
struct FolderArgument {
    std::string mode;
    std::string folder;
};

// Stands for the n-th folder search among the paths, so that paths and searches keep their
// order. No argument can hold a NUL byte, so no path can be mistaken for it.
constexpr std::string_view kFolderToken("\0folder", 7);

std::string FolderToken(std::size_t index) {
    return std::string(kFolderToken) + std::to_string(index);
}

std::optional<std::size_t> FolderIndex(const std::string& path) {
    if (!path.starts_with(kFolderToken))
        return std::nullopt;
    return std::stoul(path.substr(kFolderToken.size()));
}

// Whether the parser reads `text` (which begins with '-') as an option, by its own test: a path
// such as "-1.txt" or "- a" does not pass it and stays a path.
bool IsOptionToParser(const CLI::App& cli, std::string_view text) {
    const std::string arg(text);
    std::string name, rest;
    if (CLI::detail::split_long(arg, name, rest))
        return true;
    if (!CLI::detail::split_short(arg, name, rest))
        return false;
    return !std::isdigit(static_cast<unsigned char>(name[0])) ||
           cli.get_option_no_throw("-" + name) != nullptr;
}

// Whether `arg` is an option of `cli` written without "=" that takes the next argument as its
// value.
bool TakesNextArgument(const CLI::App& cli, const std::string& arg) {
    if (arg.rfind("--", 0) != 0 || arg.find('=') != std::string::npos)
        return false;
    const CLI::Option* option = cli.get_option_no_throw(arg);
    return option && option->get_items_expected_min() > 0;
}

// Sorts the arguments into the paths, in order, and what the option parser reads. The parser
// takes a microsecond per argument, which for the tens of thousands of paths xargs passes costs
// more than adding them, and it can neither keep "--add-folder" pairs in order among the paths
// nor read "--set-attr=" as an empty value (it would take the next argument as the value):
// folder searches become tokens among the paths, and an empty value becomes a separate empty
// argument. Anything that looks like an option stays with the parser, which names what it does
// not know.
bool PrepareArguments(int argc, const char* const* argv, const CLI::App& cli,
                      std::vector<std::string>& args, std::vector<std::string>& paths,
                      std::vector<FolderArgument>& folders, std::string& error) {
    constexpr std::string_view addFolder = "--add-folder";
    paths.reserve(static_cast<std::size_t>(argc));
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        // Only an argument that begins with '-' can be anything but a path.
        if (!arg.starts_with('-')) {
            paths.emplace_back(arg);
            continue;
        }
        if (arg == "--") {
            // Everything after it is a path, whatever it looks like.
            paths.insert(paths.end(), argv + i + 1, argv + argc);
            break;
        }
        if (arg.starts_with(addFolder) &&
            (arg.size() == addFolder.size() || arg[addFolder.size()] == '=')) {
            const bool joined = arg.size() > addFolder.size();
            const int needed = joined ? 1 : 2;
            if (i + needed >= argc) {
                error = "--add-folder needs a mode and a folder";
                return false;
            }
            folders.push_back({joined ? std::string(arg.substr(addFolder.size() + 1)) : argv[i + 1],
                               argv[i + needed]});
            paths.push_back(FolderToken(folders.size() - 1));
            i += needed;
        } else if (arg.size() > 3 && arg.starts_with("--") && arg.back() == '=') {
            args.emplace_back(arg.substr(0, arg.size() - 1));
            args.emplace_back();
        } else if (IsOptionToParser(cli, arg)) {
            args.emplace_back(arg);
            if (TakesNextArgument(cli, args.back()) && i + 1 < argc)
                args.push_back(argv[++i]);
        } else {
            paths.emplace_back(arg);
        }
    }
    std::reverse(args.begin(), args.end());  // the parser takes them from the back
    return true;
}

// The value a word of the command line stands for; nullopt for a word of no meaning.
template <typename T>
std::optional<T> Lookup(const std::map<std::string, T>& words, const std::string& text) {
    const auto found = words.find(text);
    return found == words.end() ? std::nullopt : std::optional<T>(found->second);
}

const std::map<std::string, filelist::AddFolderMode> kAddModes = {
    {"files", filelist::AddFolderMode::FilesOnly},
    {"files-and-folders", filelist::AddFolderMode::FilesAndFolders},
    {"folders", filelist::AddFolderMode::FoldersOnly}};

// The column titles of the list, in its order.
const std::map<std::string, filelist::ListColumn> kSortColumns = {
    {"name", filelist::ListColumn::Name},
    {"size", filelist::ListColumn::Size},
    {"type", filelist::ListColumn::Type},
    {"created", filelist::ListColumn::Created},
    {"modified", filelist::ListColumn::Modified},
    {"opened", filelist::ListColumn::Opened},
    {"attributes", filelist::ListColumn::Attributes},
    {"folder", filelist::ListColumn::Folder}};

const std::map<std::string, engine::CaseChange> kCaseChanges = {
    {"name-lower", engine::CaseChange::NameLower},
    {"ext-lower", engine::CaseChange::ExtLower},
    {"name-upper", engine::CaseChange::NameUpper},
    {"ext-upper", engine::CaseChange::ExtUpper}};

// Paths and folder searches in the order they were given on the command line.
bool ReadAddItems(std::vector<std::string> paths, const std::vector<FolderArgument>& folders,
                  std::vector<AddItem>& items, std::string& error) {
    items.reserve(paths.size());
    for (std::string& path : paths) {
        const std::optional<std::size_t> index = FolderIndex(path);
        if (!index) {
            items.push_back({false, filelist::AddFolderMode::FilesOnly, std::move(path)});
            continue;
        }
        const FolderArgument& folder = folders.at(*index);
        const std::optional<filelist::AddFolderMode> mode = Lookup(kAddModes, folder.mode);
        if (!mode) {
            error = "--add-folder takes files, files-and-folders or folders, then a folder";
            return false;
        }
        items.push_back({true, *mode, folder.folder});
    }
    return true;
}

// --id3v2 changes how --id3-rename names a file, and means nothing alone.
bool ReadTagKinds(const CLI::Option& id3v2, const engine::RunOptions& o, std::string& error) {
    if (id3v2.count() == 0 || o.id3v1)
        return true;
    error = "--id3v2 goes with --id3-rename";
    return false;
}

}  // namespace

CliParseResult ParseCommandLine(int argc, const char* const* argv) {
    CliParseResult result;
    CliCommand& command = result.command;
    engine::RunOptions& o = command.options;

    CLI::App cli{"Changes the times, attributes and names of many files in one batch.",
                 "kelvane-cli"};
    cli.set_version_flag("--version", std::string("kelvane-cli ") + KELVANE_VERSION);
    std::string removeLetters;
    std::string setLetters;
    // For the help text: the paths never reach the parser (PrepareArguments); should one
    // slip through, the command line is refused rather than the path left out.
    std::vector<std::string> unparsedPaths;
    cli.add_option("PATH", unparsedPaths, "Files (or folders) to add to the list, in order");
    // Read before the parser runs (see PrepareArguments); declared here for the help text.
    cli.add_option("--add-folder",
                   "MODE DIR: search DIR and every folder below it, adding "
                   "files (MODE files), files and folders (files-and-folders) "
                   "or folders (folders); may be repeated and mixed with paths");
    cli.add_flag("--list", command.list,
                 "Print the rows after the run: the eight column texts, tab-separated");
    cli.add_flag("--explain", command.explain,
                 "Print for each PATH where its attributes and creation time are kept (which "
                 "file system, which extended attribute), and change nothing");
    cli.add_flag("--dry-run", command.dryRun,
                 "Change nothing; print each change the run would make as \"PATH: FIELD: OLD "
                 "-> NEW\" and each refusal as the run would");
    bool noJournal = false;
    cli.add_flag("--no-journal", noJournal,
                 "Keep no journal of the run (it cannot be undone then)");
    std::string undoId;
    auto* undo = cli.add_option("--undo", undoId,
                                "Undo the last run, or with =ID the run ID (see --runs): each "
                                "file still as the run left it gets back its names, times, "
                                "attributes, mode and rewritten content")
                     ->expected(0, 1);
    cli.add_flag("--runs", command.listRuns,
                 "List the runs kept: ID, start time, files changed, what was changed");
    cli.add_flag("--forget-runs", command.forgetRuns,
                 "Delete the journals of every run kept, and the old content they keep");
    auto* remove = cli.add_option("--remove-attr", removeLetters,
                                  "Remove these attributes (letters of R, H, S, A)");
    auto* set = cli.add_option("--set-attr", setLetters,
                               "Make the attributes exactly these (letters of R, H, S, A; "
                               "an empty value sets none)");
    cli.add_flag("--gif-strip-comments", o.deleteGIFComments,
                 "Delete every comment block of .gif files, re-encoding their images");
    cli.add_flag("--id3-rename", o.id3v1,
                 "Rename .mp3 files to \"artist - title\" from their ID3v1 tag");
    auto* id3v2 = cli.add_flag("--id3v2", o.id3v2,
                               "With --id3-rename: name a file after its ID3v2 tag where it has "
                               "one (titles are not cut to 30 characters)");
    std::string caseText;
    auto* caseOption = cli.add_option("--case", caseText,
                                      "Change the letter case of the name or the extension: "
                                      "name-lower, ext-lower, name-upper or ext-upper");
    const TCliTimes times(cli);

    std::vector<std::string> sortTexts;
    cli.add_option("--sort", sortTexts,
                   "After the run, sort the rows by a column (Name, Size, Type, Created, "
                   "Modified, Opened, Attributes, Folder); repeat a column to reverse")
        ->allow_extra_args(false);  // one column per --sort, the paths stay paths

    std::vector<std::string> args;
    std::vector<std::string> pathTexts;
    std::vector<FolderArgument> folderArguments;
    std::string error;
    if (!PrepareArguments(argc, argv, cli, args, pathTexts, folderArguments, error)) {
        result.kind = CliParseResult::Kind::Exit;
        result.exitCode = 2;
        result.output = "kelvane-cli: " + error + "\n";
        return result;
    }
    try {
        cli.parse(args);
    } catch (const CLI::ParseError& e) {
        std::ostringstream out;
        std::ostringstream err;
        result.kind = CliParseResult::Kind::Exit;
        result.exitCode = cli.exit(e, out, err) == 0 ? 0 : 2;
        result.output = result.exitCode == 0 ? out.str() : err.str();
        return result;
    }

    if (!unparsedPaths.empty()) {
        result.kind = CliParseResult::Kind::Exit;
        result.exitCode = 2;
        result.output = "kelvane-cli: " + unparsedPaths.front() +
                        ": not read as a path; put paths that begin with - after --\n";
        return result;
    }
    command.journal = !noJournal;
    if (undo->count())
        command.undo = undoId;
    o.removeAttr = remove->count() > 0;
    o.setAttr = set->count() > 0;
    bool valid = (!o.removeAttr || ReadAttributeLetters(removeLetters, o.rReadOnly, o.rHidden,
                                                        o.rSystem, o.rArchive, error)) &&
                 (!o.setAttr || ReadAttributeLetters(setLetters, o.readOnly, o.hidden, o.system,
                                                     o.archive, error)) &&
                 times.Read(o, error) && ReadTagKinds(*id3v2, o, error) &&
                 ReadAddItems(std::move(pathTexts), folderArguments, command.items, error);
    if (valid && caseOption->count()) {
        const std::optional<engine::CaseChange> change = Lookup(kCaseChanges, caseText);
        valid = change.has_value();
        o.caseChange = change.value_or(engine::CaseChange::DontChange);
        if (!valid)
            error = "--case takes name-lower, ext-lower, name-upper or ext-upper";
    }
    for (const std::string& text : sortTexts) {
        if (!valid)
            break;
        std::string lower = text;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        const std::optional<filelist::ListColumn> column = Lookup(kSortColumns, lower);
        valid = column.has_value();
        if (valid)
            command.sorts.push_back(*column);
        else
            error =
                "--sort takes a column: Name, Size, Type, Created, Modified, Opened, "
                "Attributes or Folder";
    }
    if (valid && (command.undo || command.listRuns || command.forgetRuns) &&
        (!command.items.empty() || engine::AsksForChange(o) || command.dryRun)) {
        valid = false;
        error = "--undo, --runs and --forget-runs take no paths and no changes";
    }
    if (!valid) {
        result.kind = CliParseResult::Kind::Exit;
        result.exitCode = 2;
        result.output = "kelvane-cli: " + error + "\n";
    }
    return result;
}

}  // namespace app
