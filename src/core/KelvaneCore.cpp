#include "core/KelvaneCore.h"

#include <chrono>

#include "filelist/Sorting.h"
#include "platform/LocaleFormats.h"

namespace core {

TKelvaneCore::TKelvaneCore(engine::IRunHost& host, IKelvaneObserver& observer,
                           vexfind::IFindDispatcher& dispatcher)
    : observer_(observer),
      engine_(list_, host, *this),
      adder_(list_, dispatcher, [this](bool busy) { SetSearchBusy(busy); }) {
    list_.SetObserver(&observer_);
}

TKelvaneCore::~TKelvaneCore() {
    list_.SetObserver(nullptr);
}

int TKelvaneCore::AddPaths(const std::vector<std::string>& paths, AddFolderMode mode) {
    return adder_.AddPaths(paths, mode);
}

void TKelvaneCore::AddFolder(AddFolderMode mode, const std::string& folder) {
    adder_.AddFolder(mode, folder);
}

bool TKelvaneCore::Start(engine::RunScope scope) {
    if (searchBusy_ || !engine_.Idle() || list_.RowCount() == 0)
        return false;
    engine_.Start(scope);
    return true;
}

void TKelvaneCore::Stop() {
    engine_.Stop();
}

int TKelvaneCore::RemoveSelected() {
    return list_.RemoveSelected();
}

int TKelvaneCore::RemoveFolderOf(int row) {
    return list_.RemoveFolderOf(row);
}

void TKelvaneCore::Clear() {
    list_.Clear();
}

void TKelvaneCore::InvertSelection() {
    list_.InvertSelection();
}

void TKelvaneCore::InvertChecked() {
    list_.InvertChecked();
}

void TKelvaneCore::SetChecked(int row, bool checked) {
    list_.SetChecked(row, checked);
}

void TKelvaneCore::SetSelected(int row, bool selected) {
    list_.SetSelected(row, selected);
}

void TKelvaneCore::Sort(int column, bool withFolderName) {
    sortAscending_ = column == sortColumn_ ? !sortAscending_ : true;
    sortColumn_ = column;
    const platform::LocaleFormats& locale = platform::CurrentLocaleFormats();
    const std::chrono::year_month_day today{
        std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now())};
    const filelist::SortFormats formats{locale.shortDate, locale.thousandSeparator,
                                        static_cast<int>(today.year())};
    list_.Reorder(filelist::SortedOrder(list_.Rows(), {sortColumn_, sortAscending_, withFolderName},
                                        formats));
}

void TKelvaneCore::SetSearchBusy(bool busy) {
    searchBusy_ = busy;
    observer_.SearchBusyChanged(busy);
}

}  // namespace core
