// What garbage, a new column layout, a clock jump or an endless line in the
// data file must not do to the stored day.
#include "DatenLoaderUnit.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <sys/resource.h>

namespace {

const QString kHeader = QStringLiteral("Datum\tUhrzeit\tt2m  [°C  ]\trf   [%   ]\tp    [hPa ]");
const QString kVertauscht = QStringLiteral("Datum\tUhrzeit\trf   [%   ]\tt2m  [°C  ]\tp    [hPa ]");
const QString kMitTb = kHeader + QStringLiteral("\ttb   [°C  ]");

// A record of 8 December 2026 at 10:mm:00, or of another day and time.
QString zeile(int minute, double t, const QString& datum = QStringLiteral("08.12.2026"))
{
    return datum + QStringLiteral("\t10:%1:00\t%2\t80\t1013.2").arg(minute, 2, 10, QChar(u'0')).arg(t);
}
QString zeileUm(const QString& datum, const QString& zeit, double t)
{
    return datum + u'\t' + zeit + QStringLiteral("\t%1\t80\t1013.2").arg(t);
}

class TagSchutzTest : public GermanSettings {
protected:
    void SetUp() override
    {
        GermanSettings::SetUp();
        SetSleepFunction([](unsigned) {});
        SetClock([] { return EncodeDate(2026, 12, 9) + EncodeTime(4, 15, 0, 0); });
        daten = dir.path(QStringLiteral("daten.txt"));
        sav = dir.path(QStringLiteral("AutoSave.sav"));
    }
    void schreibe(const QString& text) { writeFile(daten, text.toUtf8()); }
    void haengeAn(const QString& text) { appendFile(daten, text.toUtf8()); }
    // A loader that has taken the records of minutes 0..n-1 live, its
    // copies going beside the save file.
    std::unique_ptr<TDatenLoader> mitTag(int n)
    {
        schreibe(kHeader + u'\n');
        auto l = std::make_unique<TDatenLoader>(daten, 1000, 1.0, u'\t', false);
        l->SicherungsDatei = sav;
        for (int m = 0; m < n; ++m) {
            haengeAn(zeile(m, m) + u'\n');
            l->TimerTimer();
        }
        l->Meldungen.clear();
        return l;
    }
    QStringList kopien() const
    {
        return QDir(dir.path()).entryList({QStringLiteral("AutoSave-*.sav")}, QDir::Files, QDir::Name);
    }
    // The tick's messages, as the main window gets them.
    QStringList tick(TDatenLoader& l)
    {
        QStringList gemeldet;
        l.OnMeldung = [&gemeldet](TDatenLoader* s) { gemeldet = s->Meldungen; };
        l.TimerTimer();
        return gemeldet;
    }

    TempDir dir;
    QString daten, sav;
};

} // namespace

TEST_F(TagSchutzTest, GarbageInPlaceOfTheHeaderReadsNothingAndTheDayGoesOn)
{
    auto l = mitTag(3);
    const QString kopfFehler = QStringLiteral("Header konnte nicht geladen werden!");
    const auto bleibt = [&](const char* was) {
        EXPECT_EQ(l->Datensaetze(), 3) << was;
        EXPECT_EQ(l->Header, kHeader) << was;
        EXPECT_EQ(l->DatenHeader(), kHeader) << was;
        EXPECT_TRUE(l->HatUhrzeit && l->HatDatum) << was;
        EXPECT_EQ(l->UhrzeitSpalte, 1) << was;
        EXPECT_TRUE(kopien().isEmpty()) << was;
    };

    // Binary garbage: control characters in the first line.
    QByteArray muell;
    for (int i = 0; i < 4096; ++i)
        muell.append(static_cast<char>((i * 37 + 11) % 256));
    writeFile(daten, muell);
    EXPECT_TRUE(tick(*l).contains(kopfFehler));
    bleibt("binary");
    l->LeseHeader();
    bleibt("LeseHeader");

    // Printable, but one control character: a lone CR, a DEL, a C1 code.
    for (const QString& steuer : {QStringLiteral("\r"), QStringLiteral("\x7F"), QStringLiteral("\u0085")}) {
        schreibe(QStringLiteral("Datum\tUhr") + steuer + QStringLiteral("zeit\tx\n") + zeile(5, 5) + u'\n');
        EXPECT_TRUE(tick(*l).contains(kopfFehler));
        bleibt("control character");
    }

    // A line that never ends: past 64 KiB it is no header.
    schreibe(QString(64 * 1024 + 1, u'x'));
    EXPECT_TRUE(tick(*l).contains(kopfFehler));
    bleibt("endless line");

    // The good file is back: the day goes on, nothing was emptied.
    schreibe(kHeader + u'\n' + zeile(3, 3) + u'\n');
    const QStringList gemeldet = tick(*l);
    EXPECT_EQ(l->Datensaetze(), 4);
    EXPECT_FALSE(gemeldet.join(u'|').contains(QStringLiteral("Spaltenaufbau")));
    ASSERT_TRUE(l->SpeichereDatei(sav));
    EXPECT_EQ(QString::fromUtf8(readFile(sav)).count(u'\n'), 5);
}

