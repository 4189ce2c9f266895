// Sorts a million rows by Name, Size and Modified the way the list sorts them, timing each
// sort, and writes the same column texts to files for GNU sort to sort side by side.

#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "engine/TymoUtils.h"
#include "filelist/Sorting.h"

namespace {

std::string TwoDigits(int value) {
    return std::string(1, static_cast<char>('0' + value / 10)) +
           static_cast<char>('0' + value % 10);
}

std::vector<filelist::FileRow> MakeRows(std::size_t count) {
    std::mt19937 random(7);
    std::vector<filelist::FileRow> rows(count);
    for (filelist::FileRow& row : rows) {
        row.caption = "File" + std::to_string(random() % 10'000'000) + ".txt";
        row.Text(engine::RowText::Size) = engine::FormatSize(random() % 5'000'000'000LL);
        const int hour = static_cast<int>(random() % 12) + 1;
        row.Text(engine::RowText::Modified) = TwoDigits(static_cast<int>(random() % 12) + 1) + "/" +
                                              TwoDigits(static_cast<int>(random() % 28) + 1) + "/" +
                                              std::to_string(1990 + random() % 30) + "  " +
                                              TwoDigits(hour) + ":00 PM";
        row.Text(engine::RowText::Folder) = "/data";
    }
    return rows;
}

void Write(const std::vector<filelist::FileRow>& rows, const std::string& path,
           const std::string& (*text)(const filelist::FileRow&)) {
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
    const std::string folder = argv[1];
    const std::vector<filelist::FileRow> rows = MakeRows(1'000'000);
    Write(rows, folder + "/name.txt",
          [](const filelist::FileRow& r) -> const std::string& { return r.caption; });
    Write(rows, folder + "/size.txt", [](const filelist::FileRow& r) -> const std::string& {
        return r.Text(engine::RowText::Size);
    });
    Write(rows, folder + "/modified.txt", [](const filelist::FileRow& r) -> const std::string& {
        return r.Text(engine::RowText::Modified);
    });
    const filelist::SortFormats formats{"mm/dd/yyyy", ",", 2026};
    for (const auto& [column, name] : {std::pair{0, "name"}, {1, "size"}, {4, "modified"}}) {
        const auto start = std::chrono::steady_clock::now();
        const std::vector<int> order = filelist::SortedOrder(rows, {column, true, false}, formats);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        std::printf("%s %.3f %zu\n", name, took.count(), order.size());
    }
}
