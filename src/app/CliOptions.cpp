#include "app/CliOptions.h"

#include <CLI/CLI.hpp>

namespace app {
namespace {

// Reads attribute letters (R, H, S, A, either case) into the four ticks of one group.
bool ReadAttributeLetters(const std::string& letters, bool& readOnly, bool& hidden, bool& system,
                          bool& archive, std::string& error) {
    for (const char letter : letters) {
        switch (letter) {
            case 'R': case 'r': readOnly = true; break;
            case 'H': case 'h': hidden = true; break;
            case 'S': case 's': system = true; break;
            case 'A': case 'a': archive = true; break;
            default:
                error = std::string("unknown attribute letter '") + letter +
                        "' (use R, H, S and A)";
                return false;
        }
    }
    return true;
}

// This option parser reads "--set-attr=" as a flag waiting for its value in the next argument;
// an empty value must stay empty ("set none"), so it is passed as a separate empty argument.
std::vector<std::string> SplitEmptyValues(int argc, const char* const* argv) {
    std::vector<std::string> args;
    for (int i = argc - 1; i > 0; --i) {
        const std::string arg = argv[i];
        if (arg.size() > 3 && arg.rfind("--", 0) == 0 && arg.back() == '=') {
            args.emplace_back();
            args.push_back(arg.substr(0, arg.size() - 1));
        } else {
            args.push_back(arg);
        }
    }
    return args;  // in reverse order, as the parser takes them
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
    cli.add_option("PATH", command.paths, "Files (or folders) to add to the list, in order");
    cli.add_flag("--list", command.list,
                 "Print the rows after the run: the eight column texts, tab-separated");
    auto* remove = cli.add_option("--remove-attr", removeLetters,
                                  "Remove these attributes (letters of R, H, S, A)");
    auto* set = cli.add_option("--set-attr", setLetters,
                               "Make the attributes exactly these (letters of R, H, S, A; "
                               "an empty value sets none)");

    try {
        std::vector<std::string> args = SplitEmptyValues(argc, argv);
        cli.parse(args);
    } catch (const CLI::ParseError& e) {
        std::ostringstream out;
        std::ostringstream err;
        result.kind = CliParseResult::Kind::Exit;
        result.exitCode = cli.exit(e, out, err) == 0 ? 0 : 2;
        result.output = result.exitCode == 0 ? out.str() : err.str();
        return result;
    }

    std::string error;
    o.removeAttr = remove->count() > 0;
    o.setAttr = set->count() > 0;
    if ((o.removeAttr && !ReadAttributeLetters(removeLetters, o.rReadOnly, o.rHidden, o.rSystem,
                                               o.rArchive, error)) ||
        (o.setAttr && !ReadAttributeLetters(setLetters, o.readOnly, o.hidden, o.system,
                                            o.archive, error))) {
        result.kind = CliParseResult::Kind::Exit;
        result.exitCode = 2;
        result.output = "kelvane-cli: " + error + "\n";
    }
    return result;
}

}  // namespace app
