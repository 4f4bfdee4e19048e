#include "Canvas.h"
#include "RegenMesser.h"
#include "TestSupport.h"

#include <climits>
#include <iterator>
#include <limits>

namespace {

constexpr TColor kUmgebung = clAqua;
constexpr TColor kWasser = clBlue;
constexpr TColor kSkala = clRed;

TColor px(const TRegenMesser& m, int x, int y)
{
    const QImage& img = m.Bild().Image();
    if (!img.valid(x, y))
        return clNone;
    return QColorToColor(QColor(img.pixel(x, y)));
}

// As the picture window sets it up, in colours that tell the parts apart.
void messer(TRegenMesser& m, int intervall = 10)
{
    m.resize(111, 241);
    m.SetColor(kUmgebung);
    m.SetSkalaInterval(intervall);
    m.SetAnzeigeInterval(5);
    m.SetFarbe(kWasser);
    m.SetBeschrFarbe(kSkala);
}

TRegenSkala skala(long long unten, long long oben)
{
    return TRegenSkala{unten, oben};
}

} // namespace

TEST(RegenMesserSkala, SlidesOnlyWhenTheAmountLeavesItAndRecentresOnANewInterval)
{
    // 10.4, then 12.6, then 3.2 on a scale of 10 that starts at 0..10.
    TRegenSkala s = skala(0, 10);
    s = RegenSkalaNachPosition(s, 10, 10.4);
    EXPECT_EQ(s, skala(1, 11));
    s = RegenSkalaNachPosition(s, 10, 12.6);
    EXPECT_EQ(s, skala(4, 14));
    s = RegenSkalaNachPosition(s, 10, 3.2);
    EXPECT_EQ(s, skala(3, 13));
    // Inside, on either end included, the scale stays.
    for (double v : {3.0, 8.0, 13.0})
        EXPECT_EQ(RegenSkalaNachPosition(s, 10, v), s) << v;
    // 11.5 rounds to the even 12: the top is 13.
    EXPECT_EQ(RegenSkalaNachPosition(skala(0, 10), 10, 11.5), skala(3, 13));

    // Recentring: Round(7.5) = 8 and Round(6.5) = 6; never below 0.
    EXPECT_EQ(RegenSkalaZentriert(12.5, 10), skala(8, 18));
    EXPECT_EQ(RegenSkalaZentriert(11.5, 10), skala(6, 16));
    EXPECT_EQ(RegenSkalaZentriert(3, 20), skala(0, 20));
    EXPECT_EQ(RegenSkalaZentriert(-3, 10), skala(0, 10));
    EXPECT_EQ(RegenSkalaZentriert(5, 10), skala(0, 10));
    EXPECT_EQ(RegenSkalaZentriert(std::numeric_limits<double>::quiet_NaN(), 10), skala(0, 10));
}

TEST(RegenMesserSkala, AnIntervalOfOneKeepsThePositiveAmountInView)
{
    // Round(5.6) + 1 as the top would put the bottom at 6, above 5.6.
    EXPECT_EQ(RegenSkalaNachPosition(skala(0, 1), 1, 5.6), skala(5, 6));
    EXPECT_EQ(RegenSkalaNachPosition(skala(0, 1), 1, 5.4), skala(5, 6));
    EXPECT_EQ(RegenSkalaZentriert(5.6, 1), skala(5, 6));
    EXPECT_EQ(RegenSkalaZentriert(5.4, 1), skala(5, 6));
    // Below zero there is no water to keep in view: the plain rule holds.
    EXPECT_EQ(RegenSkalaNachPosition(skala(0, 10), 10, -2.5), skala(-2, 8));
}

TEST(RegenMesserSkala, AmountsFarOutStayCountable)
{
    const double inf = std::numeric_limits<double>::infinity();
    const TRegenSkala oben = RegenSkalaNachPosition(skala(0, 10), 10, inf);
    EXPECT_EQ(oben.Oben, static_cast<long long>(RegenMesserGrenze) + 1);
    EXPECT_EQ(oben.Oben - oben.Unten, 10);
    EXPECT_EQ(RegenSkalaNachPosition(skala(0, 10), 10, 1e300), oben);
    const TRegenSkala unten = RegenSkalaNachPosition(skala(0, 10), 10, -inf);
    EXPECT_EQ(unten.Unten, -static_cast<long long>(RegenMesserGrenze));
    EXPECT_EQ(RegenSkalaNachPosition(skala(0, 10), 10, std::numeric_limits<double>::quiet_NaN()), skala(0, 10));
    EXPECT_EQ(RegenSkalaZentriert(inf, INT_MAX).Unten, static_cast<long long>(RegenMesserGrenze - INT_MAX / 2));

    // The row of a value however far off the scale stays near the picture.
    EXPECT_EQ(RegenMesserY(skala(0, 10), 10, 1e300), 215 - 1000);
    EXPECT_EQ(RegenMesserY(skala(0, 10), 10, -inf), 215 + 1000);
    EXPECT_EQ(RegenMesserY(oben, 10, inf), RegenMesserY(oben, 10, RegenMesserGrenze));
}

