#pragma once
// A chain of folders whose full path is longer than any one call takes (PATH_MAX), made and
// taken apart through descriptors, since no call can name it whole.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <stdexcept>
#include <string>
#include <vector>

namespace testsupport {

class DeepFolder {
public:
    // Folders with long names below `root` until the path is longer than `length`.
    explicit DeepFolder(const std::string& root, std::size_t length = PATH_MAX + 200)
        : path_(root) {
        const std::string name(200, 'd');
        int fd = open(root.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        while (fd >= 0 && path_.size() <= length) {
            const int next = mkdirat(fd, name.c_str(), 0755) == 0
                                 ? openat(fd, name.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC)
                                 : -1;
            levels_.push_back(fd);
            fd = next;
            path_ += "/" + name;
        }
        if (fd < 0)
            throw std::runtime_error("cannot make a deep folder");
        levels_.push_back(fd);
    }
    // Each level gets a short name, so that the tree can be removed by its path.
    ~DeepFolder() {
        const std::string name(200, 'd');
        for (std::size_t i = 0; i + 1 < levels_.size(); ++i)
            renameat(levels_[i], name.c_str(), levels_[i], "d");
        for (const int fd : levels_)
            close(fd);
    }
    DeepFolder(const DeepFolder&) = delete;
    DeepFolder& operator=(const DeepFolder&) = delete;

    const std::string& Path() const { return path_; }

    // Writes a file in the deepest folder and returns its path.
    std::string Write(const std::string& name, const std::string& content = {}) const {
        const int fd =
            openat(levels_.back(), name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0 ||
            write(fd, content.data(), content.size()) != static_cast<ssize_t>(content.size()))
            throw std::runtime_error("cannot write in the deep folder");
        close(fd);
        return path_ + "/" + name;
    }

    // Makes a symbolic link to `target` in the deepest folder and returns its path.
    std::string Link(const std::string& name, const std::string& target) const {
        if (symlinkat(target.c_str(), levels_.back(), name.c_str()) != 0)
            throw std::runtime_error("cannot link in the deep folder");
        return path_ + "/" + name;
    }

private:
    std::string path_;
    std::vector<int> levels_;  // the root's descriptor, then each level's
};

}  // namespace testsupport
