#include "Canvas.h"
#include "Meter.h"
#include "TestSupport.h"

#include <climits>
#include <limits>

namespace {

constexpr TColor kHintergrund = clSilver;

TColor px(const TMeter& m, QPoint p)
{
    const QImage& img = m.Bild().Image();
    if (!img.valid(p))
        return clNone;
    return QColorToColor(QColor(img.pixel(p)));
}

// A point of the dial at an angle and radius, moved by the dial's offset.
QPoint dial(const TMeter& m, double winkel, double radius, int dy = 0)
{
    return MeterPunkt(winkel, radius, m.width()) + QPoint(0, dy);
}

// The barometer's gauge: 297 x 257, 800 .. 1100 in three ranges.
void barometer(TMeter& m)
{
    m.resize(297, 257);
    m.SetColor(kHintergrund);
    TFontDesc f;
    f.Bold = true;
    m.SetFont(f);
    m.SetMinimum(800);
    m.SetMaximum(1100);
    m.SetBeschriftungSchritt(25);
    m.SetAnzeigeSchritt(0.00001);
    m.SetZusatzBeschriftung(true);
    m.SetBeschriftung(QStringLiteral("Luftdruck (hPa)"));
    m.SetBeschrFarbe(clFuchsia);
    m.SetBeschrHFarbe(clBlack);
    TRanges b;
    b.Add(clMaroon, 800, 900);
    b.Add(clOlive, 900, 1000);
    b.Add(clNavy, 1000, 1100);
    m.SetBereiche(b);
}

// Ring probes halfway between the inner disc and the outer edge.
constexpr double kRing = 141;

// The columns of the value box's rows that hold text, and whether its frame
// is whole (a text cell reaching over the frame would cover it).
struct WertBoxBefund {
    int tintenLinks = INT_MAX;
    int tintenRechts = -1;
    bool rahmenGanz = true;
    bool tinteAussen = false;
};

// Fuchsia text on the black box, its smoothed edges included.
bool istTinte(TColor c)
{
    const int r = c & 0xFF;
    const int g = (c >> 8) & 0xFF;
    const int b = (c >> 16) & 0xFF;
    return g == 0 && r > 0 && r == b;
}

WertBoxBefund pruefeWertBox(const TMeter& m, int boxHoehe)
{
    const int D = m.width();
    const TMeterWertBox box = MeterWertBox(D, boxHoehe);
    WertBoxBefund b;
    for (int y = box.Oben + 1; y < box.Unten; ++y) {
        b.rahmenGanz = b.rahmenGanz && px(m, {box.Links, y}) == clGray && px(m, {box.Rechts, y}) == clWhite;
        for (int x = 0; x < D; ++x) {
            if (!istTinte(px(m, {x, y})))
                continue;
            if (x <= box.Links || x >= box.Rechts)
                b.tinteAussen = true;
            b.tintenLinks = std::min(b.tintenLinks, x);
            b.tintenRechts = std::max(b.tintenRechts, x);
        }
    }
    return b;
}

// Size of a text in the value box's 19-point font.
QSize wertSchrift(const TMeter& m, const QString& text)
{
    TBitmap b(1, 1);
    b.Canvas().Font = m.Font();
    b.Canvas().Font.SetSize(19);
    return b.Canvas().TextExtent(text);
}

int wertBoxHoehe(const TMeter& m) { return wertSchrift(m, QStringLiteral("0")).height(); }
int strichBreite(const TMeter& m) { return wertSchrift(m, QStringLiteral("-")).width(); }

} // namespace

using MeterTest = GermanSettings;

TEST_F(MeterTest, RangesPaintTheRingTheHubAndTheNeedle)
{
    TMeter m;
    barometer(m);
    m.SetPosition(950);   // needle straight up, in the second range
    ASSERT_EQ(m.Bild().Width(), 297);
    ASSERT_EQ(m.Bild().Height(), 257);
    EXPECT_FALSE(m.Waiting());

    EXPECT_EQ(px(m, dial(m, 180, kRing)), clMaroon);
    EXPECT_EQ(px(m, dial(m, 270, kRing)), clOlive);
    EXPECT_EQ(px(m, dial(m, 350, kRing)), clNavy);
    // Inside the ring: the background.
    EXPECT_EQ(px(m, dial(m, 200, 100)), kHintergrund);

    EXPECT_EQ(px(m, {151, 151}), clOlive) << "hub";
    EXPECT_EQ(px(m, {145, 146}), clOlive) << "hub";
    for (int y = 50; y < 140; y += 10)
        EXPECT_EQ(px(m, {148, y}), clBlack) << "needle at " << y;
    EXPECT_EQ(px(m, {140, 100}), kHintergrund);

    // A value in the third range moves needle and hub colour.
    m.SetPosition(1080);
    EXPECT_EQ(px(m, {151, 151}), clNavy);
    EXPECT_EQ(px(m, dial(m, 135 + 280 * 0.9, 40)), clBlack);
    EXPECT_EQ(px(m, {148, 100}), kHintergrund);

    // Outside every range: green hub, nothing raised.
    TRanges eng;
    eng.Add(clMaroon, 800, 900);
    m.SetBereiche(eng);
    EXPECT_EQ(px(m, {151, 151}), clGreen);
}

