// A logger clock that jumps ahead or back: the day must survive every way
// of it, on disk or in memory, and come back once the clock is right.
#include "TagSchutzFixture.h"

#include <QFileInfo>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

const QString kTtp = QStringLiteral("ttp  [°C  ]");

// A record `stunde` hours after 8 December 2026 0:00 (up to a month on).
QString um(int stunde, int minute, double t, const QString& jahr = QStringLiteral("2026"))
{
    return zeileUm(QStringLiteral("%1.12.%2").arg(8 + stunde / 24, 2, 10, QChar(u'0')).arg(jahr),
                   QStringLiteral("%1:%2:00").arg(stunde % 24, 2, 10, QChar(u'0')).arg(minute, 2, 10, QChar(u'0')), t);
}

// A file size limit stands in for a full disk while it lives.
class VollePlatte {
public:
    explicit VollePlatte(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_frei);
        m_signal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit knapp = m_frei;
        knapp.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &knapp);
    }
    ~VollePlatte()
    {
        setrlimit(RLIMIT_FSIZE, &m_frei);
        std::signal(SIGXFSZ, m_signal);
    }
    VollePlatte(const VollePlatte&) = delete;
    VollePlatte& operator=(const VollePlatte&) = delete;

private:
    rlimit m_frei{};
    void (*m_signal)(int) = nullptr;
};

class ZeitsprungTest : public TagSchutzTest {
protected:
    // A day of hourly records, 08.12.2026 10:00 to 09.12.2026 09:00, the
    // temperature the hour's number.
    std::unique_ptr<TDatenLoader> mitStundenTag(double halteDauer = 1.0)
    {
        schreibe(kHeader + u'\n');
        auto l = std::make_unique<TDatenLoader>(daten, 1000, halteDauer, u'\t', false);
        l->SicherungsDatei = sav;
        for (int h = 0; h < 24; ++h) {
            haengeAn(um(10 + h, 0, h) + u'\n');
            l->TimerTimer();
        }
        l->Meldungen.clear();
        return l;
    }
    // The ticks' messages after each of the lines is appended.
    QStringList zeilen(TDatenLoader& l, const QStringList& neu)
    {
        QStringList gemeldet;
        for (const QString& z : neu) {
            haengeAn(z + u'\n');
            gemeldet += tick(l);
        }
        return gemeldet;
    }
    QString kopie(int n) const
    {
        return dir.path(n == 1 ? QStringLiteral("AutoSave-20261209-041500.sav")
                               : QStringLiteral("AutoSave-20261209-041500-%1.sav").arg(n));
    }
    // The save file as the close writes it: its lines after the header.
    QStringList gesichert(TDatenLoader& l)
    {
        EXPECT_TRUE(l.SpeichereDatei(sav));
        QStringList z = QString::fromUtf8(readFile(sav)).split(u'\n', Qt::SkipEmptyParts);
        if (!z.isEmpty())
            z.removeFirst();
        return z;
    }
    QString gesichertVor(const QString& kopie) const
    {
        return QStringLiteral("Uhrzeit von %1 springt vor, bisherige Daten in %2 gesichert!").arg(daten, kopie);
    }
    QString gesichertZurueck(const QString& kopie) const
    {
        return QStringLiteral("Uhrzeit von %1 springt zurück, bisherige Daten in %2 gesichert!").arg(daten, kopie);
    }
    static QString zurueckGeholt(const QString& kopie)
    {
        return QStringLiteral("Daten aus %1 wieder übernommen!").arg(kopie);
    }
    // As zeilen, each tick with the disk full; the appends still go through.
    QStringList zeilenVoll(TDatenLoader& l, const QStringList& neu)
    {
        QStringList gemeldet;
        for (const QString& z : neu) {
            haengeAn(z + u'\n');
            VollePlatte voll(64);
            gemeldet += tick(l);
        }
        return gemeldet;
    }
    QString keineKopie() const { return QStringLiteral("Kopie von %1 kann nicht erzeugt werden!").arg(sav); }
};

} // namespace

