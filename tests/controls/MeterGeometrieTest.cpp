#include "Bitmap.h"
#include "Canvas.h"
#include "Konstanten.h"
#include "Meter.h"
#include "SysUtils.h"
#include "TestSupport.h"

#include <climits>
#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

std::vector<long long> folge(long long von, long long bis, long long schritt)
{
    std::vector<long long> v;
    for (long long t = von; t <= bis; t += schritt)
        v.push_back(t);
    return v;
}

} // namespace

using MeterGeometrieTest = GermanSettings;

TEST_F(MeterGeometrieTest, ScaleRunsClockwiseFrom135To405ThroughTheTables)
{
    const TMeterSkala s = MeterSkala(800, 1100);
    EXPECT_DOUBLE_EQ(MeterWinkel(s, 800), 135);
    EXPECT_DOUBLE_EQ(MeterWinkel(s, 950), 270);
    EXPECT_DOUBLE_EQ(MeterWinkel(s, 1100), 405);

    // A top at or below the bottom gives a scale of one unit, even at the int limit.
    EXPECT_EQ(MeterSkala(10, 5).Oben, 11);
    EXPECT_EQ(MeterSkala(10, 10).Oben, 11);
    EXPECT_EQ(MeterSkala(INT_MAX, 0).Oben, static_cast<long long>(INT_MAX) + 1);

    // Straight up, lower left, lower right on a dial of 200.
    EXPECT_EQ(MeterPunkt(270, 80, 200), QPoint(100, 20));
    EXPECT_EQ(MeterPunkt(135, 80, 200), QPoint(100 - 57, 100 + 57));
    EXPECT_EQ(MeterPunkt(405, 80, 200), QPoint(100 + 57, 100 + 57));
    EXPECT_EQ(MeterPunkt(180, 80, 200), QPoint(20, 100));
}

TEST_F(MeterGeometrieTest, EveryAngleWrapsIntoTheTables)
{
    EXPECT_EQ(MeterTabellenIndex(405), 450);
    EXPECT_EQ(MeterTabellenIndex(360), 0);
    EXPECT_EQ(MeterTabellenIndex(359.96), 0);
    EXPECT_EQ(MeterTabellenIndex(0.05), 0) << "halves to even";
    EXPECT_EQ(MeterTabellenIndex(0.15), 2);
    EXPECT_EQ(MeterTabellenIndex(-90), 2700);
    EXPECT_EQ(MeterTabellenIndex(-0.04), 0);
    EXPECT_EQ(MeterTabellenIndex(-360.5), 3595);
    for (double a : {-1e300, 1e300, -1e15, 3.7e12, -kInf, kInf, kNaN}) {
        const int k = MeterTabellenIndex(a);
        EXPECT_GE(k, 0) << a;
        EXPECT_LT(k, 3600) << a;
    }
    // Maximum below Minimum: the point of a negative angle, not a failure.
    const TMeterSkala s = MeterSkala(10, 9);
    EXPECT_DOUBLE_EQ(MeterWinkel(s, 9), -135);
    EXPECT_EQ(MeterPunkt(MeterWinkel(s, 9), 80, 200), MeterPunkt(225, 80, 200));
}

TEST_F(MeterGeometrieTest, ShownValueIsQuantisedClampedAndFormatted)
{
    const TMeterSkala s = MeterSkala(0, 100);
    EXPECT_EQ(MeterWertText(MeterAnzeigeWert(20.26, 0.5, s), 1, false), QStringLiteral("20,5"));
    EXPECT_DOUBLE_EQ(MeterAnzeigeWert(20.5, 1, s), 20);
    EXPECT_DOUBLE_EQ(MeterAnzeigeWert(21.5, 1, s), 22);
    EXPECT_DOUBLE_EQ(MeterAnzeigeWert(-3, 1, s), 0);
    EXPECT_DOUBLE_EQ(MeterAnzeigeWert(100.4, 1, s), 100);
    EXPECT_DOUBLE_EQ(MeterAnzeigeWert(1013.25, 0.00001, MeterSkala(800, 1100)), 1013.25);
    EXPECT_EQ(MeterWertText(MeterAnzeigeWert(-7, 0.5, MeterSkala(5, 3)), 2, false), QStringLiteral("5,00"));

    // Huge and infinite values never reach the integer rounding unclamped.
    EXPECT_DOUBLE_EQ(MeterAnzeigeWert(1e300, 0.00001, s), 100);
    EXPECT_DOUBLE_EQ(MeterAnzeigeWert(-1e300, 0.00001, s), 0);
    EXPECT_DOUBLE_EQ(MeterAnzeigeWert(kInf, 1, s), 100);
    EXPECT_DOUBLE_EQ(MeterAnzeigeWert(-kInf, 1, s), 0);
    EXPECT_DOUBLE_EQ(MeterAnzeigeWert(150, 1000, s), 0) << "a coarse quantum still ends on the scale";
    // NaN is no value: shown as "-".
    EXPECT_TRUE(std::isnan(MeterAnzeigeWert(kNaN, 1, s)));
    EXPECT_EQ(MeterWertText(kNaN, 1, false), QStringLiteral("-"));

    EXPECT_EQ(MeterWertText(20, 1, true), QStringLiteral("-"));
    EXPECT_EQ(MeterWertText(20.4, -1, false), QStringLiteral("20")) << "negative decimals count as none";
    EXPECT_EQ(MeterWertText(1015.5, 15, false), QStringLiteral("1015,500000000000000"));
}

