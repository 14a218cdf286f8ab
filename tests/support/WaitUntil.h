// Waiting in a test for what the event loop brings, never without end.
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <functional>

namespace cantorix::test {

// Runs the event loop until `done` holds or `ms` milliseconds have passed; whether it holds.
inline bool waitUntil(const std::function<bool()>& done, int ms = 10000)
{
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

} // namespace cantorix::test
