#include "FensterTestSupport.h"
#include "SystemZeitFensterUnit.h"
#include "TextFensterUnit.h"

#include <QEvent>
#include <QWindow>

namespace {

// Counts how often a widget is brought forward and repainted.
class ZaehleVorholen : public QObject {
public:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::ZOrderChange)
            ++vorgeholt;
        else if (e->type() == QEvent::Paint)
            ++gemalt;
        return false;
    }
    int vorgeholt = 0;
    int gemalt = 0;
};

QPoint raste(int L, int T, const std::vector<TFensterRect>& andere, int W = 40, int H = 30)
{
    return RasteFensterEin(L, T, W, H, andere, 1024, 768);
}

} // namespace

TEST(RasteFensterEin, SnapsToNearEdgesInTheOrderOfTheWindowsAndClamps)
{
    const TFensterRect a{100, 100, 50, 50};   // right edge 150, bottom 150

    // Left edge 3 px right of the other's right edge snaps; 5 px is not near.
    EXPECT_EQ(raste(153, 110, {a}), QPoint(150, 110));
    EXPECT_EQ(raste(155, 110, {a}), QPoint(155, 110));
    EXPECT_EQ(raste(147, 110, {a}), QPoint(150, 110));

    // 2 px below, left edges 4 px apart: docks below and takes the same left.
    EXPECT_EQ(raste(104, 152, {a}), QPoint(100, 150));

    // Each window sees the position the ones before it left.
    const TFensterRect b{196, 100, 50, 50};
    EXPECT_EQ(raste(153, 110, {a, b}), QPoint(150, 110));
    EXPECT_EQ(raste(153, 110, {b, a}), QPoint(156, 110));

    // Screen edges; a window wider than the screen ends at a negative place.
    EXPECT_EQ(raste(-20, -7, {}), QPoint(0, 0));
    EXPECT_EQ(raste(2000, 900, {}), QPoint(1024 - 40, 768 - 30));
    EXPECT_EQ(raste(10, 10, {}, 1100, 30), QPoint(1024 - 1100, 10));
}

TEST_F(FensterTest, DraggingFollowsTheCursorSnapsToOtherWindowsAndHonoursFensterFest)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    auto* fest = Erzeuge<TStandardfenster>(owner, nullptr, QString(), QString(), QStringLiteral("t2m  [°C  ]"), ini, 1);
    auto* uhr = Erzeuge<TSystemzeitFenster>(owner, ini);
    fest->move(100, 100);

    // Grip point 10, 20; cursor so that the clock's left edge lands 3 px
    // right of the other window's right edge.
    const QPoint start = uhr->pos();
    uhr->MoveShapeMouseDown(Qt::LeftButton, 10, 20);
    screen.cursor = QPoint(100 + fest->width() + 3 + 10, 130 + 20);
    uhr->MoveShapeMouseMove(Qt::NoButton, 0, 0);
    EXPECT_EQ(uhr->pos(), start);
    uhr->MoveShapeMouseMove(Qt::LeftButton, 0, 0);
    EXPECT_EQ(uhr->pos(), QPoint(100 + fest->width(), 130));

    // Locked: the press is still recorded, the window stays put.
    owner.fest = true;
    uhr->MoveShapeMouseDown(Qt::RightButton, 3, 4);
    EXPECT_EQ(uhr->MausX, 3);
    EXPECT_EQ(uhr->MausY, 4);
    screen.cursor = QPoint(500, 500);
    uhr->MoveShapeMouseMove(Qt::LeftButton, 0, 0);
    EXPECT_EQ(uhr->pos(), QPoint(100 + fest->width(), 130));

    abbauen(uhr);
    abbauen(fest);
    EXPECT_EQ(owner.komponenten.ComponentCount(), 0);
}

TEST_F(FensterTest, ANewWindowBringsTheSplashFormBackInFront)
{
    QWidget splash(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    splash.setObjectName(QStringLiteral("Splash"));
    splash.resize(100, 100);
    splash.show();
    QWidget anderes;
    anderes.setObjectName(QStringLiteral("Anderes"));
    anderes.show();
    // Shown and exposed, and what that brought is painted: a repaint from
    // now on paints at once.
    ASSERT_TRUE(pumpUntil([&] {
        return splash.windowHandle() && splash.windowHandle()->isExposed() && anderes.windowHandle()
               && anderes.windowHandle()->isExposed();
    }));
    pumpEvents(0);
    ZaehleVorholen splashZaehler;
    ZaehleVorholen andereZaehler;
    splash.installEventFilter(&splashZaehler);
    anderes.installEventFilter(&andereZaehler);

    const QString ini = dir.path(QStringLiteral("v.ini"));
    auto* f = Erzeuge<TStandardfenster>(owner, nullptr, QString(), QString(), QStringLiteral("t2m  [°C  ]"), ini, 1);
    EXPECT_EQ(splashZaehler.vorgeholt, 1);
    EXPECT_GE(splashZaehler.gemalt, 1);
    auto* uhr = Erzeuge<TSystemzeitFenster>(owner, ini);
    EXPECT_EQ(splashZaehler.vorgeholt, 2);
    EXPECT_EQ(andereZaehler.vorgeholt, 0);

    abbauen(uhr);
    abbauen(f);
}
