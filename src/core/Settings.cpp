#include "core/Settings.h"

#include "audio/IoResult.h"
#include "audio/SafeWrite.h"
#include "core/SettingsKeys.h"
#include "core/Text.h"

#include <algorithm>
#include <iterator>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace cantorix {

namespace {
bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }
} // namespace

TSettings::TSettings(const QString& fileName) : m_fileName(fileName)
{
    // Opened without waiting on a FIFO or a device, and read only when it is a plain file. Settings
    // files are small; a huge file is not ours and is read only in part.
    TFileReader f;
    if (!f.open(QFile::encodeName(fileName).toStdString())) return;
    QByteArray bytes(qsizetype(std::min<int64_t>(f.size(), 16 * 1024 * 1024)), Qt::Uninitialized);
    if (bytes.isEmpty() || f.read(bytes.data(), size_t(bytes.size()))) load(bytes);
}

IoResult TSettings::checkFile(const QString& fileName)
{
    struct stat st {};
    if (::stat(QFile::encodeName(fileName).constData(), &st) != 0) return IoResult::success(); // made when saved
    if (S_ISDIR(st.st_mode)) return IoResult::fromErrno(EISDIR);
    if (!S_ISREG(st.st_mode)) return IoResult::fromErrno(EINVAL);
    return IoResult::success();
}

void TSettings::load(const QByteArray& bytes)
{
    Section* current = nullptr;
    const QList<QByteArray> lines = bytes.split('\n');
    for (QByteArray raw : lines) {
        if (raw.endsWith('\r')) raw.chop(1);
        QString line = QString::fromUtf8(raw);
        QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(';')) continue;
        if (trimmed.startsWith('[')) {
            int close = trimmed.indexOf(']');
            QString name = trimmed.mid(1, close < 0 ? -1 : close - 1).trimmed();
            current = &sectionFor(name);
            continue;
        }
        int eq = line.indexOf('=');
        if (!current || eq <= 0) continue;
        QString key = line.left(eq).trimmed();
        if (key.isEmpty()) continue;
        QString value = line.mid(eq + 1);
        bool found = false;
        for (Entry& e : current->entries)
            if (sameName(e.key, key)) {
                found = true; // the first occurrence wins, like the system's INI reader
                break;
            }
        if (!found) current->entries.push_back({key, value});
    }
}

const TSettings::Section* TSettings::findSection(const QString& name) const
{
    for (const Section& s : m_sections)
        if (sameName(s.name, name)) return &s;
    return nullptr;
}

TSettings::Section& TSettings::sectionFor(const QString& name)
{
    for (Section& s : m_sections)
        if (sameName(s.name, name)) return s;
    m_sections.push_back({name, {}});
    return m_sections.back();
}

const TSettings::Entry* TSettings::find(const QString& section, const QString& key) const
{
    const Section* s = findSection(section);
    if (!s) return nullptr;
    for (const Entry& e : s->entries)
        if (sameName(e.key, key)) return &e;
    return nullptr;
}

QString TSettings::readString(const QString& section, const QString& key, const QString& def) const
{
    const Entry* e = find(section, key);
    return e ? e->value : def;
}

bool TSettings::parseInteger(const QString& text, int* value)
{
    const QString t = text.trimmed();
    QStringView digits = QStringView(t);
    const bool negative = digits.startsWith('-');
    if (negative || digits.startsWith('+')) digits = digits.mid(1);
    if (digits.startsWith(u"0x", Qt::CaseInsensitive))
        digits = digits.mid(2);
    else if (digits.startsWith('$'))
        digits = digits.mid(1);
    else
        return ParseInt32(t, value);

    if (digits.isEmpty()) return false;
    for (QChar c : digits) {
        const char16_t u = c.toLower().unicode();
        if (!((u >= '0' && u <= '9') || (u >= 'a' && u <= 'f'))) return false;
    }
    bool ok = false;
    qlonglong v = digits.toLongLong(&ok, 16);
    if (!ok) return false;
    if (negative) v = -v;
    // Hexadecimal values wrap into 32 bits as the original reader did.
    if (!negative && v <= 0xFFFFFFFFLL) v = qint32(quint32(v));
    if (v < INT32_MIN || v > INT32_MAX) return false;
    *value = int(v);
    return true;
}

