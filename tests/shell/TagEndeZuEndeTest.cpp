// The real program with a day of history in its save file, then what
// loggers do to their files: garbage, a new layout, another station's file,
// a clock jump, an endless line. Afterwards the files are judged.
#include "TestSupport.h"
#include "XServer.h"

#include <QDir>
#include <QFile>
#include <functional>

#ifdef VANTOREL_BINARY

namespace {

const QByteArray kKopf = "Datum\tUhrzeit\tt2m  [\xC2\xB0" "C  ]\trf   [%   ]\tp    [hPa ]";
const QByteArray kVertauscht = "Datum\tUhrzeit\trf   [%   ]\tt2m  [\xC2\xB0" "C  ]\tp    [hPa ]";

// Minutes after 07.12.2026 10:00; the logger's live lines come at half
// past, so a day back from them never falls on a saved record.
QByteArray zeit(int minute, int sekunde = 0)
{
    const int tag = 7 + (minute + 600) / 1440;
    const int m = (minute + 600) % 1440;
    return QStringLiteral("%1.12.2026\t%2:%3:%4").arg(tag, 2, 10, QChar(u'0')).arg(m / 60, 2, 10, QChar(u'0'))
        .arg(m % 60, 2, 10, QChar(u'0')).arg(sekunde, 2, 10, QChar(u'0')).toUtf8();
}
QByteArray datenZeile(int minute) { return zeit(minute, 30) + "\t" + QByteArray::number(minute % 20) + ".5\t80\t1013.2\n"; }

class TagLauf : public VantorelLauf {
public:
    // The day 07.12.2026 10:01 .. 08.12.2026 10:00 in AutoSave.sav, the
    // data file's last line at 10:01:30, polled every second. False without
    // Xvfb; a start that fails after it is a test failure too.
    bool bereite()
    {
        if (!x.starte())
            return false;
        if (!kopiere()) {
            ADD_FAILURE() << "the program can't be copied";
            return false;
        }
        QByteArray sav = kKopf + "\n";
        for (int m = 1; m <= 1440; ++m)
            sav += zeit(m) + "\t" + QByteArray::number(m % 20) + ",5\t80\t1013,2\n";
        writeFile(pfad(QStringLiteral("AutoSave.sav")), sav);
        writeFile(daten(), kKopf + "\n" + datenZeile(1441));
        writeFile(pfad(QStringLiteral("vantorel.ini")), "[Global]\nInterval=1000\n");
        if (!starte({daten()}) || !gestartet()) {
            ADD_FAILURE() << "no tick past the start: " << gesehen.toStdString();
            return false;
        }
        return true;
    }
    QString daten() const { return pfad(QStringLiteral("station.txt")); }
    // Started, and a tick past the start.
    bool gestartet() { return warteAufStart() && warteAufTakt(daten()); }
    // The logger's change, read by the program `mal` times since.
    void liestNach(const std::function<void()>& aenderung, int mal = 1)
    {
        EXPECT_TRUE(liest(daten(), aenderung, mal)) << gesehen.toStdString();
    }
    QList<QByteArray> sicherung(const QString& name = QStringLiteral("AutoSave.sav")) const
    {
        return readFile(pfad(name)).split('\n');
    }
    QStringList kopien() const
    {
        return QDir(dir.path()).entryList({QStringLiteral("AutoSave-*.sav")}, QDir::Files, QDir::Name);
    }
    QString log() const { return QString::fromUtf8(readFile(pfad(QStringLiteral("vantorel.log")))); }
    // Resident memory in KiB, from the kernel's view of the process.
    long rss() const
    {
        const QByteArray status = readFile(QStringLiteral("/proc/%1/status").arg(prozess.processId()));
        for (const QByteArray& z : status.split('\n'))
            if (z.startsWith("VmRSS:"))
                return z.mid(6).trimmed().split(' ').first().toLong();
        return -1;
    }
};

// The save file's records: its lines less the header and the final end.
qsizetype datensaetze(const QList<QByteArray>& zeilen) { return zeilen.size() - 2; }

} // namespace

