// A settings store read from a file the test writes first.
#pragma once

#include "core/Settings.h"
#include "support/TestFiles.h"

#include <string>

namespace cantorix::test {

// Writes `text` as Cantorix.ini in `dir` and loads it.
inline TSettings settingsFile(const TempDir& dir, const std::string& text)
{
    const std::string path = dir.file("Cantorix.ini");
    writeText(path, text);
    return TSettings(QString::fromStdString(path));
}

} // namespace cantorix::test
