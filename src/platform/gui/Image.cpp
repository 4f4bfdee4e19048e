#include "Image.h"

#include <QPainter>

TImage::TImage(QWidget* parent, int left, int top, int width, int height) : QWidget(parent)
{
    setGeometry(left, top, width, height);
}

void TImage::SetPicture(const TBitmap& picture)
{
    m_picture.Assign(picture);
    if (m_autoSize && !m_picture.Empty())
        resize(m_picture.Width(), m_picture.Height());
    update();
}

void TImage::SetAutoSize(bool value)
{
    m_autoSize = value;
    if (m_autoSize && !m_picture.Empty())
        resize(m_picture.Width(), m_picture.Height());
}

void TImage::paintEvent(QPaintEvent*)
{
    if (m_picture.Empty())
        return;
    QPainter p(this);
    p.drawImage(0, 0, m_picture.Image());
}
