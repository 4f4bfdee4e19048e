// Starts the real program under a virtual X server, feeds its data file as a
// logger would, ends it as a logout does, and looks at what it left.
#include "TestSupport.h"
#include "XServer.h"

#include "IniFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QSet>
#include <QStandardPaths>
#include <QProcess>
#include <QThread>

#ifdef VANTOREL_BINARY

namespace {

QByteArray zeile(int sekunde)
{
    return QStringLiteral("08.12.2026\t10:00:%1\t%2\t%3\t1013.2\n")
        .arg(sekunde, 2, 10, QChar(u'0'))
        .arg(5 + sekunde * 0.1)
        .arg(60 + sekunde)
        .toUtf8();
}

// A data file of one line and a configuration that polls every second.
QString KleineStation(const VantorelLauf& lauf)
{
    const QString daten = lauf.pfad(QStringLiteral("station.txt"));
    writeFile(daten, QByteArray("Datum\tUhrzeit\tt2m  [\xC2\xB0" "C  ]\trf   [%   ]\tp    [hPa ]\n") + zeile(0));
    writeFile(lauf.pfad(QStringLiteral("vantorel.ini")), "[Global]\nInterval=1000\n");
    return daten;
}

// A day of history in the save file, a minute apart, up to the minute before
// the data file's line (08.12.2026 10:00:00); the lines as the program
// writes them.
QByteArrayList EinTagImVerlauf(const VantorelLauf& lauf)
{
    QByteArrayList sav{QByteArray("Datum\tUhrzeit\tt2m  [\xC2\xB0" "C  ]\trf   [%   ]\tp    [hPa ]")};
    for (int m = 1; m < 1440; ++m) {
        const int minute = 10 * 60 + m;
        sav << QStringLiteral("%1.12.2026\t%2:%3:00\t%4,5\t%5\t1013,2")
                   .arg(minute < 1440 ? 7 : 8, 2, 10, QChar(u'0'))
                   .arg(minute / 60 % 24, 2, 10, QChar(u'0'))
                   .arg(minute % 60, 2, 10, QChar(u'0'))
                   .arg(m % 10)
                   .arg(40 + m % 50)
                   .toUtf8();
    }
    writeFile(lauf.pfad(QStringLiteral("AutoSave.sav")), sav.join('\n') + '\n');
    return sav;
}

// What xdotool says on the program's server; empty when it is not there or
// does not answer in time.
QString Xdotool(const VantorelLauf& lauf, const QStringList& argumente)
{
    const QString programm = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    return programm.isEmpty() ? QString() : lauf.x.werkzeug(programm, argumente).trimmed();
}

// Waits, bounded, until the window with this very title has the focus.
bool WarteAufFokus(const VantorelLauf& lauf, const QString& titel)
{
    QElapsedTimer uhr;
    uhr.start();
    while (uhr.elapsed() < 20000 && lauf.prozess.state() == QProcess::Running) {
        if (Xdotool(lauf, {QStringLiteral("getwindowfocus"), QStringLiteral("getwindowname")}) == titel)
            return true;
        QThread::msleep(200);
    }
    return false;
}

} // namespace

