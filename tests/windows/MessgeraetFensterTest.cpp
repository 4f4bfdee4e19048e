#include "FensterTestSupport.h"
#include "IniFiles.h"
#include "LuftdruckFensterUnit.h"
#include "RelativeLuftfeuchteFenster.h"
#include "WindGeschwindigkeitFensterUnit.h"

#include <QAction>

namespace {

const QString kKopf = QStringLiteral("Datum\tUhrzeit\trf   [%   ]\tp    [hPa ]\tff   [m/s ]");
const QString kRf = QStringLiteral("rf   [%   ]");
const QString kP = QStringLiteral("p    [hPa ]");
const QString kFf = QStringLiteral("ff   [m/s ]");

// Records a minute apart; each holds humidity, pressure and wind speed.
std::unique_ptr<TDatenLoader> werte(const QString& pfad, std::initializer_list<std::array<const char*, 3>> saetze)
{
    QStringList zeilen;
    for (const auto& s : saetze)
        zeilen << QStringLiteral("08.12.2026\t10:%1:00\t%2\t%3\t%4")
                      .arg(zeilen.size(), 2, 10, QChar(u'0'))
                      .arg(QString::fromLatin1(s[0]), QString::fromLatin1(s[1]), QString::fromLatin1(s[2]));
    return loaderMit(pfad, kKopf, zeilen);
}

QByteArray bereiche(const char* sektion, std::initializer_list<std::array<double, 3>> liste)
{
    QByteArray t = QByteArray("[") + sektion + "]\nAnzahlBereiche=" + QByteArray::number(int(liste.size()) - 1) + "\n";
    int i = 0;
    for (const auto& b : liste) {
        const QByteArray n = QByteArray::number(i++);
        t += "Bereich" + n + "Von=" + QByteArray::number(b[0]).replace('.', ',') + "\nBereich" + n
             + "Bis=" + QByteArray::number(b[1]).replace('.', ',') + "\nBereich" + n
             + "Farbe=" + QByteArray::number(int(b[2])) + "\n";
    }
    return t;
}

} // namespace

