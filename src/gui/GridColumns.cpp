#include "gui/GridColumns.h"

#include "gui/AlbumTableModel.h"

#include <QEvent>
#include <QHelpEvent>
#include <QStyle>
#include <QToolTip>
#include <QHeaderView>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <iterator>

namespace cantorix {

TGridColumns::TGridColumns(QTableView* grid) : QObject(grid), m_grid(grid), m_viewport(grid->viewport())
{
    grid->viewport()->installEventFilter(this);
    grid->installEventFilter(this);
    connect(grid->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int c, int, int width) {
        if (m_fitting || c < 0 || c >= Count) return;
        // The user resized a column: that is its width now, less the share of spare room it had.
        m_widths[size_t(c)] = std::max(20, width - m_share[size_t(c)]);
        m_share[size_t(c)] = 0;
        fit();
    });
}

void TGridColumns::setWidth(int column, int width)
{
    if (column >= 0 && column < Count) m_widths[size_t(column)] = width;
}

void TGridColumns::fit()
{
    const int sharing[] = {TAlbumTableModel::ColFilename, TAlbumTableModel::ColTrack, TAlbumTableModel::ColNewName};
    const int parts = int(std::size(sharing));
    int used = 0;
    for (int w : m_widths) used += w;
    const int spare = std::max(0, m_grid->viewport()->width() - used);
    m_fitting = true;
    for (int c = 0; c < Count; ++c) {
        int share = 0;
        for (int k = 0; k < parts; ++k)
            if (sharing[k] == c) share = spare / parts + (k == 0 ? spare % parts : 0);
        m_share[size_t(c)] = share;
        m_grid->setColumnWidth(c, m_widths[size_t(c)] + share);
    }
    m_fitting = false;
}

bool TGridColumns::showCutText(const QPoint& pos, const QPoint& globalPos)
{
    const QModelIndex index = m_grid->indexAt(pos);
    if (!index.isValid() || !index.data(Qt::ToolTipRole).toString().isEmpty()) return false;
    const QString text = index.data(Qt::DisplayRole).toString();
    // The room the item view leaves for the text: the cell less the style's text margins.
    const int margin = m_grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_grid) + 1;
    const int room = m_grid->visualRect(index).width() - 2 * margin;
    if (!text.isEmpty() && m_grid->fontMetrics().horizontalAdvance(text) > room)
        QToolTip::showText(globalPos, text, m_grid->viewport(), m_grid->visualRect(index));
    else
        QToolTip::hideText();
    return true;
}

bool TGridColumns::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_viewport && event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (showCutText(help->pos(), help->globalPos())) return true;
    }
    if ((watched == m_viewport || watched == m_grid) &&
        (event->type() == QEvent::Resize || event->type() == QEvent::Show) && !m_fitPending) {
        // Scroll bars come and go while the view settles; fit once it has its final width.
        m_fitPending = true;
        QTimer::singleShot(0, this, [this] {
            m_fitPending = false;
            fit();
        });
    }
    return QObject::eventFilter(watched, event);
}

} // namespace cantorix
