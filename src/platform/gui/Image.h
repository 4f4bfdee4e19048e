#pragma once

#include "Bitmap.h"

#include <QWidget>

// A picture on a form: shows its bitmap at the top left, unscaled. With
// AutoSize the control takes the picture's size whenever it gets one.
class TImage : public QWidget {
public:
    TImage(QWidget* parent, int left, int top, int width, int height);

    const TBitmap& Picture() const { return m_picture; }
    // Copies the picture (the pixels are shared until either side draws).
    void SetPicture(const TBitmap& picture);

    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool value);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TBitmap m_picture;
    bool m_autoSize = false;
};
