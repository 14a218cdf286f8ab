// The settings store: one in-memory copy of an INI file, read at start-up and written back at exit.
// Section and key names compare without regard to case; sections and keys keep the order in which
// they were first written (or loaded). Writes change only the copy until updateFile().
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace cantorix {

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

    bool valueExists(const QString& section, const QString& key) const;
    QStringList readSection(const QString& section) const; // key names in file order
    void eraseSection(const QString& section);

    // The whole copy as file text: each section's "[name]" line, its key=value lines, one empty line.
    QByteArray toText() const;
    // Writes the copy to the file (through a temporary file). False with the reason on failure.
    bool updateFile(QString* error = nullptr) const;

    // The settings file: Cantorix.ini beside the executable when it exists there or that folder is
    // writable; otherwise $XDG_CONFIG_HOME/Cantorix/Cantorix.ini.
    static QString defaultPath();

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
