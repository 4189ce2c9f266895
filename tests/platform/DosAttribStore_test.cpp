// A run ended while it changes the attributes of read-only files.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <random>
#include <thread>

#include "ChildProcess.h"
#include "platform/FileSystem.h"
#include "support/TempDir.h"

namespace platform {
namespace {

using namespace std::chrono;

// SIGTERM at random moments of a run that sets hidden on read-only files, read-only kept, as
// their owner: root writes the attribute as the file is, the owner must lend itself the write
// bit. The run has a second thread that masks nothing, so the signal may reach either thread.
// No file may be left writable. KELVANE_LONG_TESTS asks for many more runs.
TEST(DosAttribStoreTest, EndedRunLeavesNoReadOnlyFileWritable) {
    testsupport::TempDir dir;
    chmod(dir.Path().c_str(), 0755);
    std::vector<std::string> files;
    for (int i = 0; i < 1000; ++i)
        files.push_back(dir.Write(std::to_string(i)));
    const bool root = geteuid() == 0;
    const auto startRun = [&] {
        for (const std::string& file : files) {
            removexattr(file.c_str(), "user.DOSATTRIB");
            chmod(file.c_str(), 0444);
            if (root)
                lchown(file.c_str(), 65534, 65534);
        }
        return StartChild([&] {
            if (root && (setgid(65534) != 0 || setuid(65534) != 0))
                return false;
            std::thread([] {
                for (;;)
                    pause();
            }).detach();
            return std::all_of(files.begin(), files.end(), [](const std::string& file) {
                return SetFileAttributes(file, kAttrReadOnly | kAttrHidden);
            });
        });
    };
    const auto writable = [&] {
        return std::count_if(files.begin(), files.end(), [](const std::string& file) {
            struct stat st {};
            return stat(file.c_str(), &st) != 0 || (st.st_mode & 0222) != 0;
        });
    };
    const auto start = steady_clock::now();
    ASSERT_EQ(WaitChild(startRun()), 0);
    ASSERT_EQ(GetFileAttributes(files.back()), kAttrReadOnly | kAttrHidden);
    std::uniform_int_distribution<long> moment(
        0, duration_cast<microseconds>(steady_clock::now() - start).count());
    std::mt19937 random(std::random_device{}());
    for (int run = std::getenv("KELVANE_LONG_TESTS") ? 400 : 16; run > 0; --run) {
        const pid_t child = startRun();
        const long delay = moment(random);
        std::this_thread::sleep_for(microseconds(delay));
        kill(child, SIGTERM);
        const int status = WaitChild(child);
        EXPECT_EQ(writable(), 0) << "ended after " << delay << " us";
        // Ended by the signal itself, once held off: not by a handler that let the run go on.
        EXPECT_TRUE(WIFEXITED(status) || WTERMSIG(status) == SIGTERM);
    }
}

}  // namespace
}  // namespace platform