TEST_F(FensterTest, HumidityGaugeTakesItsScaleAndSectorsFromTheRanges)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    writeFile(ini, bereiche("rf___RFSkala", {{0, 40, clRed}, {40, 70, clBlue}, {70, 100, clGreen}}));
    auto loader = werte(dir.path(QStringLiteral("d.txt")), {{"50", "1000", "1"}, {"103", "1000", "1"}, {"55", "1000", "1"}});
    auto* f = Erzeuge<TRLFenster>(owner, loader.get(), QStringLiteral("Feuchte"), QStringLiteral("%"), kRf, ini, 0);
    TMeter* m = f->AktuellerWertMeter;
    EXPECT_EQ(m->Minimum(), 0);
    EXPECT_EQ(m->Maximum(), 100);
    EXPECT_EQ(m->Bereiche().Count(), 3);
    EXPECT_EQ(f->AktuellerWertLabel->Caption(), QStringLiteral("-     "));   // nothing before the first tick
    for (TFensterLabel* l : {f->MinEinheitLabel, f->MittelEinheitLabel, f->MaxEinheitLabel})
        EXPECT_EQ(l->Caption(), QStringLiteral("%"));

    f->Aktualisiere(loader.get());
    EXPECT_EQ(f->AktuellerWertLabel->Caption(), QStringLiteral("55"));
    EXPECT_EQ(f->AktuellerWertLabel->FontColor(), clBlue);
    EXPECT_EQ(m->Position(), 55);
    EXPECT_EQ(MeterNabenFarbe(m->Bereiche(), 55), clBlue);
    // The faulty 103 lies beyond the ranges: the maximum shows their top.
    EXPECT_EQ(f->MaxLabel->Caption(), QStringLiteral("100"));
    EXPECT_EQ(f->MaxLabel->FontColor(), clRed);

    // A current value beyond the ranges leaves label and gauge as they were.
    auto spaeter = werte(dir.path(QStringLiteral("d2.txt")), {{"50", "1000", "1"}, {"103", "1000", "1"}});
    f->Aktualisiere(spaeter.get());
    EXPECT_EQ(f->AktuellerWertLabel->Caption(), QStringLiteral("55"));
    EXPECT_EQ(m->Position(), 55);
    // A minimum below the ranges shows their bottom.
    auto tief = werte(dir.path(QStringLiteral("d3.txt")), {{"-3", "1000", "1"}, {"60", "1000", "1"}});
    f->Aktualisiere(tief.get());
    EXPECT_EQ(f->MinLabel->Caption(), QStringLiteral("0"));
    EXPECT_EQ(f->AktuellerWertLabel->Caption(), QStringLiteral("60"));
    abbauen(f);

    // The scale is the ranges' span, rounded half to even.
    for (const auto& [von, bis, unten, oben] : {std::array<double, 4>{10, 90, 10, 90}, {20.4, 60.5, 20, 60}}) {
        QFile::remove(ini);
        writeFile(ini, bereiche("rf___RFSkala", {{von, bis, clRed}}));
        auto* g = Erzeuge<TRLFenster>(owner, nullptr, QString(), QString(), kRf, ini, 0);
        EXPECT_EQ(g->AktuellerWertMeter->Minimum(), unten);
        EXPECT_EQ(g->AktuellerWertMeter->Maximum(), oben);
        abbauen(g);
    }
    // Bounds no int holds are kept in range instead of failing.
    QFile::remove(ini);
    writeFile(ini, bereiche("rf___RFSkala", {{-1e300, 1e300, clRed}}));
    auto* riesig = Erzeuge<TRLFenster>(owner, nullptr, QString(), QString(), kRf, ini, 0);
    EXPECT_EQ(riesig->AktuellerWertMeter->Minimum(), std::numeric_limits<int>::min());
    EXPECT_EQ(riesig->AktuellerWertMeter->Maximum(), std::numeric_limits<int>::max());
    abbauen(riesig);
}

TEST_F(FensterTest, DialWindowsShowTheWidestValuesWhole)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    auto* rl = Erzeuge<TRLFenster>(owner, nullptr, QString(), QString(), kRf, ini, 1);
    auto* wind = Erzeuge<TWindspeedFenster>(owner, nullptr, QString(), QString(), kFf, ini, 1);
    for (TFensterLabel* l : {rl->AktuellerWertLabel, rl->MinLabel, rl->MittelLabel, rl->MaxLabel, wind->WertULLabel,
                             wind->WertUMLabel, wind->WertURLabel})
        for (const char* wert : {"-1500,0", "1015,5", "-5400,0", "-1500,123456789012345"}) {
            l->SetCaption(QString::fromLatin1(wert));
            EXPECT_TRUE(textPasst(*l, 2)) << wert;
        }
    abbauen(rl);
    abbauen(wind);
}

