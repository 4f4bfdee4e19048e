// Starts the real program under a virtual X server, feeds its data file as a
// logger would, ends it as a logout does, and looks at what it left.
#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <csignal>

#ifdef VANTOREL_BINARY

namespace {

class XServer {
public:
    bool starte()
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty())
            return false;
        for (int n = 140; n < 200; ++n) {
            if (QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
                continue;
            m_prozess.start(xvfb, {QStringLiteral(":%1").arg(n), QStringLiteral("-screen"), QStringLiteral("0"),
                                   QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
            if (!m_prozess.waitForStarted(5000))
                return false;
            QElapsedTimer uhr;
            uhr.start();
            while (uhr.elapsed() < 5000 && m_prozess.state() == QProcess::Running) {
                if (QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n))) {
                    anzeige = QStringLiteral(":%1").arg(n);
                    return true;
                }
                QThread::msleep(50);
            }
            m_prozess.kill();
            m_prozess.waitForFinished();
        }
        return false;
    }
    ~XServer()
    {
        if (m_prozess.state() != QProcess::NotRunning) {
            m_prozess.terminate();
            if (!m_prozess.waitForFinished(3000))
                m_prozess.kill();
            m_prozess.waitForFinished();
        }
    }
    QString anzeige;

private:
    QProcess m_prozess;
};

void haengeAn(const QString& pfad, const QByteArray& zeile)
{
    QFile f(pfad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Append));
    f.write(zeile);
}

QByteArray zeile(int sekunde)
{
    return QStringLiteral("08.12.2026\t10:00:%1\t%2\t%3\t1013.2\n")
        .arg(sekunde, 2, 10, QChar(u'0'))
        .arg(5 + sekunde * 0.1)
        .arg(60 + sekunde)
        .toUtf8();
}

} // namespace

TEST(EndeZuEnde, RunsPollsAndLeavesItsFilesOnLogout)
{
    XServer x;
    if (!x.starte())
        GTEST_SKIP() << "no Xvfb";

    TempDir dir;
    const QString programm = dir.path(QStringLiteral("vantorel"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VANTOREL_BINARY), programm));
    const QString daten = dir.path(QStringLiteral("station.txt"));
    writeFile(daten, QByteArray("Datum\tUhrzeit\tt2m  [\xC2\xB0" "C  ]\trf   [%   ]\tp    [hPa ]\n") + zeile(0));
    writeFile(dir.path(QStringLiteral("vantorel.ini")), "[Global]\nInterval=1000\n");
    QDir().mkdir(dir.path(QStringLiteral("run")));
    QFile::setPermissions(dir.path(QStringLiteral("run")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QProcess vantorel;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), x.anzeige);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path(QStringLiteral("run")));
    vantorel.setProcessEnvironment(env);
    vantorel.setProcessChannelMode(QProcess::ForwardedChannels);
    vantorel.start(programm, {daten});
    ASSERT_TRUE(vantorel.waitForStarted(5000));

    // A logger appends a line every 1.5 s, slower than the 1 s ticks, so each
    // line is seen; one of them is broken.
    for (int s = 1; s <= 5; ++s) {
        QThread::msleep(1500);
        haengeAn(daten, s == 3 ? QByteArray("08.12.2026\t10:00:03\tkaputt\t1\t1\n") : zeile(s));
        ASSERT_EQ(vantorel.state(), QProcess::Running);
    }
    QThread::msleep(2500);

    ::kill(static_cast<pid_t>(vantorel.processId()), SIGTERM);
    ASSERT_TRUE(vantorel.waitForFinished(20000));
    EXPECT_EQ(vantorel.exitStatus(), QProcess::NormalExit);

    const QString ini = QString::fromUtf8(readFile(dir.path(QStringLiteral("vantorel.ini"))));
    EXPECT_TRUE(ini.contains(QStringLiteral("ErsterStart=0")));
    EXPECT_TRUE(ini.contains(QStringLiteral("LogDatei=") + daten));
    EXPECT_TRUE(ini.contains(QStringLiteral("[t2m__Standardanzeige]")));
    EXPECT_TRUE(ini.contains(QStringLiteral("[LoggerzeitFenster]")));
    EXPECT_TRUE(ini.contains(QStringLiteral("Beenden=1")));

    const QString log = QString::fromUtf8(readFile(dir.path(QStringLiteral("vantorel.log"))));
    EXPECT_TRUE(log.contains(QStringLiteral(" - Fehler in Spalte 2: kaputt ist weder eine Zahl, Uhrzeit oder Datum")))
        << log.toStdString();

    const QStringList sav = QString::fromUtf8(readFile(dir.path(QStringLiteral("AutoSave.sav")))).split(u'\n', Qt::SkipEmptyParts);
    // Header, then the records the ticks took, numbers in the regional form.
    ASSERT_GE(sav.size(), 3);
    EXPECT_TRUE(sav.first().startsWith(QStringLiteral("Datum\tUhrzeit\t")));
    EXPECT_TRUE(sav.contains(QStringLiteral("08.12.2026\t10:00:02\t5,2\t62\t1013,2"))) << sav.join(u'|').toStdString();
}

#endif