TEST_F(ZeitsprungTest, ALineFarAheadWaitsForTheNextToConfirmIt)
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
TEST_F(ZeitsprungTest, AClockYearsAheadForAMinuteLosesNeitherTheDayNorToday)
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
TEST_F(ZeitsprungTest, AClockPutRightIsTakenOnceTheNextLineConfirmsIt)
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
    // The dew point's figures are kept per record: they must follow.
    EXPECT_DOUBLE_EQ(l->Minimum(kTtp, 5), l->Taupunkt(0, 80));
    EXPECT_DOUBLE_EQ(l->Maximum(kTtp, 5), l->Taupunkt(3, 80));
    haengeAn(zeileUm(QStringLiteral("01.12.2026"), QStringLiteral("08:00:00"), 1) + u'\n');
    tick(*l);
    haengeAn(zeileUm(QStringLiteral("01.12.2026"), QStringLiteral("08:01:00"), 2) + u'\n');
    const QString kopie = dir.path(QStringLiteral("AutoSave-20261209-041500.sav"));
    EXPECT_EQ(tick(*l), QStringList{QStringLiteral("Uhrzeit von %1 springt zurück, bisherige Daten in %2 gesichert!").arg(daten, kopie)});
    EXPECT_EQ(readFile(kopie).count('\n'), 5);
    EXPECT_EQ(l->Datensaetze(), 2);
    EXPECT_DOUBLE_EQ(l->AeltesteZeit(), EncodeDate(2026, 12, 1) + EncodeTime(8, 0, 0, 0));
    EXPECT_DOUBLE_EQ(l->Maximum(QStringLiteral("t2m  "), 5), 2);
    EXPECT_DOUBLE_EQ(l->Minimum(kTtp, 5), l->Taupunkt(1, 80));
    EXPECT_DOUBLE_EQ(l->Maximum(kTtp, 5), l->Taupunkt(2, 80));
    EXPECT_DOUBLE_EQ(l->Mittelwert(kTtp, 5), (l->Taupunkt(1, 80) + l->Taupunkt(2, 80)) / 2);
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
    haengeAn(zeileUm(QStringLiteral("25.11.2026"), QStringLiteral("08:00:00"), 4) + u'\n');
    tick(*l);
    haengeAn(zeileUm(QStringLiteral("25.11.2026"), QStringLiteral("08:01:00"), 5) + u'\n');
    EXPECT_EQ(tick(*l), QStringList{QStringLiteral("Uhrzeit von %1 springt vor, bisherige Daten verworfen!").arg(daten)});
    EXPECT_EQ(l->Datensaetze(), 2);
    EXPECT_DOUBLE_EQ(l->AktuellerWert(QStringLiteral("t2m  "), 5), 5);
    EXPECT_EQ(kopien().size(), 1);
}

