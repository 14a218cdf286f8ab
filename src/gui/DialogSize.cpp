#include "gui/DialogSize.h"

#include <QEvent>
#include <QTimer>

namespace cantorix {

namespace {

// Waits for the first show of its window, then for the frame the window manager gives it.
class TFrameKeeper : public QObject {
public:
    explicit TFrameKeeper(QWidget* window) : QObject(window), m_window(window)
    {
        window->installEventFilter(this);
        m_timer.setInterval(50);
        connect(&m_timer, &QTimer::timeout, this, &TFrameKeeper::check);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_window && event->type() == QEvent::Show && !m_timer.isActive()) m_timer.start();
        return QObject::eventFilter(watched, event);
    }

private:
    void check()
    {
        const QRect inner = m_window->geometry(), outer = m_window->frameGeometry();
        // The frame's size comes a little after the window is mapped; without a window manager, never.
        if (inner == outer && ++m_tries < MaxTries) return;
        m_timer.stop();
        deleteLater();
        const QScreen* screen = m_window->screen();
        if (inner == outer || !screen || (m_window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) return;
        const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                             outer.bottom() - inner.bottom());
        const QRect fitted = FrameWithinArea(inner, frame, screen->availableGeometry());
        if (fitted != inner) m_window->setGeometry(fitted);
    }

    static constexpr int MaxTries = 40; // two seconds
    QWidget* m_window;
    QTimer m_timer;
    int m_tries = 0;
};

} // namespace

void KeepFrameOnScreen(QWidget* window) { new TFrameKeeper(window); }

} // namespace cantorix
