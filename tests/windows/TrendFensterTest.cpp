#include "Canvas.h"
#include "FensterTestSupport.h"
#include "IniFiles.h"
#include "TendFensterUnit.h"

#include <cmath>

namespace {

const QString kKopf = QStringLiteral("Datum\tUhrzeit\ttr   [-   ]");
const QString kTr = QStringLiteral("tr   [-   ]");

// The arrow as the window must show it: white where the picture (mirrored
// top to bottom when falling) is white, the window colour elsewhere.
::testing::AssertionResult zeigtPfeil(const TTrendFenster& f, int trend)
{
    TBitmap pfeil;
    pfeil.LoadFromResourceName(QStringLiteral("PFEIL"));
    const QImage& bild = f.Image1->Picture().Image();
    if (bild.size() != QSize(67, 39) || pfeil.Width() != 67 || pfeil.Height() != 39)
        return ::testing::AssertionFailure() << "sizes";
    const TColor grund = ColorToRGB(f.Color());
    int weiss = 0;
    for (int y = 0; y < 39; ++y) {
        for (int x = 0; x < 67; ++x) {
            const int quelle = trend == 0 ? 38 - y : y;
            const bool pfeilPunkt = trend >= 0 && trend <= 1 && pfeil.Canvas().Pixel(x, quelle) == clWhite;
            const TColor soll = pfeilPunkt ? clWhite : grund;
            const TColor ist = QColorToColor(QColor(bild.pixel(x, y)));
            if (ist != soll)
                return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is " << ist << ", not " << soll;
            weiss += pfeilPunkt;
        }
    }
    if (trend >= 0 && trend <= 1 && weiss < 300)
        return ::testing::AssertionFailure() << "hardly an arrow: " << weiss << " white pixels";
    return ::testing::AssertionSuccess();
}

} // namespace

TEST_F(FensterTest, TrendShowsTextAndArrowRisingFallingOrNone)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    auto* f = Erzeuge<TTrendFenster>(owner, nullptr, QStringLiteral("Luftdruck"), kTr, ini);
    EXPECT_EQ(f->Name(), QStringLiteral("tr___Trend"));
    EXPECT_EQ(f->Trend, -1);
    EXPECT_EQ(f->TrendLabel->Caption(), QStringLiteral("-"));
    EXPECT_TRUE(zeigtPfeil(*f, -1));

    // Rising and falling one after the other: nothing of the last arrow stays.
    const struct {
        const char* wert;
        const char* text;
        int trend;
    } faelle[] = {{"1", "steigend", 1},  {"0", "fallend", 0}, {"1.9", "steigend", 1}, {"-0.5", "fallend", 0},
                  {"2", "-", 2},          {"1", "steigend", 1}, {"-1", "-", -1},       {"0", "fallend", 0},
                  {"-9999", "fallend", 0}};
    for (const auto& fall : faelle) {
        auto loader = loaderMit(dir.path(QStringLiteral("d.txt")), kKopf,
                                {QStringLiteral("08.12.2026\t10:00:00\t") + QString::fromLatin1(fall.wert)});
        f->Aktualisiere(loader.get());
        EXPECT_EQ(f->TrendLabel->Caption(), QString::fromLatin1(fall.text)) << fall.wert;
        EXPECT_EQ(f->Trend, fall.trend) << fall.wert;
        EXPECT_TRUE(zeigtPfeil(*f, fall.trend)) << fall.wert;
        if (f->Trend == 0 || f->Trend == 1) {
            EXPECT_TRUE(textPasst(*f->TrendLabel, 2)) << fall.wert;
        }
    }
    // Whole-number parts no int holds: no trend, in the tick or anywhere.
    for (double riesig : {1e12, -3e9, std::nan(""), -HUGE_VAL}) {
        f->SetTrend(1);
        f->ZeigeWert(riesig);
        EXPECT_EQ(f->TrendLabel->Caption(), QStringLiteral("-")) << riesig;
        EXPECT_TRUE(zeigtPfeil(*f, -1)) << riesig;
    }
    f->SetTrend(1);
    f->ZeigeWert(-9999.4);   // cut to the no-value marker: nothing changes
    EXPECT_EQ(f->TrendLabel->Caption(), QStringLiteral("steigend"));

    // A new window colour reaches the picture with the next trend.
    f->SetColor(clTeal);
    f->SetTrend(1);
    EXPECT_TRUE(zeigtPfeil(*f, 1));
    abbauen(f);
}

TEST_F(FensterTest, TrendIsMadeFromItsSectionAndWritesItBackUnchanged)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    const QByteArray sektion = "[tr___Trend]\nFensterID=8\nBeschriftung=Drucktendenz\nSpalte=tr   [-   ]\n"
                               "PositionX=12\nPositionY=34\nAktiv=1\nAnzahlBereiche=0\nBereich0Von=0\n"
                               "Bereich0Bis=1\nBereich0Farbe=32768\nSchrift=Arial\nSchriftFarbeWerte=65535\n"
                               "SchriftFarbeBesch=128\nFensterFarbe=12632256\nLHFarbe=8388608\n";
    writeFile(ini, sektion);
    auto* f = Erzeuge<TTrendFenster>(owner, nullptr, QString(), kTr, ini);
    EXPECT_EQ(f->pos(), QPoint(12, 34));
    EXPECT_EQ(f->BeschriftungLabel->Caption(), QStringLiteral("Drucktendenz"));
    EXPECT_EQ(f->TrendLabel2->FontColor(), clMaroon);
    EXPECT_EQ(f->TrendLabel->Color(), clNavy);
    // Ranges colour nothing; while there are some, the value colour waits.
    EXPECT_EQ(f->TrendLabel->FontColor(), clRed);
    f->SetTrend(1);
    EXPECT_EQ(f->TrendLabel->FontColor(), clRed);
    EXPECT_TRUE(zeigtPfeil(*f, 1));
    abbauen(f);
    EXPECT_EQ(readFile(ini), sektion);
}
