// A run ended while it changes the attributes of read-only files.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <thread>

#include "ChildProcess.h"
#include "platform/FileSystem.h"
#include "support/TempDir.h"

namespace platform {
namespace {

using testsupport::TempDir;

constexpr int kFiles = 1000;

std::vector<std::string> ReadOnlyFiles(const TempDir& dir) {
    chmod(dir.Path().c_str(), 0755);
    std::vector<std::string> files;
    for (int i = 0; i < kFiles; ++i)
        files.push_back(dir.Write("f" + std::to_string(i) + ".txt", "x"));
    return files;
}

// Read-only and nothing stored, owned by an ordinary user: root writes the attribute of a
// read-only file as it is, its owner must lend itself the write bit for the moment.
void MakeReadOnly(const std::vector<std::string>& files) {
    for (const std::string& file : files) {
        removexattr(file.c_str(), "user.DOSATTRIB");
        chmod(file.c_str(), 0444);
        if (geteuid() == 0)
            lchown(file.c_str(), 65534, 65534);
    }
}

// Sets hidden on every file, read-only kept, as their owner, in a program with a second
// thread that masks nothing: a signal sent to the program may reach either thread.
pid_t StartHiding(const std::vector<std::string>& files) {
    return StartChild([&] {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            return false;
        std::thread([] {
            for (;;)
                pause();
        }).detach();
        for (const std::string& file : files) {
            if (!SetFileAttributes(file, kAttrReadOnly | kAttrHidden))
                return false;
        }
        return true;
    });
}

int WritableCount(const std::vector<std::string>& files) {
    int writable = 0;
    for (const std::string& file : files) {
        struct stat st {};
        writable += stat(file.c_str(), &st) != 0 || (st.st_mode & 0222) != 0;
    }
    return writable;
}

// SIGTERM at random moments of the run. KELVANE_LONG_TESTS asks for many more of them.
TEST(DosAttribStoreTest, EndedRunLeavesNoReadOnlyFileWritable) {
    const int trials = std::getenv("KELVANE_LONG_TESTS") ? 400 : 16;
    TempDir dir;
    const std::vector<std::string> files = ReadOnlyFiles(dir);
    MakeReadOnly(files);
    std::chrono::microseconds whole{};
    {
        const auto start = std::chrono::steady_clock::now();
        const int status = WaitChild(StartHiding(files));
        whole = std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now() - start);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        ASSERT_EQ(GetFileAttributes(files.back()), kAttrReadOnly | kAttrHidden);
        ASSERT_EQ(WritableCount(files), 0);
    }
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<long> moment(0, whole.count());
    for (int trial = 0; trial < trials; ++trial) {
        MakeReadOnly(files);
        const pid_t child = StartHiding(files);
        const long delay = moment(random);
        std::this_thread::sleep_for(std::chrono::microseconds(delay));
        kill(child, SIGTERM);
        const int status = WaitChild(child);
        EXPECT_EQ(WritableCount(files), 0) << "ended after " << delay << " us";
        // Ended by the signal itself, not by a handler that let the run go on.
        EXPECT_TRUE(WIFEXITED(status) || WTERMSIG(status) == SIGTERM);
    }
}

}  // namespace
}  // namespace platform