TEST_F(MeterTest, EmptyRangeListDrawsOneGreenSectorAndAGreenHub)
{
    TMeter m;
    barometer(m);
    m.Bereiche().Clear();
    m.Zeichne();
    for (double a : {150.0, 270.0, 390.0})
        EXPECT_EQ(px(m, dial(m, a, kRing)), clGreen) << a;
    EXPECT_EQ(px(m, {151, 151}), clGreen);
}

TEST_F(MeterTest, SquareDialShowsTheGapAndARangeEndingOnThePreviousEndFillsTheRing)
{
    TMeter m;
    m.resize(200, 260);   // higher than wide: the dial sits 30 pixels down
    m.SetColor(kHintergrund);
    m.SetMaximum(100);
    TRanges b;
    b.Add(clMaroon, 0, 50);
    b.Add(clOlive, 50, 100);
    m.SetBereiche(b);
    const double ring = 95;
    EXPECT_EQ(px(m, dial(m, 90, ring, 30)), kHintergrund) << "the gap at the bottom";
    EXPECT_EQ(px(m, dial(m, 180, ring, 30)), clMaroon);
    EXPECT_EQ(px(m, dial(m, 0, ring, 30)), clOlive);
    for (int x = 0; x < 200; x += 7)
        EXPECT_EQ(px(m, {x, 10}), kHintergrund) << x;
    EXPECT_EQ(px(m, {102, 132}), clMaroon) << "hub";

    // A second entry ending on the same pixel is a pie with equal rays.
    m.Bereiche().Add(clNavy, 80, 500);
    m.Zeichne();
    for (double a : {90.0, 180.0, 0.0})
        EXPECT_EQ(px(m, dial(m, a, ring, 30)), clNavy) << a;
}

TEST_F(MeterTest, WaitingShowsADashWhileTheNeedleFollowsTheClampedPosition)
{
    TMeter m;
    barometer(m);
    m.SetPosition(2000);
    m.SetWaiting(true);
    m.Zeichne();
    EXPECT_EQ(px(m, dial(m, 405, 30)), clBlack) << "needle at the top of the scale";

    const WertBoxBefund b = pruefeWertBox(m, wertBoxHoehe(m));
    ASSERT_LE(b.tintenLinks, b.tintenRechts) << "the dash is drawn";
    EXPECT_LE(b.tintenRechts - b.tintenLinks + 1, strichBreite(m));
    EXPECT_TRUE(b.rahmenGanz);

    // The next Position clears it.
    m.SetPosition(1000);
    EXPECT_FALSE(m.Waiting());
    const WertBoxBefund z = pruefeWertBox(m, wertBoxHoehe(m));
    EXPECT_GT(z.tintenRechts - z.tintenLinks, strichBreite(m) * 2);
}

TEST_F(MeterTest, WideValuesShrinkInsideTheBoxInsteadOfBeingClipped)
{
    struct Fall {
        int minimum;
        double position;
        int kommastellen;
        int breite;
        int hoehe;
    };
    for (const Fall& f : {Fall{-1500, -1500, 1, 297, 257}, Fall{800, 1015.5, 1, 297, 257},
                          Fall{800, 1015.5, 15, 297, 257}, Fall{-1500, -1500, 15, 241, 211},
                          Fall{-1500, -1500, 1, 241, 211}}) {
        TMeter m;
        barometer(m);
        m.resize(f.breite, f.hoehe);
        m.SetMinimum(f.minimum);
        m.SetAnzahlKommastellen(f.kommastellen);
        m.SetPosition(f.position);
        const WertBoxBefund b = pruefeWertBox(m, wertBoxHoehe(m));
        SCOPED_TRACE(testing::Message() << f.position << " with " << f.kommastellen << " decimals on " << f.breite);
        EXPECT_TRUE(b.rahmenGanz);
        EXPECT_FALSE(b.tinteAussen);
        EXPECT_LE(b.tintenLinks, b.tintenRechts) << "the text is drawn";
    }
}

