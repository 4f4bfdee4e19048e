#include "Kompass.h"
#include "TestSupport.h"

#include <QImage>
#include <cmath>

namespace {

QPoint gedreht(QPoint p, double winkel)
{
    DrehePunkt(p, winkel);
    return p;
}

TColor px(const QImage& bild, int x, int y)
{
    return QColorToColor(QColor(bild.pixel(x, y)));
}

TColor px(const TKompass& k, int x, int y)
{
    return px(k.Bild().Image(), x, y);
}

// Probes of the 235 x 236 dial: centre (117, 118), needle pivot (117, 116).
constexpr QPoint kNadelGrau(120, 106);    // right half of a needle pointing north
constexpr QPoint kSektor0(120, 78);       // bearing 4, 40 px out
constexpr QPoint kSektor9(156, 121);      // bearing 94, 40 px out
constexpr QPoint kSektor20Innen(106, 140); // bearing 207, 25 px out
constexpr QPoint kSektor20Aussen(102, 149); // bearing 204, 34 px out

} // namespace

TEST(KompassGeometrie, DrehePunktTurnsClockwiseThroughTheTablesAndWrapsEveryAngle)
{
    const QPoint spitze(0, -80);
    EXPECT_EQ(gedreht(spitze, 0), QPoint(0, -80));
    EXPECT_EQ(gedreht(spitze, 90), QPoint(80, 0));
    EXPECT_EQ(gedreht(spitze, 45), QPoint(57, -57));
    EXPECT_EQ(gedreht(spitze, 180), QPoint(0, 80));
    EXPECT_EQ(gedreht(QPoint(0, -100), 10), QPoint(17, -98));
    EXPECT_EQ(gedreht(spitze, 370), gedreht(spitze, 10));
    EXPECT_EQ(gedreht(spitze, 359.96), spitze);   // k = 3600 mod 3600
    EXPECT_EQ(gedreht(spitze, -90), gedreht(spitze, 270));
    // 1e21 tenths leave 2800 over a whole number of turns: no integer
    // conversion out of range on the way.
    EXPECT_EQ(gedreht(spitze, 1e20), gedreht(spitze, 280));
    for (double kaputt : {std::nan(""), HUGE_VAL, -HUGE_VAL})
        EXPECT_EQ(gedreht(spitze, kaputt), spitze) << kaputt;

    EXPECT_TRUE(KompassZeigtRichtung(0));
    EXPECT_TRUE(KompassZeigtRichtung(1e300));
    for (double keine : {-1.0, -0.0001, std::nan(""), HUGE_VAL})
        EXPECT_FALSE(KompassZeigtRichtung(keine)) << keine;
}

TEST(KompassGeometrie, SectorsAreYellowToRedWithRadiusFromTheirLength)
{
    EXPECT_EQ(KompassSektorFarbe(255), static_cast<TColor>(0x0000FF));
    EXPECT_EQ(KompassSektorFarbe(0), static_cast<TColor>(0x00FFFF));
    EXPECT_EQ(KompassSektorFarbe(127.5), static_cast<TColor>(0x007FFF));   // Round(127.5) = 128
    EXPECT_EQ(KompassSektorFarbe(63.75), static_cast<TColor>(0x00BFFF));
    EXPECT_EQ(KompassSektorFarbe(300), KompassSektorFarbe(255));
    EXPECT_EQ(KompassSektorFarbe(std::nan("")), KompassSektorFarbe(0));
    EXPECT_EQ(KompassSektorRadius(255), 60);
    EXPECT_EQ(KompassSektorRadius(128), 30);
    EXPECT_EQ(KompassSektorRadius(140), 33);   // 32.94 rounds up
    EXPECT_EQ(KompassSektorRadius(1), 0);

    TKompassVerlauf v{};
    v[0] = {255, 255, true};
    v[9] = {0, 128, true};
    v[20] = {100, 1, true};    // no area: not drawn
    v[30] = {255, 255, false}; // not occupied
    const std::vector<TKompassKeil> keile = KompassKeile(v, 235, 236);
    ASSERT_EQ(keile.size(), 2u);
    // Counter-clockwise from the sector's far edge back to its start.
    EXPECT_EQ(keile[0].Sektor, 0);
    EXPECT_EQ(keile[0].Mitte, QPoint(117, 118));
    EXPECT_EQ(keile[0].Radius, 60);
    EXPECT_EQ(keile[0].Start, QPoint(117 + 17, 118 - 98));
    EXPECT_EQ(keile[0].Ende, QPoint(117, 118 - 100));
    EXPECT_EQ(keile[0].Farbe, clRed);
    EXPECT_EQ(keile[1].Sektor, 9);
    EXPECT_EQ(keile[1].Radius, 30);
    EXPECT_EQ(keile[1].Start, QPoint(117, 118) + gedreht(QPoint(0, -100), 100));
    EXPECT_EQ(keile[1].Ende, QPoint(117 + 100, 118));
    EXPECT_EQ(keile[1].Farbe, clYellow);
}

