#include "gui/BatchForm.h"

#include "core/Settings.h"
#include "core/Text.h"
#include "core/album/SettingsValues.h"
#include "gui/Named.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace cantorix {

namespace {

// The outcome as the table shows it.
QString outcomeText(const TBatchResult& r)
{
    switch (r.Outcome) {
    case TBatchOutcome::Renamed: return r.DryRun ? TBatchForm::tr("Would be renamed") : TBatchForm::tr("Renamed");
    case TBatchOutcome::Skipped: return TBatchForm::tr("Renamed before");
    case TBatchOutcome::NoMatch: return TBatchForm::tr("No match");
    case TBatchOutcome::Ambiguous:
        return r.Candidates == 1 ? TBatchForm::tr("Ambiguous (one candidate)")
                                 : TBatchForm::tr("Ambiguous (%n candidates)", nullptr, r.Candidates);
    case TBatchOutcome::Refused: return TBatchForm::tr("Refused");
    case TBatchOutcome::Failed: return TBatchForm::tr("Failed");
    case TBatchOutcome::Cancelled: return TBatchForm::tr("Cancelled");
    }
    return {};
}

// The album's line in the main window's log: what became of which folder, and why.
QString logText(const TBatchResult& r)
{
    QString line;
    switch (r.Outcome) {
    case TBatchOutcome::Renamed:
        line = r.DryRun ? TBatchForm::tr("would rename %1").arg(r.Folder) : TBatchForm::tr("renamed %1").arg(r.Folder);
        break;
    case TBatchOutcome::Skipped: line = TBatchForm::tr("skipped %1").arg(r.Folder); break;
    case TBatchOutcome::NoMatch: line = TBatchForm::tr("no match %1").arg(r.Folder); break;
    case TBatchOutcome::Ambiguous: line = TBatchForm::tr("ambiguous %1").arg(r.Folder); break;
    case TBatchOutcome::Refused: line = TBatchForm::tr("refused %1").arg(r.Folder); break;
    case TBatchOutcome::Failed: line = TBatchForm::tr("failed %1").arg(r.Folder); break;
    case TBatchOutcome::Cancelled: line = TBatchForm::tr("cancelled %1").arg(r.Folder); break;
    }
    return r.Reason.isEmpty() ? line : line + ": " + r.Reason;
}

} // namespace

TBatchForm::TBatchForm(TSettings& settings, const QString& root, const TBatchOptions& options, QWidget* parent)
    : QDialog(parent), m_batch(std::make_unique<TAlbumBatch>(settings)), m_options(options), m_root(root)
{
    setObjectName("BatchForm");
    setWindowTitle(tr("Rename a collection"));
    resize(760, 420);
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(tr("Albums under \"%1\"").arg(root));
    heading->setTextFormat(Qt::PlainText);
    layout->addWidget(heading);

    lvAlbums = named(new QTableWidget(0, 4, this), "lvAlbums");
    lvAlbums->setHorizontalHeaderLabels({tr("Folder"), tr("Outcome"), tr("Album"), tr("Note")});
    lvAlbums->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvAlbums->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvAlbums->setSelectionMode(QAbstractItemView::SingleSelection);
    lvAlbums->verticalHeader()->hide();
    lvAlbums->horizontalHeader()->setStretchLastSection(true);
    lvAlbums->setColumnWidth(ColFolder, 200);
    lvAlbums->setColumnWidth(ColOutcome, 130);
    lvAlbums->setColumnWidth(ColAlbum, 260);
    layout->addWidget(lvAlbums, 1);

    Progress = named(new QProgressBar(this), "Progress");
    layout->addWidget(Progress);
    lbSummary = named(new QLabel(this), "lbSummary");
    lbSummary->setTextFormat(Qt::PlainText);
    lbSummary->setWordWrap(true);
    layout->addWidget(lbSummary);

    auto* buttons = new QHBoxLayout;
    btOpen = named(new QPushButton(tr("&Open in main window"), this), "btOpen");
    btUndo = named(new QPushButton(tr("&Undo the batch"), this), "btUndo");
    btCancel = named(new QPushButton(tr("Cancel"), this), "btCancel");
    for (QPushButton* b : {btOpen, btUndo, btCancel}) b->setAutoDefault(false);
    buttons->addWidget(btOpen);
    buttons->addWidget(btUndo);
    buttons->addStretch();
    buttons->addWidget(btCancel);
    layout->addLayout(buttons);

    connect(btCancel, &QPushButton::clicked, this, &TBatchForm::btCancelClick);
    connect(btOpen, &QPushButton::clicked, this, &TBatchForm::btOpenClick);
    connect(btUndo, &QPushButton::clicked, this, &TBatchForm::btUndoClick);
    connect(lvAlbums, &QTableWidget::itemSelectionChanged, this, &TBatchForm::updateButtons);
    // A double click or Enter on an album does what "Open in main window" does, when that is offered.
    connect(lvAlbums, &QAbstractItemView::activated, this, [this] {
        if (btOpen->isEnabled()) btOpenClick();
    });
    connect(m_batch.get(), &TAlbumBatch::albumStarted, this, [this](int index, const QString&) { albumStarted(index); });
    connect(m_batch.get(), &TAlbumBatch::albumFinished, this, &TBatchForm::albumFinished);
    connect(m_batch.get(), &TAlbumBatch::finished, this, &TBatchForm::batchFinished);

    m_albums = FindAlbums({root}, SupportedExtensionsFromSettings(settings));
    lvAlbums->setRowCount(int(m_albums.size()));
    for (int i = 0; i < m_albums.size(); ++i) {
        QString folder = m_albums[i].Folder.mid(WithSlash(root).size());
        if (folder.isEmpty()) folder = m_albums[i].Folder;
        lvAlbums->setItem(i, ColFolder, new QTableWidgetItem(folder));
        lvAlbums->item(i, ColFolder)->setToolTip(m_albums[i].Folder);
        lvAlbums->setItem(i, ColOutcome, new QTableWidgetItem(tr("Waiting")));
        lvAlbums->setItem(i, ColAlbum, new QTableWidgetItem);
        lvAlbums->setItem(i, ColNote, new QTableWidgetItem);
    }
    Progress->setRange(0, std::max<int>(1, int(m_albums.size())));
    Progress->setValue(0);
    const int count = int(m_albums.size());
    lbSummary->setText(count == 0   ? tr("No album folders found.")
                       : count == 1 ? tr("One album found.")
                                    : tr("%n albums found.", nullptr, count));
    updateButtons();
}

