// Window tests answer modal windows (match choice, results, message boxes) as a user would: the
// answer is armed before the action that opens the window runs its own event loop.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace cantorix::test {

// Runs `act` on the next modal window that opens.
inline void onModal(std::function<void(QWidget*)> act)
{
    auto* timer = new QTimer(qApp); // parented: a watch still armed when the test ends goes with the application
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(w);
        }
    });
    timer->start();
}

} // namespace cantorix::test
