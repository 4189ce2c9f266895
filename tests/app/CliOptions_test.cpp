// The command line read into the options of a run, without running it.

#include "app/CliOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/DateTime.h"

namespace {
// The forms of a date and time the options take: one digit for month, day and the parts of the
// time, blanks around the value alike on both sides; nothing else.
TEST(CliOptionsTest, DatesTakeOneFormWithOrWithoutBlanksAround) {
    struct Case {
        const char* value;
        std::vector<int> taken;  // year, month, day, hour, minute, second; empty: refused
    };
    const Case cases[] = {
        {"2021-01-02 03:04:05", {2021, 1, 2, 3, 4, 5}},
        {"2021-1-2 3:4:5", {2021, 1, 2, 3, 4, 5}},
        {" 2021-1-2", {2021, 1, 2, 0, 0, 0}},
        {"2021-1-2 ", {2021, 1, 2, 0, 0, 0}},
        {"2021-01-0203:04:05", {}},
        {"2021-01-02 03:04", {}},
        {"2021-+1-02", {}},
        {"2021-001-02", {}},
    };
    for (const Case& c : cases) {
        const std::string option = std::string("--modified=") + c.value;
        const char* argv[] = {"kelvane-cli", option.c_str(), "a.txt"};
        const app::CliParseResult result = app::ParseCommandLine(3, argv);
        ASSERT_EQ(result.kind == app::CliParseResult::Kind::Run, !c.taken.empty()) << c.value;
        if (c.taken.empty())
            continue;
        const engine::RunOptions& o = result.command.options;
        std::vector<int> read(7);
        engine::DecodeDate(o.modifiedDate, read[0], read[1], read[2]);
        engine::DecodeTime(o.modifiedTime, read[3], read[4], read[5], read[6]);
        read.pop_back();
        EXPECT_EQ(read, c.taken) << c.value;
    }
}

}  // namespace