TEST(TagEndeZuEnde, GarbageForAFewSecondsLosesNothing)
{
    TagLauf lauf;
    if (!lauf.bereite())
        GTEST_SKIP() << "no Xvfb";
    QByteArray muell;
    for (int i = 0; i < 100000; ++i)
        muell.append(static_cast<char>((i * 131 + 7) % 256));
    lauf.liestNach([&] { writeFile(lauf.daten(), muell); }, 3);
    lauf.liestNach([&] { writeFile(lauf.daten(), kKopf + "\n" + datenZeile(1441) + datenZeile(1442)); });
    ASSERT_TRUE(lauf.beende());
    EXPECT_EQ(lauf.prozess.exitCode(), 0);

    const auto sav = lauf.sicherung();
    EXPECT_EQ(sav.first(), kKopf);
    // 07.12. 10:03 .. 08.12. 10:00 and the two live lines.
    EXPECT_EQ(datensaetze(sav), 1440);
    EXPECT_TRUE(sav.at(1).startsWith(zeit(3)));
    EXPECT_TRUE(sav.at(sav.size() - 2).startsWith(zeit(1442, 30)));
    EXPECT_TRUE(lauf.kopien().isEmpty());
    EXPECT_TRUE(lauf.log().contains(QStringLiteral("Header konnte nicht geladen werden!")));
    EXPECT_FALSE(lauf.log().contains(QStringLiteral("Spaltenaufbau")));
}

TEST(TagEndeZuEnde, ANewLayoutKeepsTheDayBesideTheSaveFile)
{
    TagLauf lauf;
    if (!lauf.bereite())
        GTEST_SKIP() << "no Xvfb";
    // Temperature and humidity swapped under the same count.
    lauf.liestNach([&] { writeFile(lauf.daten(), kVertauscht + "\n" + zeit(1442, 30) + "\t70\t9.5\t1013.2\n"); });
    ASSERT_TRUE(lauf.beende());
    EXPECT_EQ(lauf.prozess.exitCode(), 0);

    const QStringList kopien = lauf.kopien();
    ASSERT_EQ(kopien.size(), 1) << kopien.join(u' ').toStdString();
    const auto tag = lauf.sicherung(kopien.first());
    EXPECT_EQ(tag.first(), kKopf);
    EXPECT_EQ(datensaetze(tag), 1440);
    EXPECT_TRUE(tag.at(tag.size() - 2).startsWith(zeit(1441, 30)));
    EXPECT_TRUE(tag.contains(zeit(720) + "\t0,5\t80\t1013,2"));
    EXPECT_TRUE(lauf.log().contains(lauf.pfad(kopien.first())));

    // The save file holds the new layout alone; nothing mixed.
    const auto sav = lauf.sicherung();
    EXPECT_EQ(sav.first(), kVertauscht);
    EXPECT_EQ(datensaetze(sav), 1);
    EXPECT_EQ(sav.at(1), zeit(1442, 30) + "\t70\t9,5\t1013,2");
}

TEST(TagEndeZuEnde, AnotherStationsFileInTheSameFolderKeepsTheFirstStationsDay)
{
    TagLauf lauf;
    if (!lauf.x.starte() || !lauf.kopiere())
        GTEST_SKIP() << "no Xvfb";
    QByteArray tagA = kKopf + "\n";
    for (int m = 1; m <= 1440; ++m)
        tagA += zeit(m) + "\t" + QByteArray::number(m % 20) + ",5\t80\t1013,2\n";
    writeFile(lauf.pfad(QStringLiteral("AutoSave.sav")), tagA);
    const QString stationB = lauf.pfad(QStringLiteral("b.txt"));
    writeFile(stationB, "Datum\tUhrzeit\tff   [m/s ]\n" + zeit(1441, 30) + "\t3.5\n");
    writeFile(lauf.pfad(QStringLiteral("vantorel.ini")), "[Global]\nInterval=1000\n");
    ASSERT_TRUE(lauf.starte({stationB}));
    ASSERT_TRUE(lauf.warteAufStart() && lauf.warteAufTakt(stationB)) << lauf.gesehen.toStdString();
    ASSERT_TRUE(lauf.beende());

    const QStringList kopien = lauf.kopien();
    ASSERT_EQ(kopien.size(), 1);
    EXPECT_EQ(readFile(lauf.pfad(kopien.first())), tagA);
    EXPECT_TRUE(lauf.log().contains(lauf.pfad(kopien.first()))) << lauf.log().toStdString();
    EXPECT_TRUE(readFile(lauf.pfad(QStringLiteral("AutoSave.sav"))).startsWith("Datum\tUhrzeit\tff   [m/s ]\n"));
}

