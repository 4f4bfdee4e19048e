#pragma once

// A virtual X server of its own for the tests that start the real program.
#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QThread>

#include <csignal>

class XServer {
public:
    // The server picks a free display itself and names it once it accepts
    // connections, so tests running side by side never share one.
    bool starte()
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty())
            return false;
        m_prozess.setProcessChannelMode(QProcess::SeparateChannels);
        m_prozess.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                               QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                               QStringLiteral("tcp")});
        if (!m_prozess.waitForStarted(5000))
            return false;
        QByteArray ausgabe;
        QElapsedTimer uhr;
        uhr.start();
        while (!ausgabe.contains('\n') && uhr.elapsed() < 30000 && m_prozess.state() == QProcess::Running) {
            m_prozess.waitForReadyRead(200);
            ausgabe += m_prozess.readAllStandardOutput();
        }
        bool ok = false;
        const int n = ausgabe.trimmed().toInt(&ok);
        if (!ausgabe.contains('\n') || !ok) {
            m_prozess.kill();
            m_prozess.waitForFinished();
            return false;
        }
        anzeige = QStringLiteral(":%1").arg(n);
        return true;
    }
    // A window manager with a taskbar on this server (JWM, with a
    // configuration of its own in `ordner`), ready once it has announced
    // itself on the root window. False without jwm or xprop.
    bool starteFensterManager(const QString& ordner)
    {
        const QString jwm = QStandardPaths::findExecutable(QStringLiteral("jwm"));
        if (jwm.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xprop")).isEmpty())
            return false;
        const QString konfiguration = ordner + QStringLiteral("/jwmrc");
        QFile datei(konfiguration);
        if (!datei.open(QIODevice::WriteOnly))
            return false;
        datei.write("<?xml version=\"1.0\"?>\n<JWM>\n<Tray x=\"0\" y=\"-1\" height=\"24\"><TaskList/></Tray>\n</JWM>\n");
        datei.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), anzeige);
        env.insert(QStringLiteral("HOME"), ordner);
        m_fensterManager.setProcessEnvironment(env);
        m_fensterManager.setProcessChannelMode(QProcess::MergedChannels);
        m_fensterManager.start(jwm, {QStringLiteral("-f"), konfiguration});
        return warteAufFensterManager();
    }
    // Openbox instead, as it comes: it offers "minimise" on every window,
    // dialogs too. False without openbox or xprop.
    bool starteOpenbox(const QString& ordner)
    {
        const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
        if (openbox.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xprop")).isEmpty())
            return false;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), anzeige);
        env.insert(QStringLiteral("HOME"), ordner);
        m_fensterManager.setProcessEnvironment(env);
        m_fensterManager.setProcessChannelMode(QProcess::MergedChannels);
        m_fensterManager.start(openbox, {});
        return warteAufFensterManager();
    }
    // Ready once it has announced itself on the root window.
    bool warteAufFensterManager()
    {
        if (!m_fensterManager.waitForStarted(5000))
            return false;
        QElapsedTimer uhr;
        uhr.start();
        while (uhr.elapsed() < 30000 && m_fensterManager.state() == QProcess::Running) {
            if (xprop({QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")}).contains(u'#'))
                return true;
            m_fensterManager.waitForFinished(100);
        }
        return false;
    }

    // xprop on this server; its output.
    QString xprop(const QStringList& argumente) const
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), anzeige);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("xprop"), argumente);
        if (!p.waitForFinished(10000))
            p.kill();
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    ~XServer()
    {
        if (m_fensterManager.state() != QProcess::NotRunning) {
            m_fensterManager.terminate();
            if (!m_fensterManager.waitForFinished(3000))
                m_fensterManager.kill();
            m_fensterManager.waitForFinished();
        }
        if (m_prozess.state() != QProcess::NotRunning) {
            m_prozess.terminate();
            if (!m_prozess.waitForFinished(3000))
                m_prozess.kill();
            m_prozess.waitForFinished();
        }
    }
    // For a program on this server: X11, and a runtime folder of its own
    // (made here, private as the runtime expects it).
    QProcessEnvironment umgebung(const QString& laufzeitOrdner) const
    {
        QDir().mkpath(laufzeitOrdner);
        QFile::setPermissions(laufzeitOrdner, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), anzeige);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), laufzeitOrdner);
        return env;
    }

    QString anzeige;

private:
    QProcess m_prozess;
    QProcess m_fensterManager;
};

#ifdef VANTOREL_BINARY
// The real program copied into a folder of its own, where it keeps its
// files, and run on an X server of its own. Destroyed in reverse order: the
// program goes before its server.
class VantorelLauf {
public:
    bool kopiere() const { return QFile::copy(QStringLiteral(VANTOREL_BINARY), pfad(QStringLiteral("vantorel"))); }
    QString pfad(const QString& name) const { return dir.path(name); }

    // The demonstration beside the program: the sample day and the
    // configuration with a window of every kind. The data file's path.
    QString demo() const
    {
        const QString daten = pfad(QStringLiteral("station.txt"));
        const QString ini = pfad(QStringLiteral("vantorel.ini"));
        QFile::copy(QStringLiteral(VANTOREL_SOURCE_DIR "/examples/Wetterstation.txt"), daten);
        QFile::copy(QStringLiteral(VANTOREL_SOURCE_DIR "/examples/vantorel.ini"), ini);
        QFile::setPermissions(ini, QFile::ReadOwner | QFile::WriteOwner);
        return daten;
    }
    // As a logger appends to its file.
    static void haengeAn(const QString& datei, const QByteArray& text) { appendFile(datei, text); }
    // Waits, bounded, until the first start has written its windows'
    // sections; false when the program is gone by then.
    bool warteAufStart() const
    {
        QElapsedTimer uhr;
        uhr.start();
        while (!readFile(pfad(QStringLiteral("vantorel.ini"))).contains("[SystemzeitFenster]") && uhr.elapsed() < 30000
               && prozess.state() == QProcess::Running)
            QThread::msleep(100);
        return prozess.state() == QProcess::Running;
    }

    bool starte(const QStringList& argumente)
    {
        prozess.setProcessEnvironment(x.umgebung(pfad(QStringLiteral("run"))));
        prozess.setProcessChannelMode(QProcess::ForwardedChannels);
        prozess.start(pfad(QStringLiteral("vantorel")), argumente);
        return prozess.waitForStarted(5000);
    }

    // Ends it as a logout does (or a closed terminal, with SIGHUP); false
    // when it does not end in time.
    bool beende(int signal = SIGTERM)
    {
        ::kill(static_cast<pid_t>(prozess.processId()), signal);
        if (prozess.waitForFinished(20000))
            return true;
        prozess.kill();
        prozess.waitForFinished();
        return false;
    }

    XServer x;
    TempDir dir;
    QProcess prozess;
};
#endif