TEST_F(TagSchutzTest, AHeaderOfExactly64KiBIsStillAHeader)
{
    const QString lang = QStringLiteral("Datum\tUhrzeit\t") + QString(64 * 1024 - 14, u'w');
    ASSERT_EQ(lang.toUtf8().size(), 64 * 1024);
    schreibe(lang + u'\n' + QStringLiteral("08.12.2026\t10:00:00\t5\n"));
    TDatenLoader l(daten, 1000, 1.0, u'\t', false);
    l.LeseHeader();
    EXPECT_EQ(l.Header, lang);
    EXPECT_EQ(l.Spaltenanzahl(), 3);

    schreibe(lang + u'w' + u'\n' + QStringLiteral("08.12.2026\t10:00:01\t6\n"));
    l.Meldungen.clear();
    l.LadeDatei();
    EXPECT_EQ(l.Header, lang);
    EXPECT_EQ(l.Meldungen, QStringList{QStringLiteral("Header konnte nicht geladen werden!")});
}

TEST_F(TagSchutzTest, ANewLayoutKeepsTheOldDayBesideTheSaveFile)
{
    auto l = mitTag(3);

    // Two columns swapped under the same count.
    schreibe(kVertauscht + u'\n' + QStringLiteral("08.12.2026\t10:03:00\t70\t9\t1013.2\n"));
    const QString erste = dir.path(QStringLiteral("AutoSave-20261209-041500.sav"));
    EXPECT_EQ(tick(*l), QStringList{QStringLiteral("Spaltenaufbau von %1 hat sich geändert, bisherige Daten in %2 gesichert!")
                                        .arg(daten, erste)});
    EXPECT_EQ(kopien(), QStringList{QStringLiteral("AutoSave-20261209-041500.sav")});
    EXPECT_EQ(QString::fromUtf8(readFile(erste)), kHeader + QStringLiteral("\n08.12.2026\t10:00:00\t0\t80\t1013,2\n"
                                                                         "08.12.2026\t10:01:00\t1\t80\t1013,2\n"
                                                                         "08.12.2026\t10:02:00\t2\t80\t1013,2\n"));
    // The store holds the new layout's record alone, read by its names.
    EXPECT_EQ(l->DatenHeader(), kVertauscht);
    ASSERT_EQ(l->Datensaetze(), 1);
    EXPECT_DOUBLE_EQ(l->AktuellerWert(QStringLiteral("t2m  "), 5), 9);
    EXPECT_DOUBLE_EQ(l->Maximum(QStringLiteral("rf   "), 5), 70);

    // An added column in the same second: a copy of its own.
    schreibe(kMitTb + u'\n' + QStringLiteral("08.12.2026\t10:04:00\t9\t70\t1013.2\t4\n"));
    tick(*l);
    EXPECT_EQ(kopien(), (QStringList{QStringLiteral("AutoSave-20261209-041500-2.sav"), QStringLiteral("AutoSave-20261209-041500.sav")}));
    EXPECT_TRUE(readFile(dir.path(QStringLiteral("AutoSave-20261209-041500-2.sav"))).startsWith(kVertauscht.toUtf8() + "\n08.12.2026\t10:03:00\t70\t9\t"));

    // Renamed back, the copy restores the day under its header.
    schreibe(kHeader + u'\n');
    TDatenLoader zurueck(daten, 1000, 1.0, u'\t', false);
    zurueck.LeseHeader();
    ASSERT_TRUE(zurueck.LadeSicherung(erste));
    zurueck.TimerTimer();
    EXPECT_EQ(zurueck.Datensaetze(), 3);
    EXPECT_DOUBLE_EQ(zurueck.AktuellerWert(QStringLiteral("t2m  "), 5), 2);
}

