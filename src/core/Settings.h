// The settings store: one in-memory copy of an INI file, read at start-up and written back at exit.
// Section and key names compare without regard to case; sections and keys keep the order in which
// they were first written (or loaded). Writes change only the copy until updateFile().
#pragma once

#include "audio/IoResult.h"

#include <QString>
#include <QStringList>

#include <climits>
#include <vector>

namespace cantorix {

// One setting: its section, its key, the value it has when the file does not hold a valid one, and
// its rule. Text settings use TSettingKey<const char*> (UTF-8); every key of the program is in
// SettingsKeys.h.
template <typename T>
struct TSettingKey {
    const char* Section;
    const char* Name;
    T Default;
};

// A number kept within a range: a value outside it reads as the nearest end.
template <>
struct TSettingKey<int> {
    const char* Section;
    const char* Name;
    int Default;
    int Min = INT_MIN;
    int Max = INT_MAX;
};

// A text that may be secret (a password): while any secret key holds a value, the settings file is
// readable by its owner only.
template <>
struct TSettingKey<const char*> {
    const char* Section;
    const char* Name;
    const char* Default;
    bool Secret = false;
};

class TSettings {
public:
    // Loads `fileName`; a missing or unreadable file is the same as an empty one. A corrupt file is
    // read as far as it parses.
    explicit TSettings(const QString& fileName);

    const QString& fileName() const { return m_fileName; }

    QString readString(const QString& section, const QString& key, const QString& def) const;
    // Decimal, or hexadecimal with a leading "0x" or "$"; anything else counts as missing.
    int readInteger(const QString& section, const QString& key, int def) const;
    // Any valid integer other than 0 is on.
    bool readBool(const QString& section, const QString& key, bool def) const;

    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);

    // The typed forms: the key's own default stands in for a missing or invalid value, and a number
    // outside the key's range reads as the nearest end of it.
    QString get(const TSettingKey<const char*>& key) const;
    int get(const TSettingKey<int>& key) const;
    bool get(const TSettingKey<bool>& key) const;
    void set(const TSettingKey<const char*>& key, const QString& value);
    void set(const TSettingKey<int>& key, int value);
    void set(const TSettingKey<bool>& key, bool value);
    template <typename T>
    bool has(const TSettingKey<T>& key) const
    {
        return valueExists(key.Section, key.Name);
    }

    bool valueExists(const QString& section, const QString& key) const;
    QStringList readSection(const QString& section) const; // key names in file order
    void eraseSection(const QString& section);
    // Removes one key (its section stays, even when empty); false when there was no such key.
    bool deleteKey(const QString& section, const QString& key);

    // The whole copy as file text: each section's "[name]" line, its key=value lines, one empty line.
    QByteArray toText() const;
    // Writes the copy to the file (through a temporary file); a failure carries the reason. While a
    // proxy password is stored, the file is readable by its owner only (mode 0600).
    IoResult updateFile() const;

    // The settings file: Cantorix.ini beside the executable when it exists there or that folder is
    // writable; otherwise $XDG_CONFIG_HOME/Cantorix/Cantorix.ini.
    static QString defaultPath();
    // Whether `fileName` can serve as the settings file: it does not exist yet, or it is a regular
    // file. A folder, a FIFO or a device is refused (the reason says which).
    static IoResult checkFile(const QString& fileName);

    // Parses an INI value as an integer the way readInteger does: the decimal form is ParseInt32's.
    static bool parseInteger(const QString& text, int* value);

private:
    struct Entry {
        QString key;
        QString value;
    };
    struct Section {
        QString name;
        std::vector<Entry> entries;
    };

    void load(const QByteArray& bytes);
    const Section* findSection(const QString& name) const;
    Section& sectionFor(const QString& name);
    const Entry* find(const QString& section, const QString& key) const;

    QString m_fileName;
    std::vector<Section> m_sections;
};

} // namespace cantorix