TEST_F(ZeitsprungTest, TheLimitsOfAJumpAheadAndBack)
{
    const QString d8 = QStringLiteral("08.12.2026");
    auto l = mitTag(1);   // 08.12.2026 10:00:00

    // Exactly two hours ahead is taken at once: a logger that writes that
    // seldom never waits.
    EXPECT_TRUE(zeilen(*l, {zeileUm(d8, QStringLiteral("12:00:00"), 1), zeileUm(d8, QStringLiteral("14:00:00"), 2)}).isEmpty());
    EXPECT_EQ(l->Datensaetze(), 3);

    // Back by an hour (the clock set to winter time), by half a day, by
    // exactly a day, with no jump before: old lines, no wait, no copy.
    EXPECT_TRUE(zeilen(*l, {zeileUm(d8, QStringLiteral("13:00:00"), 9), zeileUm(d8, QStringLiteral("02:00:00"), 9),
                            zeileUm(QStringLiteral("07.12.2026"), QStringLiteral("14:00:00"), 9)})
                    .isEmpty());
    EXPECT_EQ(l->Datensaetze(), 3);
    EXPECT_TRUE(l->ZurueckgehalteneZeile().isEmpty());

    // A second beyond two hours waits, and so does one beyond a day; each
    // is said with how far it lies.
    EXPECT_EQ(zeilen(*l, {zeileUm(d8, QStringLiteral("16:00:01"), 3)}),
              QStringList{QStringLiteral("Datensatz vom 08.12.2026 16:00:01 liegt mehr als zwei Stunden nach dem neuesten und wartet auf den nächsten!")});
    EXPECT_EQ(l->Datensaetze(), 3);
    // A line a day or more after the waiting one confirms nothing: it
    // waits in its place.
    EXPECT_EQ(zeilen(*l, {zeileUm(QStringLiteral("09.12.2026"), QStringLiteral("16:00:01"), 4)}),
              (QStringList{QStringLiteral("Datensatz vom 08.12.2026 16:00:01 verworfen: er lag mehr als zwei Stunden nach dem neuesten und wurde nicht bestätigt!"),
                           QStringLiteral("Datensatz vom 09.12.2026 16:00:01 liegt mehr als einen Tag nach dem neuesten und wartet auf den nächsten!")}));
    EXPECT_EQ(l->Datensaetze(), 3);
    EXPECT_TRUE(l->ZurueckgehalteneZeile().startsWith(QStringLiteral("09.12.2026")));

    // A new layout drops the waiting line: it was read under the old one.
    schreibe(kVertauscht + u'\n' + zeileUm(QStringLiteral("09.12.2026"), QStringLiteral("16:00:05"), 4) + u'\n');
    l->TimerTimer();
    haengeAn(zeileUm(QStringLiteral("09.12.2026"), QStringLiteral("16:00:10"), 5) + u'\n');
    l->TimerTimer();
    EXPECT_EQ(l->Datensaetze(), 2);
    EXPECT_TRUE(l->ZurueckgehalteneZeile().isEmpty());

    // Only the start-up placeholder: there is no day to jump from.
    schreibe(kHeader + u'\n');
    TDatenLoader frisch(daten, 1000, 1.0, u'\t', false);
    haengeAn(zeile(0, 1, QStringLiteral("08.12.2031")) + u'\n');
    frisch.TimerTimer();
    EXPECT_DOUBLE_EQ(frisch.AktuellerWert(QStringLiteral("t2m  "), 5), 1);
}

// One glitching line up to a day ahead must not trim the day away nor
// freeze the display until the logger's clock passes it.
TEST_F(ZeitsprungTest, AGlitchUpToADayAheadIsDroppedAndLosesNothing)
{
    for (const QString& glitch : {um(36, 0, 99), um(53, 0, 99), zeileUm(QStringLiteral("10.12.2026"), QStringLiteral("08:59:59"), 99),
                                  um(57, 0, 99)}) {
        const QString wann = glitch.section(u'\t', 0, 0) + u' ' + glitch.section(u'\t', 1, 1);
        auto l = mitStundenTag();
        EXPECT_EQ(zeilen(*l, {glitch}),
                  QStringList{QStringLiteral("Datensatz vom %1 liegt mehr als zwei Stunden nach dem neuesten und wartet auf den nächsten!").arg(wann)});
        EXPECT_EQ(zeilen(*l, {um(33, 1, 50), um(33, 2, 51)}),
                  QStringList{QStringLiteral("Datensatz vom %1 verworfen: er lag mehr als zwei Stunden nach dem neuesten und wurde nicht bestätigt!").arg(wann)});
        EXPECT_EQ(l->Datensaetze(), 26) << qPrintable(wann);
        const QStringList tag = gesichert(*l);
        ASSERT_EQ(tag.size(), 26) << qPrintable(wann);
        EXPECT_TRUE(tag.first().startsWith(QStringLiteral("08.12.2026\t10:00:00\t0\t"))) << qPrintable(wann);
        EXPECT_TRUE(tag.last().startsWith(QStringLiteral("09.12.2026\t09:02:00\t51\t"))) << qPrintable(wann);
        EXPECT_FALSE(tag.join(u'\n').contains(QStringLiteral("\t99\t"))) << qPrintable(wann);
        EXPECT_TRUE(kopien().isEmpty()) << qPrintable(wann);
    }
}

