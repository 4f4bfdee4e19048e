#include "Bereiche.h"
#include "DatenLoaderUnit.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

const QString kT2m = QStringLiteral("t2m  [°C  ]");
const QString kRf = QStringLiteral("rf   [%   ]");
const QString kTtp = QStringLiteral("ttp  [°C  ]");
const QString kHeader = QStringLiteral("Datum\tUhrzeit\tt2m  [°C  ]\trf   [%   ]\tx    [-   ]");

class AbfragenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        formatSettings() = FormatSettings::German();
        SetSleepFunction([](unsigned) {});
        ASSERT_TRUE(dir.isValid());
        datei = dir.filePath(QStringLiteral("daten.txt"));
    }
    void TearDown() override { SetSleepFunction({}); }

    void schreibe(const QString& pfad, const QString& text)
    {
        QFile f(pfad);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text.toUtf8());
    }
    static QString zeile(int minute, const QString& t, const QString& rf = QStringLiteral("80"),
                         const QString& x = QStringLiteral("1"))
    {
        return QStringLiteral("08.12.2026\t10:%1:00\t%2\t%3\t%4").arg(minute, 2, 10, QChar(u'0')).arg(t, rf, x);
    }
    // A loader whose store holds exactly the given lines (placeholder gone).
    std::unique_ptr<TDatenLoader> mit(const QStringList& zeilen, const QString& header = kHeader)
    {
        schreibe(datei, header + u'\n' + zeilen.first() + u'\n');
        auto l = std::make_unique<TDatenLoader>(datei, 1000, 1.0, u'\t', false);
        for (const QString& z : zeilen)
            l->NeuerDatensatz(z);
        l->LoescheAeltesten();   // the placeholder
        l->Meldungen.clear();
        return l;
    }
    static TDateTime um(int minute) { return EncodeDate(2026, 12, 8) + EncodeTime(10, minute, 0, 0); }

    QTemporaryDir dir;
    QString datei;
};

std::vector<double> werte(const TRealList& liste)
{
    std::vector<double> r;
    for (int i = 0; i < liste.Count(); ++i)
        r.push_back(liste.GetItem(i));
    return r;
}

} // namespace

TEST_F(AbfragenTest, StatisticsSkipMissingValues)
{
    // 3, missing, 5: the missing record stays only as the lone invalid one
    // would, so build it on a column outside the validity rule's reach.
    auto l = mit({zeile(0, QStringLiteral("3")), zeile(1, QStringLiteral("5"))});
    EXPECT_EQ(l->Datensaetze(), 2);
    EXPECT_DOUBLE_EQ(l->Maximum(kT2m, 5), 5);
    EXPECT_DOUBLE_EQ(l->Minimum(kT2m, 5), 3);
    EXPECT_DOUBLE_EQ(l->Mittelwert(kT2m, 5), 4);
    EXPECT_DOUBLE_EQ(l->AktuellerWert(QStringLiteral("T2M  "), 5), 5);
    EXPECT_TRUE(l->Meldungen.isEmpty());

    // A store whose only record is invalid keeps -9999 out of every result.
    schreibe(datei, kHeader + u'\n' + zeile(0, QString()) + u'\n');
    TDatenLoader leer(datei, 1000, 1, u'\t', false);
    EXPECT_EQ(leer.Maximum(kT2m, 5), -9999);
    EXPECT_EQ(leer.Mittelwert(kT2m, 5), -9999);

    l->Meldungen.clear();
    EXPECT_EQ(l->Maximum(QStringLiteral("zz   "), 5), -9999);
    EXPECT_EQ(l->Meldungen, QStringList{QStringLiteral("zz    existiert nicht im Header oder keine Daten!")});
}

TEST_F(AbfragenTest, MeanWithinBounds)
{
    auto l = mit({zeile(0, QStringLiteral("5")), zeile(1, QStringLiteral("12")), zeile(2, QStringLiteral("10"))});
    EXPECT_DOUBLE_EQ(l->MittelwertBereich(kT2m, 5, 0, 10), 7.5);   // bounds included
    EXPECT_DOUBLE_EQ(l->MittelwertBereich(kT2m, 5, 0, 4), -9999);
    EXPECT_TRUE(l->Meldungen.isEmpty());
}