TEST(TagEndeZuEnde, ALineYearsAheadIsDroppedWhenTheUsualOneComes)
{
    TagLauf lauf;
    if (!lauf.bereite())
        GTEST_SKIP() << "no Xvfb";
    lauf.liestNach([&] { lauf.haengeAn(lauf.daten(), "08.12.2031\t10:02:30\t5.5\t80\t1013.2\n"); });
    lauf.liestNach([&] { lauf.haengeAn(lauf.daten(), datenZeile(1442)); });
    ASSERT_TRUE(lauf.beende());

    const auto sav = lauf.sicherung();
    EXPECT_EQ(datensaetze(sav), 1440);
    EXPECT_TRUE(sav.at(sav.size() - 2).startsWith(zeit(1442, 30)));
    EXPECT_FALSE(readFile(lauf.pfad(QStringLiteral("AutoSave.sav"))).contains("2031"));
    EXPECT_EQ(lauf.log().count(QStringLiteral("Datensatz vom 08.12.2031 10:02:30 verworfen")), 1) << lauf.log().toStdString();
}

TEST(TagEndeZuEnde, AFiftyMegabyteLastLineCostsNoMemory)
{
    TagLauf lauf;
    if (!lauf.bereite())
        GTEST_SKIP() << "no Xvfb";
    const long vorher = lauf.rss();
    lauf.liestNach([&] { lauf.haengeAn(lauf.daten(), zeit(1442, 30) + "\t" + QByteArray(50 * 1024 * 1024, '7')); });
    // The tick that read it is over once it has said so.
    EXPECT_TRUE(lauf.warteBis([&] { return lauf.log().contains(QStringLiteral("ist länger als")); }))
        << lauf.log().toStdString();
    const long nachher = lauf.rss();
    lauf.liestNach([&] { lauf.haengeAn(lauf.daten(), "\n" + datenZeile(1443)); });
    ASSERT_TRUE(lauf.beende());

    // A normal line's worth: not the hundreds of MB the line would take.
    ASSERT_GT(vorher, 0);
    EXPECT_LT(nachher - vorher, 32 * 1024) << vorher << " KiB before, " << nachher << " KiB with the line";
    EXPECT_EQ(lauf.log().count(QStringLiteral("ist länger als 1048576 Bytes und wird nicht gelesen!")), 1);
    const auto sav = lauf.sicherung();
    EXPECT_TRUE(sav.at(sav.size() - 2).startsWith(zeit(1443, 30)));
}

// Waits, bounded, until the log holds the text.
static bool warteAufLog(const TagLauf& lauf, const QString& text)
{
    return lauf.warteBis([&] { return lauf.log().contains(text); }, 30000);
}

TEST(TagEndeZuEnde, AClockYearsAheadForAMinuteLosesNeitherTheDayNorToday)
{
    TagLauf lauf;
    if (!lauf.bereite())
        GTEST_SKIP() << "no Xvfb";
    lauf.haengeAn(lauf.daten(), "08.12.2031\t10:02:30\t5.5\t80\t1013.2\n");
    ASSERT_TRUE(warteAufLog(lauf, QStringLiteral("Datensatz vom 08.12.2031 10:02:30 liegt mehr als einen Tag nach dem neuesten")))
        << lauf.log().toStdString();
    lauf.haengeAn(lauf.daten(), "08.12.2031\t10:03:30\t6.5\t80\t1013.2\n");
    ASSERT_TRUE(warteAufLog(lauf, QStringLiteral("springt vor, bisherige Daten in "))) << lauf.log().toStdString();
    lauf.haengeAn(lauf.daten(), datenZeile(1442));
    ASSERT_TRUE(warteAufLog(lauf, QStringLiteral("Datensatz vom 08.12.2026 10:02:30 liegt mehr als einen Tag vor dem neuesten")))
        << lauf.log().toStdString();
    lauf.haengeAn(lauf.daten(), datenZeile(1443));
    ASSERT_TRUE(warteAufLog(lauf, QStringLiteral("wieder übernommen!"))) << lauf.log().toStdString();
    ASSERT_TRUE(lauf.beende());
    EXPECT_EQ(lauf.prozess.exitCode(), 0);

    // The day before the glitch kept beside, and the glitch itself.
    const QStringList kopien = lauf.kopien();
    ASSERT_EQ(kopien.size(), 2) << kopien.join(u' ').toStdString();
    QList<QByteArray> tag = lauf.sicherung(kopien.at(0));
    QList<QByteArray> glitch = lauf.sicherung(kopien.at(1));
    if (datensaetze(tag) < datensaetze(glitch))
        std::swap(tag, glitch);
    EXPECT_EQ(datensaetze(tag), 1440);
    EXPECT_TRUE(tag.at(tag.size() - 2).startsWith(zeit(1441, 30)));
    EXPECT_EQ(datensaetze(glitch), 2);
    EXPECT_TRUE(glitch.at(1).startsWith("08.12.2031\t10:02:30"));
    const QString log = lauf.log();
    for (const QString& kopie : kopien)
        EXPECT_TRUE(log.contains(lauf.pfad(kopie))) << kopie.toStdString();

    // The save file: the day, back from its copy, and today's two lines.
    const auto sav = lauf.sicherung();
    EXPECT_EQ(datensaetze(sav), 1440);
    EXPECT_TRUE(sav.at(1).startsWith(zeit(4))) << sav.at(1).toStdString();
    EXPECT_TRUE(sav.at(sav.size() - 3).startsWith(zeit(1442, 30)));
    EXPECT_TRUE(sav.at(sav.size() - 2).startsWith(zeit(1443, 30)));
    EXPECT_FALSE(readFile(lauf.pfad(QStringLiteral("AutoSave.sav"))).contains("2031"));
}