TEST_F(ZeitsprungTest, AGapOfHoursIsTakenOnceConfirmedAndASpanThatHoldsTheJumpMakesNoCopy)
{
    // The station off for five hours: its first line waits, the next
    // confirms the gap, and what the trim then drops is kept.
    auto l = mitStundenTag();
    EXPECT_EQ(zeilen(*l, {um(38, 0, 40), um(38, 1, 41)}),
              (QStringList{QStringLiteral("Datensatz vom 09.12.2026 14:00:00 liegt mehr als zwei Stunden nach dem neuesten und wartet auf den nächsten!"),
                           gesichertVor(kopie(1))}));
    EXPECT_EQ(l->Datensaetze(), 21);
    EXPECT_DOUBLE_EQ(l->AktuellerWert(QStringLiteral("t2m  "), 5), 41);
    const QByteArray weg = readFile(kopie(1));
    EXPECT_EQ(weg.count('\n'), 6);
    EXPECT_TRUE(weg.endsWith("08.12.2026\t14:00:00\t4\t80\t1013,2\n"));

    // Ten days held: a jump of three is no loss, so nothing is copied.
    auto z = mitStundenTag(10.0);
    EXPECT_EQ(zeilen(*z, {um(105, 10, 1), um(105, 11, 2)}),
              QStringList{QStringLiteral("Datensatz vom 12.12.2026 09:10:00 liegt mehr als einen Tag nach dem neuesten und wartet auf den nächsten!")});
    EXPECT_EQ(z->Datensaetze(), 26);
    EXPECT_EQ(kopien().size(), 1);
}

// The date a day ahead for three lines, then fixed: the fixed lines are
// less than a day behind the newest, yet they are the clock put right.
TEST_F(ZeitsprungTest, AClockADayAheadPutRightBringsTheDayBack)
{
    auto l = mitStundenTag();
    EXPECT_EQ(zeilen(*l, {um(57, 1, 70), um(57, 2, 71), um(57, 3, 72)}),
              (QStringList{QStringLiteral("Datensatz vom 10.12.2026 09:01:00 liegt mehr als einen Tag nach dem neuesten und wartet auf den nächsten!"),
                           gesichertVor(kopie(1))}));
    EXPECT_EQ(l->Datensaetze(), 3);
    EXPECT_EQ(readFile(kopie(1)).count('\n'), 25);
    // Tomorrow's clock read again between its own lines: an old line.
    EXPECT_TRUE(zeilen(*l, {zeileUm(QStringLiteral("10.12.2026"), QStringLiteral("09:02:30"), 99)}).isEmpty());
    EXPECT_EQ(l->Datensaetze(), 3);

    EXPECT_EQ(zeilen(*l, {um(33, 4, 34)}),
              QStringList{QStringLiteral("Datensatz vom 09.12.2026 09:04:00 liegt vor dem neuesten und wartet auf den nächsten!")});
    EXPECT_EQ(zeilen(*l, {um(33, 5, 35)}), (QStringList{gesichertZurueck(kopie(2)), zurueckGeholt(kopie(1))}));
    EXPECT_EQ(l->Datensaetze(), 26);
    EXPECT_DOUBLE_EQ(l->AeltesteZeit(), EncodeDate(2026, 12, 8) + EncodeTime(10, 0, 0, 0));
    EXPECT_DOUBLE_EQ(l->AktuellerWert(QStringLiteral("t2m  "), 5), 35);
    // Tomorrow's records alone left the store, and went to the copy.
    const QStringList morgen = QString::fromUtf8(readFile(kopie(2))).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(morgen.size(), 4);
    for (qsizetype i = 1; i < morgen.size(); ++i)
        EXPECT_TRUE(morgen[i].startsWith(QStringLiteral("10.12.2026\t09:0%1:00\t").arg(i))) << qPrintable(morgen[i]);

    EXPECT_TRUE(zeilen(*l, {um(33, 6, 36)}).isEmpty());
    const QStringList tag = gesichert(*l);
    EXPECT_EQ(tag.size(), 27);
    EXPECT_FALSE(tag.join(u'\n').contains(QStringLiteral("10.12.2026")));

    // The clock is right again: an hour back (winter time, into the span
    // the jump once skipped) or half a day back is an old line as ever,
    // with no copy.
    EXPECT_TRUE(zeilen(*l, {um(34, 30, 37), um(33, 30, 9), um(22, 30, 9)}).isEmpty());
    EXPECT_TRUE(l->ZurueckgehalteneZeile().isEmpty());
    EXPECT_EQ(l->Datensaetze(), 27);
    EXPECT_DOUBLE_EQ(l->AktuellerWert(QStringLiteral("t2m  "), 5), 37);
    EXPECT_EQ(kopien().size(), 2);
}

