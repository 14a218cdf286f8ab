// The window program's command line: cantorix [--settings FILE] [FOLDER], --help, --version.
#pragma once

#include <QString>
#include <QStringList>

namespace cantorix {

struct TStartArguments {
    enum class Action { Start, Help, Version, WrongUse };
    Action action = Action::Start;
    QString settingsFile; // --settings FILE as given; empty: the default settings
    QString folder;       // FOLDER, empty without one
    QString problem;      // with WrongUse: what is wrong, in the user's language
};

// Reads `arguments` (the program's name first, Qt's own options already taken out by the application).
// More than one folder is wrong use.
TStartArguments ParseStartArguments(const QStringList& arguments);

// Whether `arguments` (as the program got them, Qt's own options still in) open no window, whatever Qt
// takes out of them: help, the version, or a line that is wrong either way. Such a run needs no display.
bool OpensNoWindow(const QStringList& arguments);

// "usage: cantorix [--settings FILE] [FOLDER]" and the options, in the user's language.
QString StartUsage();

} // namespace cantorix