TBatchForm::~TBatchForm() = default;

void TBatchForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    start();
}

void TBatchForm::start()
{
    if (m_started || m_albums.isEmpty()) return;
    m_started = true;
    const int count = int(m_albums.size());
    emit logLine((count == 1 ? tr("Renaming the collection under \"%1\": one album")
                             : tr("Renaming the collection under \"%1\": %n albums", nullptr, count))
                     .arg(m_root));
    m_batch->start(m_albums, m_options);
    updateButtons();
}

void TBatchForm::reject()
{
    // Esc and the window's close button cancel a running batch first; runs in progress finish.
    if (m_batch->running()) {
        btCancelClick();
        return;
    }
    QDialog::reject();
}

void TBatchForm::albumStarted(int index)
{
    if (QTableWidgetItem* item = lvAlbums->item(index, ColOutcome)) item->setText(tr("Looking up%1").arg(QChar(0x2026)));
    lvAlbums->scrollToItem(lvAlbums->item(index, ColFolder));
}

void TBatchForm::albumFinished(const TBatchResult& r)
{
    const int i = r.Index;
    if (i < 0 || i >= lvAlbums->rowCount()) return;
    lvAlbums->item(i, ColOutcome)->setText(outcomeText(r));
    lvAlbums->item(i, ColAlbum)->setText(r.Album.isEmpty() ? QString() : r.Artist + QString(" \u2014 ") + r.Album);
    lvAlbums->item(i, ColNote)->setText(r.Reason);
    lvAlbums->item(i, ColNote)->setToolTip(r.Reason);
    Progress->setValue(int(m_batch->results().size()));
    emit logLine(logText(r));
    updateButtons();
}

void TBatchForm::batchFinished()
{
    const QList<TBatchResult>& results = m_batch->results();
    int renamed = 0;
    for (const TBatchResult& r : results) renamed += r.Outcome == TBatchOutcome::Renamed ? 1 : 0;
    const int count = int(m_albums.size());
    const QString summary =
        (count == 1 ? tr("%1 of one album renamed") : tr("%1 of %n albums renamed", nullptr, count)).arg(renamed);
    lbSummary->setText(summary + ".");
    emit logLine(summary);
    updateButtons();
}

void TBatchForm::btCancelClick()
{
    if (m_batch->running()) {
        m_batch->cancel();
        btCancel->setEnabled(false);
        return;
    }
    accept();
}

void TBatchForm::btOpenClick()
{
    const int row = lvAlbums->currentRow();
    if (row < 0 || row >= m_albums.size()) return;
    const TBatchAlbum& album = m_albums[row];
    m_open = album.Discs.isEmpty() ? album.Folder : album.Discs.first();
    accept();
}

void TBatchForm::btUndoClick()
{
    if (m_batch->running() || m_undone) return;
    const TBatchUndoReport report = m_batch->undo();
    m_undone = true;
    for (const QString& line : report.Lines) emit logLine(line);
    for (const TBatchResult& r : m_batch->results())
        if (r.Outcome == TBatchOutcome::Renamed && !r.DryRun) lvAlbums->item(r.Index, ColOutcome)->setText(tr("Undone"));
    // English has no plural forms of its own in the translations: one is said in words.
    lbSummary->setText((report.Albums == 1 ? tr("Undone: one album") : tr("Undone: %n albums", nullptr, report.Albums)) +
                       (report.LeftAlone == 1   ? tr("; one left alone (see the log)")
                        : report.LeftAlone > 1 ? tr("; %n left alone (see the log)", nullptr, report.LeftAlone)
                                               : QString()));
    updateButtons();
}

void TBatchForm::updateButtons()
{
    const bool running = m_batch->running();
    btCancel->setText(running || !m_started ? tr("Cancel") : tr("Close"));
    if (!running) btCancel->setEnabled(true);
    const int row = lvAlbums->currentRow();
    bool openable = false;
    for (const TBatchResult& r : m_batch->results())
        if (r.Index == row) openable = r.Outcome != TBatchOutcome::Renamed && r.Outcome != TBatchOutcome::Skipped;
    btOpen->setEnabled(!running && openable);
    bool renamed = false;
    for (const TBatchResult& r : m_batch->results()) renamed = renamed || (r.Outcome == TBatchOutcome::Renamed && !r.DryRun);
    btUndo->setEnabled(!running && renamed && !m_undone);
}

} // namespace cantorix
