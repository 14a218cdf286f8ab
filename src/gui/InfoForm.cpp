#include "gui/InfoForm.h"

#include "audio/FileIO.h"
#include "audio/FileInfo.h"
#include "core/rename/JournaledMoves.h"
#include "core/rename/RenameByTag.h"
#include "core/rename/RenameLines.h"
#include "gui/DesktopOpen.h"

#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace cantorix {

namespace {

QByteArray bareName(const QByteArray& path) { return path.mid(path.lastIndexOf('/') + 1); }
QByteArray folderOf(const QByteArray& path) { return path.left(path.lastIndexOf('/') + 1); }

QLineEdit* valueBox(const char* name)
{
    auto* e = new QLineEdit;
    e->setObjectName(name);
    e->setReadOnly(true);
    return e;
}

} // namespace

TInfoForm::TInfoForm(const QByteArray& infoFileName, QWidget* parent) : QDialog(parent), m_infoFileName(infoFileName)
{
    setObjectName("TInfoForm");
    setWindowTitle("File information and manual rename");
    auto* outer = new QVBoxLayout(this);

    Panel1 = new QWidget;
    Panel1->setObjectName("Panel1");
    auto* names = new QGridLayout(Panel1);
    names->setContentsMargins(0, 0, 0, 0);
    Label1 = new QLabel("C&urrent filename:");
    Label1->setObjectName("Label1");
    edCurrentFileName = valueBox("edCurrentFileName");
    edCurrentFileName->setBackgroundRole(QPalette::Button);
    Label1->setBuddy(edCurrentFileName);
    Label2 = new QLabel("&New filename:");
    Label2->setObjectName("Label2");
    edNewFileName = new QLineEdit;
    edNewFileName->setObjectName("edNewFileName");
    Label2->setBuddy(edNewFileName);
    brManualRename = new QPushButton("&Rename");
    brManualRename->setObjectName("brManualRename");
    names->addWidget(Label1, 0, 0);
    names->addWidget(edCurrentFileName, 0, 1, 1, 2);
    names->addWidget(Label2, 1, 0);
    names->addWidget(edNewFileName, 1, 1);
    names->addWidget(brManualRename, 1, 2);
    names->setColumnStretch(1, 1);
    edNewFileName->setMinimumWidth(fontMetrics().horizontalAdvance('x') * 48);
    outer->addWidget(Panel1);

    GroupBox1 = new QGroupBox("Information");
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
        {"Artist:", Artist, 0, 0, 1},     {"Album:", Album, 1, 0, 1},         {"Title:", Title, 2, 0, 1},
        {"Year:", Year, 3, 0, 1},         {"Genre:", Genre, 4, 0, 1},         {"Track:", Track, 5, 0, 1},
        {"Duration:", Duration, 0, 2, 1}, {"Bitrate:", Bitrate, 1, 2, 1},     {"Samplerate:", SampleRate, 2, 2, 1},
        {"Channels:", Channels, 3, 2, 1}, {"Size:", Size, 4, 2, 1},
        // "Other" holds the longest texts (encoder, version and compression mode): it spans both halves.
        {"Other:", Other, 6, 0, 3},
    };
    for (const auto& b : boxes) {
        auto* label = new QLabel(b.text);
        label->setBuddy(b.box);
        grid->addWidget(label, b.row, b.column);
        grid->addWidget(b.box, b.row, b.column + 1, 1, b.span);
    }
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 2);
    outer->addWidget(GroupBox1);

    auto* buttons = new QHBoxLayout;
    btPlay = new QPushButton(style()->standardIcon(QStyle::SP_MediaPlay), "&Play");
    btPlay->setObjectName("btPlay");
    btPlay->setIconSize(QSize(32, 32));
    btClose = new QPushButton("&Close");
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
    connect(edNewFileName, &QLineEdit::returnPressed, this, &TInfoForm::brManualRenameClick);
    connect(btPlay, &QPushButton::clicked, this, &TInfoForm::btPlayClick);
    connect(btClose, &QPushButton::clicked, this, &QDialog::accept);
    setTabOrder(edNewFileName, brManualRename);

    FormCreate();
    edNewFileName->setFocus(Qt::OtherFocusReason);
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
}

void TInfoForm::Readinfo()
{
    const TFileInfoValues v = ReadFileInfo(m_infoFileName.toStdString());
    const std::pair<QLineEdit*, const std::string*> fill[] = {
        {Artist, &v.Artist},     {Album, &v.Album},       {Title, &v.Title},           {Year, &v.Year},
        {Genre, &v.Genre},       {Track, &v.Track},       {Duration, &v.Duration},     {Bitrate, &v.Bitrate},
        {SampleRate, &v.SampleRate}, {Channels, &v.Channels}, {Size, &v.Size},          {Other, &v.Other},
    };
    for (const auto& [box, text] : fill) {
        box->setText(QString::fromStdString(*text));
        box->setCursorPosition(0);
    }
}

void TInfoForm::btPlayClick()
{
    if (fileExists(m_infoFileName.toStdString())) OpenWithDesktop(m_infoFileName);
}

void TInfoForm::brManualRenameClick()
{
    const QString typed = edNewFileName->text();
    if (typed.isEmpty()) return;
    const QByteArray current = bareName(m_infoFileName);
    // The name as shown keeps its bytes: a name that is not UTF-8 is shown converted.
    const QByteArray wanted = typed == QFile::decodeName(current) ? current : typed.toUtf8();
    const std::optional<std::string> cleaned = CleanTypedName(wanted.toStdString());
    if (!cleaned) {
        renameFailed(QString::fromStdString(InvalidNameReason()));
        return;
    }
    const QByteArray target = QByteArray::fromStdString(*cleaned);
    if (target == current) {
        showNames(); // trailing spaces or dots typed after the same name
        return;
    }
    const QByteArray newPath = folderOf(m_infoFileName) + target;
    // Success is what the move returns, never an errno left from earlier calls.
    IoResult moved = RenameFileJournaled(m_infoFileName.toStdString(), target.toStdString());
    if (!moved) {
        renameFailed(QString::fromStdString(moved.error));
        return;
    }
    m_infoFileName = newPath;
    showNames();
}

void TInfoForm::renameFailed(const QString& reason)
{
    const QString text = QString::fromStdString(
        RenameErrorLine(QFile::decodeName(m_infoFileName).toStdString(), reason.toStdString()));
    auto* box = new QMessageBox(QMessageBox::Critical, "Renaming failed", text, QMessageBox::Ok, this);
    box->setObjectName("RenameFailedMessage");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace cantorix
