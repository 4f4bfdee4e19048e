#include "FensterTestSupport.h"
#include "IniFiles.h"
#include "TermometerFensterUnit.h"

#include <QAction>
#include <QMenu>
#include <cmath>

namespace {

const QString kKopf = QStringLiteral("Datum\tUhrzeit\tt2m  [\xC2\xB0" "C  ]");
const QString kT2m = QStringLiteral("t2m  [\xC2\xB0" "C  ]");

TSkalenbereich schiebe(int von, int bis, int skala, double wert)
{
    return SchiebeSkala({von, bis}, skala, wert);
}

TColor px(const TTermometerFenster& f, int x, int y)
{
    return QColorToColor(QColor(f.Image1->Picture().Image().pixel(x, y)));
}

std::vector<int> grade(const std::vector<TThermometerStrich>& striche, TStrichArt art)
{
    std::vector<int> g;
    for (const TThermometerStrich& s : striche)
        if (s.Art == art)
            g.push_back(s.Grad);
    return g;
}

QString haekchen(const TTermometerFenster& f)
{
    QString text;
    for (QAction* a : f.SkalaPunkte)
        if (a->isChecked())
            text += a->text();
    return text;
}

} // namespace

TEST(ThermometerSkala, WindowFollowsTheValueAndTakesTheSpan)
{
    EXPECT_EQ(ErzeugeSkalenbereich(30, 0), (TSkalenbereich{0, 30}));
    EXPECT_EQ(schiebe(0, 30, 30, 35.4), (TSkalenbereich{6, 36}));
    EXPECT_EQ(schiebe(0, 30, 30, -5.5), (TSkalenbereich{-6, 24}));
    // On either end the window stays; just beyond it moves.
    EXPECT_EQ(schiebe(0, 30, 30, 0.0), (TSkalenbereich{0, 30}));
    EXPECT_EQ(schiebe(0, 30, 30, -0.01), (TSkalenbereich{-1, 29}));
    EXPECT_EQ(schiebe(0, 30, 30, 30.0), (TSkalenbereich{0, 30}));
    EXPECT_EQ(schiebe(0, 30, 30, 30.01), (TSkalenbereich{1, 31}));
    // Span 30 to 10: the bottom stays, then the value above moves it up.
    EXPECT_EQ(schiebe(0, 30, 10, KeinWert), (TSkalenbereich{0, 10}));
    EXPECT_EQ(schiebe(0, 30, 10, 25), (TSkalenbereich{16, 26}));
    // No value, or none a scale can hold, moves nothing but the top.
    for (double keiner : {std::nan(""), HUGE_VAL, -HUGE_VAL})
        EXPECT_EQ(schiebe(0, 30, 20, keiner), (TSkalenbereich{0, 20})) << keiner;
    // Far beyond any integer: the window ends at its limit, no overflow.
    const TSkalenbereich weit = schiebe(0, 30, 30, 1e300);
    EXPECT_EQ(weit.Bis - weit.Von, 30);
    EXPECT_EQ(weit.Bis, 1000000001);
    EXPECT_EQ(schiebe(0, 30, 30, -1e300).Von, -1000000001);
}

TEST(ThermometerSkala, TicksAndColumnSitOnTheirRows)
{
    std::vector<TThermometerStrich> s = ThermometerStriche({0, 30}, 30);
    ASSERT_EQ(s.size(), 31u);
    EXPECT_EQ(s[0].Y, 190);
    EXPECT_EQ(s[5].Y, 167);
    EXPECT_EQ(s[10].Y, 143);
    EXPECT_EQ(s[30].Y, 50);
    EXPECT_EQ(ThermometerSaeulenOben({0, 30}, 30, 20.5), 94);
    EXPECT_EQ(ThermometerSaeulenOben({0, 30}, 30, 2), 181);    // 180.67 rounds up
    EXPECT_EQ(ThermometerSaeulenOben({0, 20}, 20, 0.5), 186);   // 186.5 to the even neighbour
    EXPECT_EQ(ThermometerSaeulenOben({0, 30}, 30, 1e300), 0);

    s = ThermometerStriche({-6, 24}, 30);
    EXPECT_EQ(grade(s, TStrichArt::Lang), (std::vector<int>{0, 10, 20}));
    EXPECT_EQ(grade(s, TStrichArt::Mittel), (std::vector<int>{-5, 5, 15}));
    EXPECT_EQ(grade(s, TStrichArt::Kurz).size(), 25u);
}

