// A label that never widens its window: each line of its text that is longer than the room it has
// is shown cut with "…", and the tooltip then holds the whole text. text() is always the whole text.
#pragma once

#include <QLabel>

namespace cantorix {

class TElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit TElidedLabel(Qt::TextElideMode mode = Qt::ElideMiddle, QWidget* parent = nullptr);

    // Room for a few characters: the label takes what the layout gives it.
    QSize minimumSizeHint() const override;
    // The text as shown now.
    QString shownText() const;
    bool isElided() const { return shownText() != text(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    Qt::TextElideMode m_mode;
};

} // namespace cantorix
