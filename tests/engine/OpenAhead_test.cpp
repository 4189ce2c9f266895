#include "engine/OpenAhead.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/FileSystem.h"
#include "support/TempDir.h"

namespace engine {
namespace {

// A file opened ahead was read before the rows taken meanwhile were changed; where one of them
// was another name of the same file (a hard link), what was read must not be what is written.
TEST(OpenAheadTest, AFileChangedUnderAnotherNameIsReadAgain) {
    testsupport::TempDir dir;
    const std::string first = dir.Write("a.txt", "x");
    const std::string second = dir / "b.txt";
    ASSERT_EQ(link(first.c_str(), second.c_str()), 0);
    TOpenAhead ahead(4, FileReads::Attributes, 2);
    ahead.Ask(0, {first, true});
    ahead.Ask(1, {second, true});
    // Time for the worker to open both before the first is changed.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::optional<OpenedFile> opened = ahead.Take(0, {first, true});
    ASSERT_TRUE(opened && opened->handle);
    std::string reason;
    ASSERT_TRUE(opened->handle->SetAttributes(platform::kAttrHidden, reason)) << reason;
    opened.reset();
    opened = ahead.Take(1, {second, true});
    ASSERT_TRUE(opened && opened->handle);
    EXPECT_EQ(opened->handle->GetAttributes(), platform::kAttrHidden);
}

}  // namespace
}  // namespace engine
