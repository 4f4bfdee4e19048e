#include "FensterTestSupport.h"
#include "IniFiles.h"
#include "RegenMesserFensterUnit.h"
#include "SysUtils.h"

#include <QAction>

namespace {

const QString kKopf = QStringLiteral("Datum\tUhrzeit\trr   [mm  ]");
const QString kRr = QStringLiteral("rr   [mm  ]");

QString zeile(const QString& zeit, double wert)
{
    return QStringLiteral("08.12.2026\t%1\t%2").arg(zeit).arg(wert);
}

// One record a minute from 10:00 to 13:59: 0.1 each, 9 at every full
// hour, and 5 half a second after noon (in no period: the last second of
// a period belongs to none).
QStringList vierStunden()
{
    QStringList zeilen;
    for (int h = 10; h < 14; ++h)
        for (int m = 0; m < 60; ++m) {
            const QString zeit = QStringLiteral("%1:%2:00").arg(h).arg(m, 2, 10, QChar(u'0'));
            zeilen << zeile(zeit, m == 0 ? 9.0 : 0.1);
            if (h == 12 && m == 0)
                zeilen << zeile(QStringLiteral("12:00:00,500"), 5.0);
        }
    return zeilen;
}

TDateTime um(int h, int n, int s = 0, int ms = 0)
{
    return EncodeDate(2026, 12, 8) + EncodeTime(h, n, s, ms);
}

} // namespace

TEST_F(FensterTest, RainPeriodsEndOnTheFullHourAndCountEachBoundaryRecordOnce)
{
    EXPECT_EQ(AufVolleStundeAuf(um(14, 0)), um(14, 0));
    EXPECT_EQ(AufVolleStundeAuf(um(14, 0, 0, 1)), um(15, 0));
    EXPECT_EQ(AufVolleStundeAuf(um(23, 30)), EncodeDate(2026, 12, 9));

    int n = -1;
    EXPECT_TRUE(RegenPeriodenAnzahl(24, 60, n));
    EXPECT_EQ(n, 24);
    EXPECT_TRUE(RegenPeriodenAnzahl(24, 10, n));
    EXPECT_EQ(n, 144);
    EXPECT_TRUE(RegenPeriodenAnzahl(5, 120, n));   // 2.5 goes to the even 2
    EXPECT_EQ(n, 2);
    EXPECT_TRUE(RegenPeriodenAnzahl(7, 120, n));   // 3.5 to 4
    EXPECT_EQ(n, 4);
    // 65535 periods are the most.
    EXPECT_TRUE(RegenPeriodenAnzahl(65535, 60, n));
    EXPECT_EQ(n, 65535);
    for (const auto& [stunden, minuten] : {std::pair{24, 0}, {24, -10}, {-1, 60}, {1093, 1}, {65536, 60}})
        EXPECT_FALSE(RegenPeriodenAnzahl(stunden, minuten, n)) << stunden << " h " << minuten << " min";

    auto loader = loaderMit(dir.path(QStringLiteral("d.txt")), kKopf, vierStunden());
    // E = 14:00; the full-hour records each open the older period.
    const TRegenPerioden p = RegenPerioden(*loader, kRr, 4, 60);
    EXPECT_EQ(p.Ende, um(14, 0));
    ASSERT_EQ(p.Maxima.size(), 5u);
    EXPECT_EQ(p.Maxima, (std::vector<double>{0.1, 9.0, 9.0, 9.0, 9.0}));
    EXPECT_DOUBLE_EQ(p.Summe, 36.1);
    EXPECT_NEAR(p.PeriodenEnde(2), um(12, 0), 1e-9);
    EXPECT_DOUBLE_EQ(RegenSumme(*loader, kRr, 3, 60), 27.1);
    EXPECT_DOUBLE_EQ(RegenSumme(*loader, kRr, 0, 60), 0.1);
    // Ten-minute periods: four end on a full hour with its 9, the other 21
    // hold 0.1 each.
    EXPECT_NEAR(RegenSumme(*loader, kRr, 4, 10), 4 * 9.0 + 21 * 0.1, 1e-9);
    EXPECT_EQ(RegenSumme(*loader, kRr, 24, 0), 0);
    EXPECT_EQ(RegenSumme(*loader, QStringLiteral("fehlt"), 24, 60), 0);
}

TEST_F(FensterTest, RainRecordsOnPeriodBoundariesCountWhereverTheHourFalls)
{
    // E = 13:00: a third of the ends 13:00 less k x 10 min, worked out as
    // fractions of a day, come out a hair before the record on them.
    QStringList zeilen;
    for (int k = 138; k >= 0; --k) {
        const int minute = 13 * 60 + 24 * 60 - k * 10;   // of the day before
        const QString tag = minute < 24 * 60 ? QStringLiteral("07.12.2026") : QStringLiteral("08.12.2026");
        zeilen << QStringLiteral("%1\t%2:%3:00\t1")
                      .arg(tag)
                      .arg(minute / 60 % 24, 2, 10, QChar(u'0'))
                      .arg(minute % 60, 2, 10, QChar(u'0'));
    }
    auto loader = loaderMit(dir.path(QStringLiteral("d.txt")), kKopf, zeilen);
    ASSERT_EQ(loader->Datensaetze(), 139);
    const TRegenPerioden p = RegenPerioden(*loader, kRr, 23, 10);
    EXPECT_EQ(p.Ende, um(13, 0));
    EXPECT_EQ(p.Maxima, std::vector<double>(139, 1.0));
    EXPECT_EQ(p.Summe, 139);

    // A period starts one second after the older one's end: a record on that
    // second is its own, one on the boundary the older period's, one half a
    // second after the boundary nobody's.
    auto grenze = loaderMit(dir.path(QStringLiteral("g.txt")), kKopf,
                            {zeile(QStringLiteral("12:00:00"), 1), zeile(QStringLiteral("12:00:00,500"), 4),
                             zeile(QStringLiteral("12:00:01"), 2), zeile(QStringLiteral("13:00:00"), 0.5)});
    const TRegenPerioden g = RegenPerioden(*grenze, kRr, 1, 60);
    EXPECT_EQ(g.Ende, um(13, 0));
    EXPECT_EQ(g.Maxima, (std::vector<double>{2, 1}));
}

