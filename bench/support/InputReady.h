#pragma once

#include <QEventLoop>
#include <QTimer>

namespace velmor {

// Runs the event loop until a zero timer started now fires. The timer fires only once the
// loop is free again, after whatever the last action queued before it: from then on the
// window takes input.
inline void WaitUntilInputReady() {
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(0);
    loop.exec();
}

}  // namespace velmor
