#pragma once
// The time options of kelvane-cli: given values (--time, --created, --modified, --opened), a
// shift (--shift), a copy (--copy-time) or a date the file carries (--time-from), each on the
// times --which names.

#include <string>

#include "engine/RunOptions.h"

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace app {

class TCliTimes {
public:
    // Declares the options on `cli`, which must outlive this.
    explicit TCliTimes(CLI::App& cli);

    // Puts what was given into the date mode of `o`; false with the error for a value of no
    // meaning, a date the run cannot write, or two ways of setting times at once.
    bool Read(engine::RunOptions& o, std::string& error) const;

private:
    bool ReadGiven(engine::RunOptions& o, std::string& error) const;
    bool ReadWhich(engine::RunOptions& o, std::string& error) const;

    std::string timeText_, createdText_, modifiedText_, openedText_;
    std::string shiftText_, copyText_, fromText_, whichText_;
    CLI::Option* time_;
    CLI::Option* created_;
    CLI::Option* modified_;
    CLI::Option* opened_;
    CLI::Option* shift_;
    CLI::Option* copy_;
    CLI::Option* from_;
    CLI::Option* which_;
};

}  // namespace app
