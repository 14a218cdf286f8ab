#include "gui/InfoForm.h"

#include "audio/IoResult.h"
#include "audio/Paths.h"
#include "audio/FileInfo.h"
#include "core/FolderScan.h"
#include "core/InfoText.h"
#include "core/rename/JournaledMoves.h"
#include "core/rename/RenameByTag.h"
#include "gui/DesktopOpen.h"

#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace cantorix {

namespace {

QByteArray bareName(const QByteArray& path) { return path.mid(path.lastIndexOf('/') + 1); }
QByteArray folderOf(const QByteArray& path) { return path.left(path.lastIndexOf('/') + 1); }

// Why a typed name names no file of this folder, or empty when it may.
QString typedNameProblem(const QString& typed)
{
    const QString name = typed.trimmed();
    if (name.contains('/')) return TInfoForm::tr("A file name cannot hold \"/\"");
    if (std::any_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 32 || c.unicode() == 127; }))
        return TInfoForm::tr("A file name cannot hold control characters");
    if (name == "." || name == "..") return TInfoForm::tr("\".\" and \"..\" name folders, not files");
    return {};
}

// Selects the name without its extension, as file managers do: the part that is usually changed.
void selectBaseName(QLineEdit* edit)
{
    const qsizetype dot = edit->text().lastIndexOf('.');
    if (dot > 0)
        edit->setSelection(0, int(dot));
    else
        edit->selectAll();
}

QLineEdit* valueBox(const char* name)
{
    auto* e = new QLineEdit;
    e->setObjectName(name);
    e->setReadOnly(true);
    return e;
}

} // namespace

