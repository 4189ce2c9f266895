#include "app/CliOptions.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <optional>

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

// "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS" into a date and a time of day.
bool ReadDateTime(const std::string& text, engine::TDateTime& date, engine::TDateTime& time,
                  std::string& error) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    char extra = 0;
    const bool dateOnly = std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &y, &mo, &d, &extra) == 3;
    const bool full =
        std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &s, &extra) == 6;
    if ((!dateOnly && !full) || !engine::TryEncodeDate(y, mo, d, date) ||
        !engine::TryEncodeTime(h, mi, s, 0, time)) {
        error = "'" + text + "' is not a date and time of the form YYYY-MM-DD HH:MM:SS";
        return false;
    }
    return true;
}

std::optional<engine::CaseChange> ReadCaseChange(const std::string& text) {
    if (text == "name-lower") return engine::CaseChange::NameLower;
    if (text == "ext-lower") return engine::CaseChange::ExtLower;
    if (text == "name-upper") return engine::CaseChange::NameUpper;
    if (text == "ext-upper") return engine::CaseChange::ExtUpper;
    return std::nullopt;
}

// Reads the time options into the date mode: one value for all three times, or separate ones.
bool ReadTimes(CLI::Option* time, const std::string& timeText, CLI::Option* created,
               const std::string& createdText, CLI::Option* modified,
               const std::string& modifiedText, CLI::Option* opened,
               const std::string& openedText, engine::RunOptions& o, std::string& error) {
    const bool separate = created->count() || modified->count() || opened->count();
    if (time->count() && separate) {
        error = "--time sets all three times; it cannot be combined with --created, "
                "--modified or --opened";
        return false;
    }
    engine::TDateTime unusedTime = 0;
    if (time->count()) {
        o.dateChange = engine::DateChange::SetSelected;
        return ReadDateTime(timeText, o.date, o.time, error);
    }
    if (!separate) return true;
    o.dateChange = engine::DateChange::SetSeparate;
    o.created = created->count() > 0;
    o.modified = modified->count() > 0;
    o.opened = opened->count() > 0;
    return (!o.created || ReadDateTime(createdText, o.createdDate, o.createdTime, error)) &&
           (!o.modified || ReadDateTime(modifiedText, o.modifiedDate, o.modifiedTime, error)) &&
           (!o.opened || ReadDateTime(openedText, o.openedDate, unusedTime, error));
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
    cli.add_flag("--gif-strip-comments", o.deleteGIFExtensions,
                 "Delete every comment block of .gif files, re-encoding their images");
    cli.add_flag("--id3-rename", o.id3v1,
                 "Rename .mp3 files to \"artist - title\" from their ID3v1 tag");
    std::string caseText;
    auto* caseOption = cli.add_option("--case", caseText,
                                      "Change the letter case of the name or the extension: "
                                      "name-lower, ext-lower, name-upper or ext-upper");
    std::string timeText, createdText, modifiedText, openedText;
    auto* time = cli.add_option("--time", timeText,
                                "Set all three times to \"YYYY-MM-DD HH:MM:SS\"");
    auto* created = cli.add_option("--created", createdText,
                                   "Set the creation time (\"YYYY-MM-DD HH:MM:SS\")");
    auto* modified = cli.add_option("--modified", modifiedText,
                                    "Set the last-write time (\"YYYY-MM-DD HH:MM:SS\")");
    auto* opened = cli.add_option("--opened", openedText,
                                  "Set the last-access date (YYYY-MM-DD)");

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
    bool valid = (!o.removeAttr || ReadAttributeLetters(removeLetters, o.rReadOnly, o.rHidden,
                                                        o.rSystem, o.rArchive, error)) &&
                 (!o.setAttr || ReadAttributeLetters(setLetters, o.readOnly, o.hidden, o.system,
                                                     o.archive, error)) &&
                 ReadTimes(time, timeText, created, createdText, modified, modifiedText, opened,
                           openedText, o, error);
    if (valid && caseOption->count()) {
        const std::optional<engine::CaseChange> change = ReadCaseChange(caseText);
        valid = change.has_value();
        if (change) {
            o.caseChange = *change;
        } else {
            error = "--case takes name-lower, ext-lower, name-upper or ext-upper";
        }
    }
    if (!valid) {
        result.kind = CliParseResult::Kind::Exit;
        result.exitCode = 2;
        result.output = "kelvane-cli: " + error + "\n";
    }
    return result;
}

}  // namespace app
