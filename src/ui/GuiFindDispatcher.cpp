#include "ui/GuiFindDispatcher.h"

#include <utility>

namespace ui {

void TGuiFindDispatcher::Post(std::function<void()> call) {
    QMetaObject::invokeMethod(&receiver_, std::move(call), Qt::QueuedConnection);
}

}  // namespace ui