TEST(RegenMesserSkala, TicksAndLabelsFromTheBottomUp)
{
    // The bottom at row 215, the top at 70; 72.5 rows round to 72.
    EXPECT_EQ(RegenMesserY(skala(0, 10), 10, 0), 215);
    EXPECT_EQ(RegenMesserY(skala(0, 10), 10, 10), 70);
    EXPECT_EQ(RegenMesserY(skala(0, 10), 10, 5), 143);
    EXPECT_EQ(RegenMesserY(skala(3, 13), 10, 8), 143);

    // 0 .. 10 by 14.5 rows, halves to even; long ticks at 0 and 10, a middle
    // one at 5; labels every 5.
    const TRegenStrich soll[] = {{0, 215, 55, true},  {1, 201, 45, false}, {2, 186, 45, false},
                                 {3, 171, 45, false}, {4, 157, 45, false}, {5, 143, 50, true},
                                 {6, 128, 45, false}, {7, 113, 45, false}, {8, 99, 45, false},
                                 {9, 85, 45, false},  {10, 70, 55, true}};
    const auto striche = RegenMesserStriche(skala(0, 10), 10, 5);
    ASSERT_EQ(striche.size(), std::size(soll));
    for (size_t i = 0; i < std::size(soll); ++i) {
        SCOPED_TRACE(soll[i].Wert);
        EXPECT_EQ(striche[i].Wert, soll[i].Wert);
        EXPECT_EQ(striche[i].Y, soll[i].Y);
        EXPECT_EQ(striche[i].BisX, soll[i].BisX);
        EXPECT_EQ(striche[i].Beschriftet, soll[i].Beschriftet);
    }
    // Labels every 3 from a scale that starts at 2: at 3, 6, 9, 12.
    const auto dritte = RegenMesserStriche(skala(2, 12), 10, 3);
    ASSERT_EQ(dritte.size(), 11u);
    for (const TRegenStrich& s : dritte)
        EXPECT_EQ(s.Beschriftet, s.Wert == 3 || s.Wert == 6 || s.Wert == 9 || s.Wert == 12) << s.Wert;
    // No labels before an interval is set; -10 and -5 count as multiples.
    const auto negativ = RegenMesserStriche(skala(-12, -2), 10, 0);
    ASSERT_EQ(negativ.size(), 11u);
    EXPECT_EQ(negativ.at(2).Wert, -10);
    EXPECT_EQ(negativ.at(2).BisX, 55);
    EXPECT_EQ(negativ.at(7).BisX, 50);
    for (const TRegenStrich& s : negativ)
        EXPECT_FALSE(s.Beschriftet);

    // However wide the scale, the list is bounded.
    EXPECT_EQ(RegenMesserStriche(skala(0, INT_MAX), INT_MAX, 5).size(), size_t(RegenMesserMaxStriche));
    EXPECT_EQ(RegenMesserStriche(skala(LLONG_MAX - 10, LLONG_MAX), 10, 5).size(), 11u);
}

TEST(RegenMesserTest, SettersKeepTheirFloorsAndTheScaleFollowsThePosition)
{
    TRegenMesser m;
    EXPECT_EQ(m.SkalaInterval(), 1);
    EXPECT_EQ(m.AnzeigeInterval(), 0);
    m.resize(111, 241);
    for (int v : {0, -7}) {
        m.SetSkalaInterval(v);
        EXPECT_EQ(m.SkalaInterval(), 1);
        m.SetAnzeigeInterval(v);
        EXPECT_EQ(m.AnzeigeInterval(), 1);
    }
    m.SetSkalaInterval(10);
    m.SetPosition(10.4);
    EXPECT_EQ(m.Skala(), skala(1, 11));
    m.SetSkalaInterval(20);
    EXPECT_EQ(m.Skala(), skala(0, 20));
    m.SetPosition(std::numeric_limits<double>::infinity());
    EXPECT_EQ(m.Skala().Oben - m.Skala().Unten, 20);
}