TEST_F(FensterTest, BarometerShowsCaptionWithUnitAndKeepsItsValueBeyondTheRanges)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    auto* ohne = Erzeuge<TLuftdruckFenster>(owner, nullptr, QStringLiteral("Luftdruck"), QStringLiteral("hPa"), kP, ini, 1);
    TMeter* m = ohne->AktuellerWertMeter;
    EXPECT_EQ(m->Beschriftung(), QStringLiteral("Luftdruck (hPa)"));
    EXPECT_TRUE(m->Waiting());
    EXPECT_EQ(m->AnzahlKommastellen(), 1);
    EXPECT_EQ(ohne->Nachkommastellen, 0);
    ohne->SetEinheit(QString());
    EXPECT_EQ(m->Beschriftung(), QStringLiteral("Luftdruck ()"));
    auto loader = werte(dir.path(QStringLiteral("d.txt")), {{"50", "998.6", "1"}});
    ohne->Aktualisiere(loader.get());
    EXPECT_FALSE(m->Waiting());
    EXPECT_EQ(m->Position(), 998.6);
    EXPECT_EQ(m->BeschrFarbe(), clRed);
    EXPECT_EQ(MeterWertText(MeterAnzeigeWert(m->Position(), m->AnzeigeSchritt(), MeterSkala(800, 1100)), 1, false),
              QStringLiteral("998,6"));
    abbauen(ohne);

    QFile::remove(ini);
    writeFile(ini, bereiche("p____Barometer", {{950, 1000, clRed}, {1000, 1050, clBlue}}));
    auto* mit = Erzeuge<TLuftdruckFenster>(owner, nullptr, QStringLiteral("Luftdruck"), QStringLiteral("hPa"), kP, ini, 1);
    m = mit->AktuellerWertMeter;
    EXPECT_EQ(m->Minimum(), 950);
    EXPECT_EQ(m->Maximum(), 1050);
    auto hoch = werte(dir.path(QStringLiteral("d2.txt")), {{"50", "1040", "1"}});
    mit->Aktualisiere(hoch.get());
    EXPECT_EQ(m->Position(), 1040);
    auto zuHoch = werte(dir.path(QStringLiteral("d3.txt")), {{"50", "1060", "1"}});
    mit->Aktualisiere(zuHoch.get());
    EXPECT_EQ(m->Position(), 1040);
    abbauen(mit);
}

TEST(BeaufortZahl, BandsIncludeTheirUpperBound)
{
    // Each band's upper bound in m/s belongs to it; a hundredth more is the next band.
    const double grenzen[] = {0.2, 1.5, 3.3, 5.4, 7.9, 10.7, 13.8, 17.1, 20.7, 24.4, 28.4, 32.6, 36.9};
    for (int b = 0; b < 13; ++b) {
        EXPECT_EQ(BeaufortZahl(grenzen[b]), b) << grenzen[b];
        EXPECT_EQ(BeaufortZahl(grenzen[b] + 0.01), b + 1) << grenzen[b] + 0.01;
    }
    const std::pair<double, int> faelle[] = {{-0.5, 0}, {0, 0}, {28.43, 11}, {37, 13}, {1e300, 13}, {std::nan(""), 0}};
    for (const auto& [v, b] : faelle)
        EXPECT_EQ(BeaufortZahl(v), b) << v;
}

// 50 m/s: 180 km/h and 97.2 knots, where a factor a little off shows after rounding.
TEST_F(FensterTest, WindSpeedUnitsShowTheSpeedInEveryUnit)
{
    struct Zeile {
        const char* einheit;
        double position;
        int maximum, schritt, stellen;
        double anzeigeSchritt;
        const char *links, *mitte, *rechts, *wertLinks, *wertMitte, *wertRechts;
    };
    const Zeile zeilen[] = {
        {"m/s", 50, 50, 5, 1, 0.1, "Beaufort", "km/h", "Knoten", "13", "180,0", "97,2"},
        {"km/h", 180, 150, 10, 1, 0.1, "Knoten", "m/s", "Beaufort", "97,2", "50,0", "13"},
        {"Knoten", 97.2, 75, 5, 1, 0.1, "m/s", "Beaufort", "km/h", "50,0", "13", "180,0"},
        {"Beaufort", 13, 12, 1, 0, 1.0, "km/h", "Knoten", "m/s", "180,0", "97,2", "50,0"},
    };
    const QString ini = dir.path(QStringLiteral("v.ini"));
    auto loader = werte(dir.path(QStringLiteral("d.txt")), {{"50", "1000", "50"}});
    auto* f = Erzeuge<TWindspeedFenster>(owner, loader.get(), QString(), QString(), kFf, ini, 1);
    TMeter* m = f->AktuellerWertMeter;
    for (const Zeile& z : zeilen) {
        SCOPED_TRACE(z.einheit);
        f->SetEinheit(QString::fromUtf8(z.einheit));
        EXPECT_NEAR(m->Position(), z.position, 1e-9);
        EXPECT_EQ(m->Minimum(), 0);
        EXPECT_EQ(m->Maximum(), z.maximum);
        EXPECT_EQ(m->BeschriftungSchritt(), z.schritt);
        EXPECT_EQ(m->AnzahlKommastellen(), z.stellen);
        EXPECT_DOUBLE_EQ(m->AnzeigeSchritt(), z.anzeigeSchritt);
        EXPECT_EQ(f->BeschrULLabel->Caption(), QString::fromUtf8(z.links));
        EXPECT_EQ(f->BeschrUMLabel->Caption(), QString::fromUtf8(z.mitte));
        EXPECT_EQ(f->BeschrURLabel->Caption(), QString::fromUtf8(z.rechts));
        EXPECT_EQ(f->WertULLabel->Caption(), QString::fromUtf8(z.wertLinks));
        EXPECT_EQ(f->WertUMLabel->Caption(), QString::fromUtf8(z.wertMitte));
        EXPECT_EQ(f->WertURLabel->Caption(), QString::fromUtf8(z.wertRechts));
    }
    abbauen(f);
}