TEST_F(TagSchutzTest, NoCopyOfAPlaceholderNorWithoutASaveFile)
{
    // Only the start-up placeholder: nothing to keep, nothing said.
    schreibe(kHeader + u'\n');
    TDatenLoader l(daten, 1000, 1.0, u'\t', false);
    l.SicherungsDatei = sav;
    schreibe(kVertauscht + u'\n' + QStringLiteral("08.12.2026\t10:03:00\t70\t9\t1013.2\n"));
    EXPECT_FALSE(tick(l).join(u'|').contains(QStringLiteral("Spaltenaufbau")));
    EXPECT_TRUE(kopien().isEmpty());
    EXPECT_EQ(l.Datensaetze(), 1);

    // No save file named (a secondary display): the day is dropped, and said.
    auto ohne = mitTag(2);
    ohne->SicherungsDatei.clear();
    schreibe(kMitTb + u'\n' + QStringLiteral("08.12.2026\t10:04:00\t9\t70\t1013.2\t4\n"));
    EXPECT_EQ(tick(*ohne), QStringList{QStringLiteral("Spaltenaufbau von %1 hat sich geändert, gespeicherte Daten verworfen!").arg(daten)});
    EXPECT_TRUE(kopien().isEmpty());
}

// A layout that flaps every second makes a copy of a record or two each
// time: beyond twenty they go, never the day's copy before them.
TEST_F(TagSchutzTest, TwentyCopiesAtMostTheSmallestGoFirst)
{
    auto l = mitTag(3);
    int sekunde = 0;
    SetClock([&sekunde] { return EncodeDate(2026, 12, 9) + EncodeTime(5, 0, sekunde, 0); });
    const auto wechsel = [&](int i) {
        schreibe((i % 2 ? kHeader : kVertauscht) + u'\n' + zeile(10 + i, 1) + u'\n');
        l->TimerTimer();
        // Each layout's day holds the record read under it.
        ASSERT_EQ(l->Datensaetze(), 1);
    };
    const QString tag = QStringLiteral("AutoSave-20261209-050000.sav");
    const QByteArray tagInhalt = (kHeader + u'\n').toUtf8();
    // A dozen in one second count on: "-10" comes after "-9".
    for (int i = 0; i < 12; ++i)
        wechsel(i);
    EXPECT_EQ(kopien().size(), 12);
    for (int i = 12; i < 25; ++i) {
        sekunde = i - 11;
        wechsel(i);
    }
    QStringList da = kopien();
    ASSERT_EQ(da.size(), 20);
    EXPECT_TRUE(da.contains(tag));
    for (const char* weg : {"-2", "-3", "-6"})
        EXPECT_FALSE(da.contains(QStringLiteral("AutoSave-20261209-050000%1.sav").arg(QLatin1String(weg)))) << weg;
    for (const char* bleibt : {"-7", "-9", "-10", "-12"})
        EXPECT_TRUE(da.contains(QStringLiteral("AutoSave-20261209-050000%1.sav").arg(QLatin1String(bleibt)))) << bleibt;
    EXPECT_TRUE(da.contains(QStringLiteral("AutoSave-20261209-050013.sav")));

    // The clock jumped back: the copy just written stays all the same.
    SetClock([] { return EncodeDate(2026, 12, 9) + EncodeTime(4, 0, 0, 0); });
    wechsel(25);
    da = kopien();
    ASSERT_EQ(da.size(), 20);
    EXPECT_TRUE(da.contains(QStringLiteral("AutoSave-20261209-040000.sav")));
    EXPECT_FALSE(da.contains(QStringLiteral("AutoSave-20261209-050000-7.sav")));
    // The day is still there, whole.
    EXPECT_TRUE(readFile(dir.path(tag)).startsWith(tagInhalt));
    EXPECT_EQ(readFile(dir.path(tag)).count('\n'), 4);
    EXPECT_FALSE(QFileInfo::exists(sav));
}