int TSettings::readInteger(const QString& section, const QString& key, int def) const
{
    const Entry* e = find(section, key);
    int v = 0;
    return e && parseInteger(e->value, &v) ? v : def;
}

bool TSettings::readBool(const QString& section, const QString& key, bool def) const
{
    return readInteger(section, key, def ? 1 : 0) != 0;
}

void TSettings::writeString(const QString& section, const QString& key, const QString& value)
{
    // Line breaks would split the entry into lines of their own.
    QString v = value;
    v.replace('\r', ' ').replace('\n', ' ');
    Section& s = sectionFor(section);
    for (Entry& e : s.entries)
        if (sameName(e.key, key)) {
            e.value = v;
            return;
        }
    s.entries.push_back({key, v});
}

QString TSettings::get(const TSettingKey<const char*>& key) const
{
    return readString(key.Section, key.Name, QString::fromUtf8(key.Default));
}

int TSettings::get(const TSettingKey<int>& key) const
{
    return std::clamp(readInteger(key.Section, key.Name, key.Default), key.Min, key.Max);
}

bool TSettings::get(const TSettingKey<bool>& key) const { return readBool(key.Section, key.Name, key.Default); }

void TSettings::set(const TSettingKey<const char*>& key, const QString& value)
{
    writeString(key.Section, key.Name, value);
}

void TSettings::set(const TSettingKey<int>& key, int value) { writeInteger(key.Section, key.Name, value); }

void TSettings::set(const TSettingKey<bool>& key, bool value) { writeBool(key.Section, key.Name, value); }

void TSettings::writeInteger(const QString& section, const QString& key, int value)
{
    writeString(section, key, QString::number(value));
}

void TSettings::writeBool(const QString& section, const QString& key, bool value)
{
    writeString(section, key, value ? "1" : "0");
}

bool TSettings::valueExists(const QString& section, const QString& key) const
{
    return find(section, key) != nullptr;
}

QStringList TSettings::readSection(const QString& section) const
{
    QStringList keys;
    if (const Section* s = findSection(section))
        for (const Entry& e : s->entries) keys << e.key;
    return keys;
}

void TSettings::eraseSection(const QString& section)
{
    for (auto it = m_sections.begin(); it != m_sections.end(); ++it)
        if (sameName(it->name, section)) {
            m_sections.erase(it);
            return;
        }
}

bool TSettings::deleteKey(const QString& section, const QString& key)
{
    for (Section& s : m_sections)
        if (sameName(s.name, section))
            for (auto it = s.entries.begin(); it != s.entries.end(); ++it)
                if (sameName(it->key, key)) {
                    s.entries.erase(it);
                    return true;
                }
    return false;
}

QByteArray TSettings::toText() const
{
    QByteArray out;
    for (const Section& s : m_sections) {
        out += '[' + s.name.toUtf8() + "]\n";
        for (const Entry& e : s.entries) out += e.key.toUtf8() + '=' + e.value.toUtf8() + '\n';
        out += '\n';
    }
    return out;
}

IoResult TSettings::updateFile() const
{
    QByteArray text = toText();
    const bool secret = std::any_of(std::begin(setting::SecretKeys), std::end(setting::SecretKeys),
                                    [this](const TSettingKey<const char*>* key) { return !get(*key).isEmpty(); });
    return writeWholeFile(QFile::encodeName(m_fileName).toStdString(), text.constData(), size_t(text.size()),
                          systemFiles(), secret ? 0600 : 07777);
}

QString TSettings::defaultPath()
{
    QString exeDir = QCoreApplication::applicationDirPath();
    QString beside = exeDir + "/Cantorix.ini";
    if (QFileInfo::exists(beside) || ::access(QFile::encodeName(exeDir).constData(), W_OK) == 0) return beside;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty()) config = QDir::homePath() + "/.config";
    QDir().mkpath(config + "/Cantorix");
    return config + "/Cantorix/Cantorix.ini";
}

} // namespace cantorix
