// What garbage, a new column layout or an endless line in the data file
// must not do to the stored day.
#include "TagSchutzFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <sys/resource.h>

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