TEST(TagEndeZuEnde, ALayoutFlappingEverySecondLeavesTheDaysCopy)
{
    TagLauf lauf;
    if (!lauf.bereite())
        GTEST_SKIP() << "no Xvfb";
    // Each new layout is read on a tick of its own: a copy per switch at
    // least (a tick may catch the file half written, a layout of its own).
    const QString gesichert = QStringLiteral("hat sich geändert, bisherige Daten in ");
    for (int i = 0; i < 22; ++i) {
        const qsizetype vorher = lauf.log().count(gesichert);
        writeFile(lauf.daten(), (i % 2 ? kKopf : kVertauscht) + "\n" + zeit(1442 + i, 30) + "\t7.5\t80\t1013.2\n");
        ASSERT_TRUE(lauf.warteBis([&] { return lauf.log().count(gesichert) > vorher; }, 30000))
            << lauf.log().toStdString();
    }
    ASSERT_TRUE(lauf.beende());

    const QStringList kopien = lauf.kopien();
    ASSERT_EQ(kopien.size(), 20);
    qsizetype tage = 0;
    for (const QString& kopie : kopien)
        if (datensaetze(lauf.sicherung(kopie)) == 1440)
            ++tage;
    EXPECT_EQ(tage, 1);
}

TEST(TagEndeZuEnde, ASaveFileThatIsNoSaveFileIsKeptBeforeItIsReplaced)
{
    TagLauf lauf;
    if (!lauf.x.starte() || !lauf.kopiere())
        GTEST_SKIP() << "no Xvfb";
    const QByteArray fremd(64 * 1024, 'x');
    writeFile(lauf.pfad(QStringLiteral("AutoSave.sav")), fremd);
    writeFile(lauf.daten(), kKopf + "\n" + datenZeile(1441));
    writeFile(lauf.pfad(QStringLiteral("vantorel.ini")), "[Global]\nInterval=1000\n");
    ASSERT_TRUE(lauf.starte({lauf.daten()}));
    ASSERT_TRUE(lauf.warteAufStart());
    // The first tick has read the live line once it has logged the refusal.
    ASSERT_TRUE(warteAufLog(lauf, QStringLiteral("Header verschieden, Datei nicht geladen!"))) << lauf.log().toStdString();
    ASSERT_TRUE(lauf.beende());

    const QStringList kopien = lauf.kopien();
    ASSERT_EQ(kopien.size(), 1);
    EXPECT_EQ(readFile(lauf.pfad(kopien.first())), fremd);
    EXPECT_TRUE(lauf.log().contains(lauf.pfad(kopien.first()))) << lauf.log().toStdString();
    const auto sav = lauf.sicherung();
    EXPECT_EQ(sav.first(), kKopf);
    EXPECT_EQ(datensaetze(sav), 1);
}

#endif