TEST(EndeZuEnde, RunsPollsAndLeavesItsFilesOnLogout)
{
    VantorelLauf lauf;
    if (!lauf.x.starte())
        GTEST_SKIP() << "no Xvfb";
    ASSERT_TRUE(lauf.kopiere());
    const QString daten = KleineStation(lauf);
    QProcess& vantorel = lauf.prozess;
    ASSERT_TRUE(lauf.starte({daten}));
    ASSERT_TRUE(lauf.warteAufStart() && lauf.warteAufTakt(daten)) << lauf.gesehen.toStdString();

    // A logger appends a line at a time, each read before the next comes;
    // one of them is broken.
    for (int s = 1; s <= 5; ++s) {
        ASSERT_TRUE(lauf.liest(daten, [&] {
            VantorelLauf::haengeAn(daten, s == 3 ? QByteArray("08.12.2026\t10:00:03\tkaputt\t1\t1\n") : zeile(s));
        })) << lauf.gesehen.toStdString();
    }

    ASSERT_TRUE(lauf.beende());
    EXPECT_EQ(vantorel.exitStatus(), QProcess::NormalExit);

    const QString ini = QString::fromUtf8(readFile(lauf.pfad(QStringLiteral("vantorel.ini"))));
    EXPECT_TRUE(ini.contains(QStringLiteral("ErsterStart=0")));
    EXPECT_TRUE(ini.contains(QStringLiteral("LogDatei=") + daten));
    EXPECT_TRUE(ini.contains(QStringLiteral("[t2m__Standardanzeige]")));
    EXPECT_TRUE(ini.contains(QStringLiteral("[LoggerzeitFenster]")));
    EXPECT_TRUE(ini.contains(QStringLiteral("Beenden=1")));

    const QString log = QString::fromUtf8(readFile(lauf.pfad(QStringLiteral("vantorel.log"))));
    EXPECT_TRUE(log.contains(QStringLiteral(" - Fehler in Spalte 2: kaputt ist weder eine Zahl, Uhrzeit oder Datum")))
        << log.toStdString();

    const QStringList sav = QString::fromUtf8(readFile(lauf.pfad(QStringLiteral("AutoSave.sav")))).split(u'\n', Qt::SkipEmptyParts);
    // Header, then the records the ticks took, numbers in the regional form.
    ASSERT_GE(sav.size(), 3);
    EXPECT_TRUE(sav.first().startsWith(QStringLiteral("Datum\tUhrzeit\t")));
    EXPECT_TRUE(sav.contains(QStringLiteral("08.12.2026\t10:00:02\t5,2\t62\t1013,2"))) << sav.join(u'|').toStdString();
}

// Every window kind of the demonstration, made from its section by the real
// program, writes that section back as it read it.
TEST(EndeZuEnde, EveryWindowKindWritesBackTheSectionItWasMadeFrom)
{
    VantorelLauf lauf;
    if (!lauf.x.starte())
        GTEST_SKIP() << "no Xvfb";
    ASSERT_TRUE(lauf.kopiere());
    const QString daten = lauf.demo();
    const QString ini = lauf.pfad(QStringLiteral("vantorel.ini"));
    QMap<QString, QMap<QString, QString>> vorher;
    QStringList sektionen;
    {
        const TIniFile gelesen(ini);
        gelesen.ReadSections(sektionen);
        for (const QString& s : sektionen) {
            QStringList schluessel;
            gelesen.ReadSection(s, schluessel);
            for (const QString& k : schluessel)
                vorher[s][k] = gelesen.ReadString(s, k, QString());
        }
    }
    ASSERT_TRUE(lauf.starte({daten}));
    ASSERT_TRUE(lauf.warteAufTakt(daten)) << lauf.gesehen.toStdString();
    ASSERT_TRUE(lauf.beende());

    const TIniFile nachher(ini);
    QSet<int> arten;
    for (const QString& s : sektionen) {
        if (s == QLatin1String("Global"))
            continue;
        arten << vorher[s].value(QStringLiteral("FensterID")).toInt();
        // Written on close: a key the demonstration leaves out.
        EXPECT_NE(nachher.ReadString(s, QStringLiteral("Schrift"), QString()), QString()) << s.toStdString();
        for (auto it = vorher[s].cbegin(); it != vorher[s].cend(); ++it) {
            // The virtual screen is smaller than the one the places were made for.
            if (it.key().startsWith(QLatin1String("Position")))
                continue;
            EXPECT_EQ(nachher.ReadString(s, it.key(), QStringLiteral("<fehlt>")), it.value())
                << s.toStdString() << " " << it.key().toStdString();
        }
    }
    EXPECT_EQ(arten, (QSet<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, -1, -2}));
}

