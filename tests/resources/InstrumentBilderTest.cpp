#include <QImage>
#include <QSet>
#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr QRgb Silber = 0xFFC0C0C0, Schwarz = 0xFF000000, Weiss = 0xFFFFFFFF, Rot = 0xFFFF0000;

// Loads a picture the way the controls do and checks what every one must
// have: its size and no alpha, so the bottom-left pixel is a plain colour.
QImage Lade(const char* name, int breite, int hoehe)
{
    const QImage bild(QStringLiteral(":/bilder/%1.png").arg(QLatin1String(name)));
    EXPECT_FALSE(bild.isNull()) << name;
    EXPECT_EQ(bild.size(), QSize(breite, hoehe)) << name;
    EXPECT_FALSE(bild.hasAlphaChannel()) << name;
    return bild.convertToFormat(QImage::Format_RGB32);
}

QSet<QRgb> Farben(const QImage& bild)
{
    QSet<QRgb> farben;
    for (int y = 0; y < bild.height(); ++y)
        for (int x = 0; x < bild.width(); ++x)
            farben.insert(bild.pixel(x, y));
    return farben;
}

// First and last column of the given colour in a row, or (-1, -1).
std::pair<int, int> Spanne(const QImage& bild, int y, QRgb farbe)
{
    int von = -1, bis = -1;
    for (int x = 0; x < bild.width(); ++x) {
        if (bild.pixel(x, y) == farbe) {
            if (von < 0)
                von = x;
            bis = x;
        }
    }
    return {von, bis};
}

} // namespace

TEST(InstrumentBilderTest, CompassDialHasSilverCornersAndAWhiteMiddleWithoutHoles)
{
    const QImage bild = Lade("HINTERGRUND", 235, 236);
    ASSERT_FALSE(bild.isNull());
    for (const QPoint ecke : {QPoint(0, 0), QPoint(234, 0), QPoint(0, 235), QPoint(234, 235)})
        EXPECT_EQ(bild.pixel(ecke), Silber) << ecke.x() << "," << ecke.y();

    // Centre of the history (W div 2, H div 2); the needle's pivot is two
    // pixels above it and its tip 80 pixels from there.
    const double cx = 117, cy = 118;
    int weiss = 0, fremd = 0, loecher = 0;
    QSet<QRgb> farben;
    for (int y = 0; y < bild.height(); ++y) {
        for (int x = 0; x < bild.width(); ++x) {
            const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            const QRgb p = bild.pixel(x, y);
            if (d <= 72)
                (p == Weiss ? weiss : fremd)++;
            // Silver is the transparent colour: inside the dial it would be a hole.
            if (d < 112 && p == Silber)
                ++loecher;
            farben.insert(p);
        }
    }
    EXPECT_GT(weiss, 16000);
    EXPECT_EQ(fremd, 0);
    EXPECT_EQ(loecher, 0);
    EXPECT_LE(farben.size(), 16);
    EXPECT_TRUE(farben.contains(Rot));   // the marks of the main directions
    // The rim is blue: straight left of the centre, before the band.
    EXPECT_EQ(qBlue(bild.pixel(2, 118)), 255);
    EXPECT_EQ(qRed(bild.pixel(2, 118)), 0);
}

TEST(InstrumentBilderTest, RainGaugeIsWhiteOnlyInsideTheGlass)
{
    const QImage bild = Lade("BILD", 111, 241);
    ASSERT_FALSE(bild.isNull());
    EXPECT_EQ(Farben(bild), (QSet<QRgb>{Silber, Schwarz, Weiss}));
    for (const QPoint ecke : {QPoint(0, 0), QPoint(110, 0), QPoint(0, 240), QPoint(110, 240)})
        EXPECT_EQ(bild.pixel(ecke), Silber) << ecke.x() << "," << ecke.y();

    for (int y = 0; y < bild.height(); ++y) {
        const auto [von, bis] = Spanne(bild, y, Weiss);
        if (y < 14 || y > 227) {
            EXPECT_EQ(von, -1) << "row " << y;
            continue;
        }
        // One white run per row, walled in black: the water shows nowhere else.
        ASSERT_GE(von, 1) << "row " << y;
        EXPECT_EQ(bild.pixel(von - 1, y), Schwarz) << "row " << y;
        EXPECT_EQ(bild.pixel(bis + 1, y), Schwarz) << "row " << y;
        if (y >= 70) {
            // Below the funnel's spout the run is unbroken.
            for (int x = von; x <= bis; ++x) {
                ASSERT_EQ(bild.pixel(x, y), Weiss) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(Spanne(bild, 14, Weiss), std::make_pair(9, 100));
    EXPECT_EQ(Spanne(bild, 56, Weiss), std::make_pair(23, 86));
    EXPECT_EQ(Spanne(bild, 227, Weiss), std::make_pair(33, 76));
}

TEST(InstrumentBilderTest, ThermometerHasItsTubeAndTheOnlyRedInTheBulb)
{
    const QImage bild = Lade("THERMOMETER", 120, 243);
    ASSERT_FALSE(bild.isNull());
    EXPECT_EQ(Farben(bild), (QSet<QRgb>{Silber, Schwarz, Weiss, Rot}));
    EXPECT_EQ(bild.pixel(0, 242), Silber);
    EXPECT_EQ(Spanne(bild, 242, Silber), std::make_pair(0, 119));

    for (int y = 30; y <= 199; ++y) {
        EXPECT_EQ(Spanne(bild, y, Weiss), std::make_pair(53, 63)) << "row " << y;
        for (int x : {51, 52, 64, 65})
            EXPECT_EQ(bild.pixel(x, y), Schwarz) << x << "," << y;
    }
    // The rounded top closes the tube.
    for (int y = 24; y <= 27; ++y)
        EXPECT_EQ(bild.pixel(58, y), Schwarz) << "row " << y;
    EXPECT_EQ(bild.pixel(58, 23), Silber);

    // Tube and bulb meet at 199/200; the window recolours every pure red
    // pixel from row 50 down, so red must be the bulb and nothing else.
    EXPECT_EQ(Spanne(bild, 200, Rot), std::make_pair(53, 63));
    EXPECT_EQ(Spanne(bild, 225, Rot).first, 43);
    EXPECT_EQ(Spanne(bild, 225, Rot).second, 73);
    EXPECT_EQ(bild.pixel(58, 240), Rot);
    EXPECT_EQ(bild.pixel(58, 241), Schwarz);
    for (int y = 0; y < bild.height(); ++y) {
        for (int x = 0; x < bild.width(); ++x) {
            if (bild.pixel(x, y) == Rot) {
                ASSERT_TRUE(x >= 43 && x <= 73 && y >= 200 && y <= 240) << x << "," << y;
            }
        }
    }
}

TEST(InstrumentBilderTest, TrendArrowRisesToTheRightInWhiteOnBlack)
{
    const QImage bild = Lade("PFEIL", 67, 39);
    ASSERT_FALSE(bild.isNull());
    EXPECT_EQ(Farben(bild), (QSet<QRgb>{Schwarz, Weiss}));
    EXPECT_EQ(bild.pixel(0, 38), Schwarz);

    // Head at the upper right, tail at the lower left.
    const auto oben = Spanne(bild, 8, Weiss), unten = Spanne(bild, 33, Weiss);
    ASSERT_GE(oben.first, 0);
    ASSERT_GE(unten.first, 0);
    EXPECT_GT(oben.first, 33);
    EXPECT_LT(unten.second, 20);
    EXPECT_GT(oben.second - oben.first, unten.second - unten.first);
}