TEST_F(MeterTest, FaultyInputDrawsInsteadOfFailing)
{
    TMeter m;
    barometer(m);

    // Maximum below Minimum, bounds far off the scale or not numbers at all.
    m.SetMaximum(700);
    TRanges wild;
    wild.Add(TBereich{0, -1e300, clRed});
    wild.Add(TBereich{0, std::numeric_limits<double>::quiet_NaN(), clBlue});
    wild.Add(TBereich{-std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity(), clLime});
    EXPECT_NO_THROW(m.SetBereiche(wild));
    m.SetMaximum(1100);

    // NaN is no value: the needle rests at the scale start and the box shows "-".
    m.SetBereiche(TRanges());
    m.SetPosition(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(px(m, dial(m, 135, 20)), clBlack);
    EXPECT_EQ(px(m, {151, 151}), clGreen);
    WertBoxBefund b = pruefeWertBox(m, wertBoxHoehe(m));
    EXPECT_LE(b.tintenRechts - b.tintenLinks + 1, strichBreite(m));

    // Infinity is the top of the scale; negative decimals are none.
    m.SetAnzahlKommastellen(-2);
    m.SetPosition(std::numeric_limits<double>::infinity());
    EXPECT_EQ(px(m, dial(m, 405, 30)), clBlack);
    b = pruefeWertBox(m, wertBoxHoehe(m));
    EXPECT_GT(b.tintenRechts - b.tintenLinks + 1, 3 * strichBreite(m));

    // A scale over the whole int range with step 1 draws at the tick cap:
    // the needle at the top, as for any scale.
    m.SetMinimum(INT_MIN);
    m.SetMaximum(INT_MAX);
    m.SetBeschriftungSchritt(1);
    EXPECT_EQ(px(m, dial(m, 405, 30)), clBlack);

    // Refused settings keep the old ones.
    m.SetBeschriftungSchritt(0);
    EXPECT_EQ(m.BeschriftungSchritt(), 1);
    m.SetAnzeigeSchritt(std::numeric_limits<double>::infinity());
    m.SetAnzeigeSchritt(-1);
    EXPECT_DOUBLE_EQ(m.AnzeigeSchritt(), 0.00001);
}

TEST_F(MeterTest, TheGaugeOwnsACopyOfItsRanges)
{
    TMeter m;
    barometer(m);
    m.SetPosition(850);
    {
        TRanges b;
        b.Add(clTeal, 800, 1100);
        m.SetBereiche(b);
        b.Clear();
        b.Add(clRed, 800, 1100);
    }
    ASSERT_EQ(m.Bereiche().Count(), 1);
    EXPECT_EQ(px(m, dial(m, 200, kRing)), clTeal);
    EXPECT_EQ(px(m, {151, 151}), clTeal);

    m.SetBereiche(m.Bereiche());   // onto itself
    EXPECT_EQ(m.Bereiche().Count(), 1);
}

TEST_F(MeterTest, NewGaugeStartsEmptyAndAResizeRedraws)
{
    TMeter m;
    EXPECT_TRUE(m.Bild().Empty());
    EXPECT_EQ(m.BeschriftungSchritt(), 1);
    EXPECT_DOUBLE_EQ(m.AnzeigeSchritt(), 0.00001);
    EXPECT_EQ(m.BeschrFarbe(), clBlack);

    m.SetMaximum(100);
    m.resize(177, 161);   // wider than high: the bottom of the dial is cut off
    m.show();
    EXPECT_EQ(m.Bild().Width(), 177);
    EXPECT_EQ(m.Bild().Height(), 161);
    EXPECT_EQ(px(m, dial(m, 180, 84)), clGreen);
}

TEST_F(MeterTest, TheSamePositionRedrawsOnlyWhatChangedSinceTheLastPicture)
{
    TMeter m;
    barometer(m);
    m.SetPosition(1000);
    const qint64 bild = m.Bild().Image().cacheKey();
    m.SetPosition(1000);
    EXPECT_EQ(m.Bild().Image().cacheKey(), bild);

    // Settings that show only at the next redraw still reach the picture
    // when the next position is the same.
    m.SetColor(clYellow);
    m.SetPosition(1000);
    EXPECT_EQ(px(m, QPoint(1, 1)), clYellow);
    TFontDesc f = m.Font();
    f.Color = clRed;
    m.SetFont(f);
    const qint64 vorher = m.Bild().Image().cacheKey();
    m.SetPosition(1000);
    EXPECT_NE(m.Bild().Image().cacheKey(), vorher);
    m.SetWaiting(true);
    const qint64 wartend = m.Bild().Image().cacheKey();
    m.SetPosition(1000);
    EXPECT_NE(m.Bild().Image().cacheKey(), wartend);
    EXPECT_FALSE(m.Waiting());
}
