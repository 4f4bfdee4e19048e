#include "Bereiche.h"
#include "DatenLoaderUnit.h"
#include "Konstanten.h"
#include "Timer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

namespace {

const QString kHeader = QStringLiteral("Datum\tUhrzeit\tt2m  [°C  ]\trf   [%   ]\tp    [hPa ]");

class LoaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        formatSettings() = FormatSettings::German();
        SetSleepFunction([](unsigned) {});
        SetClock([] { return EncodeDate(2026, 12, 8) + EncodeTime(12, 0, 0, 0); });
        ASSERT_TRUE(dir.isValid());
        datei = dir.filePath(QStringLiteral("daten.txt"));
    }
    void TearDown() override
    {
        SetSleepFunction({});
        SetClock({});
    }

    void schreibe(const QString& text, const QString& pfad = QString())
    {
        QFile f(pfad.isEmpty() ? datei : pfad);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text.toUtf8());
    }
    void haengeAn(const QString& zeile)
    {
        QFile f(datei);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Append));
        f.write((zeile + u'\n').toUtf8());
    }
    static QString zeile(const QString& zeit, double t, double rf = 80, double p = 1013.2)
    {
        return QStringLiteral("08.12.2026\t%1\t%2\t%3\t%4").arg(zeit).arg(t).arg(rf).arg(p);
    }
    std::unique_ptr<TDatenLoader> neuerLoader(double halteDauer = 1.0)
    {
        return std::make_unique<TDatenLoader>(datei, 2000, halteDauer, u'\t', false);
    }

    QTemporaryDir dir;
    QString datei;
};

class Zaehler : public TLoaderClient {
public:
    using TLoaderClient::TLoaderClient;
    void NeueDaten(TDatenLoader* loader) override
    {
        ++aufrufe;
        TLoaderClient::NeueDaten(loader);
    }
    int aufrufe = 0;
};

} // namespace

TEST(Konstanten, TablesAndTextHelpers)
{
    EXPECT_DOUBLE_EQ(CosTabelle()[0], 1.0);
    EXPECT_NEAR(CosTabelle()[900], 0.0, 1e-15);
    EXPECT_DOUBLE_EQ(SinTabelle()[900], 1.0);
    EXPECT_NEAR(SinTabelle()[3600], 0.0, 1e-15);
    EXPECT_NEAR(SinTabelle()[300], 0.5, 1e-15);

    QString s = QStringLiteral("t2m  [°C  ]");
    ErsetzeSonderzeichen(s);
    EXPECT_EQ(s, QStringLiteral("t2m__[_C__]"));
    s = QStringLiteral("rf   [%   ]");
    ErsetzeSonderzeichen(s);
    EXPECT_EQ(s, QStringLiteral("rf___[____]"));
    s = QStringLiteral("Az09[\\]^_`.-/äöü");
    ErsetzeSonderzeichen(s);
    EXPECT_EQ(s, QStringLiteral("Az09[\\]^_`______"));
    s = QStringLiteral("a\U0001F600b");   // one character, two UTF-16 units
    ErsetzeSonderzeichen(s);
    EXPECT_EQ(s, QStringLiteral("a_b"));

    EXPECT_EQ(PunktZuKomma(QStringLiteral("-12.5")), QStringLiteral("-12,5"));
    EXPECT_EQ(PunktZuKomma(QStringLiteral("1.2.3")), QStringLiteral("1,2,3"));
    EXPECT_EQ(PunktZuKomma(QStringLiteral("abc")), QStringLiteral("abc"));
    EXPECT_EQ(MinDouble(1, 2), 1);
    EXPECT_EQ(MaxDouble(1, 2), 2);
}

