// What a logger that misbehaves, a crash or a full disk must not do to the
// stored history.
#include "DatenLoaderUnit.h"
#include "LogFile.h"
#include "TestSupport.h"
#include "TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

namespace {

const QString kHeader = QStringLiteral("Datum\tUhrzeit\tt2m  [°C  ]\trf   [%   ]\tp    [hPa ]");
const QString kT2m = QStringLiteral("t2m  ");

QString zeile(const QString& datum, const QString& zeit, const QString& t)
{
    return datum + u'\t' + zeit + u'\t' + t + QStringLiteral("\t80\t1013.2");
}
QString zeile(int sekunde, double t)
{
    return zeile(QStringLiteral("08.12.2026"), QStringLiteral("10:00:%1").arg(sekunde, 2, 10, QChar(u'0')),
                 QString::number(t));
}
TDateTime um(int stunde, int minute, int sekunde) { return EncodeDate(2026, 12, 8) + EncodeTime(stunde, minute, sekunde, 0); }

class HaertungTest : public GermanSettings {
protected:
    void SetUp() override
    {
        GermanSettings::SetUp();
        SetSleepFunction([](unsigned) {});
        SetClock([] { return um(12, 0, 0); });
        daten = dir.path(QStringLiteral("daten.txt"));
        sav = dir.path(QStringLiteral("AutoSave.sav"));
    }
    void schreibe(const QString& text) { writeFile(daten, text.toUtf8()); }
    void haengeAn(const QString& text) { appendFile(daten, text.toUtf8()); }
    std::unique_ptr<TDatenLoader> loader() { return std::make_unique<TDatenLoader>(daten, 1000, 1.0, u'\t', false); }
    // A loader that has seen a few live lines: columns known, placeholder gone.
    std::unique_ptr<TDatenLoader> laufend(int von, int bis)
    {
        schreibe(kHeader + u'\n');
        auto l = loader();
        for (int s = von; s <= bis; ++s) {
            haengeAn(zeile(s, s) + u'\n');
            l->TimerTimer();
        }
        return l;
    }

    TempDir dir;
    QString daten, sav;
};

} // namespace

TEST_F(HaertungTest, KnownDateAndTimeColumnsReadOnlyAsDateAndTime)
{
    auto l = laufend(0, 1);
    l->Meldungen.clear();
    // "16" in the time column is 16:00 of that day, not 16 days later.
    l->NeuerDatensatz(zeile(QStringLiteral("08.12.2026"), QStringLiteral("16"), QStringLiteral("20.0")));
    EXPECT_DOUBLE_EQ(l->NeuesteZeit(), um(16, 0, 0));
    // "21.06" in the date column is a day of this year.
    l->NeuerDatensatz(zeile(QStringLiteral("21.06"), QStringLiteral("17:00:00"), QStringLiteral("1")));
    EXPECT_DOUBLE_EQ(l->NeuesteZeit(), EncodeDate(2026, 6, 21) + EncodeTime(17, 0, 0, 0));
    EXPECT_TRUE(l->Meldungen.isEmpty());
    // A number that is no time, or no time at all: dropped with the message.
    const int vorher = l->Datensaetze();
    l->NeuerDatensatz(zeile(QStringLiteral("08.12.2026"), QStringLiteral("20.0"), QStringLiteral("1")));
    l->NeuerDatensatz(zeile(QStringLiteral("08.12.2026"), QString(), QStringLiteral("1")));
    l->NeuerDatensatz(zeile(QStringLiteral("10:00:00"), QStringLiteral("10:00:00"), QStringLiteral("1")));
    EXPECT_EQ(l->Datensaetze(), vorher);
    EXPECT_EQ(l->Meldungen, (QStringList{QStringLiteral("Fehler in Spalte 1: 20.0 ist weder eine Zahl, Uhrzeit oder Datum"),
                                         QStringLiteral("Fehler in Spalte 0: 10:00:00 ist weder eine Zahl, Uhrzeit oder Datum")}));
}

