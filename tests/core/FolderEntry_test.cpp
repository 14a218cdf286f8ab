// The folder entry of the desktop, written into a temporary XDG_DATA_HOME: its exact lines, the quoting
// of the program's path, the desktop's own checker, and that the default program for folders stays.
#include "core/FolderEntry.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>

#include <sys/stat.h>

using namespace cantorix;
using namespace cantorix::test;

namespace {

// Points XDG_DATA_HOME (and the other folders xdg-mime reads) at a temporary folder for one test.
class TemporaryDataHome {
public:
    TemporaryDataHome()
    {
        for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_DIRS", "HOME"})
            m_saved.push_back({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(m_dir.file("data")));
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(m_dir.file("config")));
        qputenv("HOME", QByteArray::fromStdString(m_dir.str()));
        // A desktop as it is installed: a file manager for folders, made the default by the system's list.
        qputenv("XDG_DATA_DIRS", QByteArray::fromStdString(m_dir.file("system")));
        qputenv("XDG_CONFIG_DIRS", QByteArray::fromStdString(m_dir.file("etc")));
        std::filesystem::create_directories(m_dir.file("system/applications"));
        writeText(m_dir.file("system/applications/files.desktop"),
                  "[Desktop Entry]\nType=Application\nName=Files\nExec=true %U\nMimeType=inode/directory;\n");
        writeText(m_dir.file("system/applications/mimeapps.list"), "[Default Applications]\ninode/directory=files.desktop\n");
    }
    ~TemporaryDataHome()
    {
        for (const auto& [name, value, set] : m_saved) {
            if (set) qputenv(name, value);
            else qunsetenv(name);
        }
    }
    const TempDir& dir() const { return m_dir; }

private:
    TempDir m_dir;
    std::vector<std::tuple<const char*, QByteArray, bool>> m_saved;
};

QString run(const QString& program, const QStringList& args, int* exitCode = nullptr)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(20000);
    if (exitCode) *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()).trimmed();
}

TEST(FolderEntry, ExecQuotesTheProgramPath)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/usr/bin/cantorix", R"("/usr/bin/cantorix")"},
        {"/opt/My Apps/cantorix", R"("/opt/My Apps/cantorix")"},
        // `"`, "`", "$" and "\" get a backslash; the file's own escaping then doubles every backslash.
        {R"(/opt/a"b/cantorix)", R"("/opt/a\\"b/cantorix")"},
        {"/opt/a`b/$HOME/cantorix", R"("/opt/a\\`b/\\$HOME/cantorix")"},
        {R"(/opt/a\b/cantorix)", R"("/opt/a\\\\b/cantorix")"},
        {"/opt/100%/cantorix", R"("/opt/100%%/cantorix")"},
        {"/opt/line\nbreak/cantorix", ""},
    };
    for (const auto& [path, want] : cases) EXPECT_EQ(DesktopExecArgument(QString::fromUtf8(path)), want) << path;
}

TEST(FolderEntry, PathFollowsXdgDataHome)
{
    TemporaryDataHome home;
    EXPECT_EQ(FolderEntryPath(), QString::fromStdString(home.dir().file("data/applications/cantorix-folder.desktop")));
    qputenv("XDG_DATA_HOME", "relative/path"); // not absolute: ignored
    EXPECT_EQ(FolderEntryPath(), QString::fromStdString(home.dir().file(".local/share/applications/cantorix-folder.desktop")));
}

TEST(FolderEntry, CreateAndRemove)
{
    TemporaryDataHome home;
    int rc = 0;
    const bool haveXdgMime = !QStandardPaths::findExecutable("xdg-mime").isEmpty();
    const QString defaultBefore = haveXdgMime ? run("xdg-mime", {"query", "default", "inode/directory"}) : QString();
    if (haveXdgMime) {
        EXPECT_EQ(defaultBefore, "files.desktop");
    }

    EXPECT_FALSE(FolderEntryExists());
    ASSERT_TRUE(CreateFolderEntry("/opt/My Apps/cantorix"));
    EXPECT_TRUE(FolderEntryExists());
    const std::string path = home.dir().file("data/applications/cantorix-folder.desktop");
    EXPECT_EQ(readText(path), "[Desktop Entry]\n"
                              "Type=Application\n"
                              "Name=Cantorix\n"
                              "Comment=Name the audio files of this album folder\n"
                              "Icon=cantorix\n"
                              "Exec=\"/opt/My Apps/cantorix\" %f\n"
                              "Terminal=false\n"
                              "MimeType=inode/directory;\n"
                              "NoDisplay=true\n");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);

    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    if (!validator.isEmpty()) {
        const QString said = run(validator, {QString::fromStdString(path)}, &rc);
        EXPECT_EQ(rc, 0) << said.toStdString();
    }
    // Only a choice is added: the default program for folders stays what it was, mimeapps.list untouched.
    if (haveXdgMime) {
        EXPECT_EQ(run("xdg-mime", {"query", "default", "inode/directory"}), defaultBefore);
    }
    EXPECT_FALSE(std::filesystem::exists(home.dir().file("config/mimeapps.list")));
    EXPECT_FALSE(std::filesystem::exists(home.dir().file("data/applications/mimeapps.list")));

    // Writing again replaces the entry whole; removing twice is no failure.
    ASSERT_TRUE(CreateFolderEntry("/usr/bin/cantorix"));
    EXPECT_NE(readText(path).find("Exec=\"/usr/bin/cantorix\" %f\n"), std::string::npos);
    EXPECT_TRUE(RemoveFolderEntry());
    EXPECT_FALSE(FolderEntryExists());
    EXPECT_TRUE(RemoveFolderEntry());
    if (haveXdgMime) {
        EXPECT_EQ(run("xdg-mime", {"query", "default", "inode/directory"}), defaultBefore);
    }
}

TEST(FolderEntry, FailuresCarryTheReason)
{
    TemporaryDataHome home;
    EXPECT_FALSE(CreateFolderEntry("/opt/line\nbreak/cantorix"));
    EXPECT_FALSE(FolderEntryExists());
    // The applications folder cannot be made where a file stands.
    writeText(home.dir().file("data"), "");
    const IoResult r = CreateFolderEntry("/usr/bin/cantorix");
    EXPECT_FALSE(r);
    EXPECT_FALSE(r.error.empty());
}

} // namespace