TEST_F(FensterTest, WindSpeedShowsEveryUnitAndKeepsOneRangeListPerUnit)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    auto loader = werte(dir.path(QStringLiteral("d.txt")), {{"50", "1000", "10"}});
    auto* f = Erzeuge<TWindspeedFenster>(owner, loader.get(), QStringLiteral("Wind"), QStringLiteral("egal"), kFf, ini, 1);
    TMeter* m = f->AktuellerWertMeter;
    // A new section: m/s, 0..50, no ranges, the value shown at once.
    EXPECT_EQ(f->Einheit, QStringLiteral("m/s"));
    EXPECT_TRUE(f->m21->isChecked());
    EXPECT_EQ(m->Maximum(), 50);
    EXPECT_EQ(m->Position(), 10);
    EXPECT_EQ(f->Beschriftung, QStringLiteral("m/s"));
    EXPECT_EQ(f->BeschrULLabel->Caption(), QStringLiteral("Beaufort"));
    EXPECT_EQ(f->WertULLabel->Caption(), QStringLiteral("5"));
    EXPECT_EQ(f->WertUMLabel->Caption(), QStringLiteral("36,0"));
    EXPECT_EQ(f->WertURLabel->Caption(), QStringLiteral("19,4"));

    f->kmh1->trigger();
    EXPECT_EQ(m->Position(), 36.0);
    EXPECT_EQ(m->Maximum(), 150);
    EXPECT_EQ(m->BeschriftungSchritt(), 10);
    EXPECT_EQ(f->WertULLabel->Caption(), QStringLiteral("19,4"));
    EXPECT_EQ(f->WertUMLabel->Caption(), QStringLiteral("10,0"));
    EXPECT_EQ(f->WertURLabel->Caption(), QStringLiteral("5"));
    EXPECT_FALSE(f->m21->isChecked());

    // Ranges edited while km/h shows end up in that unit's list only, and
    // come back with it.
    f->Bereiche->Add(clBlue, 0, 20);
    f->Beaufort1->trigger();
    EXPECT_EQ(m->Position(), 5);
    EXPECT_EQ(m->AnzahlKommastellen(), 0);
    EXPECT_EQ(f->Bereiche->Count(), 0);
    EXPECT_EQ(f->BereicheKMH->Count(), 1);
    EXPECT_EQ(f->BereicheMS->Count(), 0);
    f->m21->trigger();
    f->kmh1->trigger();
    ASSERT_EQ(f->Bereiche->Count(), 1);
    ASSERT_EQ(m->Bereiche().Count(), 1);
    EXPECT_EQ(m->Bereiche().GetBereich(0).Bis, 20);
    abbauen(f);

    // The section: four lists, the unit last, the caption the unit's name.
    const QString text = QString::fromUtf8(readFile(ini));
    EXPECT_TRUE(text.contains(QStringLiteral("[ff___Beaufortskala]\nFensterID=4\nBeschriftung=km/h\nSpalte=ff   [m/s ]\n"
                                             "PositionX=")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Aktiv=1\nAnzahlBereicheMS=-1\nAnzahlBereicheKMH=0\nBereichKMH0Von=0\n"
                                             "BereichKMH0Bis=20\nBereichKMH0Farbe=16711680\nAnzahlBereicheKTN=-1\n"
                                             "AnzahlBereicheBF=-1\nSchrift=")))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("LHFarbe=0\nEinheit=km/h\n"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("\nAnzahlBereiche=")));

    // Read back: the km/h list is there and shown.
    auto* wieder = Erzeuge<TWindspeedFenster>(owner, loader.get(), QString(), QString(), kFf, ini, 1);
    EXPECT_EQ(wieder->Einheit, QStringLiteral("km/h"));
    EXPECT_EQ(wieder->Bereiche->Count(), 1);
    EXPECT_EQ(wieder->AktuellerWertMeter->Bereiche().Count(), 1);

    // An unknown unit (a hand-edited file) shows nothing and no tick mark.
    wieder->SetEinheit(QStringLiteral("Furlong"));
    for (QAction* a : {wieder->Beaufort1, wieder->kmh1, wieder->Knoten1, wieder->m21})
        EXPECT_FALSE(a->isChecked());
    EXPECT_EQ(wieder->AktuellerWertMeter->Beschriftung(), QStringLiteral("Furlong"));
    abbauen(wieder);
}

