#include "gui/Messages.h"

#include "core/rename/RenameJournal.h"
#include "core/rename/RenameLines.h"
#include "core/rename/RenameRun.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

namespace cantorix {

void ShowAboutBox(QWidget* parent)
{
    auto* box = new QMessageBox(QMessageBox::Information, QCoreApplication::translate("Messages", "About Cantorix"),
        QString("<b>Cantorix %1</b>").arg(QCoreApplication::applicationVersion()), QMessageBox::Ok, parent);
    box->setObjectName("AboutMessage");
    box->setInformativeText(QCoreApplication::translate("Messages",
        "Names the files of ripped audio albums from the freedb/CDDB music database or from their own "
        "tags.\n\nLicensed under the GNU General Public License, version 3 or later. It comes with no "
        "warranty."));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void ShowRenameReport(QWidget* parent, const TRenameReport& report)
{
    if (!report.anyFailure()) return;
    QStringList reasons;
    auto shown = [](const std::string& s) { return QString::fromStdString(s); };
    for (const TRenameRowReport& r : report.Rows) {
        if (reasons.size() >= 3) break;
        if (!r.Moved) reasons << QString("\"%1\": %2").arg(shown(r.OldName), shown(r.MoveError));
        else if (r.Tags == TRenameRowReport::TTags::Failed)
            reasons
                << QCoreApplication::translate("Messages", "\"%1\": tags: %2").arg(shown(r.NewName), shown(r.TagError));
    }
    if (reasons.size() < 3 && !report.FolderError.empty())
        reasons << QCoreApplication::translate("Messages", "Folder: %1").arg(shown(report.FolderError));
    if (reasons.size() < 3 && !report.PlaylistError.empty())
        reasons << QCoreApplication::translate("Messages", "Playlist: %1").arg(shown(report.PlaylistError));
    // One message for the whole run, not one per row; the log holds every line.
    auto* box = new QMessageBox(QMessageBox::Warning, QCoreApplication::translate("Messages", "Renaming"),
        shown(RenameSummaryText(report)) + ".", QMessageBox::Ok, parent);
    box->setObjectName("RenameReportMessage");
    box->setInformativeText(reasons.join("\n"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void ShowUnfinishedRunBox(QWidget* parent, std::function<void()> undo)
{
    auto* box = new QMessageBox(QMessageBox::Warning, QCoreApplication::translate("Messages", "Renaming"),
        QString::fromStdString(TrLine(UnfinishedRunText)), QMessageBox::NoButton, parent);
    box->setObjectName("UnfinishedRunMessage");
    QPushButton* undoButton =
        box->addButton(QCoreApplication::translate("Messages", "&Undo that run"), QMessageBox::AcceptRole);
    box->addButton(QMessageBox::Cancel);
    box->setDefaultButton(undoButton);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(undoButton, &QPushButton::clicked, box, std::move(undo));
    box->open();
}

QString OpenFailedText(const QString& what)
{
    return QCoreApplication::translate("Messages", "No program is set up to open \"%1\"").arg(what);
}

void ShowOpenFailedBox(QWidget* parent, const QString& text)
{
    auto* box = new QMessageBox(QMessageBox::Warning, QCoreApplication::translate("Messages", "Cannot open"), text + ".",
                                QMessageBox::Ok, parent);
    box->setObjectName("OpenFailedMessage");
    box->setInformativeText(QCoreApplication::translate(
        "Messages", "Choose a program for this kind of file in the desktop's settings (its default applications)."));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

bool AskReplaceCover(QWidget* parent, const QString& path)
{
    QMessageBox box(QMessageBox::Question, QCoreApplication::translate("Messages", "Front cover"),
                    QCoreApplication::translate("Messages", "\"%1\" is there already. Replace it with the album's front cover?")
                        .arg(path),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setObjectName("ReplaceCoverMessage");
    box.setInformativeText(QCoreApplication::translate(
        "Messages", "The old image is kept as folder.previous.jpg, and Undo gives it its name back."));
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void ShowTimeoutBox(const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok);
    box.setObjectName("TimeoutMessage");
    box.exec();
}

} // namespace cantorix