// Records that are on no disk are never dropped: a jump whose copy can't
// be written is not taken, and the next pair of lines tries again.
TEST_F(ZeitsprungTest, ACopyThatCantBeWrittenHoldsTheJump)
{
    auto l = mitStundenTag();
    const QStringList tag = gesichert(*l);
    const QString wartetVor = QStringLiteral("Datensatz vom %1 liegt mehr als einen Tag nach dem neuesten und wartet auf den nächsten!");
    const QString wartetZurueck = QStringLiteral("Datensatz vom %1 liegt mehr als einen Tag vor dem neuesten und wartet auf den nächsten!");
    EXPECT_EQ(zeilenVoll(*l, {um(33, 1, 50, QStringLiteral("2031")), um(33, 2, 51, QStringLiteral("2031"))}), (QStringList{wartetVor.arg(QStringLiteral("09.12.2031 09:01:00")), keineKopie()}));
    EXPECT_EQ(l->Datensaetze(), 24);
    EXPECT_DOUBLE_EQ(l->NeuesteZeit(), EncodeDate(2026, 12, 9) + EncodeTime(9, 0, 0, 0));
    EXPECT_TRUE(l->ZurueckgehalteneZeile().isEmpty());
    // Its last line, read again by the next tick, stays dropped.
    EXPECT_TRUE(tick(*l).isEmpty());
    EXPECT_TRUE(l->ZurueckgehalteneZeile().isEmpty());
    EXPECT_TRUE(kopien().isEmpty());
    EXPECT_EQ(gesichert(*l), tag);

    EXPECT_EQ(zeilen(*l, {um(33, 3, 52, QStringLiteral("2031")), um(33, 4, 53, QStringLiteral("2031"))}),
              (QStringList{wartetVor.arg(QStringLiteral("09.12.2031 09:03:00")), gesichertVor(kopie(1))}));
    EXPECT_EQ(l->Datensaetze(), 2);

    // The clock put right while the disk is full: the jump's records stay.
    EXPECT_EQ(zeilenVoll(*l, {um(33, 5, 5), um(33, 6, 6)}), (QStringList{wartetZurueck.arg(QStringLiteral("09.12.2026 09:05:00")), keineKopie()}));
    EXPECT_EQ(l->Datensaetze(), 2);
    EXPECT_DOUBLE_EQ(l->AktuellerWert(QStringLiteral("t2m  "), 5), 53);
    EXPECT_TRUE(tick(*l).isEmpty());
    EXPECT_EQ(zeilen(*l, {um(33, 7, 7), um(33, 8, 8)}),
              (QStringList{wartetZurueck.arg(QStringLiteral("09.12.2026 09:07:00")), gesichertZurueck(kopie(2)), zurueckGeholt(kopie(1))}));
    EXPECT_EQ(l->Datensaetze(), 26);

    // A save folder that takes no new file: the save file is still
    // rewritten in place, with the day, and the clock put right goes on.
    auto r = mitStundenTag();
    ASSERT_TRUE(r->SpeichereDatei(sav));
    Rechte(daten, 0666);
    Rechte(sav, 0666);
    Rechte(dir.path(), 0555);
    const bool gehalten = OhneRootRechte(dir.path(), [&] {
        const QStringList g = zeilen(*r, {um(33, 1, 50, QStringLiteral("2031")), um(33, 2, 51, QStringLiteral("2031"))});
        const bool ok = g == QStringList{wartetVor.arg(QStringLiteral("09.12.2031 09:01:00")), keineKopie()} && r->Datensaetze() == 24
                        && r->SpeichereDatei(sav) && readFile(sav).count('\n') == 25 && zeilen(*r, {um(33, 3, 3), um(33, 4, 4)}).isEmpty()
                        && r->Datensaetze() == 26;
        if (!ok)
            std::fprintf(stderr, "%s\n", qPrintable(g.join(u'|')));
        return ok;
    });
    Rechte(dir.path(), 0755);
    EXPECT_TRUE(gehalten);
    EXPECT_EQ(kopien().size(), 2);
}

