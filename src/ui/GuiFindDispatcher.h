#pragma once
// The window's side of a folder search: each hand-over of the search thread becomes a queued
// call on the window's event loop, so finds reach the list between two events, never in the
// middle of one.

#include <QObject>
#include <functional>

#include "find/FindDispatcher.h"

namespace ui {

class TGuiFindDispatcher : public vexfind::IFindDispatcher {
public:
    // Must be made on the thread whose event loop runs the calls (the window's).
    TGuiFindDispatcher() = default;

    void Post(std::function<void()> call) override;

private:
    // Calls queued for a receiver that is gone are dropped by Qt: a hand-over that arrives
    // after the window is only left out, which the search allows.
    QObject receiver_;
};

}  // namespace ui