// A close by signal with a configuration that can't be written any more (a
// full disk) shows no box: it says so on stderr, saves the history and
// exits with a failure.
TEST(EndeZuEnde, ASignalCloseNeverWaitsOnABoxAndSaysWhatFailed)
{
    VantorelLauf lauf;
    if (!lauf.x.starte())
        GTEST_SKIP() << "no Xvfb";
    ASSERT_TRUE(lauf.kopiere());
    const QString daten = KleineStation(lauf);
    const QString ini = lauf.pfad(QStringLiteral("vantorel.ini"));
    QProcess& vantorel = lauf.prozess;
    vantorel.setProcessEnvironment(lauf.x.umgebung(lauf.pfad(QStringLiteral("run"))));
    vantorel.start(lauf.pfad(QStringLiteral("vantorel")), {daten});
    ASSERT_TRUE(vantorel.waitForStarted(5000));
    ASSERT_TRUE(lauf.warteAufStart());
    ASSERT_TRUE(lauf.liest(daten, [&] { VantorelLauf::haengeAn(daten, zeile(1)); })) << lauf.gesehen.toStdString();

    ASSERT_TRUE(QFile::remove(ini));
    ASSERT_TRUE(QDir().mkdir(ini));
    ASSERT_TRUE(lauf.beende());
    EXPECT_EQ(vantorel.exitStatus(), QProcess::NormalExit);
    EXPECT_NE(vantorel.exitCode(), 0);
    EXPECT_TRUE(QString::fromLocal8Bit(vantorel.readAllStandardError()).contains(QStringLiteral("kann nicht geschrieben werden")));
    EXPECT_TRUE(readFile(lauf.pfad(QStringLiteral("AutoSave.sav"))).contains("08.12.2026\t10:00:01\t"));
}