TEST_F(MeterGeometrieTest, TicksAreTheMultiplesOfTheStepOnTheScale)
{
    EXPECT_EQ(MeterStriche(MeterSkala(800, 1100), 25, false), folge(800, 1100, 25));
    EXPECT_EQ(MeterStriche(MeterSkala(810, 1100), 25, true), folge(810, 1085, 25));
    EXPECT_EQ(MeterStriche(MeterSkala(810, 1100), 25, false), folge(825, 1100, 25));
    EXPECT_EQ(MeterStriche(MeterSkala(-7, 12), 5, false), folge(-5, 10, 5));
    EXPECT_EQ(MeterStriche(MeterSkala(-7, 12), 5, true), folge(-7, 8, 5));
    EXPECT_EQ(MeterStriche(MeterSkala(3, 0), 10, false), std::vector<long long>{}) << "3..4 holds no ten";
    EXPECT_EQ(MeterStriche(MeterSkala(0, 12), 0, false), folge(0, 12, 1)) << "step at least 1";

    // A scale over the whole int range stops at the cap.
    const auto striche = MeterStriche(MeterSkala(INT_MIN, INT_MAX), 1, false);
    EXPECT_EQ(static_cast<int>(striche.size()), MeterMaxStriche);
    EXPECT_EQ(striche.front(), INT_MIN);
    EXPECT_EQ(MeterStriche(MeterSkala(INT_MIN, INT_MAX), 1000000000, false),
              (std::vector<long long>{-2000000000, -1000000000, 0, 1000000000, 2000000000}));
}

TEST_F(MeterGeometrieTest, SectorsRunFromThePreviousEndToTheClippedBound)
{
    const int D = 200;
    const double r = D / 2.5;
    const TMeterSkala s = MeterSkala(0, 100);
    const QPoint start(0, D);

    TRanges leer;
    auto sek = MeterSektoren(leer, 100, s, D);
    ASSERT_EQ(sek.size(), 1u);
    EXPECT_EQ(sek[0].Von, start);
    EXPECT_EQ(sek[0].Bis, MeterPunkt(405, r, D));
    EXPECT_EQ(sek[0].Farbe, clGreen);

    TRanges b;
    b.Add(clRed, 0, 40);
    b.Add(clYellow, 40, 70);
    b.Add(clBlue, 70, 150);   // clipped to Maximum
    b.Add(clAqua, 90, 200);   // ends where the previous one did
    sek = MeterSektoren(b, 100, s, D);
    ASSERT_EQ(sek.size(), 4u);
    EXPECT_EQ(sek[0].Von, start);
    EXPECT_EQ(sek[0].Bis, MeterPunkt(MeterWinkel(s, 40), r, D));
    EXPECT_EQ(sek[1].Von, sek[0].Bis);
    EXPECT_EQ(sek[1].Bis, MeterPunkt(MeterWinkel(s, 70), r, D));
    EXPECT_EQ(sek[2].Bis, MeterPunkt(405, r, D));
    EXPECT_EQ(sek[3].Von, sek[3].Bis);
    EXPECT_EQ(sek[3].Farbe, clAqua);

    // Bounds far below the scale wrap or land on the scale start; NaN is left out.
    TRanges wild;
    wild.Add(TBereich{0, -1e300, clRed});
    wild.Add(TBereich{0, -std::numeric_limits<double>::infinity(), clLime});
    wild.Add(TBereich{0, kNaN, clBlue});
    wild.Add(TBereich{0, -250, clYellow});
    sek = MeterSektoren(wild, 100, s, D);
    ASSERT_EQ(sek.size(), 3u);
    EXPECT_EQ(sek[0].Bis, MeterPunkt(135, r, D));
    EXPECT_EQ(sek[1].Bis, MeterPunkt(135, r, D));
    EXPECT_EQ(sek[2].Farbe, clYellow);
    EXPECT_EQ(sek[2].Bis, MeterPunkt(135 - 675, r, D));
}