TEST_F(FensterTest, ThermometerColoursBulbAndColumnByRangeThroughTheRows)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    writeFile(ini, "[t2m__Thermometer]\nAnzahlBereiche=0\nBereich0Von=0\nBereich0Bis=25\nBereich0Farbe=16711680\n"
                   "FensterFarbe=255\n");
    auto* f = Erzeuge<TTermometerFenster>(owner, nullptr, QStringLiteral("Temperatur"), QStringLiteral("\xC2\xB0" "C"),
                                          kT2m, ini, 1);
    EXPECT_EQ(f->Name(), QStringLiteral("t2m__Thermometer"));
    EXPECT_EQ(f->AktuellerWertLabel->Caption(), QStringLiteral("-"));
    ASSERT_EQ(f->Image1->Picture().Width(), 120);
    ASSERT_EQ(f->Image1->Picture().Height(), 243);

    auto loader = loaderMit(dir.path(QStringLiteral("d.txt")), kKopf,
                            {QStringLiteral("08.12.2026\t10:00:00\t20.5")});
    f->Aktualisiere(loader.get());
    EXPECT_EQ(f->AktuellerWertLabel->Caption(), QStringLiteral("20,5"));
    EXPECT_TRUE(textPasst(*f->AktuellerWertLabel, 2));
    // With ranges the value text keeps the form's red; column and bulb take
    // the range's blue from the column top (94) down.
    EXPECT_EQ(f->AktuellerWertLabel->FontColor(), clRed);
    EXPECT_EQ(px(*f, 58, 93), clWhite);
    for (int y : {94, 150, 199, 200, 225, 240})
        EXPECT_EQ(px(*f, 58, y), clBlue) << "row " << y;
    EXPECT_EQ(px(*f, 44, 225), clBlue);
    EXPECT_EQ(px(*f, 58, 241), clBlack);
    // The window's own pure red is recoloured too inside the region, x 43
    // to 81 from row 50 down (row 50 holds the top tick), not beside it nor
    // above it.
    for (int x : {43, 44, 81})
        EXPECT_EQ(px(*f, x, 100), clBlue) << "column " << x;
    for (int x : {2, 42, 82})
        EXPECT_EQ(px(*f, x, 100), clRed) << "column " << x;
    EXPECT_EQ(px(*f, 44, 51), clBlue);
    EXPECT_EQ(px(*f, 44, 49), clRed);

    // In no range: text and picture stay, the value is kept for the menu.
    f->ZeigeWert(35.4);
    EXPECT_EQ(f->AktuellerWertLabel->Caption(), QStringLiteral("20,5"));
    EXPECT_EQ(px(*f, 58, 150), clBlue);
    EXPECT_EQ(f->SkalaVon, 0);
    f->SetSkala(30);   // drawn with a pure red column
    EXPECT_EQ(f->SkalaVon, 6);
    EXPECT_EQ(f->SkalaBis, 36);
    EXPECT_EQ(px(*f, 58, 150), clRed);
    abbauen(f);
}

TEST_F(FensterTest, ThermometerWithoutRangesUsesTheValueColourEvenASystemColour)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    writeFile(ini, "[t2m__Thermometer]\nSchriftFarbeWerte=-2147483633\n");   // clBtnFace
    auto* f = Erzeuge<TTermometerFenster>(owner, nullptr, QString(), QString(), kT2m, ini, 0);
    EXPECT_EQ(f->AktuellerWertLabel->Caption(), QStringLiteral("-"));
    EXPECT_EQ(px(*f, 58, 150), clWhite);   // no value, no column
    EXPECT_EQ(px(*f, 58, 220), clRed);     // the template's bulb
    f->ZeigeWert(-12.3);
    EXPECT_EQ(f->AktuellerWertLabel->Caption(), QStringLiteral("-12"));
    EXPECT_EQ(f->AktuellerWertLabel->FontColor(), clBtnFace);
    EXPECT_EQ(f->SkalaVon, -13);
    EXPECT_EQ(px(*f, 58, 190), ColorToRGB(clBtnFace));
    EXPECT_EQ(px(*f, 58, 220), ColorToRGB(clBtnFace));
    // Values never clipped: a long one shrinks into its box.
    f->ZeigeWert(-1234.5);
    EXPECT_EQ(f->AktuellerWertLabel->Caption(), QStringLiteral("-1235"));
    EXPECT_TRUE(textPasst(*f->AktuellerWertLabel, 2));
    abbauen(f);
}