TEST_F(ZeitsprungTest, TheDayComesBackAfterAnyJumpThatPutsTheClockRight)
{
    // Reset to 2000, then put right.
    auto l = mitStundenTag();
    EXPECT_EQ(zeilen(*l, {zeileUm(QStringLiteral("01.01.2000"), QStringLiteral("10:00:00"), 1),
                          zeileUm(QStringLiteral("01.01.2000"), QStringLiteral("10:01:00"), 2)}),
              (QStringList{QStringLiteral("Datensatz vom 01.01.2000 10:00:00 liegt mehr als einen Tag vor dem neuesten und wartet auf den nächsten!"),
                           gesichertZurueck(kopie(1))}));
    EXPECT_EQ(l->Datensaetze(), 2);
    EXPECT_EQ(zeilen(*l, {um(33, 10, 10), um(33, 11, 11)}),
              (QStringList{QStringLiteral("Datensatz vom 09.12.2026 09:10:00 liegt mehr als einen Tag nach dem neuesten und wartet auf den nächsten!"),
                           gesichertVor(kopie(2)), zurueckGeholt(kopie(1))}));
    EXPECT_EQ(l->Datensaetze(), 26);
    QStringList tag = gesichert(*l);
    ASSERT_EQ(tag.size(), 26);
    EXPECT_TRUE(tag.first().startsWith(QStringLiteral("08.12.2026\t10:00:00\t0\t")));
    EXPECT_FALSE(tag.join(u'\n').contains(QStringLiteral("2000")));

    // A year ahead, two years ahead, then back: the day comes from the
    // first jump's copy, and nothing is said to come back before.
    auto f = mitStundenTag();
    EXPECT_EQ(zeilen(*f, {um(33, 1, 1, QStringLiteral("2027")), um(33, 2, 2, QStringLiteral("2027"))}).last(), gesichertVor(kopie(3)));
    EXPECT_EQ(zeilen(*f, {um(33, 3, 3, QStringLiteral("2028")), um(33, 4, 4, QStringLiteral("2028"))}),
              (QStringList{QStringLiteral("Datensatz vom 09.12.2028 09:03:00 liegt mehr als einen Tag nach dem neuesten und wartet auf den nächsten!"),
                           gesichertVor(kopie(4))}));
    EXPECT_EQ(zeilen(*f, {um(33, 5, 5), um(33, 6, 6)}),
              (QStringList{QStringLiteral("Datensatz vom 09.12.2026 09:05:00 liegt mehr als einen Tag vor dem neuesten und wartet auf den nächsten!"),
                           gesichertZurueck(kopie(5)), zurueckGeholt(kopie(3))}));
    EXPECT_EQ(f->Datensaetze(), 26);
    tag = gesichert(*f);
    EXPECT_EQ(tag.size(), 26);
    EXPECT_FALSE(tag.join(u'\n').contains(QStringLiteral(".2027")));
    EXPECT_FALSE(tag.join(u'\n').contains(QStringLiteral(".2028")));
}