TEST_F(HaertungTest, AFirstLineThatReadsAsARecordIsNoHeader)
{
    auto l = laufend(0, 2);
    l->Meldungen.clear();
    // Emptied and written on without the header.
    schreibe(zeile(3, 3) + u'\n' + zeile(4, 4) + u'\n');
    l->TimerTimer();
    l->LeseHeader();
    EXPECT_EQ(l->Header, kHeader);
    EXPECT_DOUBLE_EQ(l->AktuellerWert(kT2m, 5), 4);
    l->SpeichereDatei(sav);
    EXPECT_TRUE(QString::fromUtf8(readFile(sav)).startsWith(kHeader + u'\n'));

    // Only that one line: still read as the newest record.
    schreibe(zeile(5, 5));
    l->TimerTimer();
    l->TimerTimer();
    EXPECT_DOUBLE_EQ(l->AktuellerWert(kT2m, 5), 5);

    l->Meldungen.clear();
    l->LadeDatei();
    EXPECT_EQ(l->Meldungen, QStringList{daten + QStringLiteral(" besitzt keinen Header!")});

    // Only its time, or only its date, reads as a value: a new header.
    for (const QString& kopf : {QStringLiteral("Datum\t10:00:30\tt2m  [°C  ]\trf   [%   ]\tp    [hPa ]"),
                                QStringLiteral("08.12.2026\tUhrzeit\tt2m  [°C  ]\trf   [%   ]\tp    [hPa ]")}) {
        schreibe(kopf + u'\n' + zeile(40, 7) + u'\n');
        l->TimerTimer();
        EXPECT_EQ(l->Header, kopf);
        EXPECT_EQ(l->DatenHeader(), kopf);
        ASSERT_EQ(l->Datensaetze(), 1);
        EXPECT_DOUBLE_EQ(l->AktuellerWert(kT2m, 5), 7);
    }
}

TEST_F(HaertungTest, AHalfWrittenLastLineCountsOnlyOnceItStaysTheSame)
{
    auto l = laufend(0, 1);
    haengeAn(zeile(2, 1).chopped(7));   // "…\t1" while the logger writes "12.5"
    l->TimerTimer();
    EXPECT_DOUBLE_EQ(l->AktuellerWert(kT2m, 5), 1);
    EXPECT_DOUBLE_EQ(l->NeuesteZeit(), um(10, 0, 1));
    schreibe(kHeader + u'\n' + zeile(2, 12.5) + u'\n');
    l->TimerTimer();
    EXPECT_DOUBLE_EQ(l->AktuellerWert(kT2m, 5), 12.5);

    // A logger that never ends its last line: taken one tick late.
    haengeAn(zeile(3, 7));
    l->TimerTimer();
    EXPECT_DOUBLE_EQ(l->AktuellerWert(kT2m, 5), 12.5);
    l->TimerTimer();
    EXPECT_DOUBLE_EQ(l->AktuellerWert(kT2m, 5), 7);
}

TEST_F(HaertungTest, AHeaderPastTheColumnLimitIsNoHeader)
{
    // A thousand columns: refused, said, and nothing laid out by it.
    schreibe(QStringLiteral("Datum\tUhrzeit") + QString(998, u'\t') + u'\n' + zeile(0, 1) + u'\n');
    auto l = loader();
    l->LeseHeader();
    QStringList namen;
    l->GetSpaltenNamen(namen);
    EXPECT_EQ(l->Datensaetze(), 0);
    EXPECT_TRUE(l->Header.isEmpty());
    EXPECT_EQ(namen.size(), 1);
    EXPECT_TRUE(l->Meldungen.contains(QStringLiteral("Header von %1 hat mehr als 256 Spalten!").arg(daten)));

    // 256 columns are still a header, 257 are none.
    schreibe(QStringLiteral("Datum\tUhrzeit") + QString(254, u'\t') + u'\n');
    auto breit = loader();
    EXPECT_EQ(breit->Spaltenanzahl(), 256);
    schreibe(QStringLiteral("Datum\tUhrzeit") + QString(255, u'\t') + u'\n');
    auto zuBreit = loader();
    EXPECT_TRUE(zuBreit->Header.isEmpty());
    EXPECT_TRUE(zuBreit->Meldungen.contains(QStringLiteral("Header von %1 hat mehr als 256 Spalten!").arg(daten)));
}

