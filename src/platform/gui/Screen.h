#pragma once

#include <QPoint>

// Size of the primary screen and the mouse cursor position, as windows
// place and drag themselves. Tests install their own.
class ScreenInfo {
public:
    virtual ~ScreenInfo() = default;
    virtual int Width() const;
    virtual int Height() const;
    virtual QPoint CursorPos() const;
};

// Fixed values for tests.
class FixedScreenInfo : public ScreenInfo {
public:
    FixedScreenInfo(int w, int h, QPoint c = {}) : width(w), height(h), cursor(c) {}
    int Width() const override { return width; }
    int Height() const override { return height; }
    QPoint CursorPos() const override { return cursor; }

    int width;
    int height;
    QPoint cursor;
};

ScreenInfo& Screen();
// Not owned; nullptr restores the real screen.
void SetScreenInfo(ScreenInfo* info);