TInfoForm::TInfoForm(const QByteArray& infoFileName, QWidget* parent)
    : QDialog(parent), m_infoFileName(infoFileName), m_audioExtensions(BuildSupportedExtensions(QString()))
{
    setObjectName("TInfoForm");
    setWindowTitle(tr("File information and manual rename"));
    auto* outer = new QVBoxLayout(this);

    Panel1 = new QWidget;
    Panel1->setObjectName("Panel1");
    auto* names = new QGridLayout(Panel1);
    names->setContentsMargins(0, 0, 0, 0);
    Label1 = new QLabel(tr("C&urrent filename:"));
    Label1->setObjectName("Label1");
    edCurrentFileName = valueBox("edCurrentFileName");
    edCurrentFileName->setBackgroundRole(QPalette::Button);
    Label1->setBuddy(edCurrentFileName);
    Label2 = new QLabel(tr("&New filename:"));
    Label2->setObjectName("Label2");
    edNewFileName = new QLineEdit;
    edNewFileName->setObjectName("edNewFileName");
    Label2->setBuddy(edNewFileName);
    brManualRename = new QPushButton(tr("&Rename"));
    brManualRename->setObjectName("brManualRename");
    names->addWidget(Label1, 0, 0);
    names->addWidget(edCurrentFileName, 0, 1, 1, 2);
    names->addWidget(Label2, 1, 0);
    names->addWidget(edNewFileName, 1, 1);
    names->addWidget(brManualRename, 1, 2);
    lbRenameStatus = new QLabel;
    lbRenameStatus->setObjectName("lbRenameStatus");
    lbRenameStatus->setTextFormat(Qt::PlainText);
    lbRenameStatus->setMinimumHeight(lbRenameStatus->fontMetrics().lineSpacing());
    names->addWidget(lbRenameStatus, 2, 1, 1, 2);
    names->setColumnStretch(1, 1);
    edNewFileName->setMinimumWidth(fontMetrics().horizontalAdvance('x') * 48);
    outer->addWidget(Panel1);

    GroupBox1 = new QGroupBox(tr("Information"));
    GroupBox1->setObjectName("GroupBox1");
    auto* grid = new QGridLayout(GroupBox1);
    Artist = valueBox("Artist");
    Album = valueBox("Album");
    Title = valueBox("Title");
    Year = valueBox("Year");
    Genre = valueBox("Genre");
    Track = valueBox("Track");
    Duration = valueBox("Duration");
    Bitrate = valueBox("Bitrate");
    SampleRate = valueBox("SampleRate");
    Channels = valueBox("Channels");
    Size = valueBox("Size");
    Other = valueBox("Other");
    const struct {
        const char* text;
        QLineEdit* box;
        int row, column, span;
    } boxes[] = {
        {QT_TR_NOOP("Artist:"), Artist, 0, 0, 1},
        {QT_TR_NOOP("Album:"), Album, 1, 0, 1},
        {QT_TR_NOOP("Title:"), Title, 2, 0, 1},
        {QT_TR_NOOP("Year:"), Year, 3, 0, 1},
        {QT_TR_NOOP("Genre:"), Genre, 4, 0, 1},
        {QT_TR_NOOP("Track:"), Track, 5, 0, 1},
        {QT_TR_NOOP("Duration:"), Duration, 0, 2, 1},
        {QT_TR_NOOP("Bitrate:"), Bitrate, 1, 2, 1},
        {QT_TR_NOOP("Samplerate:"), SampleRate, 2, 2, 1},
        {QT_TR_NOOP("Channels:"), Channels, 3, 2, 1},
        {QT_TR_NOOP("Size:"), Size, 4, 2, 1},
        // "Other" holds the longest texts (encoder, version and compression mode): it spans both halves.
        {QT_TR_NOOP("Other:"), Other, 6, 0, 3},
    };
    for (const auto& b : boxes) {
        auto* label = new QLabel(tr(b.text));
        label->setBuddy(b.box);
        grid->addWidget(label, b.row, b.column);
        grid->addWidget(b.box, b.row, b.column + 1, 1, b.span);
    }
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 2);
    outer->addWidget(GroupBox1);

    auto* buttons = new QHBoxLayout;
    btPlay = new QPushButton(style()->standardIcon(QStyle::SP_MediaPlay), tr("&Play"));
    btPlay->setObjectName("btPlay");
    btPlay->setIconSize(QSize(32, 32));
    btClose = new QPushButton(tr("&Close"));
    btClose->setObjectName("btClose");
    buttons->addWidget(btPlay);
    buttons->addStretch();
    buttons->addWidget(btClose);
    outer->addLayout(buttons);
    // Enter in the new-name box renames; it never presses a button of this window by itself.
    for (QPushButton* b : {brManualRename, btPlay, btClose}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    connect(brManualRename, &QPushButton::clicked, this, &TInfoForm::brManualRenameClick);
    // Enter is taken before the dialog sees it: the dialog would press the default button of the
    // message that the rename may open, closing it unread.
    edNewFileName->installEventFilter(this);
    connect(btPlay, &QPushButton::clicked, this, &TInfoForm::btPlayClick);
    connect(btClose, &QPushButton::clicked, this, &QDialog::accept);
    setTabOrder(edNewFileName, brManualRename);

    FormCreate();
    edNewFileName->setFocus(Qt::OtherFocusReason);
}

bool TInfoForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edNewFileName && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            brManualRenameClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TInfoForm::FormCreate()
{
    showNames();
    Readinfo();
}

void TInfoForm::showNames()
{
    const QString name = QFile::decodeName(bareName(m_infoFileName));
    edCurrentFileName->setText(name);
    edNewFileName->setText(name);
    selectBaseName(edNewFileName);
}

