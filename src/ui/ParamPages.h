#pragma once
// Stand-in for the "Parameters" page until the real one lands: the interface the window uses.

#include <QWidget>

#include "engine/RunOptions.h"

namespace ui {

class TParameterPages : public QWidget {
    Q_OBJECT
public:
    explicit TParameterPages(QWidget* parent = nullptr) : QWidget(parent) {}
    engine::RunOptions ReadOptions() const { return options; }
    void SetShortDateFormat(bool) {}
    void SetDatePickersToNow() {}

    engine::RunOptions options;
};

}  // namespace ui
