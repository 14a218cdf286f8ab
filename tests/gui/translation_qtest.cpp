// The windows in German (run with LANGUAGE=de, as the build's test does): every label, button, check
// box, group box, tab, column header, menu title and menu action of the main window, the options
// window and the collection window (its title, its outcomes and its log lines too) differs from its
// English text, except the few words that German shares; and no two controls of one window (or one
// tab of the options, or one menu) answer to the same Alt key.
#include "core/Translation.h"
#include "gui/BatchForm.h"
#include "gui/MainForm.h"
#include "gui/OptionsForm.h"
#include "support/TestFiles.h"
#include "support/WindowProbe.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTranslator>

#include <filesystem>
#include <memory>

using namespace cantorix;
using namespace cantorix::test;

namespace {

// Texts that are the same word in German: compared without their "&".
const QStringList SameInGerman = {
    "Album:", "Album", "Genre:", "Name", "Port:", "Server:", "Format:", "FreeDB", "MusicBrainz", "Proxy", "OK"};
// Labels that show data (a path, a sample name), not a text of the program.
const QStringList DataLabels = {"lbFolder", "pnlSample", "lbPreview", "lbServerStatus", "lbFormatMessage"};
// Columns of item tables that show data (a folder, an album, a reason the batch gave).
const QMap<QString, QList<int>> DataColumns = {
    {"lvAlbums", {TBatchForm::ColFolder, TBatchForm::ColAlbum, TBatchForm::ColNote}}};

struct TShownText {
    QString where; // kind and object name, for the report
    QString text;
};

QString plain(QString text) { return text.remove(QRegularExpression("&(?!&)")); }

// Every text the checks cover, in the windows' own order (the same for both languages).
QList<TShownText> shownTexts(QWidget* window)
{
    QList<TShownText> texts;
    auto add = [&](const QString& kind, const QObject* o, const QString& text) {
        if (!text.trimmed().isEmpty()) texts.append({kind + " " + o->objectName(), text});
    };
    for (QLabel* l : window->findChildren<QLabel*>())
        if (!DataLabels.contains(l->objectName())) add("label", l, l->text());
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) add("button", b, b->text());
    for (QGroupBox* g : window->findChildren<QGroupBox*>()) add("group box", g, g->title());
    for (QTabWidget* t : window->findChildren<QTabWidget*>())
        for (int i = 0; i < t->count(); ++i) add("tab", t, t->tabText(i));
    if (qobject_cast<QDialog*>(window)) add("title", window, window->windowTitle());
    for (QTableView* v : window->findChildren<QTableView*>())
        for (int c = 0; c < v->model()->columnCount(); ++c)
            add("column", v, v->model()->headerData(c, Qt::Horizontal).toString());
    for (QTableWidget* t : window->findChildren<QTableWidget*>())
        for (int row = 0; row < t->rowCount(); ++row)
            for (int c = 0; c < t->columnCount(); ++c)
                if (!DataColumns.value(t->objectName()).contains(c) && t->item(row, c))
                    add(QString("cell %1,%2").arg(row).arg(c), t, t->item(row, c)->text());
    for (QMenu* m : window->findChildren<QMenu*>()) {
        add("menu", m, m->title());
        for (QAction* a : m->actions()) add("menu action", m, a->text());
    }
    return texts;
}

// The Alt key of `text` ("&Datei" -> 'd'); 0 without one.
QChar mnemonic(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        return text[i + 1].toLower();
    }
    return {};
}

// The controls under `root` that the user reaches with Alt and a letter while `root` shows.
QStringList altKeyClashes(QWidget* root, const QStringList& more)
{
    QMap<QChar, QStringList> byKey;
    auto add = [&](const QString& text) {
        if (const QChar k = mnemonic(text); !k.isNull()) byKey[k] << plain(text);
    };
    for (QLabel* l : root->findChildren<QLabel*>())
        if (l->buddy() && l->isVisibleTo(root)) add(l->text());
    for (QAbstractButton* b : root->findChildren<QAbstractButton*>())
        if (b->isVisibleTo(root)) add(b->text());
    for (const QString& t : more) add(t);
    QStringList clashes;
    for (auto it = byKey.cbegin(); it != byKey.cend(); ++it)
        if (it->size() > 1) clashes << QString("%1: %2").arg(it.key(), it->join(" | "));
    return clashes;
}

} // namespace

class TranslationTest : public QObject {
    Q_OBJECT

    TempDir m_dir;
    TempDir m_collection; // album folders for the collection window: one per outcome and two more
    TempDir m_noAlbums;
    std::unique_ptr<TSettings> m_settings;

    static constexpr int CollectionAlbums = 10;

    std::unique_ptr<TMainForm> mainForm()
    {
        return std::make_unique<TMainForm>(q(m_dir.file("Cantorix.ini")), q(m_dir.str()));
    }

    std::unique_ptr<TBatchForm> batchForm(const TempDir& root)
    {
        return std::make_unique<TBatchForm>(*m_settings, q(root.str()), TBatchOptions{});
    }