TEST_F(AbfragenTest, DewPoint)
{
    auto l = mit({zeile(0, QStringLiteral("20"), QStringLiteral("50"))});
    EXPECT_NEAR(l->Taupunkt(20, 50), 9.3, 0.05);
    EXPECT_DOUBLE_EQ(l->AktuellerWert(kTtp, 5), l->Taupunkt(20, 50));

    // Below freezing the ice constants apply.
    const double x = Saettigungsdampfdruck(-5) * 0.01 * 80 / 6.1078;
    EXPECT_DOUBLE_EQ(l->Taupunkt(-5, 80), 245.425 * std::log(x) / (17.84362 - std::log(x)));
    EXPECT_LT(Saettigungsdampfdruck(-5), 6.1078);
    // A water result below 0 is computed again over ice, from the same x.
    const double x2 = Saettigungsdampfdruck(1) * 0.01 * 10 / 6.1078;
    EXPECT_DOUBLE_EQ(l->Taupunkt(1, 10), 245.425 * std::log(x2) / (17.84362 - std::log(x2)));

    EXPECT_EQ(l->Taupunkt(-9999, 50), -9999);
    EXPECT_EQ(l->Taupunkt(20, -9999), -9999);
    EXPECT_EQ(l->Taupunkt(20, 0), -9999);
    EXPECT_EQ(l->Taupunkt(20, -3), -9999);

    // Both missing: the temperature's message comes first.
    schreibe(datei, QStringLiteral("Datum\tUhrzeit\tx\n08.12.2026\t10:00:00\t3\n"));
    TDatenLoader ohneBeide(datei, 1000, 1, u'\t', false);
    ohneBeide.Meldungen.clear();
    EXPECT_EQ(ohneBeide.AktuellerWert(kTtp, 5), -9999);
    EXPECT_EQ(ohneBeide.Meldungen, (QStringList{QStringLiteral("t2m  [°C  ] existiert nicht im Header oder keine Daten!"),
                                               QStringLiteral("rf   [%   ] existiert nicht im Header oder keine Daten!")}));

    // Only the exact name means the dew point; without humidity it can't be made.
    EXPECT_EQ(l->AktuellerWert(QStringLiteral("TTP  [°C  ]"), 5), -9999);
    schreibe(datei, QStringLiteral("Datum\tUhrzeit\tt2m  [°C  ]\n08.12.2026\t10:00:00\t3\n"));
    TDatenLoader ohneRf(datei, 1000, 1, u'\t', false);
    ohneRf.Meldungen.clear();
    EXPECT_EQ(ohneRf.AktuellerWert(kTtp, 5), -9999);
    EXPECT_TRUE(ohneRf.Meldungen.contains(QStringLiteral("rf   [%   ] existiert nicht im Header oder keine Daten!")));
    ohneRf.Meldungen.clear();
    EXPECT_EQ(ohneRf.Maximum(kTtp, 5), -9999);
    EXPECT_EQ(ohneRf.Meldungen, QStringList{QStringLiteral("Fehler beim Berechnen von ttp  [°C  ]")});
}

