// Sorts a million rows by Name, Size and Modified the way the list sorts them, timing each
// sort, and writes the same column texts to files for GNU sort to sort side by side.

#include <chrono>
#include <clocale>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "filelist/Sorting.h"

namespace {

std::vector<filelist::FileRow> MakeRows(std::size_t count) {
    std::mt19937 random(7);
    std::vector<filelist::FileRow> rows(count);
    for (filelist::FileRow& row : rows) {
        row.caption = "File" + std::to_string(random() % 10'000'000) + ".txt";
        row.SetSize(static_cast<std::int64_t>(random() % 5'000'000'000LL));
        platform::FindData found;
        // Some time between 1990 and 2020.
        found.lastWriteTime = 0x01B5'0000'0000'0000ULL + (random() % 1'000'000) * 9'467'280'000ULL;
        row.SetTimes(found);
        row.SetFolder("/data");
    }
    return rows;
}

void Write(const std::vector<filelist::FileRow>& rows, const std::string& path,
           std::string (*text)(const filelist::FileRow&)) {
    std::ofstream out(path);
    for (const filelist::FileRow& row : rows)
        out << text(row) << '\n';
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    std::setlocale(LC_ALL, "");
    const std::string folder = argv[1];
    const std::vector<filelist::FileRow> rows = MakeRows(1'000'000);
    Write(rows, folder + "/name.txt", [](const filelist::FileRow& r) { return r.caption; });
    Write(rows, folder + "/size.txt",
          [](const filelist::FileRow& r) { return r.Text(filelist::ListColumn::Size); });
    Write(rows, folder + "/modified.txt",
          [](const filelist::FileRow& r) { return r.Text(filelist::ListColumn::Modified); });
    using filelist::ListColumn;
    for (const auto& [column, name] : {std::pair{ListColumn::Name, "name"},
                                       {ListColumn::Size, "size"},
                                       {ListColumn::Modified, "modified"}}) {
        const auto start = std::chrono::steady_clock::now();
        const std::vector<int> order = filelist::SortedOrder(rows, {column, true, false});
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        std::printf("%s %.3f %zu\n", name, took.count(), order.size());
    }
}
