// Windows that fit the screen: a dialog's first size is the size it was designed with where the screen
// has room for it, so that its buttons never open off a small screen.
#pragma once

#include <algorithm>

#include <QGuiApplication>
#include <QMargins>
#include <QRect>
#include <QScreen>
#include <QSize>
#include <QWidget>

namespace cantorix {

// A window placement that does not fit the screen at its top left (one from a larger screen, or a first
// start's on a small one), shrunk to that screen's free area and moved into it.
inline QRect PlacementWithinScreen(QRect placed)
{
    const QScreen* screen = QGuiApplication::screenAt(placed.topLeft());
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return placed;
    const QRect free = screen->availableGeometry();
    placed.setSize(placed.size().boundedTo(free.size()));
    placed.moveLeft(std::clamp(placed.left(), free.left(), free.right() + 1 - placed.width()));
    placed.moveTop(std::clamp(placed.top(), free.top(), free.bottom() + 1 - placed.height()));
    return placed;
}

// The geometry of a window whose frame (`frame`, what the window manager adds around it) must lie
// inside `area`: its own size where that fits, else shrunk by what does not; moved inside.
inline QRect FrameWithinArea(QRect window, const QMargins& frame, const QRect& area)
{
    const QSize room = area.size().shrunkBy(frame).expandedTo(QSize(1, 1));
    window.setSize(window.size().boundedTo(room));
    window.moveLeft(std::clamp(window.left(), area.left() + frame.left(), area.right() + 1 - frame.right() - window.width()));
    window.moveTop(std::clamp(window.top(), area.top() + frame.top(), area.bottom() + 1 - frame.bottom() - window.height()));
    return window;
}

// Once `window` is shown and framed, makes it fit its screen's free area with its frame (a window
// manager adds the frame after the window is placed, so the placement alone cannot allow for it). A
// maximized or full-screen window is left as it is.
void KeepFrameOnScreen(QWidget* window);

inline QSize SizeWithinScreen(QSize wanted)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) return wanted.boundedTo(screen->availableSize() * 9 / 10);
    return wanted;
}

} // namespace cantorix