TEST_F(FensterTest, ThermometerSpanComesFromMenuOrFileAndNoneBelowOneDegree)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    writeFile(ini, "[t2m__Thermometer]\nSkala=0\n");
    auto* f = Erzeuge<TTermometerFenster>(owner, nullptr, QString(), QString(), kT2m, ini, 0);
    EXPECT_EQ(f->Skala, 30);
    f->ZeigeWert(12);
    f->ZeigeWert(12);   // the same value leaves the window where it is
    EXPECT_EQ(f->SkalaVon, 0);
    EXPECT_EQ(f->SkalaBis, 30);
    f->SetSkala(-5);
    EXPECT_EQ(f->Skala, 30);
    // One degree is the smallest span.
    f->SetSkala(1);
    EXPECT_EQ(f->Skala, 1);
    EXPECT_EQ(f->SkalaBis - f->SkalaVon, 1);
    f->SetSkala(0);
    EXPECT_EQ(f->Skala, 1);
    f->SetSkala(30);

    // The span change of the menu: 30 to 10 with 25 shown.
    f->ZeigeWert(25);
    f->PopupMenu1Popup();
    EXPECT_EQ(haekchen(*f), QStringLiteral("30"));
    f->SkalaPunkte.first()->trigger();
    EXPECT_EQ(f->Skala, 10);
    EXPECT_EQ(f->SkalaVon, 16);
    EXPECT_EQ(f->SkalaBis, 26);
    f->PopupMenu1Popup();
    EXPECT_EQ(haekchen(*f), QStringLiteral("10"));
    abbauen(f);
    EXPECT_TRUE(QString::fromUtf8(readFile(ini)).contains(QStringLiteral("\nSkala=10\n")));

    // A span no menu offers is drawn as read and ticks nothing; one the
    // window refuses is written back as the span it used.
    writeFile(ini, "[t2m__Thermometer]\nSkala=7\n");
    f = Erzeuge<TTermometerFenster>(owner, nullptr, QString(), QString(), kT2m, ini, 0);
    EXPECT_EQ(f->SkalaBis - f->SkalaVon, 7);
    f->PopupMenu1Popup();
    EXPECT_EQ(haekchen(*f), QString());
    abbauen(f);
    writeFile(ini, "[t2m__Thermometer]\nSkala=-3\n");
    f = Erzeuge<TTermometerFenster>(owner, nullptr, QString(), QString(), kT2m, ini, 0);
    abbauen(f);
    EXPECT_TRUE(QString::fromUtf8(readFile(ini)).contains(QStringLiteral("\nSkala=30\n")));
}

TEST_F(FensterTest, ThermometerIsMadeFromItsSectionAndWritesItBackUnchanged)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    const QByteArray sektion = "[t2m__Thermometer]\nAktiv=1\nFensterID=2\nPositionX=300\nPositionY=20\n"
                               "AnzahlBereiche=1\nBereich0Von=-30\nBereich0Bis=0\nBereich0Farbe=16711680\n"
                               "Bereich1Von=0\nBereich1Bis=40\nBereich1Farbe=32768\nBeschriftung=Au\xC3\x9f" "en\n"
                               "Spalte=t2m  [\xC2\xB0" "C  ]\nEinheit=\xC2\xB0" "C\nSchrift=Arial\nLHFarbe=8388608\n"
                               "SchriftFarbeWerte=65535\nSchriftFarbeBesch=128\nFensterFarbe=12632256\nSkala=20\n";
    writeFile(ini, sektion);
    auto* f = Erzeuge<TTermometerFenster>(owner, nullptr, QString(), QString(), kT2m, ini, 1);
    EXPECT_EQ(f->pos(), QPoint(300, 20));
    EXPECT_EQ(f->BeschriftungLabel->Caption(), QStringLiteral("Au\u00DFen"));
    EXPECT_EQ(f->BeschriftungLabel->FontColor(), clMaroon);
    EXPECT_EQ(f->EinheitLabel->FontColor(), clWindowText);   // the caption colour doesn't reach the unit
    EXPECT_EQ(f->AktuellerWertLabel->Color(), clNavy);
    EXPECT_EQ(f->Skala, 20);
    EXPECT_EQ(px(*f, 2, 100), clSilver);
    abbauen(f);
    EXPECT_EQ(readFile(ini), sektion);
}
