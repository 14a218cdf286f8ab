#include "gui/OptionsForm.h"
#include "gui/Named.h"

#include "core/FolderEntry.h"
#include "core/Settings.h"
#include "core/SettingsKeys.h"
#include "core/album/LookupSources.h"
#include "core/album/SettingsValues.h"
#include "core/lookup/freedb/ServerList.h"
#include "core/rename/NameFormatList.h"
#include "gui/DesktopOpen.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QIcon>

#include <algorithm>
#include <memory>
#include <vector>

namespace cantorix {

namespace {

QLabel* linkLabel(const QString& text, const QString& href, const char* name)
{
    auto* l = named(new QLabel(QString("<a href=\"%1\">%2</a>").arg(href.toHtmlEscaped(), text.toHtmlEscaped())), name);
    l->setTextFormat(Qt::RichText);
    l->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    l->setOpenExternalLinks(false);
    return l;
}

constexpr const char* NoFolderText = QT_TRANSLATE_NOOP("cantorix::TOptionsForm", "No folder specified");

} // namespace

TOptionsForm::TOptionsForm(TSettings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_programPath(QCoreApplication::applicationFilePath())
{
    m_query = new TServerListQuery(nullptr, this);
    m_chooseFolder = [this](const QString& start) {
        return QFileDialog::getExistingDirectory(this, tr("Select a folder:"), start);
    };
    m_openUrl = [this](const QUrl& url) { OpenWithDesktop(url, this, [this](const QString& line) { emit logLine(line); }); };
    buildLayout();
    FormCreate();
}

TOptionsForm::~TOptionsForm() = default;

void TOptionsForm::buildLayout()
{
    setObjectName("TOptionsForm");
    setWindowTitle(tr("Cantorix options"));
    auto* outer = new QVBoxLayout(this);
    PageControl1 = named(new QTabWidget, "PageControl1");
    outer->addWidget(PageControl1);
    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch();
    auto* btClose = named(new QPushButton(tr("Close")), "btClose");
    btClose->setAutoDefault(false);
    closeRow->addWidget(btClose);
    outer->addLayout(closeRow);
    connect(btClose, &QPushButton::clicked, this, &QDialog::accept);

    // Tab "Connection": the freedb server, how it is reached, and what the log shows of it.
    auto* connection = named(new QWidget, "TabConnection");
    auto* connLayout = new QVBoxLayout(connection);
    auto* freedb = named(new QGroupBox(tr("FreeDB")), "gbFreeDB");
    auto* freedbForm = new QFormLayout(freedb);
    cmbServers = named(new QComboBox, "cmbServers");
    // The list offers the mirrors; any host, host:port or address may be typed.
    cmbServers->setEditable(true);
    cmbServers->setInsertPolicy(QComboBox::NoInsert);
    cmbServers->lineEdit()->setPlaceholderText(TServerAddress().Host);
    cmbServers->setToolTip(tr("A host name, host:port, or an http:// or https:// address"));
    cmbServers->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cmbServers->setMinimumContentsLength(20);
    btQueryServers = named(new QPushButton(tr("&Query FreeDB servers")), "btQueryServers");
    btQueryServers->setAutoDefault(false);
    auto* serverRow = new QHBoxLayout;
    serverRow->addWidget(cmbServers, 1);
    serverRow->addWidget(btQueryServers);
    auto* serverLabel = new QLabel(tr("&Server:"));
    serverLabel->setBuddy(cmbServers);
    freedbForm->addRow(serverLabel, serverRow);
    lbServerStatus = named(new QLabel, "lbServerStatus");
    lbServerStatus->setWordWrap(true);
    lbServerStatus->setTextFormat(Qt::PlainText);
    lbServerStatus->setVisible(false);
    freedbForm->addRow(QString(), lbServerStatus);
    edEmail = named(new QLineEdit, "edEmail");
    edEmail->setPlaceholderText(TLookupConfig().Email);
    auto* emailLabel = new QLabel(tr("&E-mail:"));
    emailLabel->setBuddy(edEmail);
    freedbForm->addRow(emailLabel, edEmail);
    edTimeout = named(new QSpinBox, "edTimeout");
    edTimeout->setRange(1, MaxTimeoutSeconds);
    edTimeout->setSuffix(tr(" s"));
    edTimeout->setMaximumWidth(edTimeout->fontMetrics().horizontalAdvance("00000000 s") + 40);
    auto* timeoutLabel = new QLabel(tr("Time-o&ut:"));
    timeoutLabel->setBuddy(edTimeout);
    freedbForm->addRow(timeoutLabel, edTimeout);
    edSearchUrl = named(new QLineEdit, "edSearchUrl");
    edSearchUrl->setPlaceholderText(setting::DefaultSearchUrl);
    edSearchUrl->setToolTip(tr("The web search of the name query; %s stands for the words searched for"));
    auto* searchLabel = new QLabel(tr("Search &address:"));
    searchLabel->setBuddy(edSearchUrl);
    freedbForm->addRow(searchLabel, edSearchUrl);
    chHidedataExchange = named(new QCheckBox(tr("&Hide data exchange")), "chHidedataExchange");
    freedbForm->addRow(QString(), chHidedataExchange);
    connLayout->addWidget(freedb);

    // A group per lookup source with fields of its own, as its row names them.
    for (const TLookupSourceRow& source : LookupSources()) {
        if (!source.OptionsGroup) continue;
        auto* group = named(new QGroupBox(source.label()), source.OptionsGroup);
        auto* form = new QFormLayout(group);
        for (const TSourceOption& option : source.Options) {
            if (!option.FieldLabel || !option.Key) continue;
            auto* edit = named(new QLineEdit, option.FieldName);
            if (option.Placeholder) edit->setPlaceholderText(option.Placeholder);
            if (option.FieldToolTip) edit->setToolTip(tr(option.FieldToolTip));
            if (option.Key->Secret) edit->setEchoMode(QLineEdit::Password);
            auto* label = new QLabel(tr(option.FieldLabel));
            label->setBuddy(edit);
            form->addRow(label, edit);
            sourceFields.append({edit, option.Key});
        }
        connLayout->addWidget(group);
    }

    auto* proxy = named(new QGroupBox(tr("Proxy")), "gbProxy");
    auto* proxyGrid = new QGridLayout(proxy);
    chUseProxy = named(new QCheckBox(tr("Use &proxy to connect")), "chUseProxy");
    proxyGrid->addWidget(chUseProxy, 0, 0, 1, 4);
    proxyAddress = named(new QLineEdit, "proxyAddress");
    ProxyPort = named(new QLineEdit, "ProxyPort");
    ProxyPort->setPlaceholderText("80");
    ProxyPort->setValidator(new QIntValidator(1, 65535, ProxyPort));
    ProxyPort->setMaximumWidth(ProxyPort->fontMetrics().horizontalAdvance("000000") + 16);
    proxyUser = named(new QLineEdit, "proxyUser");
    proxyPassword = named(new QLineEdit, "proxyPassword");
    proxyPassword->setEchoMode(QLineEdit::PasswordEchoOnEdit);
    const struct {
        const char* text;
        QLineEdit* edit;
        int row, column;
    } proxyFields[] = {{QT_TR_NOOP("A&ddress:"), proxyAddress, 1, 0}, {QT_TR_NOOP("P&ort:"), ProxyPort, 1, 2},
        {QT_TR_NOOP("User&name:"), proxyUser, 2, 0}, {QT_TR_NOOP("Pass&word:"), proxyPassword, 2, 2}};
    for (const auto& f : proxyFields) {
        auto* label = new QLabel(tr(f.text));
        label->setBuddy(f.edit);
        proxyGrid->addWidget(label, f.row, f.column);
        proxyGrid->addWidget(f.edit, f.row, f.column + 1);
    }
    proxyGrid->setColumnStretch(1, 2);
    proxyGrid->setColumnStretch(3, 1);
    connLayout->addWidget(proxy);
    connLayout->addStretch();
    PageControl1->addTab(connection, tr("&Connection"));

    // Tab "Main": the starting folder, the grid's double-click, the folder entry of the desktop.
    auto* main = named(new QWidget, "TabSheet1");
    auto* mainLayout = new QVBoxLayout(main);
    auto* start = named(new QGroupBox(tr("Starting folder")), "gbStartingFolder");
    auto* startLayout = new QVBoxLayout(start);
    auto* startButtons = new QHBoxLayout;
    btSelectFolder = named(new QPushButton(tr("Specify starting &folder…")), "btSelectFolder");
    btUseCurrent = named(new QPushButton(tr("&Use current")), "btUseCurrent");
    for (QPushButton* b : {btSelectFolder, btUseCurrent}) {
        b->setAutoDefault(false);
        startButtons->addWidget(b);
    }
    startButtons->addStretch();
    startLayout->addLayout(startButtons);
    DirLabel = named(new QLabel, "DirLabel");
    DirLabel->setTextFormat(Qt::PlainText);
    DirLabel->setWordWrap(true);
    DirLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    startLayout->addWidget(DirLabel);
    mainLayout->addWidget(start);

    auto* dblClick = named(new QGroupBox(tr("Filegrid double-click")), "gbDoubleClick");
    auto* dblLayout = new QHBoxLayout(dblClick);
    rdPlay = named(new QRadioButton(tr("&Play")), "rdPlay");
    rdInfo = named(new QRadioButton(tr("&Info/manual rename")), "rdInfo");
    dblLayout->addWidget(rdPlay);
    dblLayout->addWidget(rdInfo);
    dblLayout->addStretch();
    mainLayout->addWidget(dblClick);

    auto* shell = named(new QGroupBox(tr("File manager")), "gbShell");
    auto* shellLayout = new QVBoxLayout(shell);
    btShell = named(new QPushButton, "btShell");
    btShell->setAutoDefault(false);
    auto* shellRow = new QHBoxLayout;
    shellRow->addWidget(btShell);
    shellRow->addStretch();
    shellLayout->addLayout(shellRow);
    lbShellNote =
        named(new QLabel(tr("Offers \"Cantorix\" in the \"Open with\" menu of every folder in the file manager.")),
            "lbShellNote");
    lbShellNote->setWordWrap(true);
    shellLayout->addWidget(lbShellNote);
    mainLayout->addWidget(shell);
    mainLayout->addStretch();
    PageControl1->addTab(main, tr("&Main"));

    // Tab "Renaming": the name formats with a sample, and the switches of the next rename run.
    auto* renaming = named(new QWidget, "TabSheet2");
    auto* renLayout = new QGridLayout(renaming);
    auto* listLabel = new QLabel(tr("Name &formats:"));
    cmbOptNames = named(new QListWidget, "cmbOptNames");
    cmbOptNames->setSortingEnabled(true);
    cmbOptNames->setSelectionMode(QAbstractItemView::SingleSelection);
    listLabel->setBuddy(cmbOptNames);
    renLayout->addWidget(listLabel, 0, 0);
    renLayout->addWidget(cmbOptNames, 1, 0, 5, 1);
    auto* formatLabel = new QLabel(tr("F&ormat:"));
    edOptName = named(new QLineEdit, "edOptName");
    formatLabel->setBuddy(edOptName);
    renLayout->addWidget(formatLabel, 0, 1);
    auto* editRow = new QHBoxLayout;
    editRow->addWidget(edOptName, 1);
    addBt = named(new QPushButton(tr("&Add")), "addBt");
    btRemove = named(new QPushButton(tr("R&emove")), "btRemove");
    for (QPushButton* b : {addBt, btRemove}) {
        b->setAutoDefault(false);
        editRow->addWidget(b);
    }
    renLayout->addLayout(editRow, 1, 1);
    lbFormatMessage = named(new QLabel, "lbFormatMessage");
    lbFormatMessage->setWordWrap(true);
    lbFormatMessage->setTextFormat(Qt::PlainText);
    lbFormatMessage->setVisible(false);
    renLayout->addWidget(lbFormatMessage, 2, 1);
    pnlSample = named(new QLabel, "pnlSample");
    pnlSample->setTextFormat(Qt::PlainText);
    pnlSample->setFrameShape(QFrame::StyledPanel);
    pnlSample->setMinimumHeight(pnlSample->fontMetrics().lineSpacing() + 8);
    renLayout->addWidget(pnlSample, 4, 1);
    auto* help = new QLabel(tr("You can use following keywords:\nartist album track year # trackartist disc\n"
                               "Character case does not matter. You will see sample of the name below. Create the "
                               "name form that you want and press \"Add\" button to add format to the listbox."));
    help->setWordWrap(true);
    help->setMinimumHeight(help->fontMetrics().lineSpacing() * 5);
    renLayout->addWidget(help, 3, 1);
    renLayout->setRowStretch(5, 1);
    renLayout->setColumnStretch(0, 2);
    renLayout->setColumnStretch(1, 3);
    chWriteTag = named(new QCheckBox(tr("&Write tag if possible")), "chWriteTag");
    chFixUnderScores =
        named(new QCheckBox(tr("Replace &underscores with spaces (double spaces will be fixed automatically)")),
            "chFixUnderScores");
    chCreatePlaylist = named(new QCheckBox(tr("Create play&list")), "chCreatePlaylist");
    renLayout->addWidget(chWriteTag, 6, 0, 1, 2);
    renLayout->addWidget(chFixUnderScores, 7, 0, 1, 2);
    renLayout->addWidget(chCreatePlaylist, 8, 0, 1, 2);
    chSaveCover = named(new QCheckBox(tr("Save the front cover of MusicBrainz albums as folder.&jpg")), "chSaveCover");
    renLayout->addWidget(chSaveCover, 9, 0, 1, 2);
    chPortableNames = named(new QCheckBox(tr("Names for FAT/exFAT/NTFS &devices")), "chPortableNames");
    chPortableNames->setToolTip(tr("No < > : \" \\ | ? * in names, no dot or space at their end, no reserved "
                                   "names such as CON or NUL, at most 255 characters: what players and car stereos read"));
    renLayout->addWidget(chPortableNames, 10, 0, 1, 2);
    PageControl1->addTab(renaming, tr("&Renaming"));

    // Tab "About".
    auto* about = named(new QWidget, "TabSheet3");
    auto* aboutLayout = new QVBoxLayout(about);
    auto* logoRow = new QHBoxLayout;
    auto* logo = named(new QLabel, "Image1");
    logo->setPixmap(QIcon(":/cantorix.svg").pixmap(64, 64));
    logoRow->addWidget(logo);
    auto* title = new QLabel(tr("<b>Cantorix %1</b><br>Names the files of ripped audio albums.")
                                 .arg(QCoreApplication::applicationVersion().toHtmlEscaped()));
    logoRow->addWidget(title, 1);
    aboutLayout->addLayout(logoRow);
    lbGuideLink = linkLabel(tr("User guide (readme)"), "guide:", "Label6");
    lbFreedbLink = linkLabel(tr("The freedb music database: gnudb.org"), FreedbSite, "Image2");
    lbLicenceLink = linkLabel(tr("GNU General Public License, version 3 or later"), LicenceUrl, "Label5");
    for (QLabel* l : {lbGuideLink, lbFreedbLink, lbLicenceLink}) aboutLayout->addWidget(l);
    auto* helpRow = new QHBoxLayout;
    btHelp = named(new QPushButton(tr("&Help")), "btUp");
    btHelp->setAutoDefault(false);
    helpRow->addWidget(btHelp);
    helpRow->addStretch();
    aboutLayout->addLayout(helpRow);
    aboutLayout->addStretch();
    PageControl1->addTab(about, tr("Abou&t"));
    // Tab walks the tabs, the page shown, then Close (which was made before the pages).
    setTabOrder(btHelp, btClose);

    // F1 opens the guide wherever the focus is.
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, &TOptionsForm::openGuide);

    // Handlers. Filling the controls (FormCreate) blocks their signals, so only the user's changes write.
    connect(cmbServers, &QComboBox::activated, this, &TOptionsForm::cmbServersSelect);
    connect(cmbServers->lineEdit(), &QLineEdit::editingFinished, this, &TOptionsForm::cmbServersSelect);
    connect(btQueryServers, &QPushButton::clicked, this, &TOptionsForm::btQueryServersClick);
    connect(m_query, &TServerListQuery::logLine, this, &TOptionsForm::logLine);
    connect(m_query, &TServerListQuery::finished, this, &TOptionsForm::serversFinished);
    connect(edEmail, &QLineEdit::textChanged, this, [this](const QString& t) { m_settings.set(setting::Email, t.trimmed()); });
    connect(edTimeout, &QSpinBox::valueChanged, this, [this](int v) { m_settings.set(setting::Timeout, v); });
    connect(edSearchUrl, &QLineEdit::textChanged, this, [this](const QString& t) {
        // An emptied field brings the built-in address back.
        if (t.trimmed().isEmpty())
            m_settings.deleteKey(setting::SearchUrl.Section, setting::SearchUrl.Name);
        else
            m_settings.set(setting::SearchUrl, t.trimmed());
    });
    // An emptied field brings the built-in address back.
    for (auto [edit, key] : std::as_const(sourceFields))
        connect(edit, &QLineEdit::textChanged, this, [this, key = key](const QString& t) {
            if (t.trimmed().isEmpty())
                m_settings.deleteKey(key->Section, key->Name);
            else
                m_settings.set(*key, t.trimmed());
        });
    connect(chSaveCover, &QCheckBox::toggled, this, [this](bool on) { m_settings.set(setting::SaveCover, on); });
    connect(chPortableNames, &QCheckBox::toggled, this, [this](bool on) { m_settings.set(setting::PortableNames, on); });
    connect(chHidedataExchange, &QCheckBox::toggled, this, [this](bool on) { m_settings.set(setting::HideData, on); });
    connect(chUseProxy, &QCheckBox::toggled, this, &TOptionsForm::chUseProxyClick);
    connect(proxyAddress, &QLineEdit::textChanged, this, [this](const QString& t) { m_settings.set(setting::ProxyAddress, t); });
    connect(ProxyPort, &QLineEdit::textChanged, this, [this](const QString& t) { m_settings.set(setting::ProxyPort, t); });
    connect(proxyUser, &QLineEdit::textChanged, this, [this](const QString& t) { m_settings.set(setting::ProxyUser, t); });
    connect(proxyPassword, &QLineEdit::textChanged, this, [this](const QString& t) { m_settings.set(setting::ProxyPassword, t); });
    connect(btSelectFolder, &QPushButton::clicked, this, &TOptionsForm::btSelectFolderClick);
    connect(btUseCurrent, &QPushButton::clicked, this, &TOptionsForm::btUseCurrentClick);
    // A choice is saved as soon as it is made, by mouse or keyboard.
    connect(rdInfo, &QRadioButton::toggled, this, [this](bool on) { if (on) m_settings.set(setting::DblClickInfo, true); });
    connect(rdPlay, &QRadioButton::toggled, this, [this](bool on) { if (on) m_settings.set(setting::DblClickInfo, false); });
    connect(btShell, &QPushButton::clicked, this, &TOptionsForm::btShellClick);
    connect(cmbOptNames, &QListWidget::currentItemChanged, this, &TOptionsForm::cmbOptNamesClick);
    connect(cmbOptNames, &QListWidget::itemClicked, this, &TOptionsForm::cmbOptNamesClick);
    connect(edOptName, &QLineEdit::textChanged, this, &TOptionsForm::edOptNameChange);
    connect(edOptName, &QLineEdit::returnPressed, this, &TOptionsForm::addBtClick);
    connect(addBt, &QPushButton::clicked, this, &TOptionsForm::addBtClick);
    connect(btRemove, &QPushButton::clicked, this, &TOptionsForm::btRemoveClick);
    connect(chWriteTag, &QCheckBox::toggled, this, [this](bool on) { m_settings.set(setting::WriteTags, on); });
    connect(chFixUnderScores, &QCheckBox::toggled, this, [this](bool on) { m_settings.set(setting::FixUnderScores, on); });
    connect(chCreatePlaylist, &QCheckBox::toggled, this, [this](bool on) { m_settings.set(setting::CreatePlaylist, on); });
    connect(lbGuideLink, &QLabel::linkActivated, this, &TOptionsForm::openGuide);
    connect(btHelp, &QPushButton::clicked, this, &TOptionsForm::openGuide);
    for (QLabel* l : {lbFreedbLink, lbLicenceLink})
        connect(l, &QLabel::linkActivated, this, [this](const QString& link) { openUrl(QUrl(link)); });
}

void TOptionsForm::FormCreate()
{
    const TSettings& s = m_settings;
    std::vector<std::unique_ptr<QSignalBlocker>> quiet;
    for (QObject* o : std::initializer_list<QObject*>{cmbServers, edEmail, edTimeout, edSearchUrl, chHidedataExchange,
                                                      chUseProxy, proxyAddress, ProxyPort, proxyUser, proxyPassword,
                                                      rdPlay, rdInfo, chWriteTag, chFixUnderScores, chCreatePlaylist,
                                                      chSaveCover, chPortableNames})
        quiet.push_back(std::make_unique<QSignalBlocker>(o));
    for (auto [edit, key] : std::as_const(sourceFields)) quiet.push_back(std::make_unique<QSignalBlocker>(edit));

    fillServers();
    const QString start = s.get(setting::StartFolder);
    DirLabel->setText(start.isEmpty() ? tr(NoFolderText) : start);
    chUseProxy->setChecked(s.get(setting::UseProxy));
    proxyAddress->setText(s.get(setting::ProxyAddress));
    ProxyPort->setText(s.get(setting::ProxyPort));
    proxyUser->setText(s.get(setting::ProxyUser));
    proxyPassword->setText(s.get(setting::ProxyPassword));
    (s.get(setting::DblClickInfo) ? rdInfo : rdPlay)->setChecked(true);
    showShellCaption();
    chHidedataExchange->setChecked(s.get(setting::HideData));
    edEmail->setText(s.get(setting::Email));
    edTimeout->setValue(s.get(setting::Timeout));
    edSearchUrl->setText(s.has(setting::SearchUrl) ? s.get(setting::SearchUrl) : QString());
    for (auto [edit, key] : std::as_const(sourceFields)) edit->setText(s.has(*key) ? s.get(*key) : QString());
    chSaveCover->setChecked(s.get(setting::SaveCover));
    chPortableNames->setChecked(s.get(setting::PortableNames));

    fillNameFormats();
    chFixUnderScores->setChecked(s.get(setting::FixUnderScores));
    chCreatePlaylist->setChecked(s.get(setting::CreatePlaylist));
    chWriteTag->setChecked(s.get(setting::WriteTags));
    edOptNameChange();
}

void TOptionsForm::fillServers()
{
    const QSignalBlocker quiet(cmbServers);
    cmbServers->clear();
    QStringList hosts = m_settings.readSection(setting::FreeDBSitesSection);
    std::sort(hosts.begin(), hosts.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    cmbServers->addItems(hosts);
    // The server in use shows whether the list holds it or not.
    const QString server = ServerListEntry(m_settings.get(setting::Server));
    cmbServers->setCurrentIndex(int(cmbServers->findText(server, Qt::MatchFixedString)));
    if (cmbServers->currentIndex() < 0) cmbServers->setEditText(server);
}

void TOptionsForm::fillNameFormats()
{
    cmbOptNames->clear();
    cmbOptNames->addItems(NameFormatChoices(StoredNameFormats(m_settings)));
    btRemove->setEnabled(false);
}

void TOptionsForm::showShellCaption()
{
    btShell->setText(FolderEntryExists() ? tr("Remove &shell shortcut") : tr("Create &shell shortcut"));
}

void TOptionsForm::showServerStatus(const QString& text)
{
    lbServerStatus->setText(text);
    lbServerStatus->setVisible(!text.isEmpty());
}

void TOptionsForm::showFormatMessage(const QString& text)
{
    lbFormatMessage->setText(text);
    lbFormatMessage->setVisible(!text.isEmpty());
}

void TOptionsForm::openUrl(const QUrl& url)
{
    if (m_openUrl) m_openUrl(url);
}

void TOptionsForm::openGuide()
{
    const QString guide = GuideFile();
    if (guide.isEmpty()) {
        emit logLine(tr("The user guide is not installed"));
        return;
    }
    openUrl(QUrl::fromLocalFile(guide));
}

void TOptionsForm::done(int result)
{
    // Closing the window ends its request: no reply may reach a window that is gone.
    m_query->abort();
    btQueryServers->setEnabled(true);
    QDialog::done(result);
}

// ---------------------------------------------------------------------------------------------
// The server list

bool TOptionsForm::cmbServersSelect()
{
    const QString shown = cmbServers->currentText().trimmed();
    if (const QString problem = ServerSettingProblem(shown); !problem.isEmpty()) {
        showServerStatus(problem);
        return false;
    }
    showServerStatus(QString());
    if (shown.isEmpty()) {
        // An emptied box means the default server, as a missing setting does.
        if (m_settings.has(setting::Server)) m_settings.deleteKey(setting::Server.Section, setting::Server.Name);
    } else if (shown != ServerListEntry(m_settings.get(setting::Server))) {
        m_settings.set(setting::Server, shown);
    }
    return true;
}

void TOptionsForm::btQueryServersClick()
{
    // The server shown is the one asked, and the one in use.
    if (!cmbServersSelect()) return;
    TLookupConfig config = LookupConfigFromSettings(m_settings);
    btQueryServers->setEnabled(false);
    showServerStatus(tr("Asking %1 for its server list%2").arg(config.Server.Host, QChar(0x2026)));
    m_query->start(config);
}

void TOptionsForm::serversFinished(const TServerListOutcome& outcome)
{
    btQueryServers->setEnabled(true);
    if (!outcome.Ok) {
        const QString line = tr("The server list was not changed: %1").arg(outcome.Reason);
        emit logLine(line);
        showServerStatus(line);
        return;
    }
    const TServerListStore stored = StoreServerList(m_settings, outcome.Hosts);
    if (!stored.Changed) {
        emit logLine(stored.Reason);
        showServerStatus(stored.Reason);
        return;
    }
    fillServers();
    QString line =
        tr("%1 servers in the list; the server is %2").arg(outcome.Hosts.size()).arg(ServerListEntry(stored.Server));
    // A new list reaches the disk at once.
    if (IoResult written = m_settings.updateFile(); !written)
        line = tr("Cannot write the settings file \"%1\": %2")
                   .arg(m_settings.fileName(), QString::fromStdString(written.error));
    emit logLine(line);
    showServerStatus(line);
}

// ---------------------------------------------------------------------------------------------
// Connection and folders

void TOptionsForm::chUseProxyClick()
{
    // The server list's requests take the proxy from the settings at each start.
    m_settings.set(setting::UseProxy, chUseProxy->isChecked());
}

void TOptionsForm::btSelectFolderClick()
{
    const QString current = m_settings.get(setting::StartFolder);
    const QString start = !current.isEmpty() && QFileInfo(current).isDir() ? current : QDir::homePath();
    const QString folder = m_chooseFolder ? m_chooseFolder(start) : QString();
    if (folder.isEmpty()) return;
    m_settings.set(setting::StartFolder, folder);
    DirLabel->setText(folder);
}

void TOptionsForm::btUseCurrentClick()
{
    const QString folder = m_currentFolder ? m_currentFolder() : QString();
    if (folder.isEmpty()) return;
    m_settings.set(setting::StartFolder, folder);
    DirLabel->setText(folder);
}

void TOptionsForm::btShellClick()
{
    const bool remove = FolderEntryExists();
    const IoResult done = remove ? RemoveFolderEntry() : CreateFolderEntry(m_programPath);
    // The caption shows what is on disk now, whatever happened.
    showShellCaption();
    if (!done) {
        const QString line =
            (remove ? tr("Cannot remove the folder entry \"%1\": %2") : tr("Cannot create the folder entry \"%1\": %2"))
                .arg(FolderEntryPath(), QString::fromStdString(done.error));
        emit logLine(line);
        lbShellNote->setText(line);
        return;
    }
    emit logLine((remove ? tr("Removed the folder entry \"%1\"") : tr("Created the folder entry \"%1\""))
                     .arg(FolderEntryPath()));
}

// ---------------------------------------------------------------------------------------------
// Name formats

void TOptionsForm::cmbOptNamesClick()
{
    QListWidgetItem* item = cmbOptNames->currentItem();
    btRemove->setEnabled(item != nullptr);
    if (item && !item->text().isEmpty()) edOptName->setText(item->text());
}

void TOptionsForm::edOptNameChange()
{
    pnlSample->setText(NameFormatSample(edOptName->text()));
}

void TOptionsForm::addBtClick()
{
    QString problem;
    const QString format = edOptName->text().trimmed();
    QStringList formats = StoredNameFormats(m_settings);
    switch (AddNameFormat(formats, format, &problem)) {
    case TFormatAdd::Empty: return;
    case TFormatAdd::Refused: showFormatMessage(problem); return;
    case TFormatAdd::Duplicate: {
        showFormatMessage(problem);
        const auto found = cmbOptNames->findItems(format, Qt::MatchFixedString);
        if (!found.isEmpty()) cmbOptNames->setCurrentItem(found.first());
        return;
    }
    case TFormatAdd::Added: break;
    }
    StoreNameFormats(m_settings, formats);
    showFormatMessage(QString());
    // The list shows what is stored now: a first format may bring the built-in one along, and the
    // built-in one the list offered before may be the format just added.
    fillNameFormats();
    cmbOptNames->setCurrentItem(cmbOptNames->findItems(format, Qt::MatchFixedString).value(0));
    emit nameFormatsChanged();
}

void TOptionsForm::btRemoveClick()
{
    QListWidgetItem* item = cmbOptNames->currentItem();
    if (!item) return;
    QStringList formats = StoredNameFormats(m_settings);
    if (RemoveNameFormat(formats, item->text())) StoreNameFormats(m_settings, formats);
    delete cmbOptNames->takeItem(cmbOptNames->row(item));
    showFormatMessage(QString());
    btRemove->setEnabled(cmbOptNames->currentItem() != nullptr);
    emit nameFormatsChanged();
}

} // namespace cantorix
