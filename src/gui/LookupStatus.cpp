#include "gui/LookupStatus.h"

#include "gui/Named.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

namespace cantorix {

TLookupStatus::TLookupStatus(QWidget* parent) : QWidget(parent)
{
    setObjectName("LookupStatus");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    lbLookupStep = named(new QLabel, "lbLookupStep");
    lbLookupStep->setTextFormat(Qt::PlainText);
    LookupProgress = named(new QProgressBar, "LookupProgress");
    LookupProgress->setTextVisible(false);
    LookupProgress->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("x")) * 16);
    LookupProgress->setMaximumHeight(fontMetrics().height());
    btCancelLookup = named(new QPushButton(tr("&Cancel")), "btCancelLookup");
    btCancelLookup->setAutoDefault(false);
    btCancelLookup->setToolTip(tr("Ends the lookup (Esc)"));
    layout->addWidget(lbLookupStep);
    layout->addWidget(LookupProgress);
    layout->addWidget(btCancelLookup);
    connect(btCancelLookup, &QPushButton::clicked, this, &TLookupStatus::cancelRequested);
    setVisible(false);
}

void TLookupStatus::start()
{
    // A source reports its first step from inside its start, before the workflow says it runs.
    if (!m_stepShown) showStep(TLookupStep::Connecting);
    setVisible(true);
}

void TLookupStatus::showStep(TLookupStep step)
{
    switch (step) {
    case TLookupStep::Fingerprinting: showFiles(0, 0); break;
    case TLookupStep::Connecting: lbLookupStep->setText(tr("Connecting%1").arg(QChar(0x2026))); break;
    case TLookupStep::Searching: lbLookupStep->setText(tr("Querying the database%1").arg(QChar(0x2026))); break;
    case TLookupStep::Reading: lbLookupStep->setText(tr("Reading the album%1").arg(QChar(0x2026))); break;
    }
    m_stepShown = true;
    showProgress(0, 0);
}

void TLookupStatus::showProgress(qint64 received, qint64 total)
{
    if (total <= 0) {
        LookupProgress->setRange(0, 0); // size not announced: a busy bar
        return;
    }
    // In thousandths: the announced size comes from the server and need not fit an int.
    LookupProgress->setRange(0, 1000);
    LookupProgress->setValue(int(std::clamp<qint64>(received, 0, total) * 1000 / total));
}

void TLookupStatus::showFiles(int done, int total)
{
    // The file being fingerprinted: "Fingerprinting 3 of 12".
    const QLocale locale;
    lbLookupStep->setText(total > 0 ? tr("Fingerprinting %1 of %2").arg(locale.toString(std::min(done + 1, total)), locale.toString(total))
                                    : tr("Fingerprinting%1").arg(QChar(0x2026)));
    showProgress(done, total);
}

void TLookupStatus::stop()
{
    m_stepShown = false;
    setVisible(false);
    LookupProgress->setRange(0, 100);
    LookupProgress->setValue(0);
}

} // namespace cantorix
