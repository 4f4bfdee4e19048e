#include "FensterTestSupport.h"
#include "IniFiles.h"
#include "WindrichtungFensterUnit.h"

#include <cmath>

namespace {

const QString kKopf = QStringLiteral("Datum\tUhrzeit\twr   [\xC2\xB0   ]");
const QString kWr = QStringLiteral("wr   [\xC2\xB0   ]");

QString zeile(const QString& zeit, double wert)
{
    return QStringLiteral("08.12.2026\t%1\t%2").arg(zeit).arg(wert);
}

int sektor(double d)
{
    int s = -1;
    return WindSektor(d, s) ? s : -1;
}

} // namespace

TEST(WindVerlauf, DirectionsLandInTheirSectorWhateverTheirSize)
{
    const struct {
        double d;
        int s;
    } faelle[] = {{0, 0},       {9.99, 0},  {10, 1},      {-90, 27},   {360, 0},  {-0.0001, 0},
                  {359.99, 35}, {725, 0},   {-360, 0},    {-10, 35},   {-725, 35}, {-0.0004, 0},
                  {-0.0006, 35}, {1e300, static_cast<int>(std::fmod(1e300, 360.0) / 10)}};
    for (const auto& f : faelle)
        EXPECT_EQ(sektor(f.d), f.s) << f.d;
    // Beyond what any integer holds, and beyond what d * 1000 holds.
    for (double riesig : {-1e300, -1.7e308, 1.7e308, 1e19, -1e19}) {
        const int s = sektor(riesig);
        EXPECT_TRUE(s >= 0 && s < KompassSektoren) << riesig << " gives " << s;
    }
    for (double keine : {KeinWert, std::nan(""), HUGE_VAL, -HUGE_VAL})
        EXPECT_EQ(sektor(keine), -1) << keine;
}

TEST(WindVerlauf, EachValueAddsItsShareOfAllEntriesCappedAtRed)
{
    // Four values, two of them in sector 4.
    TKompassVerlauf v = WindVerlauf({45, 42, 100, 200});
    EXPECT_DOUBLE_EQ(v[4].Wert, 127.5);
    EXPECT_DOUBLE_EQ(v[10].Wert, 63.75);
    EXPECT_DOUBLE_EQ(v[20].Wert, 63.75);
    for (int i : {4, 10, 20}) {
        EXPECT_TRUE(v[static_cast<size_t>(i)].Belegt) << i;
        EXPECT_EQ(v[static_cast<size_t>(i)].Laenge, 255) << i;
    }
    int belegt = 0;
    for (const TVerlaufSektor& s : v)
        belegt += s.Belegt;
    EXPECT_EQ(belegt, 3);
    EXPECT_EQ(KompassSektorFarbe(v[4].Wert), static_cast<TColor>(0x007FFF));

    EXPECT_DOUBLE_EQ(WindVerlauf({90})[9].Wert, 255);
    // Entries without a direction take no sector but count.
    v = WindVerlauf({KeinWert, 45, std::nan("")});
    EXPECT_DOUBLE_EQ(v[4].Wert, 85);
    EXPECT_FALSE(v[0].Belegt);
    EXPECT_DOUBLE_EQ(WindVerlauf(std::vector<double>(7, 10.0))[1].Wert, 255);
    EXPECT_EQ(WindVerlauf({}), TKompassVerlauf{});
}