TEST_F(AbfragenTest, HistoriesAndPeriods)
{
    auto l = mit({zeile(0, QStringLiteral("1")), zeile(1, QStringLiteral("2")), zeile(2, QStringLiteral("3"))});
    TRealList liste;
    l->WerteAb(kT2m, 5, um(1), &liste);
    EXPECT_EQ(werte(liste), (std::vector<double>{3, 2}));
    l->WerteAb(kT2m, 5, um(3), &liste);
    EXPECT_EQ(liste.Count(), 0);
    EXPECT_TRUE(l->Meldungen.isEmpty());

    l->WerteZeitraum(kT2m, 5, um(0), um(1), &liste);
    EXPECT_EQ(werte(liste), (std::vector<double>{2, 1}));
    l->WerteZeitraum(kT2m, 5, um(2), um(1), &liste);   // end before start: list left alone
    EXPECT_EQ(werte(liste), (std::vector<double>{2, 1}));
    EXPECT_EQ(l->Meldungen, QStringList{QStringLiteral("Endzeit ist kleiner als die Beginnzeit!")});
    l->Meldungen.clear();
    EXPECT_EQ(l->MaximumZeitraum(kT2m, 5, um(2), um(1)), -9999);
    EXPECT_EQ(l->Meldungen, QStringList{QStringLiteral("Endzeit ist kleiner als Beginnzeit!")});
    l->Meldungen.clear();

    EXPECT_DOUBLE_EQ(l->MaximumZeitraum(kT2m, 5, um(0), um(1)), 2);
    EXPECT_EQ(l->MaximumZeitraum(kT2m, 5, um(5), um(9)), -9999);
    EXPECT_TRUE(l->Meldungen.isEmpty());

    l->WerteLetzteSekunden(kT2m, 5, 60, &liste);
    EXPECT_EQ(werte(liste), (std::vector<double>{3, 2}));

    l->WerteAb(kT2m, 5, um(0), nullptr);
    l->WerteLetzteSekunden(kT2m, 5, 60, nullptr);
    EXPECT_EQ(l->Meldungen.count(QStringLiteral("Liste wurde nicht initialisiert!")), 2);

    QString name = QStringLiteral("unverändert");
    l->GetSpaltenName(2, name);
    EXPECT_EQ(name, kT2m);
    l->Meldungen.clear();
    l->GetSpaltenName(5, name);   // the dew point isn't a stored column
    EXPECT_EQ(name, kT2m);
    EXPECT_EQ(l->Meldungen, QStringList{QStringLiteral("5 ist keine gültige Spaltenzahl!")});
}

TEST_F(AbfragenTest, WalksStopOrSkipAsTheyShould)
{
    // WerteAb stops at the first older record; WerteZeitraum and
    // MaximumZeitraum look at every record.
    auto l = mit({zeile(5, QStringLiteral("1")), zeile(6, QStringLiteral("2"))});
    l->NeuerDatensatz(zeile(1, QStringLiteral("7")));   // an older stamp appended last
    l->NeuerDatensatz(zeile(7, QStringLiteral("4")));
    TRealList liste;
    l->WerteAb(kT2m, 5, um(5), &liste);
    EXPECT_EQ(werte(liste), (std::vector<double>{4}));
    l->WerteZeitraum(kT2m, 5, um(5), um(7), &liste);
    EXPECT_EQ(werte(liste), (std::vector<double>{4, 2, 1}));
    EXPECT_DOUBLE_EQ(l->MaximumZeitraum(kT2m, 5, um(0), um(6)), 7);
}

TEST_F(AbfragenTest, CachedStatisticsMatchAPlainWalk)
{
    std::mt19937 zufall(7);
    std::uniform_real_distribution<double> wert(-30, 40);
    std::uniform_int_distribution<int> wahl(0, 9);
    schreibe(datei, kHeader + u'\n' + zeile(0, QStringLiteral("1")) + u'\n');
    TDatenLoader l(datei, 1000, 1, u'\t', false);
    int sekunde = 0;
    for (int schritt = 0; schritt < 400; ++schritt) {
        const int w = wahl(zufall);
        if (w < 6) {
            ++sekunde;
            const QString t = w == 0 ? QString() : QString::number(wert(zufall), 'f', 3);
            const QString rf = w == 1 ? QStringLiteral("0") : QString::number(50 + sekunde % 40);
            l.NeuerDatensatz(QStringLiteral("08.12.2026\t%1:%2:%3\t%4\t%5\t1")
                                 .arg(10 + sekunde / 3600)
                                 .arg(sekunde / 60 % 60, 2, 10, QChar(u'0'))
                                 .arg(sekunde % 60, 2, 10, QChar(u'0'))
                                 .arg(t, rf));
        } else if (w < 9) {
            l.LoescheAeltesten();
        } else {
            l.LadeDatei();
        }
        const int n = l.Datensaetze();
        double mx = -9999, mn = -9999, summe = 0, tmx = -9999, tsumme = 0;
        int anzahl = 0, tanzahl = 0;
        for (int i = 0; i < n; ++i) {
            const double v = l.Wert(i, 2);
            if (v != -9999) {
                mx = mx == -9999 || v > mx ? v : mx;
                mn = mn == -9999 || v < mn ? v : mn;
                summe += v;
                ++anzahl;
            }
            const double d = l.Taupunkt(v, l.Wert(i, 3));
            if (d != -9999) {
                tmx = tmx == -9999 || d > tmx ? d : tmx;
                tsumme += d;
                ++tanzahl;
            }
        }
        ASSERT_EQ(l.Maximum(kT2m, 5), mx) << schritt;
        ASSERT_EQ(l.Minimum(kT2m, 5), mn) << schritt;
        ASSERT_EQ(l.Mittelwert(kT2m, 5), anzahl ? summe / anzahl : -9999) << schritt;
        ASSERT_EQ(l.Maximum(kTtp, 5), tmx) << schritt;
        ASSERT_EQ(l.Mittelwert(kTtp, 5), tanzahl ? tsumme / tanzahl : -9999) << schritt;
    }
}