void TInfoForm::Readinfo()
{
    const TFileInfoValues v = ReadFileInfo(m_infoFileName.toStdString());
    auto text = [](const std::string& s) { return QString::fromStdString(s); };
    // The readers keep each format's notation; the window shows one for all.
    const QString extension = ScanExtension(QFile::decodeName(bareName(m_infoFileName)));
    const std::pair<QLineEdit*, QString> fill[] = {
        {Artist, text(v.Artist)},     {Album, text(v.Album)},     {Title, text(v.Title)},
        {Year, text(v.Year)},         {Genre, text(v.Genre)},     {Track, text(v.Track)},
        {Duration, text(v.Duration)}, {Bitrate, ShownBitrate(extension, text(v.Bitrate))},
        {SampleRate, ShownSampleRate(text(v.SampleRate))},        {Channels, ShownChannels(text(v.Channels))},
        {Size, text(v.Size)},         {Other, text(v.Other)},
    };
    for (const auto& [box, value] : fill) {
        box->setText(value);
        box->setCursorPosition(0);
    }
}

void TInfoForm::btPlayClick()
{
    if (fileExists(m_infoFileName.toStdString())) OpenWithDesktop(m_infoFileName, this);
}

void TInfoForm::brManualRenameClick()
{
    const QString typed = edNewFileName->text();
    if (typed.trimmed().isEmpty()) return;
    if (const QString problem = typedNameProblem(typed); !problem.isEmpty()) {
        renameFailed(typed.trimmed(), problem);
        return;
    }
    const QByteArray current = bareName(m_infoFileName);
    // The name as shown keeps its bytes: a name that is not UTF-8 is shown converted.
    const QByteArray wanted = typed == QFile::decodeName(current) ? current : typed.toUtf8();
    const std::optional<std::string> cleaned = CleanTypedName(wanted.toStdString());
    if (!cleaned) {
        renameFailed(typed.trimmed(), tr("That is no file name"));
        return;
    }
    QByteArray target = QByteArray::fromStdString(*cleaned);
    // The same name (perhaps with trailing spaces or dots) asks nothing and moves nothing; nor does the
    // extension the question adds back.
    if (target != current && !m_audioExtensions.contains(ScanExtension(QFile::decodeName(target))) &&
        !confirmExtension(target))
        return;
    if (target == current) {
        showNames();
        return;
    }
    // Success is what the move returns, never an errno left from earlier calls.
    IoResult moved = RenameFileJournaled(m_infoFileName.toStdString(), target.toStdString());
    if (!moved) {
        renameFailed(QFile::decodeName(target), QString::fromStdString(moved.error));
        return;
    }
    m_infoFileName = folderOf(m_infoFileName) + target;
    showNames();
    lbRenameStatus->setText(tr("Renamed to \"%1\"").arg(QFile::decodeName(target)));
}

bool TInfoForm::confirmExtension(QByteArray& name)
{
    const QString current = QFile::decodeName(bareName(m_infoFileName));
    const QString extension = current.mid(current.lastIndexOf('.'));
    const bool canAdd = current.lastIndexOf('.') > 0 && m_audioExtensions.contains(ScanExtension(current));
    QMessageBox box(QMessageBox::Question, tr("No audio extension"),
                    tr("\"%1\" has no audio file extension.").arg(QFile::decodeName(name)), QMessageBox::NoButton, this);
    box.setObjectName("ExtensionQuestion");
    box.setInformativeText(tr("Without one the file is no longer listed with the album."));
    QPushButton* add = canAdd ? box.addButton(tr("&Add \"%1\"").arg(extension), QMessageBox::AcceptRole) : nullptr;
    QPushButton* asTyped = box.addButton(tr("Rename as &typed"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(add ? add : cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == add) {
        name += QFile::encodeName(extension);
        return true;
    }
    return box.clickedButton() == asTyped;
}

void TInfoForm::renameFailed(const QString& newName, const QString& reason)
{
    lbRenameStatus->clear();
    const QString text = tr("Cannot rename \"%1\" to \"%2\": %3")
                             .arg(QFile::decodeName(bareName(m_infoFileName)), newName, reason);
    auto* box = new QMessageBox(QMessageBox::Critical, tr("Renaming failed"), text, QMessageBox::Ok, this);
    box->setObjectName("RenameFailedMessage");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace cantorix
