#include "Screen.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

namespace {

ScreenInfo realScreen;
ScreenInfo* current = &realScreen;

QSize primarySize()
{
    const QScreen* screen = qGuiApp ? QGuiApplication::primaryScreen() : nullptr;
    return screen ? screen->geometry().size() : QSize(0, 0);
}

} // namespace

int ScreenInfo::Width() const
{
    return primarySize().width();
}

int ScreenInfo::Height() const
{
    return primarySize().height();
}

QPoint ScreenInfo::CursorPos() const
{
    return QCursor::pos();
}

ScreenInfo& Screen()
{
    return *current;
}

void SetScreenInfo(ScreenInfo* info)
{
    current = info ? info : &realScreen;
}
