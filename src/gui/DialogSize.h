// Windows that fit the screen: a dialog's first size is the size it was designed with where the screen
// has room for it, so that its buttons never open off a small screen.
#pragma once

#include <algorithm>

#include <QGuiApplication>
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

inline QSize SizeWithinScreen(QSize wanted)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) return wanted.boundedTo(screen->availableSize() * 9 / 10);
    return wanted;
}

} // namespace cantorix