// Two copies of one second where the folder may be written but not
// listed: the second finds the first name taken and numbers itself.
TEST_F(TagSchutzTest, CopiesOfOneSecondStayApartInAFolderThatCantBeListed)
{
    auto l = mitTag(2);
    Rechte(daten, 0666);
    Rechte(dir.path(), 0333);
    const bool gelaufen = OhneRootRechte(dir.path(), [&] {
        if (!QDir(dir.path()).entryList(QDir::Files).isEmpty())
            return false;   // listed after all: the case is not made
        schreibe(kVertauscht + u'\n' + zeile(5, 5) + u'\n');
        l->TimerTimer();
        schreibe(kHeader + u'\n' + zeile(6, 6) + u'\n');
        l->TimerTimer();
        return l->Datensaetze() == 1;
    });
    Rechte(dir.path(), 0755);
    ASSERT_TRUE(gelaufen);
    EXPECT_EQ(kopien(), (QStringList{QStringLiteral("AutoSave-20261209-041500-2.sav"), QStringLiteral("AutoSave-20261209-041500.sav")}));
    const QByteArray erste = readFile(dir.path(QStringLiteral("AutoSave-20261209-041500.sav")));
    EXPECT_TRUE(erste.startsWith((kHeader + u'\n').toUtf8()));
    EXPECT_EQ(erste.count('\n'), 3);
    EXPECT_TRUE(readFile(dir.path(QStringLiteral("AutoSave-20261209-041500-2.sav"))).startsWith((kVertauscht + u'\n').toUtf8()));
}

TEST_F(TagSchutzTest, ASaveFileOfAnotherHeaderIsKeptBeforeItIsReplaced)
{
    const QByteArray andere = "Datum\tUhrzeit\tff   [m/s ]\n08.12.2026\t09:00:00\t3,5\n08.12.2026\t09:01:00\t4\n";
    writeFile(sav, andere);
    auto l = mitTag(2);
    EXPECT_FALSE(l->LadeSicherung(sav));
    l->Meldungen.clear();

    ASSERT_TRUE(l->SpeichereDatei(sav));
    const QString kopie = dir.path(QStringLiteral("AutoSave-20261209-041500.sav"));
    EXPECT_EQ(readFile(kopie), andere);
    EXPECT_TRUE(QString::fromUtf8(readFile(sav)).startsWith(kHeader + u'\n'));
    EXPECT_EQ(l->Meldungen, QStringList{QStringLiteral("%1 hat einen anderen Spaltenaufbau, bisherige Daten in %2 gesichert!").arg(sav, kopie)});

    // Now of this header: replaced without a copy, also with its lines
    // ended by CR LF.
    ASSERT_TRUE(l->SpeichereDatei(sav));
    EXPECT_EQ(kopien().size(), 1);
    writeFile(sav, (kHeader + QStringLiteral("\r\n08.12.2026\t10:00:00\t0\t80\t1013,2\r\n")).toUtf8());
    ASSERT_TRUE(l->SpeichereDatei(sav));
    EXPECT_EQ(kopien().size(), 1);

    // A file of another header without records holds nothing to keep,
    // nor does one of blank lines.
    writeFile(sav, "Datum\tUhrzeit\tff   [m/s ]\n");
    ASSERT_TRUE(l->SpeichereDatei(sav));
    writeFile(sav, "\n \r\n");
    ASSERT_TRUE(l->SpeichereDatei(sav));
    EXPECT_EQ(kopien().size(), 1);

    // No save file at all, whatever its first line: kept as it is.
    const QByteArray ohneEnde(64 * 1024, 'x');
    QByteArray binaer;
    for (int i = 0; i < 300; ++i)
        binaer.append(static_cast<char>((i * 37 + 11) % 256));
    int n = 1;
    for (const QByteArray& fremd : {ohneEnde, binaer}) {
        writeFile(sav, fremd);
        l->Meldungen.clear();
        ASSERT_TRUE(l->SpeichereDatei(sav));
        ++n;
        const QString kopie = dir.path(QStringLiteral("AutoSave-20261209-041500-%1.sav").arg(n));
        EXPECT_EQ(readFile(kopie), fremd) << n;
        EXPECT_EQ(l->Meldungen, QStringList{QStringLiteral("%1 hat einen anderen Spaltenaufbau, bisherige Daten in %2 gesichert!").arg(sav, kopie)});
        EXPECT_TRUE(QString::fromUtf8(readFile(sav)).startsWith(kHeader + u'\n'));
    }
    EXPECT_EQ(kopien().size(), 3);
}

