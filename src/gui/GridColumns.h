// The grid's column widths: each column has the width the user gave it (saved in the settings), and
// the long columns ("Filename", "Track", "New name") share the room the window has beyond those. A
// cell whose text is cut by its column shows the whole text as its tooltip.
#pragma once

#include <QObject>

#include <array>

class QTableView;

namespace cantorix {

class TGridColumns : public QObject {
    Q_OBJECT
public:
    static constexpr int Count = 5;

    // Follows `grid`'s size and its header's resizes from now on.
    explicit TGridColumns(QTableView* grid);

    // The widths the user gave, without the share of spare room.
    int width(int column) const { return column >= 0 && column < Count ? m_widths[size_t(column)] : 0; }
    void setWidth(int column, int width);
    // Sets every column: its own width plus its share of the spare room.
    void fit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The tooltip of the cell at `pos` of the viewport; false when the cell has a tooltip of its own.
    bool showCutText(const QPoint& pos, const QPoint& globalPos);

    QTableView* m_grid;
    QObject* m_viewport; // compared only: events may come while the grid is being destroyed
    std::array<int, Count> m_widths{150, 70, 70, 110, 150};
    std::array<int, Count> m_share{};
    bool m_fitting = false;
    bool m_fitPending = false;
};

} // namespace cantorix