TEST_F(LoaderTest, HeaderOnlyFileGivesPlaceholderThatTheFirstRealLineReplaces)
{
    schreibe(kHeader + u'\n');
    auto l = neuerLoader(0.5);
    ASSERT_EQ(l->Datensaetze(), 1);
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(l->Wert(0, c), -9999);
    EXPECT_FALSE(l->HatDatum);
    EXPECT_FALSE(l->Aktiv());
    EXPECT_FALSE(l->Timer()->Enabled());
    // Messages of the first load wait for the first tick.
    EXPECT_FALSE(l->Meldungen.isEmpty());

    haengeAn(zeile(QStringLiteral("10:00:00"), 5.5));
    l->LadeDatei();
    EXPECT_TRUE(l->HatDatum);
    EXPECT_TRUE(l->HatUhrzeit);
    EXPECT_EQ(l->DatumSpalte, 0);
    EXPECT_EQ(l->UhrzeitSpalte, 1);
    // The placeholder is stamped 0 only where the columns were known, so a
    // header-only start keeps -9999 stamps: the new record is far newer.
    EXPECT_EQ(l->Datensaetze(), 1);
    EXPECT_DOUBLE_EQ(l->AktuellerWert(QStringLiteral("t2m  [°C  ]"), 5), 5.5);
}

TEST_F(LoaderTest, PlaceholderFromARealFirstLine)
{
    schreibe(kHeader + u'\n' + zeile(QStringLiteral("10:00:00"), 5.5) + u'\n');
    auto l = neuerLoader();
    ASSERT_EQ(l->Datensaetze(), 1);
    EXPECT_EQ(l->Wert(0, 0), 0);
    EXPECT_EQ(l->Wert(0, 1), 0);
    EXPECT_EQ(l->Wert(0, 2), -9999);
    EXPECT_EQ(l->AktuellerWert(QStringLiteral("t2m  "), 5), -9999);
    EXPECT_EQ(l->Maximum(QStringLiteral("t2m  "), 5), -9999);
    EXPECT_TRUE(l->Meldungen.isEmpty());

    // First tick: the live line is appended, the placeholder trimmed away.
    l->SetAktiv(true);
    l->TimerTimer();
    EXPECT_EQ(l->Datensaetze(), 1);
    EXPECT_DOUBLE_EQ(l->AktuellerWert(QStringLiteral("T2M  "), 5), 5.5);
    EXPECT_TRUE(l->Timer()->Enabled());
}

TEST_F(LoaderTest, OnlyNewerLinesAreAppendedButClientsHearEveryTick)
{
    schreibe(kHeader + u'\n' + zeile(QStringLiteral("10:00:00"), 1) + u'\n');
    auto l = neuerLoader(10);
    Zaehler client(l.get());
    l->TimerTimer();
    ASSERT_EQ(l->Datensaetze(), 1);
    EXPECT_EQ(client.aufrufe, 1);

    l->TimerTimer();   // unchanged file
    EXPECT_EQ(l->Datensaetze(), 1);
    EXPECT_EQ(client.aufrufe, 2);

    haengeAn(zeile(QStringLiteral("10:00:00"), 2));   // same stamp
    l->TimerTimer();
    EXPECT_EQ(l->Datensaetze(), 1);

    haengeAn(QStringLiteral("08.12.2026\t10:00:00,05\t3\t80\t1000"));   // milliseconds newer
    l->TimerTimer();
    EXPECT_EQ(l->Datensaetze(), 1);

    haengeAn(zeile(QStringLiteral("10:00:01"), 4));
    l->TimerTimer();
    EXPECT_EQ(l->Datensaetze(), 2);
    EXPECT_DOUBLE_EQ(l->AktuellerWert(QStringLiteral("t2m  "), 5), 4);
    EXPECT_EQ(client.aufrufe, 5);
}