// The other header's day must never go without its copy; nor may a save
// that failed after the copy make another copy of the same file.
TEST_F(TagSchutzTest, ASaveFileOfAnotherHeaderStaysWhenItsCopyCantBeWritten)
{
    const QByteArray andere = "Datum\tUhrzeit\tff   [m/s ]\n08.12.2026\t09:00:00\t3,5\n";
    writeFile(sav, andere);
    auto l = mitTag(2);

    // A folder that takes no new file: the file may be written, its copy not.
    Rechte(sav, 0666);
    Rechte(dir.path(), 0555);
    EXPECT_TRUE(OhneRootRechte(dir.path(), [&] {
        return !l->SpeichereDatei(sav) && readFile(sav) == andere
               && l->Meldungen.last() == QStringLiteral("Kopie von %1 kann nicht erzeugt werden!").arg(sav);
    }));
    Rechte(dir.path(), 0755);
    EXPECT_TRUE(kopien().isEmpty());

    // The disk runs full after the copy (a file size limit stands in for it).
    rlimit frei{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &frei), 0);
    const auto vorher = std::signal(SIGXFSZ, SIG_IGN);
    rlimit knapp = frei;
    knapp.rlim_cur = static_cast<rlim_t>(andere.size());
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &knapp), 0);
    const bool erste = l->SpeichereDatei(sav);
    const bool zweite = l->SpeichereDatei(sav);
    setrlimit(RLIMIT_FSIZE, &frei);
    std::signal(SIGXFSZ, vorher);
    EXPECT_FALSE(erste || zweite);
    EXPECT_EQ(readFile(sav), andere);
    EXPECT_EQ(kopien().size(), 1);
}

TEST_F(TagSchutzTest, AfterALayoutChangeTheOldSaveFileIsReplacedWithoutASecondCopy)
{
    auto l = mitTag(3);
    ASSERT_TRUE(l->SpeichereDatei(sav));
    schreibe(kMitTb + u'\n' + QStringLiteral("08.12.2026\t10:04:00\t9\t70\t1013.2\t4\n"));
    tick(*l);
    ASSERT_EQ(kopien().size(), 1);
    ASSERT_TRUE(l->SpeichereDatei(sav));
    EXPECT_EQ(kopien().size(), 1);
    EXPECT_TRUE(QString::fromUtf8(readFile(sav)).startsWith(kMitTb + u'\n'));
}

TEST_F(TagSchutzTest, ALineFarAheadWaitsForTheNextToConfirmIt)
{
    auto l = mitTag(3);
    const QString weit = zeile(5, 50, QStringLiteral("08.12.2031"));

    // Five years ahead: held back, said once, the day untouched.
    haengeAn(weit + u'\n');
    EXPECT_EQ(tick(*l), QStringList{QStringLiteral("Datensatz vom 08.12.2031 10:05:00 liegt mehr als einen Tag nach dem neuesten und wartet auf den nächsten!")});
    EXPECT_TRUE(tick(*l).isEmpty());
    EXPECT_EQ(l->Datensaetze(), 3);
    EXPECT_DOUBLE_EQ(l->AktuellerWert(QStringLiteral("t2m  "), 5), 2);
    EXPECT_EQ(l->ZurueckgehalteneZeile(), weit);
    ASSERT_TRUE(l->SpeichereDatei(sav));
    EXPECT_FALSE(readFile(sav).contains("2031"));

    // The next line comes in the usual way: the jump is dropped, said once.
    haengeAn(zeile(3, 3) + u'\n');
    EXPECT_EQ(tick(*l), QStringList{QStringLiteral("Datensatz vom 08.12.2031 10:05:00 verworfen: er lag mehr als einen Tag nach dem neuesten und wurde nicht bestätigt!")});
    EXPECT_TRUE(tick(*l).isEmpty());
    EXPECT_EQ(l->Datensaetze(), 4);
    EXPECT_DOUBLE_EQ(l->AktuellerWert(QStringLiteral("t2m  "), 5), 3);
    EXPECT_TRUE(l->ZurueckgehalteneZeile().isEmpty());

    // Jumped for real (or the station was off for days): the next line,
    // newer and within a day, confirms it; the old day is trimmed away.
    haengeAn(zeileUm(QStringLiteral("12.12.2026"), QStringLiteral("08:00:00"), 20) + u'\n');
    tick(*l);
    EXPECT_EQ(l->Datensaetze(), 4);
    haengeAn(zeileUm(QStringLiteral("13.12.2026"), QStringLiteral("07:59:59"), 21) + u'\n');
    const QString kopie = dir.path(QStringLiteral("AutoSave-20261209-041500.sav"));
    EXPECT_EQ(tick(*l), QStringList{QStringLiteral("Uhrzeit von %1 springt vor, bisherige Daten in %2 gesichert!").arg(daten, kopie)});
    EXPECT_EQ(readFile(kopie).count('\n'), 5);
    EXPECT_TRUE(readFile(kopie).endsWith("08.12.2026\t10:03:00\t3\t80\t1013,2\n"));
    EXPECT_EQ(l->Datensaetze(), 2);
    EXPECT_DOUBLE_EQ(l->AeltesteZeit(), EncodeDate(2026, 12, 12) + EncodeTime(8, 0, 0, 0));
    EXPECT_DOUBLE_EQ(l->AktuellerWert(QStringLiteral("t2m  "), 5), 21);
    EXPECT_TRUE(l->ZurueckgehalteneZeile().isEmpty());
}

