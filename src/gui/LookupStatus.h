// The running lookup as the status bar shows it: a busy bar (or the share of a download), the step it
// is at, and Cancel. Hidden while no lookup runs.
#pragma once

#include "core/lookup/LookupSource.h"

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace cantorix {

class TLookupStatus : public QWidget {
    Q_OBJECT
public:
    explicit TLookupStatus(QWidget* parent = nullptr);

    // A lookup began: "Connecting…" with a busy bar, unless it reported its step already.
    void start();
    void showStep(cantorix::TLookupStep step);
    // Bytes of the current download and its announced size (0: none announced, a busy bar).
    void showProgress(qint64 received, qint64 total);
    // Files fingerprinted so far of all.
    void showFiles(int done, int total);
    void stop();

    QProgressBar* LookupProgress = nullptr;
    QLabel* lbLookupStep = nullptr;
    QPushButton* btCancelLookup = nullptr;

signals:
    void cancelRequested();

private:
    bool m_stepShown = false; // a step came since the last stop()
};

} // namespace cantorix