TEST_F(LoaderTest, ValidityLimitsAndTheLoneInvalidRecord)
{
    schreibe(kHeader + u'\n' + zeile(QStringLiteral("09:00:00"), 1) + u'\n');
    auto l = neuerLoader(10);
    l->TimerTimer();
    ASSERT_EQ(l->Datensaetze(), 1);

    l->NeuerDatensatz(QStringLiteral("08.12.2026\t10:00:00\t1500\t-1500\t1"));
    EXPECT_EQ(l->Datensaetze(), 2);
    l->NeuerDatensatz(QStringLiteral("08.12.2026\t10:00:01\t1500.01\t5\t1"));
    EXPECT_EQ(l->Datensaetze(), 2);
    l->NeuerDatensatz(QStringLiteral("08.12.2026\t10:00:02\t\t5\t1"));
    EXPECT_EQ(l->Datensaetze(), 2);
    l->NeuerDatensatz(QStringLiteral("08.12.2026\t10:00:03\t1\t5"));   // short line: last field empty
    EXPECT_EQ(l->Datensaetze(), 2);
    l->Meldungen.clear();
    l->NeuerDatensatz(QStringLiteral("08.12.2026\t10:00:04\tabc\t5\t1"));
    EXPECT_EQ(l->Datensaetze(), 2);
    ASSERT_EQ(l->Meldungen.size(), 1);
    EXPECT_EQ(l->Meldungen.first(), QStringLiteral("Fehler in Spalte 2: abc ist weder eine Zahl, Uhrzeit oder Datum"));

    // The very first record stays even when invalid, and becomes the placeholder.
    schreibe(kHeader + u'\n' + QStringLiteral("08.12.2026\t10:00:00\t9999\t5\t1\n"));
    auto l2 = neuerLoader();
    ASSERT_EQ(l2->Datensaetze(), 1);
    EXPECT_EQ(l2->Wert(0, 0), 0);
    EXPECT_EQ(l2->Wert(0, 2), -9999);
}

TEST_F(LoaderTest, FileProblemsBecomeMessages)
{
    schreibe(kHeader + u'\n' + zeile(QStringLiteral("10:00:00"), 1) + u'\n' + kHeader + u'\n');
    auto l = neuerLoader();
    EXPECT_EQ(l->Datensaetze(), 0);
    const QString nurHeader = datei + QStringLiteral(" enthält nur den Header und keine Daten");
    EXPECT_TRUE(l->Meldungen.contains(nurHeader));
    QStringList gesehen;
    l->OnMeldung = [&](TDatenLoader* s) { gesehen = s->Meldungen; };
    l->TimerTimer();
    EXPECT_TRUE(gesehen.contains(nurHeader));
    EXPECT_TRUE(l->Meldungen.isEmpty());
    l->TimerTimer();
    EXPECT_TRUE(gesehen.contains(nurHeader));

    // Missing file: retried once after a pause, then reported.
    int pausen = 0;
    SetSleepFunction([&](unsigned ms) { pausen += static_cast<int>(ms); });
    QFile::remove(datei);
    l->LadeDatei();
    EXPECT_EQ(pausen, 250);
    EXPECT_TRUE(l->Meldungen.contains(datei + QStringLiteral(" existiert nicht oder Zugriff verweigert!")));

    // Empty file: no header.
    schreibe(QString());
    l->Meldungen.clear();
    l->LadeDatei();
    EXPECT_EQ(l->Meldungen, QStringList{datei + QStringLiteral(" besitzt keinen Header!")});
    l->Meldungen.clear();
    l->LeseHeader();
    EXPECT_EQ(l->Meldungen, QStringList{QStringLiteral("Header konnte nicht geladen werden!")});
}

TEST_F(LoaderTest, BlankLastLineAndDateOrTimeInTheLastColumn)
{
    schreibe(kHeader + u'\n' + zeile(QStringLiteral("10:00:00"), 1) + u'\n');
    auto l = neuerLoader();
    l->TimerTimer();
    haengeAn(QString());
    l->LadeDatei();
    EXPECT_TRUE(l->Meldungen.contains(QStringLiteral("Keine Uhrzeit gefunden")));
    EXPECT_TRUE(l->Meldungen.contains(QStringLiteral("Kein Datum gefunden")));
    EXPECT_EQ(l->Datensaetze(), 1);

    // A known time or date column is read in the last field too, so the
    // display goes on with every tick.
    const QString header = QStringLiteral("a\tt2m  [°C  ]\tDatum\tUhrzeit");
    schreibe(header + u'\n' + QStringLiteral("1\t2\t08.12.2026\t10:00:00\n"));
    TDatenLoader l2(datei, 1000, 1, u'\t', false);
    EXPECT_EQ(l2.UhrzeitSpalte, 3);
    l2.Meldungen.clear();
    EXPECT_DOUBLE_EQ(l2.LeseUhrzeit(QStringLiteral("1\t2\t08.12.2026\t10:00:00")), EncodeTime(10, 0, 0, 0));
    EXPECT_TRUE(l2.Meldungen.isEmpty());
    for (int s = 1; s <= 3; ++s) {
        haengeAn(QStringLiteral("1\t%1\t08.12.2026\t10:00:0%1").arg(s));
        l2.TimerTimer();
        EXPECT_DOUBLE_EQ(l2.AktuellerWert(QStringLiteral("t2m  "), 5), s);
    }
}