// A logger clock that glitches five years ahead for a minute: the day is
// kept, and once the clock is right again it comes back and today goes on.
TEST_F(TagSchutzTest, AClockYearsAheadForAMinuteLosesNeitherTheDayNorToday)
{
    auto l = mitTag(3);
    ASSERT_TRUE(l->SpeichereDatei(sav));
    const QString tag = dir.path(QStringLiteral("AutoSave-20261209-041500.sav"));
    const QString glitch = dir.path(QStringLiteral("AutoSave-20261209-041500-2.sav"));

    haengeAn(zeile(3, 50, QStringLiteral("08.12.2031")) + u'\n');
    tick(*l);
    haengeAn(zeile(4, 51, QStringLiteral("08.12.2031")) + u'\n');
    EXPECT_EQ(tick(*l), QStringList{QStringLiteral("Uhrzeit von %1 springt vor, bisherige Daten in %2 gesichert!").arg(daten, tag)});
    EXPECT_EQ(l->Datensaetze(), 2);
    EXPECT_EQ(readFile(tag), readFile(sav));
    // The save that replaced the day before.
    ASSERT_TRUE(l->SpeichereDatei(sav));
    EXPECT_EQ(QString::fromUtf8(readFile(sav)).count(QStringLiteral("2031")), 2);

    // Today's lines: the first waits, read again it confirms nothing, the
    // next confirms the clock put right.
    haengeAn(zeile(5, 5) + u'\n');
    EXPECT_EQ(tick(*l), QStringList{QStringLiteral("Datensatz vom 08.12.2026 10:05:00 liegt mehr als einen Tag vor dem neuesten und wartet auf den nächsten!")});
    EXPECT_TRUE(tick(*l).isEmpty());
    EXPECT_EQ(l->Datensaetze(), 2);
    haengeAn(zeile(6, 6) + u'\n');
    EXPECT_EQ(tick(*l), (QStringList{QStringLiteral("Uhrzeit von %1 springt zurück, bisherige Daten in %2 gesichert!").arg(daten, glitch),
                                     QStringLiteral("Daten aus %1 wieder übernommen!").arg(tag)}));
    EXPECT_EQ(l->Datensaetze(), 5);
    EXPECT_DOUBLE_EQ(l->AeltesteZeit(), EncodeDate(2026, 12, 8) + EncodeTime(10, 0, 0, 0));
    EXPECT_DOUBLE_EQ(l->AktuellerWert(QStringLiteral("t2m  "), 5), 6);
    EXPECT_DOUBLE_EQ(l->Minimum(QStringLiteral("t2m  "), 5), 0);
    EXPECT_DOUBLE_EQ(l->Mittelwert(QStringLiteral("t2m  "), 5), 14.0 / 5);
    EXPECT_EQ(QString::fromUtf8(readFile(glitch)).count(QStringLiteral("2031")), 2);
    EXPECT_EQ(readFile(glitch).count('\n'), 3);

    // Today goes on, and the next save holds the day and today.
    haengeAn(zeile(7, 7) + u'\n');
    EXPECT_TRUE(tick(*l).isEmpty());
    ASSERT_TRUE(l->SpeichereDatei(sav));
    const QString gesichert = QString::fromUtf8(readFile(sav));
    EXPECT_EQ(gesichert.count(u'\n'), 7);
    EXPECT_FALSE(gesichert.contains(QStringLiteral("2031")));
    EXPECT_EQ(kopien().size(), 2);
}