TEST_F(HaertungTest, AMergePutOffKeepsTheLiveRecordsAndPutsTheSavedDayInFront)
{
    // Saved: 10:00:00 .. 10:00:04.
    {
        auto alt = laufend(0, 4);
        ASSERT_TRUE(alt->SpeichereDatei(sav));
    }
    // This run read 10:00:03 .. 10:00:06 before the merge.
    auto l = laufend(3, 6);
    ASSERT_TRUE(l->LadeSicherung(sav));
    ASSERT_EQ(l->Datensaetze(), 7);
    for (int r = 0; r < 7; ++r) {
        EXPECT_DOUBLE_EQ(l->Wert(r, 1), EncodeTime(10, 0, r, 0));
        EXPECT_DOUBLE_EQ(l->Wert(r, 2), r);
    }
    EXPECT_DOUBLE_EQ(l->Mittelwert(kT2m, 5), 3);
    l->TimerTimer();
    EXPECT_EQ(l->Datensaetze(), 7);

    // A saved record less than a tenth of a second before the first live one
    // is that record again.
    schreibe(kHeader + u'\n');
    auto bruchteil = loader();
    haengeAn(zeile(QStringLiteral("08.12.2026"), QStringLiteral("10:00:03,05"), QStringLiteral("30")) + u'\n');
    bruchteil->TimerTimer();
    ASSERT_TRUE(bruchteil->LadeSicherung(sav));
    ASSERT_EQ(bruchteil->Datensaetze(), 4);
    EXPECT_DOUBLE_EQ(bruchteil->Wert(2, 2), 2);
    EXPECT_DOUBLE_EQ(bruchteil->Wert(3, 2), 30);

    // Another layout is not merged, and the caller hears of it.
    writeFile(sav, "anders\n");
    EXPECT_FALSE(l->LadeSicherung(sav));
}

TEST_F(HaertungTest, ASaveFileCutInItsLastLineLoadsTheWholeLinesOnly)
{
    // Cut inside the last number (every column there, one value wrong) or
    // after a few fields.
    for (const int weg : {4, 9}) {
        writeFile(sav, (kHeader + u'\n' + zeile(1, 1) + u'\n' + zeile(2, 2) + u'\n' + zeile(3, 3).chopped(weg)).toUtf8());
        schreibe(kHeader + u'\n' + zeile(0, 0) + u'\n');
        auto l = loader();
        l->LadeSicherung(sav);
        EXPECT_EQ(l->Datensaetze(), 3) << weg;   // the placeholder and two records
        EXPECT_DOUBLE_EQ(l->AktuellerWert(kT2m, 5), 2) << weg;
    }
}

TEST_F(HaertungTest, ASaveFileInAFolderThatTakesNoNewFileIsRewrittenInPlace)
{
    auto l = laufend(0, 2);
    const QString ordner = dir.path();
    EXPECT_TRUE(OhneRootRechte(ordner, [&] {
        writeFile(sav, "alt\n");
        Rechte(ordner, 0500);
        const bool ok = l->SpeichereDatei(sav);
        Rechte(ordner, 0700);
        return ok && readFile(sav).startsWith(kHeader.toUtf8() + "\n08.12.2026\t10:00:00\t0\t");
    }));
    // Nothing to write to: reported as a failure.
    EXPECT_FALSE(l->SpeichereDatei(dir.path(QStringLiteral("fehlt/AutoSave.sav"))));

    // Where the folder takes new files, a replace that fails is reported and
    // the old save file stays: no rewrite in place stands in for it.
    writeFile(sav, "alt\n");
    l->Meldungen.clear();
    SetDiskCalls({{}, [](const char*, const char*) {
                      errno = ENOSPC;
                      return -1;
                  }});
    const bool geschrieben = l->SpeichereDatei(sav);
    SetDiskCalls({});
    EXPECT_FALSE(geschrieben);
    EXPECT_EQ(l->Meldungen, QStringList{sav + QStringLiteral(" kann nicht erzeugt werden!")});
    EXPECT_EQ(readFile(sav), "alt\n");

    // A save file that is a link: written where it leads, and it stays a link.
    const QString ziel = dir.path(QStringLiteral("woanders.sav"));
    ASSERT_TRUE(QFile::rename(sav, ziel));
    ASSERT_TRUE(QFile::link(QStringLiteral("woanders.sav"), sav));
    ASSERT_TRUE(l->SpeichereDatei(sav));
    EXPECT_TRUE(QFileInfo(sav).isSymLink());
    EXPECT_TRUE(readFile(ziel).startsWith(kHeader.toUtf8() + "\n08.12.2026\t10:00:00\t0\t"));
}

