// The application object: the last line of defence for exceptions that escape an event handler.
#pragma once

#include <QApplication>

#include <functional>

namespace cantorix {

class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    // Receives the text of every exception that no other code handled. Without one the text goes to
    // standard error.
    void setExceptionHandler(std::function<void(const QString&)> handler) { m_handler = std::move(handler); }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    std::function<void(const QString&)> m_handler;
};

} // namespace cantorix