// Put right by more than a day, the clock is confirmed as a jump ahead
// is; a step back of up to a day stays an old line.
TEST_F(TagSchutzTest, AClockPutRightIsTakenOnceTheNextLineConfirmsIt)
{
    auto l = mitTag(3);
    haengeAn(zeileUm(QStringLiteral("07.12.2026"), QStringLiteral("10:02:00"), 9) + u'\n');
    EXPECT_TRUE(tick(*l).isEmpty());
    EXPECT_TRUE(l->ZurueckgehalteneZeile().isEmpty());

    // More than a day back, then the usual line: dropped, and said.
    const QString alt = zeileUm(QStringLiteral("07.12.2026"), QStringLiteral("10:01:59"), 9);
    haengeAn(alt + u'\n');
    EXPECT_EQ(tick(*l), QStringList{QStringLiteral("Datensatz vom 07.12.2026 10:01:59 liegt mehr als einen Tag vor dem neuesten und wartet auf den nächsten!")});
    EXPECT_EQ(l->ZurueckgehalteneZeile(), alt);
    haengeAn(zeile(3, 3) + u'\n');
    EXPECT_EQ(tick(*l), QStringList{QStringLiteral("Datensatz vom 07.12.2026 10:01:59 verworfen: er lag mehr als einen Tag vor dem neuesten und wurde nicht bestätigt!")});
    EXPECT_EQ(l->Datensaetze(), 4);

    // Two lines back in a row: the newer records leave as a copy; no jump
    // ahead kept a day, so none comes back.
    haengeAn(zeileUm(QStringLiteral("01.12.2026"), QStringLiteral("08:00:00"), 1) + u'\n');
    tick(*l);
    haengeAn(zeileUm(QStringLiteral("01.12.2026"), QStringLiteral("08:01:00"), 2) + u'\n');
    const QString kopie = dir.path(QStringLiteral("AutoSave-20261209-041500.sav"));
    EXPECT_EQ(tick(*l), QStringList{QStringLiteral("Uhrzeit von %1 springt zurück, bisherige Daten in %2 gesichert!").arg(daten, kopie)});
    EXPECT_EQ(readFile(kopie).count('\n'), 5);
    EXPECT_EQ(l->Datensaetze(), 2);
    EXPECT_DOUBLE_EQ(l->AeltesteZeit(), EncodeDate(2026, 12, 1) + EncodeTime(8, 0, 0, 0));
    EXPECT_DOUBLE_EQ(l->Maximum(QStringLiteral("t2m  "), 5), 2);
    haengeAn(zeileUm(QStringLiteral("01.12.2026"), QStringLiteral("08:02:00"), 3) + u'\n');
    EXPECT_TRUE(tick(*l).isEmpty());
    EXPECT_EQ(l->Datensaetze(), 3);

    // Without a save file named, nothing is copied, and that is said.
    l->SicherungsDatei.clear();
    haengeAn(zeileUm(QStringLiteral("20.11.2026"), QStringLiteral("08:00:00"), 1) + u'\n');
    tick(*l);
    haengeAn(zeileUm(QStringLiteral("20.11.2026"), QStringLiteral("08:00:30"), 1) + u'\n');
    EXPECT_EQ(tick(*l), QStringList{QStringLiteral("Uhrzeit von %1 springt zurück, bisherige Daten verworfen!").arg(daten)});
    EXPECT_EQ(l->Datensaetze(), 2);
    EXPECT_EQ(kopien().size(), 1);
}