TEST_F(LoaderTest, KnownColumnsKeepSmallNumbersFromPassingForTheTime)
{
    const QString header = QStringLiteral("n\tDatum\tUhrzeit\tt2m  [°C  ]");
    schreibe(header + u'\n' + QStringLiteral("5\t08.12.2026\t10:00:00\t1\n"));
    auto l = neuerLoader();
    l->TimerTimer();
    EXPECT_EQ(l->UhrzeitSpalte, 2);
    // "5" reads as 05:00, but it isn't in the time column.
    EXPECT_DOUBLE_EQ(l->LeseUhrzeit(QStringLiteral("5\t08.12.2026\t11:00:00\t1")), EncodeTime(11, 0, 0, 0));
    EXPECT_DOUBLE_EQ(l->LeseDatum(QStringLiteral("5.3\t08.12.2026\t11:00:00\t1")), EncodeDate(2026, 12, 8));
    haengeAn(QStringLiteral("7\t08.12.2026\t11:00:00\t2"));
    l->TimerTimer();
    EXPECT_DOUBLE_EQ(l->AktuellerWert(QStringLiteral("t2m  "), 5), 2);
    EXPECT_DOUBLE_EQ(l->NeuesteZeit(), EncodeDate(2026, 12, 8) + EncodeTime(11, 0, 0, 0));
}

TEST_F(LoaderTest, TrimmingFollowsTheSpanAndNeverEmptiesTheStore)
{
    schreibe(kHeader + u'\n' + zeile(QStringLiteral("10:00:00"), 1) + u'\n');
    auto l = neuerLoader(1.0 / 24 + 1e-9);   // one hour
    l->TimerTimer();
    for (int m = 1; m <= 90; ++m) {
        haengeAn(zeile(QStringLiteral("%1:%2:00").arg(10 + m / 60, 2, 10, QChar(u'0')).arg(m % 60, 2, 10, QChar(u'0')), m));
        l->LadeDatei();
    }
    // 10:30 .. 11:30 inclusive: a record exactly one span older stays.
    EXPECT_EQ(l->Datensaetze(), 61);
    EXPECT_DOUBLE_EQ(l->Wert(0, 2), 30);

    l->HalteDauer = 0;
    l->NeuerDatensatz(zeile(QStringLiteral("11:30:00"), 100));   // same stamp as the newest
    l->LadeDatei();
    EXPECT_EQ(l->Datensaetze(), 2);
    l->HalteDauer = -1;
    l->LadeDatei();
    EXPECT_EQ(l->Datensaetze(), 1);
}

TEST_F(LoaderTest, ColumnLookupAndNames)
{
    schreibe(kHeader + u'\n' + zeile(QStringLiteral("10:00:00"), 1) + u'\n');
    auto l = neuerLoader();
    EXPECT_EQ(l->Spaltenanzahl(), 5);
    EXPECT_EQ(l->SucheSpalte(QStringLiteral("T2M  "), 5), 2);
    EXPECT_EQ(l->SucheSpalte(QStringLiteral("t2m  egal"), 5), 2);
    EXPECT_EQ(l->SucheSpalte(QStringLiteral("t2m"), 5), -1);
    EXPECT_EQ(l->SucheSpalte(QStringLiteral("T2M  [°c  ]"), 0), 2);
    EXPECT_EQ(l->SucheSpalte(QStringLiteral("t2m  [°C"), 0), -1);
    EXPECT_EQ(l->SucheSpalte(QStringLiteral("ttp  "), 5), 5);
    EXPECT_TRUE(l->SpalteVorhanden(QStringLiteral("p    "), 5));
    EXPECT_FALSE(l->SpalteVorhanden(QStringLiteral("x    "), 5));

    QStringList namen;
    l->GetSpaltenNamen(namen);
    ASSERT_EQ(namen.size(), 6);
    EXPECT_EQ(namen.last(), QStringLiteral("ttp  [°C  ]"));
    EXPECT_EQ(namen.at(2), QStringLiteral("t2m  [°C  ]"));

    l->Header = QStringLiteral("Datum\tUhrzeit\tt2m  [°C  ]");
    l->GetSpaltenNamen(namen);
    EXPECT_EQ(namen.size(), 3);

    // Upper case keeps one character per character: 'ß' doesn't push the
    // fifth character out of the key.
    l->Header = QStringLiteral("Datum\tUhrzeit\tMaßx1\tMaßx2");
    EXPECT_EQ(l->SucheSpalte(QStringLiteral("maßx2"), 5), 3);

    // A real date that happens to be day -9999 is still a date.
    l->Meldungen.clear();
    EXPECT_EQ(l->LeseDatum(QStringLiteral("14.08.1872\t10:00:00\t1")), -9999);
    EXPECT_TRUE(l->Meldungen.isEmpty());

    l->AendereIntervall(500);
    EXPECT_EQ(l->Interval(), 1000);
    EXPECT_EQ(l->Timer()->Interval(), 1000);
    l->AendereIntervall(3000);
    EXPECT_EQ(l->Interval(), 3000);
}

