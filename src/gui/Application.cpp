#include "gui/Application.h"

#include <cstdio>
#include <exception>

namespace cantorix {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    QString text;
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        text = QString::fromUtf8(e.what());
    } catch (...) {
        text = QCoreApplication::translate("Application", "Unknown exception");
    }
    if (m_handler)
        m_handler(text);
    else
        std::fprintf(stderr, "Cantorix: %s\n", text.toLocal8Bit().constData());
    return false;
}

} // namespace cantorix