// Two jumps ahead took the day in two parts; the clock put right into the
// span the first one skipped gets both parts back.
TEST_F(ZeitsprungTest, TheDayComesBackFromEveryCopyThatHoldsPartOfIt)
{
    auto l = mitStundenTag();
    EXPECT_EQ(zeilen(*l, {um(38, 0, 40), um(38, 1, 41)}).last(), gesichertVor(kopie(1)));
    EXPECT_EQ(zeilen(*l, {um(38, 2, 42, QStringLiteral("2031")), um(38, 3, 43, QStringLiteral("2031"))}).last(), gesichertVor(kopie(2)));
    EXPECT_EQ(readFile(kopie(1)).count('\n'), 6);
    EXPECT_EQ(readFile(kopie(2)).count('\n'), 22);

    EXPECT_EQ(zeilen(*l, {um(33, 30, 30), um(33, 31, 31)}),
              (QStringList{QStringLiteral("Datensatz vom 09.12.2026 09:30:00 liegt mehr als einen Tag vor dem neuesten und wartet auf den nächsten!"),
                           gesichertZurueck(kopie(3)), zurueckGeholt(kopie(2)), zurueckGeholt(kopie(1))}));
    EXPECT_EQ(l->Datensaetze(), 26);
    EXPECT_DOUBLE_EQ(l->AeltesteZeit(), EncodeDate(2026, 12, 8) + EncodeTime(10, 0, 0, 0));
    const QStringList tag = gesichert(*l);
    EXPECT_FALSE(tag.join(u'\n').contains(QStringLiteral("09.12.2026\t14:0")));
}

// A copy that came back is done with: a later jump back must not bring in
// what the day's trim has since let go.
TEST_F(ZeitsprungTest, ACopyThatCameBackIsNotTakenAgain)
{
    auto l = mitStundenTag();
    zeilen(*l, {um(33, 1, 1, QStringLiteral("2031")), um(33, 2, 2, QStringLiteral("2031"))});
    EXPECT_EQ(zeilen(*l, {um(33, 3, 3), um(33, 4, 4)}).mid(1), (QStringList{gesichertZurueck(kopie(2)), zurueckGeholt(kopie(1))}));
    EXPECT_TRUE(zeilen(*l, {um(34, 0, 5), um(35, 0, 6), um(36, 0, 7), um(37, 0, 8)}).isEmpty());
    EXPECT_EQ(l->Datensaetze(), 27);
    EXPECT_DOUBLE_EQ(l->AeltesteZeit(), EncodeDate(2026, 12, 8) + EncodeTime(13, 0, 0, 0));

    EXPECT_EQ(zeilen(*l, {um(12, 30, 1), um(12, 31, 2)}),
              (QStringList{QStringLiteral("Datensatz vom 08.12.2026 12:30:00 liegt mehr als einen Tag vor dem neuesten und wartet auf den nächsten!"),
                           gesichertZurueck(kopie(3))}));
    EXPECT_EQ(l->Datensaetze(), 2);
}

