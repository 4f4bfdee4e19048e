#include "SplashFensterUnit.h"

#include "Dialogs.h"
#include "Screen.h"

namespace {

TFontDesc Arial(int pixel, bool bold = false)
{
    TFontDesc f;
    f.Name = QStringLiteral("Arial");
    f.Height = -pixel;
    f.Bold = bold;
    return f;
}

} // namespace

TSplashFenster::TSplashFenster(QWidget* AOwner)
    : QWidget(AOwner, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Splash"));
    setFixedSize(322, 361);
    move((Screen().Width() - width()) / 2, (Screen().Height() - height()) / 2);

    Bevel1 = new QFrame(this);
    Bevel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Bevel1->setLineWidth(2);
    Bevel1->setGeometry(0, 0, 322, 361);

    Image1 = new QLabel(this);
    Image1->setPixmap(InfoBild());
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setGeometry(71, 12, 180, 180);

    TitelRxLabel = new TSchattenLabel(this, 16, 200, 290, 30, Arial(21));
    TitelRxLabel->setAlignment(Qt::AlignCenter);
    TitelRxLabel->setText(QStringLiteral("Momentanwertanzeige"));
    RxLabel1 = new TSchattenLabel(this, 16, 234, 290, 34, Arial(25, true));
    RxLabel1->setAlignment(Qt::AlignCenter);
    RxLabel1->setText(ApplicationTitle() + u' ' + QString::fromUtf8(Versionstext));

    AnschriftLabel1 = new QLabel(this);
    AnschriftLabel1->setTextFormat(Qt::PlainText);
    AnschriftLabel1->setText(AnschriftText());
    AnschriftLabel1->setFont(ToQFont(Arial(13)));
    AnschriftLabel1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    AnschriftLabel1->setGeometry(16, 276, 290, 76);
}