    // The collection window as the batch reports to it: every outcome once (a dry run's too), one
    // album being looked up, one waiting, and the end. No lookup starts: the window is never shown.
    static void reportEveryOutcome(TBatchForm& form)
    {
        const TBatchOutcome outcomes[] = {TBatchOutcome::Renamed, TBatchOutcome::Skipped, TBatchOutcome::NoMatch,
                                          TBatchOutcome::Ambiguous, TBatchOutcome::Refused, TBatchOutcome::Failed,
                                          TBatchOutcome::Cancelled, TBatchOutcome::Renamed};
        const int count = int(std::size(outcomes));
        for (int i = 0; i < count; ++i) {
            TBatchResult r;
            r.Index = i;
            r.Folder = QString("/music/%1/").arg(i);
            r.Outcome = outcomes[i];
            r.DryRun = i == count - 1;
            r.Candidates = 2;
            emit form.batch().albumFinished(r);
        }
        emit form.batch().albumStarted(count, "/music/looked-up/");
        emit form.batch().finished();
    }

    // The log lines the window sends to the main window's log while the batch reports.
    QStringList batchLogLines()
    {
        auto form = batchForm(m_collection);
        QStringList lines;
        connect(form.get(), &TBatchForm::logLine, [&](const QString& line) { lines << line; });
        reportEveryOutcome(*form);
        return lines;
    }

    // English first (no translator yet), then the same window in the system's language.
    template <typename Make> void compareWindows(Make make)
    {
        QList<TShownText> english;
        {
            auto window = make();
            english = shownTexts(window.get());
        }
        QCOMPARE(InstallTranslators(), QString("de"));
        const QList<TShownText> german = shownTexts(make().get());
        // English again before anything can fail, so that a failure here leaves the next check sound.
        removeTranslators();
        QCOMPARE(german.size(), english.size());
        QVERIFY(!german.isEmpty());
        QStringList untranslated;
        for (qsizetype i = 0; i < german.size(); ++i) {
            QCOMPARE(german[i].where, english[i].where);
            if (german[i].text == english[i].text && !SameInGerman.contains(plain(english[i].text)))
                untranslated << german[i].where + ": " + german[i].text;
        }
        QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join('\n')));
    }

    void removeTranslators()
    {
        for (QTranslator* t : qApp->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(t);
            delete t;
        }
    }

private slots:
    void initTestCase()
    {
        writeText(m_dir.file("Cantorix.ini"), "");
        m_settings = std::make_unique<TSettings>(q(m_dir.file("Cantorix.ini")));
        for (int i = 0; i < CollectionAlbums; ++i) {
            const std::string folder = m_collection.file("Album " + std::to_string(i));
            std::filesystem::create_directories(folder);
            writeText(folder + "/01.mp3", "");
        }
    }

    void languageFollowsTheSystem_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("language");
        QTest::newRow("German") << "de_DE"
                                << "de";
        QTest::newRow("Austrian German falls back to German") << "de_AT"
                                                              << "de";
        QTest::newRow("English stays English") << "en_GB"
                                               << "";
        QTest::newRow("no translation: English") << "fi_FI"
                                                 << "";
        QTest::newRow("C locale: English") << "C"
                                           << "";
    }
    void languageFollowsTheSystem()
    {
        QFETCH(QString, locale);
        QFETCH(QString, language);
        QCOMPARE(TranslationLanguage(QLocale(locale)), language);
    }

    void mainWindowAndMenusAreGerman()
    {
        compareWindows([this] { return mainForm(); });
    }

    void optionsWindowIsGerman()
    {
        compareWindows([this] { return std::make_unique<TOptionsForm>(*m_settings); });
    }

    void collectionWindowIsGerman()
    {
        // As it opens, with the albums waiting.
        compareWindows([this] { return batchForm(m_collection); });
        // As the batch reports.
        compareWindows([this] {
            auto form = batchForm(m_collection);
            reportEveryOutcome(*form);
            return form;
        });
        // A folder without albums.
        compareWindows([this] { return batchForm(m_noAlbums); });
    }

    void collectionLogIsGerman()
    {
        const QStringList english = batchLogLines();
        QCOMPARE(InstallTranslators(), QString("de"));
        const QStringList german = batchLogLines();
        removeTranslators();
        QCOMPARE(german.size(), english.size());
        QVERIFY(!german.isEmpty());
        QStringList untranslated;
        for (qsizetype i = 0; i < german.size(); ++i)
            if (german[i] == english[i]) untranslated << german[i];
        QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join('\n')));
    }

    void noTwoControlsShareAnAltKey()
    {
        QCOMPARE(InstallTranslators(), QString("de"));
        auto main = mainForm();
        QStringList menus;
        for (QAction* a : main->menuBar()->actions()) menus << a->text();
        QStringList clashes = altKeyClashes(main.get(), menus);
        // Each menu of the menu bar on its own.
        for (QAction* a : main->menuBar()->actions()) {
            if (!a->menu()) continue;
            QStringList items;
            for (QAction* item : a->menu()->actions()) items << item->text();
            clashes << altKeyClashes(a->menu(), items);
        }
        clashes << altKeyClashes(batchForm(m_collection).get(), {});
        // Each tab of the options with the tab titles and the buttons outside the tabs.
        TOptionsForm options(*m_settings);
        QStringList outside;
        for (int i = 0; i < options.PageControl1->count(); ++i) outside << options.PageControl1->tabText(i);
        for (QAbstractButton* b : options.findChildren<QAbstractButton*>())
            if (!options.PageControl1->isAncestorOf(b)) outside << b->text();
        for (int i = 0; i < options.PageControl1->count(); ++i)
            clashes << altKeyClashes(options.PageControl1->widget(i), outside);
        removeTranslators();
        QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join('\n')));
    }
};

int main(int argc, char** argv)
{
    // The language as a German desktop sets it, unless the caller chose one.
    ::setenv("LANGUAGE", "de", 0);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    TranslationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "translation_qtest.moc"