TEST_F(LoaderTest, AFailingClientNeitherStopsTheOthersNorTheTimer)
{
    schreibe(kHeader + u'\n' + zeile(QStringLiteral("10:00:00"), 1) + u'\n');
    auto l = neuerLoader();
    l->SetAktiv(true);
    std::vector<int> reihenfolge;
    TLoaderClient a(l.get()), b(l.get()), c(l.get());
    a.OnNeueDaten = [&](TDatenLoader*) { reihenfolge.push_back(1); };
    b.OnNeueDaten = [&](TDatenLoader*) {
        reihenfolge.push_back(2);
        throw std::runtime_error("kaputt");
    };
    c.OnNeueDaten = [&](TDatenLoader*) { reihenfolge.push_back(3); };
    l->OnMeldung = [](TDatenLoader*) { throw Exception(QStringLiteral("Error Writing Log-File x")); };
    l->Meldungen.append(QStringLiteral("alt"));

    EXPECT_THROW(l->TimerTimer(), std::runtime_error);
    EXPECT_EQ(reihenfolge, (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(l->Aktiv());
    EXPECT_TRUE(l->Timer()->Enabled());
    EXPECT_TRUE(l->Meldungen.isEmpty());
}

TEST_F(LoaderTest, ClientsLeavingDuringTheWalkAreNotCalledNorSkipOthers)
{
    schreibe(kHeader + u'\n' + zeile(QStringLiteral("10:00:00"), 1) + u'\n');
    auto l = neuerLoader();
    auto a = std::make_unique<Zaehler>(l.get());
    auto b = std::make_unique<Zaehler>(l.get());
    auto c = std::make_unique<Zaehler>(l.get());
    a->OnNeueDaten = [&](TDatenLoader*) { b.reset(); };   // a window closing another
    c->OnNeueDaten = [&](TDatenLoader*) { c.reset(); };   // and one closing itself
    l->TimerTimer();
    EXPECT_EQ(a->aufrufe, 1);
    EXPECT_FALSE(b);
    EXPECT_FALSE(c);
    EXPECT_EQ(l->Clients().size(), 1u);
    l->TimerTimer();
    EXPECT_EQ(a->aufrufe, 2);
}

TEST_F(LoaderTest, RegistrationAndDetachingBothWays)
{
    schreibe(kHeader + u'\n' + zeile(QStringLiteral("10:00:00"), 1) + u'\n');
    auto l = neuerLoader();
    TLoaderClient ohneHandler(l.get());
    Zaehler zweimal(l.get());
    l->AddClient(&zweimal);
    zweimal.AddLoader(l.get());
    EXPECT_EQ(l->Clients().size(), 2u);
    EXPECT_EQ(zweimal.LoaderCount(), 1);
    EXPECT_EQ(zweimal.GetLoader(0), l.get());
    EXPECT_EQ(zweimal.GetLoader(1), nullptr);
    EXPECT_EQ(zweimal.GetLoader(-1), nullptr);
    l->TimerTimer();
    EXPECT_EQ(zweimal.aufrufe, 1);

    TLoaderClient frei;
    EXPECT_EQ(frei.GetLoader(0), nullptr);
    {
        TLoaderClient kurz(l.get());
        EXPECT_EQ(l->Clients().size(), 3u);
    }
    EXPECT_EQ(l->Clients().size(), 2u);

    l.reset();
    EXPECT_EQ(zweimal.GetLoader(0), nullptr);
    EXPECT_EQ(ohneHandler.LoaderCount(), 0);
}

TEST_F(LoaderTest, ANewColumnLayoutEmptiesTheStoreAndAnEmptyHeaderChangesNothing)
{
    schreibe(kHeader + u'\n' + zeile(QStringLiteral("10:00:00"), 1) + u'\n');
    auto l = neuerLoader();
    l->TimerTimer();
    haengeAn(zeile(QStringLiteral("10:00:02"), 2));
    l->LadeDatei();
    ASSERT_EQ(l->Datensaetze(), 2);

    // Empty first line: nothing appended or trimmed, store as it was.
    schreibe(QStringLiteral("\n") + zeile(QStringLiteral("10:00:04"), 3) + u'\n');
    l->Meldungen.clear();
    l->LadeDatei();
    EXPECT_EQ(l->Datensaetze(), 2);
    EXPECT_EQ(l->Header, kHeader);
    EXPECT_EQ(l->Meldungen, QStringList{datei + QStringLiteral(" besitzt keinen Header!")});

    // The logger now writes three columns: old records can't be kept.
    schreibe(QStringLiteral("Uhrzeit\tDatum\tx\n10:00:06\t08.12.2026\t7\n"));
    l->Meldungen.clear();
    l->LadeDatei();
    EXPECT_EQ(l->Spaltenanzahl(), 3);
    ASSERT_EQ(l->Datensaetze(), 1);
    EXPECT_EQ(l->UhrzeitSpalte, 0);
    EXPECT_EQ(l->DatumSpalte, 1);
    EXPECT_DOUBLE_EQ(l->AktuellerWert(QStringLiteral("x"), 5), 7);
    EXPECT_TRUE(l->Meldungen.first().contains(QStringLiteral("Spaltenaufbau")));

    // A header set from outside never makes a query read past a record.
    l->Header = kHeader;
    EXPECT_EQ(l->AktuellerWert(QStringLiteral("p    "), 5), -9999);
    EXPECT_EQ(l->Maximum(QStringLiteral("p    "), 5), -9999);
}

TEST_F(LoaderTest, ALoggerAppendingBetweenTicks)
{
    schreibe(kHeader + u'\n');
    auto l = neuerLoader(1.0 / 24 / 60 * 5);   // five minutes
    l->SetAktiv(true);
    Zaehler client(l.get());
    for (int s = 0; s < 600; s += 30) {
        haengeAn(zeile(QStringLiteral("10:%1:%2").arg(s / 60, 2, 10, QChar(u'0')).arg(s % 60, 2, 10, QChar(u'0')), s / 30.0));
        l->TimerTimer();
        EXPECT_TRUE(l->Timer()->Enabled());
    }
    EXPECT_EQ(client.aufrufe, 20);
    EXPECT_EQ(l->Datensaetze(), 11);   // 10:04:30 .. 10:09:30
    EXPECT_DOUBLE_EQ(l->AktuellerWert(QStringLiteral("t2m  "), 5), 19);
    EXPECT_DOUBLE_EQ(l->Minimum(QStringLiteral("t2m  "), 5), 9);
    EXPECT_DOUBLE_EQ(l->Mittelwert(QStringLiteral("t2m  "), 5), 14);

    // CR LF reads as LF; a last line without its end counts once it reads
    // the same on the next tick.
    schreibe(kHeader + QStringLiteral("\r\n") + zeile(QStringLiteral("10:10:00"), 42) + QStringLiteral("\r\n")
             + zeile(QStringLiteral("10:11:00"), 43));
    l->TimerTimer();
    EXPECT_DOUBLE_EQ(l->AktuellerWert(QStringLiteral("t2m  "), 5), 19);
    l->TimerTimer();
    EXPECT_DOUBLE_EQ(l->AktuellerWert(QStringLiteral("t2m  "), 5), 43);
}