TEST_F(FensterTest, DialWindowsWriteBackWhatTheyRead)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    const QByteArray gemeinsam = "PositionX=10\nPositionY=20\nAktiv=1\nAnzahlBereiche=1\nBereich0Von=0\n"
                                 "Bereich0Bis=40,5\nBereich0Farbe=255\nBereich1Von=40,5\nBereich1Bis=100\n"
                                 "Bereich1Farbe=-2147483633\nSchrift=Arial\nSchriftFarbeWerte=65280\n"
                                 "SchriftFarbeBesch=128\nFensterFarbe=12632256\nLHFarbe=8388608\n";
    const QByteArray text = "[rf___RFSkala]\nFensterID=5\nBeschriftung=Feuchte\nSpalte=rf   [%   ]\nEinheit=%\n"
                            + gemeinsam + "\n[p____Barometer]\nFensterID=7\nBeschriftung=Druck\nSpalte=p    [hPa ]\n"
                            "Einheit=hPa\n" + gemeinsam + "\n[ff___Beaufortskala]\nFensterID=4\nBeschriftung=Knoten\n"
                            "Spalte=ff   [m/s ]\nPositionX=10\nPositionY=20\nAktiv=1\nAnzahlBereicheMS=-1\n"
                            "AnzahlBereicheKMH=-1\nAnzahlBereicheKTN=0\nBereichKTN0Von=0\nBereichKTN0Bis=7,5\n"
                            "BereichKTN0Farbe=255\nAnzahlBereicheBF=-1\nSchrift=Arial\nSchriftFarbeWerte=65280\n"
                            "SchriftFarbeBesch=128\nFensterFarbe=12632256\nLHFarbe=8388608\nEinheit=Knoten\n";
    writeFile(ini, text);
    auto* rl = Erzeuge<TRLFenster>(owner, nullptr, QString(), QString(), kRf, ini, 0);
    auto* p = Erzeuge<TLuftdruckFenster>(owner, nullptr, QString(), QString(), kP, ini, 0);
    auto* ff = Erzeuge<TWindspeedFenster>(owner, nullptr, QString(), QString(), kFf, ini, 0);
    EXPECT_EQ(rl->AktuellerWertMeter->Color(), 12632256);
    EXPECT_EQ(p->AktuellerWertMeter->BeschrHFarbe(), 8388608);
    // With ranges the number keeps the form's red.
    EXPECT_EQ(p->AktuellerWertMeter->BeschrFarbe(), clRed);
    EXPECT_EQ(ff->AktuellerWertMeter->BeschrFarbe(), 65280);
    for (TGrundFenster* f : std::initializer_list<TGrundFenster*>{rl, p, ff})
        abbauen(f);
    EXPECT_EQ(QString::fromUtf8(readFile(ini)), QString::fromUtf8(text));
}