TEST_F(AbfragenTest, SaveFileRoundTrip)
{
    auto l = mit({zeile(0, QStringLiteral("1.5")), zeile(1, QStringLiteral("-2.25")), zeile(2, QStringLiteral("0.1"))});
    const QString sav = dir.filePath(QStringLiteral("AutoSave.sav"));
    l->SpeichereDatei(sav);
    EXPECT_TRUE(l->Meldungen.isEmpty());
    QFile f(sav);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList zeilen = QString::fromUtf8(f.readAll()).split(u'\n');
    ASSERT_GE(zeilen.size(), 4);
    EXPECT_EQ(zeilen.at(0), kHeader);
    EXPECT_EQ(zeilen.at(2), QStringLiteral("08.12.2026\t10:01:00\t-2,25\t80\t1"));

    // A fresh start holds the placeholder only: every saved record comes back.
    schreibe(datei, kHeader + u'\n' + zeile(9, QStringLiteral("4")) + u'\n');
    TDatenLoader neu(datei, 1000, 1, u'\t', false);
    neu.LadeSicherung(sav);
    EXPECT_TRUE(neu.Meldungen.isEmpty());
    ASSERT_EQ(neu.Datensaetze(), 4);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(neu.Wert(r + 1, c), l->Wert(r, c));
    neu.LadeSicherung(sav);   // nothing newer the second time
    EXPECT_EQ(neu.Datensaetze(), 4);
    neu.TimerTimer();   // the live line joins, the placeholder goes
    EXPECT_EQ(neu.Datensaetze(), 4);
    EXPECT_DOUBLE_EQ(neu.AktuellerWert(kT2m, 5), 4);

    // One character off in the header: rejected.
    schreibe(sav, kHeader + QStringLiteral("x\n") + zeile(3, QStringLiteral("1")) + u'\n');
    neu.LadeSicherung(sav);
    EXPECT_EQ(neu.Meldungen, QStringList{QStringLiteral("Header verschieden, Datei nicht geladen!")});
    neu.Meldungen.clear();

    // A saved -9999 makes its record invalid.
    schreibe(sav, kHeader + u'\n' + QStringLiteral("08.12.2026\t10:20:00\t-9999\t80\t1\n"));
    neu.LadeSicherung(sav);
    EXPECT_EQ(neu.Datensaetze(), 4);

    // Lines ended by CR LF, as an editor on another system may leave them.
    schreibe(sav, kHeader + QStringLiteral("\r\n") + zeile(1, QStringLiteral("7,5")) + QStringLiteral("\r\n")
                      + zeile(2, QStringLiteral("-1")) + QStringLiteral("\r\n"));
    TDatenLoader crlf(datei, 1000, 1, u'\t', false);
    crlf.LadeSicherung(sav);
    EXPECT_TRUE(crlf.Meldungen.isEmpty()) << crlf.Meldungen.join(u'|').toStdString();
    ASSERT_EQ(crlf.Datensaetze(), 3);
    EXPECT_EQ(crlf.Wert(1, 2), 7.5);
    EXPECT_EQ(crlf.Wert(2, 2), -1);
    EXPECT_EQ(crlf.Wert(2, 4), 1);

    // The validity limits of a merge: 1500 and -1500 are kept, beyond them
    // and -9999 are not.
    schreibe(sav, kHeader + u'\n' + zeile(1, QStringLiteral("1500")) + u'\n' + zeile(2, QStringLiteral("1500,01")) + u'\n'
                      + zeile(3, QStringLiteral("-1500")) + u'\n' + zeile(4, QStringLiteral("-1500,01")) + u'\n'
                      + zeile(5, QStringLiteral("5"), QStringLiteral("-9999")) + u'\n');
    TDatenLoader grenzen(datei, 1000, 1, u'\t', false);
    grenzen.LadeSicherung(sav);
    ASSERT_EQ(grenzen.Datensaetze(), 3);
    EXPECT_EQ(grenzen.Wert(1, 2), 1500);
    EXPECT_EQ(grenzen.Wert(2, 2), -1500);
}