TEST(RegenMesserTest, WaterFillsTheGlassUpToItsLevelBehindTheScale)
{
    TRegenMesser m;
    messer(m);
    m.SetPosition(5.0);   // 0..10, the surface at row 143

    // Round the glass the control's colour; no silver is left.
    EXPECT_EQ(px(m, 2, 2), kUmgebung);
    EXPECT_EQ(px(m, 105, 120), kUmgebung);
    int silber = 0;
    for (int y = 0; y < 241; ++y)
        for (int x = 0; x < 111; ++x)
            silber += px(m, x, y) == clSilver;
    EXPECT_EQ(silber, 0);
    // The glass's black wall; white above the water, water below, the
    // surface a black line; none of it outside the glass.
    EXPECT_EQ(px(m, 29, 180), clBlack);
    EXPECT_EQ(px(m, 65, 120), clWhite);
    EXPECT_EQ(px(m, 65, 180), kWasser);
    EXPECT_EQ(px(m, 75, 142), clWhite);
    EXPECT_EQ(px(m, 75, 143), clBlack);
    EXPECT_EQ(px(m, 75, 144), kWasser);
    EXPECT_EQ(px(m, 75, 229), clBlack);
    EXPECT_EQ(px(m, 15, 180), kUmgebung);

    // The scale line from row 68 to 216; long ticks at 0 and 10, a middle
    // one at 5, short ones between.
    EXPECT_EQ(px(m, 35, 67), clWhite);
    EXPECT_EQ(px(m, 35, 68), kSkala);
    EXPECT_EQ(px(m, 35, 216), kSkala);
    EXPECT_EQ(px(m, 35, 217), kWasser);
    EXPECT_EQ(px(m, 54, 70), kSkala);
    EXPECT_EQ(px(m, 55, 70), clWhite);
    EXPECT_EQ(px(m, 54, 215), kSkala);
    EXPECT_EQ(px(m, 49, 143), kSkala);
    EXPECT_EQ(px(m, 50, 143), clBlack);
    EXPECT_EQ(px(m, 44, 113), kSkala);   // 7: 101.5 rows round to 102
    EXPECT_EQ(px(m, 45, 113), clWhite);
    EXPECT_EQ(px(m, 44, 186), kSkala);   // 2
    EXPECT_EQ(px(m, 45, 186), kWasser);
    EXPECT_EQ(px(m, 44, 184), kWasser);

    // The water follows the amount and the colour; none at 0 or below.
    m.SetFarbe(clLime);
    m.SetPosition(8.0);
    EXPECT_EQ(px(m, 65, 120), clLime);
    EXPECT_EQ(px(m, 55, 222), clLime);
    for (double v : {0.0, -3.0}) {
        m.SetPosition(v);
        EXPECT_EQ(px(m, 65, 180), clWhite) << v;
        EXPECT_EQ(px(m, 75, 143), clWhite) << v;
        // Where the scale's bottom and the box below it would hold water.
        EXPECT_EQ(px(m, 55, 216), clWhite) << v;
        EXPECT_EQ(px(m, 55, 222), clWhite) << v;
    }
}

TEST(RegenMesserTest, WaterShowsWithAnIntervalOfOneAndForAmountsBeyondAnyScale)
{
    TRegenMesser m;
    messer(m, 1);
    m.SetPosition(5.6);   // 5..6: the surface 87 rows up, at 128
    EXPECT_EQ(px(m, 75, 127), clWhite);
    EXPECT_EQ(px(m, 75, 128), clBlack);
    EXPECT_EQ(px(m, 65, 180), kWasser);

    // Taken as far out as the scale can count: up to the row of its top
    // less one mark, as for any amount that lifts the scale.
    m.SetSkalaInterval(10);
    for (double v : {1e300, std::numeric_limits<double>::infinity()}) {
        m.SetPosition(0);
        m.SetPosition(v);
        EXPECT_EQ(m.Skala().Oben, static_cast<long long>(RegenMesserGrenze) + 1) << v;
        EXPECT_EQ(px(m, 40, 100), kWasser) << v;
        EXPECT_EQ(px(m, 40, 80), clWhite) << v;
    }
}

TEST(RegenMesserTest, SurroundTakesTheColourAndAutoSizeThePicturesSize)
{
    TRegenMesser m;
    messer(m);
    m.SetColor(clYellow);
    EXPECT_EQ(px(m, 2, 2), clYellow);

    // Stretched onto a larger control, the picture covers it all.
    m.show();
    m.resize(222, 482);
    EXPECT_EQ(m.Bild().Width(), 222);
    EXPECT_EQ(px(m, 4, 4), clYellow);
    EXPECT_EQ(px(m, 130, 240), clWhite);

    m.SetAutoSize(true);
    EXPECT_EQ(m.size(), QSize(111, 241));
    m.resize(50, 60);
    EXPECT_EQ(m.size(), QSize(111, 241));
    EXPECT_EQ(m.Bild().Width(), 111);
}
