// A dialog's first size: the size it was designed with where the screen has room for it, so that its
// buttons never open off a small screen.
#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <QSize>
#include <QWidget>

namespace cantorix {

inline QSize SizeWithinScreen(QSize wanted)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) return wanted.boundedTo(screen->availableSize() * 9 / 10);
    return wanted;
}

} // namespace cantorix