TEST(KompassGeometrie, NeedleTipLies80PixelsFromThePivotTwoAboveTheCentre)
{
    const TKompassNadel n0 = KompassNadel(0, 235, 236);
    EXPECT_EQ(n0.Links, (std::array<QPoint, 3>{QPoint(117, 126), QPoint(107, 116), QPoint(117, 36)}));
    EXPECT_EQ(n0.Rechts, (std::array<QPoint, 3>{QPoint(117, 126), QPoint(127, 116), QPoint(117, 36)}));
    EXPECT_EQ(KompassNadel(90, 235, 236).Links[2], QPoint(197, 116));
    EXPECT_EQ(KompassNadel(45, 235, 236).Links[2], QPoint(117 + 57, 116 - 57));
    EXPECT_EQ(KompassNadel(370, 235, 236).Rechts, KompassNadel(10, 235, 236).Rechts);
}

using KompassTest = GermanSettings;

TEST_F(KompassTest, DrawsDialNeedleAndHistoryOverItsColour)
{
    TKompass k;
    k.resize(235, 236);
    k.SetColor(clAqua);
    ASSERT_FALSE(k.Hintergrund().Empty());
    ASSERT_EQ(k.Bild().Width(), 235);
    ASSERT_EQ(k.Bild().Height(), 236);
    // The silver corners let the control's colour through.
    EXPECT_EQ(px(k, 0, 0), clAqua);
    EXPECT_EQ(px(k, 234, 235), clAqua);

    k.Verlauf[0] = {255, 255, true};
    k.Verlauf[9] = {0, 255, true};
    k.Verlauf[20] = {127.5, 128, true};
    // No direction: the dial alone, the history not either.
    k.SetPosition(-1);
    for (QPoint p : {kNadelGrau, kSektor0, kSektor9, kSektor20Innen})
        EXPECT_EQ(px(k, p.x(), p.y()), clWhite) << p.x() << "," << p.y();

    k.SetPosition(0);
    EXPECT_EQ(px(k, kNadelGrau.x(), kNadelGrau.y()), clGray);
    EXPECT_EQ(px(k, 114, 106), clWhite);   // the white half
    EXPECT_EQ(px(k, kSektor9.x(), kSektor9.y()), clYellow);
    EXPECT_EQ(px(k, kSektor20Innen.x(), kSektor20Innen.y()), static_cast<TColor>(0x007FFF));
    EXPECT_EQ(px(k, kSektor20Aussen.x(), kSektor20Aussen.y()), clWhite);
    EXPECT_EQ(px(k, 117, 118 + 61), clWhite);   // beyond the longest sector

    // Pointing down the needle leaves sector 0 to the history; its outline is
    // black all round.
    k.SetPosition(180);
    EXPECT_EQ(px(k, kSektor0.x(), kSektor0.y()), clRed);
    EXPECT_EQ(px(k, 112, 140), clGray);
    EXPECT_EQ(px(k, 117, 116 + 79), clBlack);

    // The owner rewrites the history and sets the same position: drawn anew.
    k.Verlauf[0] = {};
    k.SetPosition(180);
    EXPECT_EQ(px(k, kSektor0.x(), kSektor0.y()), clWhite);

    k.SetZeigeVerlauf(false);
    EXPECT_EQ(px(k, kSektor9.x(), kSektor9.y()), clWhite);
    EXPECT_EQ(px(k, 112, 140), clGray);

    // A colour set after the first picture reaches the corners.
    k.SetColor(clLime);
    EXPECT_EQ(px(k, 0, 0), clLime);
    EXPECT_EQ(px(k, 234, 235), clLime);

    // Directions no integer holds wrap or show the dial alone.
    k.SetZeigeVerlauf(true);
    k.SetPosition(1e20);   // like 280
    EXPECT_EQ(px(k, 117 - 40, 116 - 10), clGray);
    k.SetPosition(std::nan(""));
    EXPECT_EQ(px(k, kSektor9.x(), kSektor9.y()), clWhite);
    EXPECT_EQ(px(k, 117 - 40, 116 - 10), clWhite);
}

TEST_F(KompassTest, ALargerControlShowsTheDialStretchedAndAutoSizeTakesItsSize)
{
    TKompass k;
    k.resize(470, 472);
    k.Verlauf[0] = {255, 255, true};
    k.SetPosition(180);
    const QImage bild = k.grab().toImage();
    ASSERT_EQ(bild.size(), QSize(470, 472));
    EXPECT_EQ(px(bild, 2 * kSektor0.x() + 1, 2 * kSektor0.y() + 1), clRed);
    EXPECT_EQ(px(bild, 2 * 112 + 1, 2 * 140 + 1), clGray);
    EXPECT_EQ(px(bild, 3, 3), ColorToRGB(clBtnFace));

    // A history rewritten without a new direction shows with the next paint.
    k.Verlauf[0] = {};
    EXPECT_EQ(px(k.grab().toImage(), 2 * kSektor0.x() + 1, 2 * kSektor0.y() + 1), clWhite);

    k.SetAutoSize(true);
    EXPECT_EQ(k.size(), QSize(235, 236));
}
