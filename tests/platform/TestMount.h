#pragma once
// A volume mounted for one test on a folder of its own and unmounted when the test ends:
// tmpfs, a FUSE file system, an NTFS image through ntfs-3g. Where the machine does not allow
// the mount (no root, no /dev/fuse, the tool missing), Mounted() is false and the test skips.

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace platform {

class TestMount {
public:
    // Runs `command` with the mount point appended.
    TestMount(std::string mountPoint, std::vector<std::string> command)
        : mountPoint_(std::move(mountPoint)) {
        mkdir(mountPoint_.c_str(), 0755);
        command.push_back(mountPoint_);
        const std::string program = command.front();
        command.erase(command.begin());
        mounted_ = testsupport::RunProcess(program, command, "/").exitCode == 0;
    }
    TestMount(const TestMount&) = delete;
    TestMount& operator=(const TestMount&) = delete;
    ~TestMount() { Unmount(); }

    bool Mounted() const { return mounted_; }
    const std::string& Path() const { return mountPoint_; }
    std::string operator/(const std::string& name) const { return mountPoint_ + "/" + name; }
    // Unmounts early, so that the image can be read by another program.
    void Unmount() {
        if (mounted_)
            testsupport::RunProcess("umount", {mountPoint_}, "/");
        mounted_ = false;
    }

private:
    std::string mountPoint_;
    bool mounted_ = false;
};

// A fresh NTFS image of 8 MiB in `dir`, mounted with `driver` ("ntfs-3g", "lowntfs-3g") and
// its options.
class NtfsMount : public TestMount {
public:
    NtfsMount(const testsupport::TempDir& dir, const std::vector<std::string>& driver)
        : TestMount(dir / "mnt", MountCommand(dir, driver)), image_(dir / "ntfs.img") {}

    const std::string& Image() const { return image_; }

private:
    // The image is made first; a command that cannot run leaves the volume unmounted.
    static std::vector<std::string> MountCommand(const testsupport::TempDir& dir,
                                                 std::vector<std::string> driver) {
        const std::string image = dir / "ntfs.img";
        const auto run = [&](const std::string& program, const std::vector<std::string>& args) {
            return testsupport::RunProcess(program, args, dir.Path()).exitCode == 0;
        };
        if (access("/dev/fuse", R_OK | W_OK) != 0 || !run("truncate", {"-s", "8M", image}) ||
            !run("/usr/sbin/mkntfs", {"-F", "-Q", "-q", image})) {
            return {"false"};
        }
        driver.push_back(image);
        return driver;
    }

    std::string image_;
};

inline constexpr const char* kNoNtfs =
    "cannot mount an NTFS image here (needs ntfs-3g, /dev/fuse, root)";

}  // namespace platform
