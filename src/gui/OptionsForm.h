// The options window: the settings the main window does not set itself (freedb server and its list,
// e-mail, proxy, time-out, the name query's search address, starting folder, double-click action, the
// data-exchange echo, the name formats, the renaming switches) and the folder entry of the desktop.
// Every control writes its setting into the in-memory settings at once; there is no OK or Cancel.
#pragma once

#include "core/Settings.h"
#include "core/lookup/freedb/Cddb.h"

#include <QDialog>
#include <QList>
#include <QPair>
#include <QUrl>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace cantorix {

class TSettings;
class TServerListQuery;
struct TServerListOutcome;

class TOptionsForm : public QDialog {
    Q_OBJECT
public:
    // `settings` must outlive the window.
    explicit TOptionsForm(TSettings& settings, QWidget* parent = nullptr);
    ~TOptionsForm() override;

    // The folder "Use current" takes (the main window's tree); none by default.
    void setCurrentFolderSource(std::function<QString()> source) { m_currentFolder = std::move(source); }
    // The folder browser: given the folder to start at, returns the chosen folder or "" for Cancel.
    // By default QFileDialog::getExistingDirectory; tests answer here.
    void setFolderChooser(std::function<QString(const QString& start)> chooser) { m_chooseFolder = std::move(chooser); }
    // Where links, the guide and web pages go; QDesktopServices::openUrl by default.
    void setUrlOpener(std::function<void(const QUrl&)> opener) { m_openUrl = std::move(opener); }
    // The path the folder entry starts: this program by default.
    void setProgramPath(const QString& path) { m_programPath = path; }

    TServerListQuery& serverQuery() { return *m_query; }

signals:
    void logLine(const QString& line);
    // [NameFormats] changed (Add or Remove): the main window refills its list.
    void nameFormatsChanged();

public:
    // Controls, by their names in the rest of the system.
    QTabWidget* PageControl1 = nullptr;
    QComboBox* cmbServers = nullptr;
    QPushButton* btQueryServers = nullptr;
    QLabel* lbServerStatus = nullptr;
    QLineEdit* edEmail = nullptr;
    QSpinBox* edTimeout = nullptr;
    QLineEdit* edSearchUrl = nullptr;
    // The lookup sources' own fields (their rows' options with a field), with the keys they edit.
    QList<QPair<QLineEdit*, const TSettingKey<const char*>*>> sourceFields;
    QCheckBox* chHidedataExchange = nullptr;
    QCheckBox* chUseProxy = nullptr;
    QLineEdit* proxyAddress = nullptr;
    QLineEdit* ProxyPort = nullptr;
    QLineEdit* proxyUser = nullptr;
    QLineEdit* proxyPassword = nullptr;
    QPushButton* btSelectFolder = nullptr;
    QPushButton* btUseCurrent = nullptr;
    QLabel* DirLabel = nullptr;
    QRadioButton* rdPlay = nullptr;
    QRadioButton* rdInfo = nullptr;
    QPushButton* btShell = nullptr;
    QLabel* lbShellNote = nullptr;
    QListWidget* cmbOptNames = nullptr;
    QLineEdit* edOptName = nullptr;
    QPushButton* addBt = nullptr;
    QPushButton* btRemove = nullptr;
    QLabel* lbFormatMessage = nullptr;
    QLabel* pnlSample = nullptr;
    QCheckBox* chWriteTag = nullptr;
    QCheckBox* chFixUnderScores = nullptr;
    QCheckBox* chCreatePlaylist = nullptr;
    QCheckBox* chSaveCover = nullptr;
    QCheckBox* chPortableNames = nullptr;
    QLabel* lbGuideLink = nullptr; // the user guide
    QLabel* lbFreedbLink = nullptr; // the freedb site
    QLabel* lbLicenceLink = nullptr; // the licence
    QPushButton* btHelp = nullptr; // help

    static constexpr const char* FreedbSite = "https://gnudb.org";
    static constexpr const char* LicenceUrl = "https://www.gnu.org/licenses/gpl-3.0.html";

public slots:
    void done(int result) override;

private:
    void buildLayout();
    void FormCreate();
    void fillServers();
    void fillNameFormats();
    void showShellCaption();
    void showServerStatus(const QString& text);
    void showFormatMessage(const QString& text);
    void openUrl(const QUrl& url);
    void openGuide();

    // Handlers, named after their control and event.
    // Makes the server shown the one in use; false, with the reason shown, when it names no server.
    bool cmbServersSelect();
    void btQueryServersClick();
    void serversFinished(const TServerListOutcome& outcome);
    void chUseProxyClick();
    void btSelectFolderClick();
    void btUseCurrentClick();
    void btShellClick();
    void cmbOptNamesClick();
    void edOptNameChange();
    void addBtClick();
    void btRemoveClick();

    TSettings& m_settings;
    TServerListQuery* m_query = nullptr;
    QString m_programPath;
    std::function<QString()> m_currentFolder;
    std::function<QString(const QString&)> m_chooseFolder;
    std::function<void(const QUrl&)> m_openUrl;
};

} // namespace cantorix