TEST_F(TagSchutzTest, TheDayLimitOnBothSides)
{
    // A day and a second ahead waits; exactly a day ahead is taken.
    auto l = mitTag(1);   // 08.12.2026 10:00:00
    haengeAn(zeileUm(QStringLiteral("09.12.2026"), QStringLiteral("10:00:01"), 1) + u'\n');
    l->TimerTimer();
    EXPECT_EQ(l->Datensaetze(), 1);
    EXPECT_FALSE(l->ZurueckgehalteneZeile().isEmpty());

    auto k = mitTag(1);
    haengeAn(zeileUm(QStringLiteral("09.12.2026"), QStringLiteral("10:00:00"), 1) + u'\n');
    k->TimerTimer();
    EXPECT_EQ(k->Datensaetze(), 2);

    // A confirming line must lie less than a day after the waiting one:
    // one exactly a day later waits in its place.
    haengeAn(zeileUm(QStringLiteral("11.12.2026"), QStringLiteral("10:00:00"), 2) + u'\n');
    k->TimerTimer();
    haengeAn(zeileUm(QStringLiteral("12.12.2026"), QStringLiteral("10:00:00"), 3) + u'\n');
    k->Meldungen.clear();
    k->LadeDatei();
    EXPECT_EQ(k->Datensaetze(), 2);
    EXPECT_TRUE(k->ZurueckgehalteneZeile().startsWith(QStringLiteral("12.12.2026")));
    EXPECT_EQ(k->Meldungen.size(), 2);   // the first dropped, the second waits

    // A new layout drops the waiting line: it was read under the old one.
    schreibe(kVertauscht + u'\n' + zeileUm(QStringLiteral("12.12.2026"), QStringLiteral("10:00:05"), 4) + u'\n');
    k->TimerTimer();
    haengeAn(zeileUm(QStringLiteral("12.12.2026"), QStringLiteral("10:00:10"), 5) + u'\n');
    k->TimerTimer();
    EXPECT_EQ(k->Datensaetze(), 2);
    EXPECT_TRUE(k->ZurueckgehalteneZeile().isEmpty());

    // Only the start-up placeholder: there is no day to jump from.
    schreibe(kHeader + u'\n');
    TDatenLoader frisch(daten, 1000, 1.0, u'\t', false);
    haengeAn(zeile(0, 1, QStringLiteral("08.12.2031")) + u'\n');
    frisch.TimerTimer();
    EXPECT_DOUBLE_EQ(frisch.AktuellerWert(QStringLiteral("t2m  "), 5), 1);
}

TEST_F(TagSchutzTest, AHugeLastLineIsNotReadAndSaidOnce)
{
    auto l = mitTag(2);
    haengeAn(QStringLiteral("08.12.2026\t10:05:00\t") + QString(2 * 1024 * 1024, u'7'));
    const QString gesagt = QStringLiteral("Letzte Zeile von %1 ist länger als 1048576 Bytes und wird nicht gelesen!").arg(daten);
    EXPECT_EQ(tick(*l), QStringList{gesagt});
    EXPECT_TRUE(tick(*l).isEmpty());
    EXPECT_EQ(l->Datensaetze(), 2);
    // A span shortened meanwhile still trims.
    l->HalteDauer = 0;
    tick(*l);
    EXPECT_EQ(l->Datensaetze(), 1);

    // Ended and followed by a normal line: read as ever.
    haengeAn(QStringLiteral("\n") + zeile(6, 6) + u'\n');
    EXPECT_TRUE(tick(*l).isEmpty());
    EXPECT_DOUBLE_EQ(l->AktuellerWert(QStringLiteral("t2m  "), 5), 6);
    // Another one later is said again.
    haengeAn(QString(1024 * 1024 + 1, u'8') + u'\n');
    EXPECT_EQ(tick(*l), QStringList{gesagt});
}

TEST_F(TagSchutzTest, TheHeaderEventFiresOnlyWhenTheHeaderChanged)
{
    auto l = mitTag(1);
    int gefeuert = 0;
    QString gesehen;
    l->OnNeuerHeader = [&](TDatenLoader* s) {
        ++gefeuert;
        gesehen = s->Header;
        // The new layout's columns are known by then.
        EXPECT_TRUE(s->HatUhrzeit && s->HatDatum);
    };
    haengeAn(zeile(1, 1) + u'\n');
    l->TimerTimer();
    EXPECT_EQ(gefeuert, 0);
    schreibe(QStringLiteral("\x01\x02\n"));
    l->TimerTimer();
    EXPECT_EQ(gefeuert, 0);
    schreibe(kMitTb + u'\n' + QStringLiteral("08.12.2026\t10:04:00\t9\t70\t1013.2\t4\n"));
    l->TimerTimer();
    EXPECT_EQ(gefeuert, 1);
    EXPECT_EQ(gesehen, kMitTb);
}