TEST_F(FensterTest, RainGaugeWindowShowsSumMaximumAndStartAndKeepsSaneSettings)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    writeFile(ini, "[Global]\nVerlaufIntervalRegen=4\nMittelwertzeit=45\n");
    auto loader = loaderMit(dir.path(QStringLiteral("d.txt")), kKopf, vierStunden());
    auto* f = Erzeuge<TRegenMesserFenster>(owner, loader.get(), QStringLiteral("Regen"), QStringLiteral("mm"), kRr,
                                            ini, 1);
    EXPECT_EQ(f->Name(), QStringLiteral("rr___Regenmesser"));
    // Filled at once by the period setters; 45 minutes ticks no item.
    EXPECT_EQ(f->Mittelwertzeit, 45);
    for (QAction* a : f->PeriodenPunkte)
        EXPECT_FALSE(a->isChecked());

    f->SetMittelwertzeit(60);
    EXPECT_EQ(f->AktuellerWertLabel->Caption(), QStringLiteral("36,1"));
    EXPECT_EQ(f->MaxLabel->Caption(), QStringLiteral("Max nied/MWZ: 9,0"));
    // 14:00 less 4 h less 1 h is 09:00; the oldest record, 10:00, is later.
    EXPECT_EQ(f->AufzeichnungLabel->text(), QStringLiteral("Werte seit:\n08.12.2026 10:00:00"));
    f->SetVerlaufIntervalRegen(1);
    EXPECT_EQ(f->AktuellerWertLabel->Caption(), QStringLiteral("9,1"));
    EXPECT_EQ(f->AufzeichnungLabel->text(), QStringLiteral("Werte seit:\n08.12.2026 12:00:00"));

    f->PeriodenPunkte.at(2)->trigger();   // "30": three half hours
    EXPECT_EQ(f->Mittelwertzeit, 30);
    EXPECT_EQ(f->AktuellerWertLabel->Caption(), QStringLiteral("9,2"));
    for (QAction* a : f->PeriodenPunkte)
        EXPECT_EQ(a->isChecked(), a->text() == QLatin1String("30")) << a->text().toStdString();

    // No period can be counted: the values held stay.
    f->SetMittelwertzeit(0);
    f->SetVerlaufIntervalRegen(-3);
    f->SetVerlaufIntervalRegen(40000);
    EXPECT_EQ(f->Mittelwertzeit, 30);
    EXPECT_EQ(f->VerlaufIntervalRegen, 1);
    // Nor a pick from the menu that gives more than 65535 periods: only the
    // period in use keeps its tick, none when it has no item.
    const auto haken = [f] {
        QStringList r;
        for (QAction* a : f->PeriodenPunkte)
            if (a->isChecked())
                r << a->text();
        return r;
    };
    f->PeriodenPunkte.at(3)->trigger();   // "60"
    f->SetVerlaufIntervalRegen(2000 * 24);
    f->PeriodenPunkte.at(0)->trigger();   // "10": 288000 periods
    f->PeriodenPunkte.at(2)->trigger();   // "30": 96000
    EXPECT_EQ(f->Mittelwertzeit, 60);
    EXPECT_EQ(haken(), QStringList{QStringLiteral("60")});
    f->SetMittelwertzeit(45);
    f->PeriodenPunkte.at(1)->trigger();   // "20": 144000
    EXPECT_EQ(f->Mittelwertzeit, 45);
    EXPECT_EQ(haken(), QStringList());
    f->SetVerlaufIntervalRegen(1);
    f->SetMittelwertzeit(30);

    // Ranges: a sum no range holds keeps the label as it was.
    f->Bereiche->Add(clBlue, 0, 5);
    f->SetVerlaufIntervalRegen(4);
    EXPECT_EQ(f->AktuellerWertLabel->Caption(), QStringLiteral("9,2"));
    f->SetVerlaufIntervalRegen(0);
    EXPECT_EQ(f->AktuellerWertLabel->Caption(), QStringLiteral("0,1"));
    EXPECT_EQ(f->AktuellerWertLabel->FontColor(), clBlue);

    abbauen(f);
    const TIniFile gelesen(ini);
    EXPECT_EQ(gelesen.ReadInteger(QStringLiteral("Global"), QStringLiteral("VerlaufIntervalRegen"), -1), 0);
    EXPECT_EQ(gelesen.ReadInteger(QStringLiteral("Global"), QStringLiteral("Mittelwertzeit"), -1), 30);
    EXPECT_EQ(gelesen.ReadInteger(QStringLiteral("rr___Regenmesser"), QStringLiteral("FensterID"), -1), 10);
    EXPECT_EQ(gelesen.ReadString(QStringLiteral("rr___Regenmesser"), QStringLiteral("Einheit"), {}),
              QStringLiteral("mm"));
}