// Put back onto a time the store holds (more than a day is held): the
// stored record of that time, or within 0.1 s of it, goes to the copy.
TEST_F(ZeitsprungTest, AClockPutBackOntoAStoredTimeKeepsOneRecordOfIt)
{
    for (const QString& erste : {QStringLiteral("10:00:00"), QStringLiteral("09:59:59,950")}) {
        schreibe(kHeader + u'\n');
        TDatenLoader l(daten, 1000, 3.0, u'\t', false);
        l.SicherungsDatei = sav;
        QStringList tage{um(9, 0, 0), zeileUm(QStringLiteral("08.12.2026"), erste, 1)};
        for (int h = 11; h <= 36; ++h)
            tage.append(um(h, 0, 2));
        zeilen(l, tage);
        ASSERT_EQ(l.Datensaetze(), 28) << qPrintable(erste);
        const qsizetype vorher = kopien().size();

        const QStringList gemeldet = zeilen(l, {um(10, 0, 50), um(10, 1, 51)});
        ASSERT_EQ(gemeldet.size(), 2) << qPrintable(erste);
        EXPECT_TRUE(gemeldet.last().startsWith(QStringLiteral("Uhrzeit von %1 springt zurück").arg(daten))) << qPrintable(erste);
        EXPECT_EQ(l.Datensaetze(), 3) << qPrintable(erste);
        EXPECT_DOUBLE_EQ(l.Mittelwert(QStringLiteral("t2m  "), 5), 101.0 / 3) << qPrintable(erste);
        ASSERT_EQ(kopien().size(), vorher + 1);
        const QString neu = kopie(static_cast<int>(vorher) + 1);
        EXPECT_EQ(readFile(neu).count('\n'), 28) << qPrintable(erste);
        EXPECT_FALSE(readFile(neu).contains("08.12.2026\t09:00:00")) << qPrintable(erste);
    }
}

// The jumps' copies hold the old layout's records: after a new header
// they are not merged (and can't be).
TEST_F(ZeitsprungTest, AHeaderChangeBetweenTheJumpsLeavesTheOldCopiesAlone)
{
    auto l = mitStundenTag();
    zeilen(*l, {um(33, 1, 1, QStringLiteral("2031")), um(33, 2, 2, QStringLiteral("2031"))});
    ASSERT_EQ(kopien().size(), 1);
    schreibe(kMitTb + u'\n' + um(33, 3, 3, QStringLiteral("2031")) + QStringLiteral("\t4\n"));
    EXPECT_EQ(tick(*l), QStringList{QStringLiteral("Spaltenaufbau von %1 hat sich geändert, bisherige Daten in %2 gesichert!").arg(daten, kopie(2))});
    zeilen(*l, {um(33, 4, 4, QStringLiteral("2031")) + QStringLiteral("\t4")});
    EXPECT_EQ(zeilen(*l, {um(33, 5, 5) + QStringLiteral("\t4"), um(33, 6, 6) + QStringLiteral("\t4")}),
              (QStringList{QStringLiteral("Datensatz vom 09.12.2026 09:05:00 liegt mehr als einen Tag vor dem neuesten und wartet auf den nächsten!"),
                           gesichertZurueck(kopie(3))}));
    EXPECT_EQ(l->Datensaetze(), 2);
    EXPECT_EQ(l->DatenHeader(), kMitTb);
}

// Someone put a FIFO in place of the day's copy: bringing the day back
// must pass it over, not wait for a writer for ever.
TEST_F(ZeitsprungTest, ACopyThatIsNoPlainFileDoesNotHoldTheProgram)
{
    auto l = mitStundenTag();
    zeilen(*l, {um(33, 1, 1, QStringLiteral("2031")), um(33, 2, 2, QStringLiteral("2031"))});
    ASSERT_TRUE(QFile::remove(kopie(1)));
    ASSERT_EQ(mkfifo(QFile::encodeName(kopie(1)).constData(), 0600), 0);
    EXPECT_TRUE(EndetRechtzeitig([&] {
        // Named as a save file, it is no file that can be read.
        const bool gelesen = l->LadeSicherung(kopie(1));
        const bool gesagt = l->Meldungen == QStringList{QStringLiteral("%1 kann nicht gelesen werden!").arg(kopie(1))};
        l->Meldungen.clear();
        const QStringList g = zeilen(*l, {um(33, 3, 3), um(33, 4, 4)});
        const bool ok = !gelesen && gesagt && g.size() == 2 && g.last() == gesichertZurueck(kopie(2)) && l->Datensaetze() == 2;
        if (!ok)
            std::fprintf(stderr, "%s\n", qPrintable(g.join(u'|')));
        return ok;
    }));
}