TEST_F(HaertungTest, StaleTemporariesOfOurFilesGoOthersStay)
{
    const QStringList weg{QStringLiteral("AutoSave.sav.a1B2c3"), QStringLiteral("AutoSave.sav.XyZabc")};
    const QStringList bleibt{QStringLiteral("AutoSave.sav"), QStringLiteral("AutoSave.sav.backup"),
                             QStringLiteral("AutoSave.sav.a1B2c3d"), QStringLiteral("AutoSave.sav.a1-2c3"),
                             QStringLiteral("Andere.sav.a1B2c3")};
    for (const QString& n : weg + bleibt)
        writeFile(dir.path(n), "x");
    RemoveStaleTempFiles(sav);
    for (const QString& n : weg)
        EXPECT_FALSE(QFileInfo::exists(dir.path(n))) << n.toStdString();
    for (const QString& n : bleibt)
        EXPECT_TRUE(QFileInfo::exists(dir.path(n))) << n.toStdString();

    // Through a link they lie beside the file it leads to.
    QDir().mkpath(dir.path(QStringLiteral("ziel")));
    writeFile(dir.path(QStringLiteral("ziel/Tag.sav.q7W2e9")), "x");
    ASSERT_TRUE(QFile::link(QStringLiteral("ziel/Tag.sav"), dir.path(QStringLiteral("Tag.sav"))));
    RemoveStaleTempFiles(dir.path(QStringLiteral("Tag.sav")));
    EXPECT_FALSE(QFileInfo::exists(dir.path(QStringLiteral("ziel/Tag.sav.q7W2e9"))));
}

TEST_F(HaertungTest, ALogStaysSmallWhateverTheMessagesHold)
{
    const QString log = dir.path(QStringLiteral("vantorel.log"));
    TLogFile datei(log, 1000, true);
    const QString riesig = QStringLiteral("Fehler in Spalte 2: ") + QString(10'000'000, u'7')
                           + QStringLiteral(" ist weder eine Zahl, Uhrzeit oder Datum");
    for (int i = 0; i < 3; ++i)
        datei.SchreibeAlle(QStringList(400, riesig));
    EXPECT_EQ(readFile(log).count('\n'), 1000);
    EXPECT_LT(QFileInfo(log).size(), 2'000'000);

    // Every control character, DEL and the Unicode line ends included.
    datei.Schreibe(QStringLiteral("a\nb\rc\td\x01\x1f\x7f") + QChar(0x85) + QChar(0x9f) + QChar(0x2028) + QChar(0x2029)
                   + QStringLiteral("e\u00e4~"));
    const QByteArray letzte = readFile(log).split('\n').at(999);
    EXPECT_TRUE(letzte.endsWith(" - a?b?c?d??????" "?e\xC3\xA4~")) << letzte.constData();
    EXPECT_TRUE(readFile(log).split('\n').at(0).endsWith(QStringLiteral("777…").toUtf8()));

    // A cut between the halves of a surrogate pair takes the pair out whole.
    datei.Schreibe(QString(499, u'x') + QString::fromUtf8("\xF0\x9F\x98\x80") + QStringLiteral("danach"));
    const QByteArray geschnitten = readFile(log).split('\n').at(999);
    EXPECT_TRUE(geschnitten.endsWith(" - " + QByteArray(499, 'x') + "\xE2\x80\xA6")) << geschnitten.constData();
}
