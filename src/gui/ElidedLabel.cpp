#include "gui/ElidedLabel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStringList>
#include <QStyle>
#include <QToolTip>

namespace cantorix {

TElidedLabel::TElidedLabel(Qt::TextElideMode mode, QWidget* parent) : QLabel(parent), m_mode(mode)
{
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

QSize TElidedLabel::minimumSizeHint() const
{
    const QMargins m = contentsMargins();
    return {fontMetrics().horizontalAdvance(QStringLiteral("xxxxxxxx")) + m.left() + m.right(),
            QLabel::minimumSizeHint().height()};
}

QString TElidedLabel::shownText() const
{
    // Line by line, so that each keeps its beginning (what it is about) in view.
    QStringList lines = text().split('\n');
    for (QString& line : lines) line = fontMetrics().elidedText(line, m_mode, contentsRect().width());
    return lines.join('\n');
}

void TElidedLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawFrame(&painter);
    style()->drawItemText(&painter, contentsRect(), int(alignment()), palette(), isEnabled(),
                          shownText(), foregroundRole());
}

bool TElidedLabel::event(QEvent* event)
{
    // The whole text, but only where the line is cut: a tooltip that repeats the line is noise.
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        if (isElided())
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text(), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QLabel::event(event);
}

} // namespace cantorix