TEST_F(MeterGeometrieTest, ValueBoxTextIs19PointWhenItFitsElseSmallerUntilItFits)
{
    TBitmap bild(10, 10);
    TCanvas& c = bild.Canvas();
    c.Font.Name = QStringLiteral("MS Sans Serif");
    // A seventh of the dial each side of the centre; a quarter below it,
    // one row more above and below the text.
    const TMeterWertBox barometer = MeterWertBox(297, 20);
    EXPECT_EQ(barometer.Links, 106);
    EXPECT_EQ(barometer.Oben, 211);
    EXPECT_EQ(barometer.Rechts, 190);
    EXPECT_EQ(barometer.Unten, 233);
    const TMeterWertBox wind = MeterWertBox(241, 21);
    EXPECT_EQ(wind.Links, 86);
    EXPECT_EQ(wind.Oben, 169);
    EXPECT_EQ(wind.Rechts, 154);
    EXPECT_EQ(wind.Unten, 192);
    for (int D : {297, 241}) {
        c.Font.SetSize(19);
        const TMeterWertBox box = MeterWertBox(D, c.TextHeight(QStringLiteral("0")));

        int w = MeterWertSchriftAnpassen(c, QStringLiteral("12"), D, box);
        EXPECT_EQ(c.Font.Size(), 19) << D;
        EXPECT_EQ(w, c.TextWidth(QStringLiteral("12")));

        for (const QString& text : {QStringLiteral("-1500,0"), QStringLiteral("1015,5"),
                                    QStringLiteral("-1500,000000000000000")}) {
            w = MeterWertSchriftAnpassen(c, text, D, box);
            EXPECT_TRUE(MeterTextPasst(D, w, box)) << D << " " << text.toStdString();
            const int punkte = c.Font.Size();
            if (punkte < 19) {
                // The next size up would not have fitted.
                c.Font.SetSize(punkte + 1);
                EXPECT_FALSE(MeterTextPasst(D, c.TextWidth(text), box)) << D << " " << text.toStdString();
            }
        }
    }

    // A text as wide as the inside of the frame keeps its size on an odd
    // dial, where it starts on the column right of the frame. The box
    // inside is 2 * (D div 7) - 1 wide: odd, so such a text is odd too.
    QString genau;
    for (const QString& t : {QStringLiteral("12"), QStringLiteral("1015,5"), QStringLiteral("100"),
                             QStringLiteral("99,9"), QStringLiteral("-5"), QStringLiteral("7")}) {
        c.Font.SetSize(19);
        if (c.TextWidth(t) % 2 == 1) {
            genau = t;
            break;
        }
    }
    ASSERT_FALSE(genau.isEmpty()) << "no text of odd width";
    const int W = c.TextWidth(genau);
    const int ungerade = 7 * ((W + 1) / 2) | 1;
    const auto punkte = [&](int D) {
        c.Font.SetSize(19);
        const int w = MeterWertSchriftAnpassen(c, genau, D, MeterWertBox(D, c.TextHeight(genau)));
        EXPECT_TRUE(MeterTextPasst(D, w, MeterWertBox(D, c.TextHeight(genau)))) << D;
        return c.Font.Size();
    };
    EXPECT_EQ(punkte(ungerade), 19) << genau.toStdString() << ", " << W << " wide, on " << ungerade;
    // Beside it, on the even dial the centred text would cover the frame,
    // and the next odd dial down has a box too narrow.
    EXPECT_LT(punkte(ungerade + 1), 19) << ungerade + 1;
    EXPECT_LT(punkte(ungerade - 6), 19) << ungerade - 6;
}