TEST_F(FensterTest, WindDirectionWindowFoldsItsSpanAndShowsWholeDegrees)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    auto* f = Erzeuge<TWindrichtungFenster>(owner, nullptr, QStringLiteral("Wind"), QStringLiteral("\xC2\xB0"), kWr,
                                            ini, 2);
    EXPECT_EQ(f->Name(), QStringLiteral("wr___Kompass"));
    EXPECT_EQ(f->Nachkommastellen, 0);
    EXPECT_DOUBLE_EQ(f->VerlaufInterval, 0.04166);
    EXPECT_EQ(f->AktuellerWertLabel->Caption(), QStringLiteral("-"));
    EXPECT_EQ(f->AktuellerWertKompass->Position(), -1);
    EXPECT_EQ(f->SpannenArt(), TSpaltenFenster::TSpannenArt::Tage);

    // 09:00 lies exactly one hour before the newest record: just outside
    // the span of 0.04166 days.
    auto loader = loaderMit(dir.path(QStringLiteral("d.txt")), kKopf,
                            {zeile(QStringLiteral("09:00:00"), 300), zeile(QStringLiteral("09:01:00"), 45),
                             zeile(QStringLiteral("09:30:00"), 42), zeile(QStringLiteral("09:45:00"), 100),
                             zeile(QStringLiteral("10:00:00"), 200.4)});
    f->Aktualisiere(loader.get());
    const TKompassVerlauf& v = f->AktuellerWertKompass->Verlauf;
    EXPECT_DOUBLE_EQ(v[4].Wert, 127.5);
    EXPECT_DOUBLE_EQ(v[10].Wert, 63.75);
    EXPECT_DOUBLE_EQ(v[20].Wert, 63.75);
    EXPECT_FALSE(v[30].Belegt);
    EXPECT_EQ(f->AktuellerWertKompass->Position(), 200.4);
    EXPECT_EQ(f->AktuellerWertLabel->Caption(), QStringLiteral("200"));
    EXPECT_TRUE(textPasst(*f->AktuellerWertLabel, 2));

    // A negative newest direction: shown as it is, the compass shows the
    // dial alone, its history counts in sector 35.
    loader = loaderMit(dir.path(QStringLiteral("d.txt")), kKopf,
                       {zeile(QStringLiteral("09:59:00"), 90), zeile(QStringLiteral("10:00:00"), -10)});
    f->Aktualisiere(loader.get());
    EXPECT_EQ(f->AktuellerWertLabel->Caption(), QStringLiteral("-10"));
    EXPECT_EQ(f->AktuellerWertKompass->Position(), -10);
    EXPECT_TRUE(v[35].Belegt);
    EXPECT_TRUE(v[9].Belegt);
    EXPECT_FALSE(v[4].Belegt);

    // No newest value (a lone record without one): needle and label stay,
    // the history is rebuilt empty.
    loader = loaderMit(dir.path(QStringLiteral("d.txt")), kKopf, {zeile(QStringLiteral("10:00:00"), KeinWert)});
    f->Aktualisiere(loader.get());
    EXPECT_EQ(f->AktuellerWertLabel->Caption(), QStringLiteral("-10"));
    EXPECT_EQ(f->AktuellerWertKompass->Position(), -10);
    EXPECT_EQ(v, TKompassVerlauf{});

    f->SetSpanne(2.5);
    EXPECT_DOUBLE_EQ(f->VerlaufInterval, 2.5);
    abbauen(f);
    EXPECT_TRUE(QString::fromUtf8(readFile(ini)).endsWith(QStringLiteral("LHFarbe=0\nVerlaufInterval=2,5\n")));
}

TEST_F(FensterTest, WindDirectionWindowIsMadeFromItsSectionAndWritesItBackUnchanged)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    const QByteArray sektion = "[wr___Kompass]\nFensterID=3\nBeschriftung=Windrichtung\nSpalte=wr   [\xC2\xB0   ]\n"
                               "Einheit=Grad\nPositionX=100\nPositionY=50\nAktiv=1\nAnzahlBereiche=0\n"
                               "Bereich0Von=0\nBereich0Bis=90\nBereich0Farbe=65280\nSchrift=Arial\n"
                               "SchriftFarbeWerte=65535\nSchriftFarbeBesch=8388608\nFensterFarbe=12632256\n"
                               "LHFarbe=128\nVerlaufInterval=0,5\n";
    writeFile(ini, sektion);
    auto* f = Erzeuge<TWindrichtungFenster>(owner, nullptr, QString(), QString(), kWr, ini, 0);
    EXPECT_EQ(f->pos(), QPoint(100, 50));
    EXPECT_EQ(f->BeschriftungLabel->Caption(), QStringLiteral("Windrichtung"));
    EXPECT_EQ(f->EinheitLabel->Caption(), QStringLiteral("Grad"));
    EXPECT_DOUBLE_EQ(f->VerlaufInterval, 0.5);
    EXPECT_EQ(f->AktuellerWertKompass->Color(), clSilver);
    EXPECT_EQ(f->EinheitLabel->FontColor(), clNavy);
    // With ranges the value keeps the form's red and the ranges colour nothing.
    EXPECT_EQ(f->AktuellerWertLabel->FontColor(), clRed);
    EXPECT_EQ(f->AktuellerWertLabel->Color(), clMaroon);
    auto loader = loaderMit(dir.path(QStringLiteral("d.txt")), kKopf, {zeile(QStringLiteral("10:00:00"), 45)});
    f->Aktualisiere(loader.get());
    EXPECT_EQ(f->AktuellerWertLabel->FontColor(), clRed);
    abbauen(f);
    EXPECT_EQ(readFile(ini), sektion);
}
