#include "FensterTestSupport.h"
#include "IniFiles.h"
#include "ZustandFensterUnit.h"

#include <cmath>

namespace {

const QString kKopf = QStringLiteral("Datum\tUhrzeit\tz    [-   ]");
const QString kZ = QStringLiteral("z    [-   ]");

QString zeile(int sekunde, const QString& wert)
{
    return QStringLiteral("08.12.2026\t10:00:%1\t%2").arg(sekunde, 2, 10, QChar(u'0')).arg(wert);
}

} // namespace

TEST_F(FensterTest, StateShowsJaNeinOrDashColouredByTheStateNumber)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    writeFile(ini, "[z____Zustand]\nAnzahlBereiche=1\nBereich0Von=0\nBereich0Bis=0\nBereich0Farbe=32768\n"
                   "Bereich1Von=1\nBereich1Bis=1\nBereich1Farbe=255\n");
    auto* f = Erzeuge<TZustandFenster>(owner, nullptr, QStringLiteral("Regen"), kZ, ini);
    EXPECT_EQ(f->Name(), QStringLiteral("z____Zustand"));
    EXPECT_EQ(f->Zustand, -1);
    EXPECT_EQ(f->ZustandLabel->Caption(), QStringLiteral("-"));

    f->ZeigeZustand(0);
    EXPECT_EQ(f->ZustandLabel->Caption(), QStringLiteral("Nein"));
    EXPECT_EQ(f->ZustandLabel->FontColor(), clGreen);
    f->ZeigeZustand(1);
    EXPECT_EQ(f->ZustandLabel->Caption(), QStringLiteral("Ja"));
    EXPECT_EQ(f->ZustandLabel->FontColor(), clRed);
    f->ZeigeZustand(2);   // no range: the colour of the state before
    EXPECT_EQ(f->ZustandLabel->Caption(), QStringLiteral("-"));
    EXPECT_EQ(f->ZustandLabel->FontColor(), clRed);

    // Values are cut towards zero; no value leaves the last state.
    const struct {
        const char* wert;
        const char* text;
    } faelle[] = {{"1.7", "Ja"}, {"1.0", "Ja"}, {"0.4", "Nein"}, {"-0.9", "Nein"}, {"2", "-"},
                  {"-1", "-"},   {"0", "Nein"}, {"-9999", "Nein"}};
    for (const auto& fall : faelle) {
        auto loader = loaderMit(dir.path(QStringLiteral("d.txt")), kKopf, {zeile(0, QString::fromLatin1(fall.wert))});
        f->Aktualisiere(loader.get());
        EXPECT_EQ(f->ZustandLabel->Caption(), QString::fromLatin1(fall.text)) << fall.wert;
    }
    abbauen(f);

    // No unit in the section, the family's order otherwise.
    const QString text = QString::fromUtf8(readFile(ini));
    EXPECT_FALSE(text.contains(QStringLiteral("Einheit")));
    EXPECT_TRUE(text.contains(QStringLiteral("[z____Zustand]\nAnzahlBereiche=1\nBereich0Von=0\nBereich0Bis=0\n"
                                             "Bereich0Farbe=32768\nBereich1Von=1\nBereich1Bis=1\nBereich1Farbe=255\n"
                                             "FensterID=6\nBeschriftung=Regen\nSpalte=z    [-   ]\nPositionX=")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("Aktiv=1\nSchrift=MS SANS SERIF\nSchriftFarbeWerte=255\n"
                                             "SchriftFarbeBesch=0\nFensterFarbe=-2147483633\nLHFarbe=0\n")));
}

TEST(GanzzahlTeil, CutsTowardsZeroAndRefusesWhatNoIntHolds)
{
    int n = 7;
    EXPECT_TRUE(GanzzahlTeil(-0.9, n));
    EXPECT_EQ(n, 0);
    EXPECT_TRUE(GanzzahlTeil(2147483647.9, n));
    EXPECT_EQ(n, 2147483647);
    EXPECT_TRUE(GanzzahlTeil(-2147483648.9, n));
    EXPECT_EQ(n, -2147483647 - 1);
    for (double schlecht : {2147483648.0, -2147483649.0, 1e12, std::nan(""), HUGE_VAL, -HUGE_VAL})
        EXPECT_FALSE(GanzzahlTeil(schlecht, n)) << schlecht;
}