// A closed terminal ends the program as a logout does: the day's history
// and the configuration are written, and it ends without a failure.
TEST(EndeZuEnde, AClosedTerminalClosesAsALogoutDoes)
{
    VantorelLauf lauf;
    if (!lauf.x.starte())
        GTEST_SKIP() << "no Xvfb";
    ASSERT_TRUE(lauf.kopiere());
    const QString daten = KleineStation(lauf);
    const QByteArrayList tag = EinTagImVerlauf(lauf);
    ASSERT_TRUE(lauf.starte({daten}));
    ASSERT_TRUE(lauf.warteAufStart() && lauf.warteAufTakt(daten)) << lauf.gesehen.toStdString();

    ASSERT_TRUE(lauf.beende(SIGHUP));
    EXPECT_EQ(lauf.prozess.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(lauf.prozess.exitCode(), 0);

    // The day, and the data file's line after it.
    EXPECT_EQ(readFile(lauf.pfad(QStringLiteral("AutoSave.sav"))),
              tag.join('\n') + "\n08.12.2026\t10:00:00\t5\t60\t1013,2\n");
    const QString ini = QString::fromUtf8(readFile(lauf.pfad(QStringLiteral("vantorel.ini"))));
    EXPECT_TRUE(ini.contains(QStringLiteral("LogDatei=") + daten)) << ini.toStdString();
    EXPECT_TRUE(ini.contains(QStringLiteral("Beenden=1")));
    EXPECT_TRUE(ini.contains(QStringLiteral("[t2m__Standardanzeige]\nFensterID=1\n")));
}

// Started under nohup, a closed terminal's SIGHUP leaves the program
// running; a logout while the data file chooser is open closes it as any
// other: its files written, no word of a missing file, no failure.
TEST(EndeZuEnde, UnderNohupItRunsOnAndALogoutWithTheChooserOpenClosesAsAnyOther)
{
    VantorelLauf lauf;
    if (!lauf.x.starte())
        GTEST_SKIP() << "no Xvfb";
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        GTEST_SKIP() << "no xdotool";
    ASSERT_TRUE(lauf.kopiere());
    const QString daten = KleineStation(lauf);
    QProcess& vantorel = lauf.prozess;
    vantorel.setProcessEnvironment(lauf.x.umgebung(lauf.pfad(QStringLiteral("run"))));
    vantorel.setChildProcessModifier([] { ::signal(SIGHUP, SIG_IGN); });
    vantorel.start(lauf.pfad(QStringLiteral("vantorel")), {daten});
    ASSERT_TRUE(vantorel.waitForStarted(5000));
    ASSERT_TRUE(lauf.warteAufStart());
    ASSERT_GT(vantorel.processId(), 0);
    ::kill(static_cast<pid_t>(vantorel.processId()), SIGHUP);

    // The main menu beside the windows, placed along the top; its fourth item.
    QElapsedTimer uhr;
    uhr.start();
    while (Xdotool(lauf, {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                          QStringLiteral("^Vantorel$")})
               .isEmpty()
           && uhr.elapsed() < 20000 && vantorel.state() == QProcess::Running)
        vantorel.waitForFinished(100);
    ASSERT_FALSE(lauf.ueberMenu({1100, 900}, 4, QStringLiteral("Log-Datei$")).isEmpty()) << "no chooser";

    ASSERT_TRUE(lauf.beende());
    EXPECT_EQ(vantorel.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(vantorel.exitCode(), 0);
    const QString fehler = QString::fromLocal8Bit(vantorel.readAllStandardError());
    EXPECT_FALSE(fehler.contains(QStringLiteral("Log-Datei existiert nicht!"))) << fehler.toStdString();
    const QString ini = QString::fromUtf8(readFile(lauf.pfad(QStringLiteral("vantorel.ini"))));
    EXPECT_TRUE(ini.contains(QStringLiteral("LogDatei=") + daten)) << ini.toStdString();
    EXPECT_TRUE(readFile(lauf.pfad(QStringLiteral("AutoSave.sav"))).startsWith("Datum\tUhrzeit\t"));
}

// Alt+F4 with a configuration that can't be written: the message box, and
// once it is answered the program ends with the day's history saved.
TEST(EndeZuEnde, AnUnwritableConfigurationStillLetsTheUserEndTheProgram)
{
    VantorelLauf lauf;
    if (!lauf.x.starte())
        GTEST_SKIP() << "no Xvfb";
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        GTEST_SKIP() << "no xdotool";
    ASSERT_TRUE(lauf.kopiere());
    const QString daten = KleineStation(lauf);
    const QByteArrayList tag = EinTagImVerlauf(lauf);
    ASSERT_TRUE(lauf.starte({daten}));
    ASSERT_TRUE(lauf.warteAufStart() && lauf.warteAufTakt(daten)) << lauf.gesehen.toStdString();
    // Without a window manager nobody gives the main window the focus.
    for (const QString& id : Xdotool(lauf, {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                            QStringLiteral("--name"), QStringLiteral("^Vantorel$")})
                                 .split(u'\n', Qt::SkipEmptyParts))
        Xdotool(lauf, {QStringLiteral("windowfocus"), QStringLiteral("--sync"), id});
    ASSERT_TRUE(WarteAufFokus(lauf, QStringLiteral("Vantorel")));

    // Root may write a read-only file: a folder stands in the file's place.
    const QString ini = lauf.pfad(QStringLiteral("vantorel.ini"));
    ASSERT_TRUE(QFile::remove(ini));
    ASSERT_TRUE(QDir().mkdir(ini));
    Xdotool(lauf, {QStringLiteral("key"), QStringLiteral("alt+F4")});
    // The box carries the application's title.
    ASSERT_TRUE(WarteAufFokus(lauf, QStringLiteral("VANTORel")));
    EXPECT_EQ(lauf.prozess.state(), QProcess::Running);
    Xdotool(lauf, {QStringLiteral("key"), QStringLiteral("Return")});
    if (!lauf.prozess.waitForFinished(20000)) {
        lauf.prozess.kill();
        lauf.prozess.waitForFinished();
        FAIL() << "still running after the box was answered";
    }
    EXPECT_EQ(lauf.prozess.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(lauf.prozess.exitCode(), 1);
    EXPECT_EQ(readFile(lauf.pfad(QStringLiteral("AutoSave.sav"))),
              tag.join('\n') + "\n08.12.2026\t10:00:00\t5\t60\t1013,2\n");
    EXPECT_TRUE(QString::fromUtf8(readFile(lauf.pfad(QStringLiteral("vantorel.log"))))
                    .contains(QStringLiteral(" - In ") + ini + QStringLiteral(" kann nicht geschrieben werden")));
}

#endif
