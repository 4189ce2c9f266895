// The window under load, offscreen: a folder search filling the list, a run over the rows, and
// the memory of a very long list. Prints one line of figures for run.sh.
//
//   kelvane_window_bench add-folder DIR      seconds, rows, longest event-loop gap
//   kelvane_window_bench run DIR             the same for a run setting R and A on every row
//   kelvane_window_bench preview DIR WHEN    the same for a preview of every row setting all
//                                            three times to WHEN ("YYYY-MM-DD HH:MM:SS")
//   kelvane_window_bench memory DIR ROWS     peak memory with ROWS rows (DIR's files repeated)

#include <sys/resource.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDateTimeEdit>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "ui/Main.h"

namespace {

// The longest time the event loop went without a turn: a precise timer asks for a turn every
// millisecond, and the gaps between its firings are measured. A timer of interval 0 would keep
// the event loop spinning and take a core from the very work being measured.
class TGapMeter {
public:
    TGapMeter() {
        timer_.callOnTimeout([this] {
            const qint64 now = clock_.nsecsElapsed();
            longest_ = std::max(longest_, now - last_);
            last_ = now;
        });
    }
    void Start() {
        clock_.start();
        last_ = 0;
        longest_ = 0;
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.start(1);
    }
    double LongestMs() const { return static_cast<double>(longest_) / 1e6; }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
};

template <typename T>
T& Find(ui::TMainFormKelvane& window, const char* name) {
    T* found = window.findChild<T*>(name);
    if (!found) {
        std::fprintf(stderr, "kelvane_window_bench: no %s\n", name);
        std::exit(2);
    }
    return *found;
}

void WaitUntil(const std::function<bool()>& done) {
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

int Rows(ui::TMainFormKelvane& window) {
    return window.findChild<QAbstractItemView*>()->model()->rowCount();
}

// Edit > Add Folder to List... > Files Only on `folder`, as a user picks it in the dialog;
// returns when the search has ended and every row is shown.
void AddFolder(ui::TMainFormKelvane& window, const QString& folder) {
    QTimer::singleShot(0, [folder] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        dialog->setDirectory(folder);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    Find<QAction>(window, "item_AddFilesOnly").trigger();
    auto& pages = Find<QTabWidget>(window, "pcTymo");
    WaitUntil([&] { return pages.isEnabled(); });
}

void Report(const char* what, double seconds, int rows, double gapMs) {
    std::printf("%s seconds=%.3f rows=%d longest_gap_ms=%.1f\n", what, seconds, rows, gapMs);
}

int AddFolderBench(ui::TMainFormKelvane& window, const QString& folder) {
    TGapMeter gaps;
    QElapsedTimer clock;
    gaps.Start();
    clock.start();
    AddFolder(window, folder);
    Report("add-folder", static_cast<double>(clock.nsecsElapsed()) / 1e9, Rows(window),
           gaps.LongestMs());
    return 0;
}

int RunBench(ui::TMainFormKelvane& window, const QString& folder) {
    AddFolder(window, folder);
    for (const char* box : {"cbSetAttr", "cbReadOnly"})
        Find<QAbstractButton>(window, box).click();
    TGapMeter gaps;
    QElapsedTimer clock;
    gaps.Start();
    clock.start();
    Find<QAction>(window, "item_Operate6").trigger();
    Report("run", static_cast<double>(clock.nsecsElapsed()) / 1e9, Rows(window), gaps.LongestMs());
    return 0;
}

// Parameters > one value for all three times, WHEN; then Preview > All items, timed until the
// status bar counts every row (each has a time to change).
int PreviewBench(ui::TMainFormKelvane& window, const QString& folder, const QString& when) {
    AddFolder(window, folder);
    const QDateTime time = QDateTime::fromString(when, "yyyy-MM-dd HH:mm:ss");
    Find<QAbstractButton>(window, "rbSetSelectedDate").click();
    Find<QDateTimeEdit>(window, "dtpDate").setDate(time.date());
    Find<QDateTimeEdit>(window, "dtpTime").setTime(time.time());
    const auto& counts = Find<QLabel>(window, "laRunReport");
    const QRegularExpression figures("^(\\d+) files? would change, (\\d+) would be refused$");
    const int rows = Rows(window);
    const auto planned = [&] {
        const QRegularExpressionMatch match = figures.match(counts.text());
        return match.hasMatch() && match.captured(1).toInt() + match.captured(2).toInt() == rows;
    };
    TGapMeter gaps;
    QElapsedTimer clock;
    gaps.Start();
    clock.start();
    Find<QAction>(window, "item_Preview6").trigger();
    WaitUntil(planned);
    Report("preview", static_cast<double>(clock.nsecsElapsed()) / 1e9, rows, gaps.LongestMs());
    return 0;
}

int MemoryBench(ui::TMainFormKelvane& window, const std::string& folder, int rows) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files.push_back(entry.path().string());
    if (files.empty())
        return 2;
    constexpr int kDrop = 100'000;
    for (int added = 0; added < rows; added += kDrop) {
        std::vector<std::string> drop;
        for (int i = added; i < std::min(rows, added + kDrop); ++i)
            drop.push_back(files[static_cast<std::size_t>(i) % files.size()]);
        window.WMDropFiles(drop);
        QCoreApplication::processEvents();
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("memory rows=%d peak_mb=%.0f\n", Rows(window),
                static_cast<double>(usage.ru_maxrss) / 1024.0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: kelvane_window_bench add-folder|run|preview|memory DIR [WHEN|ROWS]\n");
        return 2;
    }
    const std::string mode = argv[1];
    // The bench's window starts from the defaults and leaves the settings and the past runs of
    // whoever runs it alone: its runs keep their journals in a folder of their own.
    const QTemporaryDir settingsHome;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settingsHome.path()));
    const QTemporaryDir stateHome;
    qputenv("XDG_STATE_HOME", QFile::encodeName(stateHome.path()));
    ui::TMainFormKelvane window;
    window.show();
    QCoreApplication::processEvents();
    if (mode == "add-folder")
        return AddFolderBench(window, QString::fromLocal8Bit(argv[2]));
    if (mode == "run")
        return RunBench(window, QString::fromLocal8Bit(argv[2]));
    if (mode == "preview" && argc > 3)
        return PreviewBench(window, QString::fromLocal8Bit(argv[2]),
                            QString::fromLocal8Bit(argv[3]));
    if (mode == "memory" && argc > 3)
        return MemoryBench(window, argv[2], std::atoi(argv[3]));
    return 2;
}
