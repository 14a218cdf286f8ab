// The window program's command line, read without a window: what each line starts, and the problem
// told for a wrong one.
#include "gui/StartArguments.h"

#include <QtTest>

using namespace cantorix;
using Action = TStartArguments::Action;

class StartArgumentsTest : public QObject {
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("problem");
        const int start = int(Action::Start), help = int(Action::Help), version = int(Action::Version),
                  wrong = int(Action::WrongUse);
        QTest::newRow("nothing") << QStringList{} << start << "" << "" << "";
        QTest::newRow("folder") << QStringList{"Music/rip"} << start << "" << "Music/rip" << "";
        QTest::newRow("settings after the folder")
            << QStringList{"rip", "--settings", "c.ini"} << start << "c.ini" << "rip" << "";
        QTest::newRow("settings=") << QStringList{"--settings=c.ini"} << start << "c.ini" << "" << "";
        QTest::newRow("a folder like an option") << QStringList{"--", "--rip"} << start << "" << "--rip" << "";
        QTest::newRow("-h") << QStringList{"-h"} << help << "" << "" << "";
        QTest::newRow("--help with a folder") << QStringList{"rip", "--help"} << help << "" << "rip" << "";
        QTest::newRow("-v") << QStringList{"-v"} << version << "" << "" << "";
        QTest::newRow("--version") << QStringList{"--version"} << version << "" << "" << "";
        QTest::newRow("two folders") << QStringList{"a", "b"} << wrong << "" << "" << "more than one folder given";
        QTest::newRow("unknown option")
            << QStringList{"--bogus", "rip"} << wrong << "" << "" << "unknown option --bogus";
        QTest::newRow("unknown letter") << QStringList{"-x"} << wrong << "" << "" << "unknown option -x";
        QTest::newRow("missing value")
            << QStringList{"rip", "--settings"} << wrong << "" << "" << "--settings needs a value";
        QTest::newRow("value after a switch")
            << QStringList{"--help=yes"} << wrong << "" << "" << "--help takes no value";
        QTest::newRow("settings twice") << QStringList{"--settings", "a", "--settings", "b"} << wrong << "" << ""
                                        << "--settings is given more than once";
    }
    void parse()
    {
        QFETCH(QStringList, args);
        QFETCH(int, action);
        const TStartArguments start = ParseStartArguments(QStringList{"cantorix"} + args);
        QCOMPARE(int(start.action), action);
        QTEST(start.settingsFile, "settings");
        QTEST(start.folder, "folder");
        QTEST(start.problem, "problem");
    }

    // Qt's own options are still in the line before the application takes them out: such a line is
    // judged afterwards, on the display it asks for.
    void opensNoWindow_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("noWindow");
        QTest::newRow("folder") << QStringList{"rip"} << false;
        QTest::newRow("help") << QStringList{"--help"} << true;
        QTest::newRow("version") << QStringList{"-v"} << true;
        QTest::newRow("two folders") << QStringList{"a", "b"} << true;
        QTest::newRow("unknown option") << QStringList{"--bogus"} << true;
        QTest::newRow("Qt's platform option") << QStringList{"-platform", "offscreen", "rip"} << false;
        QTest::newRow("Qt's style option with help") << QStringList{"-style", "Fusion", "--help"} << false;
    }
    void opensNoWindow()
    {
        QFETCH(QStringList, args);
        QTEST(OpensNoWindow(QStringList{"cantorix"} + args), "noWindow");
    }

    void usageNamesEveryOption()
    {
        const QString usage = StartUsage();
        QVERIFY(usage.startsWith("usage: cantorix [--settings FILE] [FOLDER]\n"));
        for (const char* option : {"  FOLDER ", "  --settings FILE ", "  -h, --help ", "  -v, --version "})
            QVERIFY2(usage.contains(option), option);
    }
};

QTEST_GUILESS_MAIN(StartArgumentsTest)
#include "startarguments_qtest.moc"