TEST_F(AbfragenTest, SaveFileWithoutDateAndTimeColumnsIsMergedWhole)
{
    // Without both a date and a time column the lines can't be ordered by
    // time, so every one is taken, in file order.
    struct Fall {
        QString kopf, live, gespeichert;
    };
    const Fall faelle[] = {
        {QStringLiteral("Datum\tt2m  [°C  ]\trf   [%   ]"), QStringLiteral("08.12.2026\t4\t80"),
         QStringLiteral("08.12.2026\t1\t81\n08.12.2026\t2\t82\n07.12.2026\t3\t83\n")},
        {QStringLiteral("Uhrzeit\tt2m  [°C  ]\trf   [%   ]"), QStringLiteral("10:00:00\t4\t80"),
         QStringLiteral("10:00:00\t1\t81\n10:00:00\t2\t82\n09:00:00\t3\t83\n")},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.kopf.toStdString());
        schreibe(datei, f.kopf + u'\n' + f.live + u'\n');
        TDatenLoader l(datei, 1000, 1, u'\t', false);
        const int vorher = l.Datensaetze();
        const QString sav = dir.filePath(QStringLiteral("AutoSave.sav"));
        schreibe(sav, f.kopf + u'\n' + f.gespeichert);
        l.LadeSicherung(sav);
        ASSERT_EQ(l.Datensaetze(), vorher + 3);
        EXPECT_EQ(l.Wert(vorher, 1), 1);
        EXPECT_EQ(l.Wert(vorher + 2, 2), 83);
    }
}

TEST_F(AbfragenTest, SaveFileFailuresKeepTheOldFile)
{
    const QString sav = dir.filePath(QStringLiteral("AutoSave.sav"));
    schreibe(sav, QStringLiteral("alt\n"));

    // Only the placeholder: nothing real to save, the old file stays.
    schreibe(datei, kHeader + u'\n' + zeile(0, QStringLiteral("4")) + u'\n');
    TDatenLoader l(datei, 1000, 1, u'\t', false);
    l.SpeichereDatei(sav);
    QFile f(sav);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("alt\n"));
    f.close();

    // A folder that doesn't exist: reported, nothing raised.
    l.TimerTimer();
    const QString falsch = dir.filePath(QStringLiteral("fehlt/AutoSave.sav"));
    l.SpeichereDatei(falsch);
    EXPECT_EQ(l.Meldungen, QStringList{falsch + QStringLiteral(" kann nicht erzeugt werden!")});
    l.Meldungen.clear();

    // A save file that exists but can't be read loads nothing.
    const QString ordner = dir.filePath(QStringLiteral("ordner.sav"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("ordner.sav")));
    const int vorher = l.Datensaetze();
    l.LadeSicherung(ordner);
    EXPECT_EQ(l.Datensaetze(), vorher);
    EXPECT_EQ(l.Meldungen, QStringList{ordner + QStringLiteral(" kann nicht gelesen werden!")});
}
