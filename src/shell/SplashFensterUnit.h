#pragma once

#include "InfoDlgs.h"

#include <QFrame>
#include <QLabel>
#include <QWidget>

// The splash form: borderless, always on top, centred on the screen, named
// "Splash" so that display windows can find it and bring it to the front.
class TSplashFenster : public QWidget {
public:
    explicit TSplashFenster(QWidget* AOwner = nullptr);

    QFrame* Bevel1 = nullptr;
    QLabel* Image1 = nullptr;
    TSchattenLabel* TitelRxLabel = nullptr;
    TSchattenLabel* RxLabel1 = nullptr;
    QLabel* AnschriftLabel1 = nullptr;
};
