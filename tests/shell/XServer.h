#pragma once

// A virtual X server of its own for the tests that start the real program.
#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPoint>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QThread>

#include <csignal>
#include <functional>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

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
        if (!m_fensterManager.waitForStarted(30000))
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

    // Whether a window of this very title is mapped and viewable.
    bool zeigt(const QString& titel) const
    {
        QProcess p;
        p.start(QStringLiteral("xwininfo"), {QStringLiteral("-display"), anzeige, QStringLiteral("-name"), titel});
        if (!p.waitForFinished(10000))
            p.kill();
        return p.readAllStandardOutput().contains("IsViewable");
    }

    // xprop on this server; its output.
    QString xprop(const QStringList& argumente) const { return werkzeug(QStringLiteral("xprop"), argumente); }

    // An X tool on this server; its output, empty when it does not answer
    // in time.
    QString werkzeug(const QString& programm, const QStringList& argumente) const
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), anzeige);
        p.setProcessEnvironment(env);
        p.start(programm, argumente);
        if (!p.waitForFinished(10000)) {
            p.kill();
            p.waitForFinished();
            return {};
        }
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
        if (prozess.state() != QProcess::Running)
            gesehen = QStringLiteral("the program is gone before its windows' sections were written");
        return prozess.state() == QProcess::Running;
    }

    // Waits, bounded, until the condition holds; false when the time is up
    // or the program is gone.
    bool warteBis(const std::function<bool()>& bedingung, int ms = 20000) const
    {
        QElapsedTimer uhr;
        uhr.start();
        while (!bedingung()) {
            if (uhr.elapsed() > ms || prozess.state() != QProcess::Running)
                return false;
            QThread::msleep(50);
        }
        return true;
    }

    // Runs `aenderung` (a logger's write to the file, say), then waits,
    // bounded, until the program has read the whole file `mal` times since:
    // opened it after the change and closed it again. A read that began
    // before the change does not count. False when the time is up or the
    // program is gone; `gesehen` then says what was seen.
    bool liest(const QString& datei, const std::function<void()>& aenderung = {}, int mal = 1)
    {
        const QByteArray name = QFile::encodeName(QFileInfo(datei).fileName());
        if (m_inotify < 0) {
            m_inotify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
            if (m_inotify < 0
                || inotify_add_watch(m_inotify, QFile::encodeName(dir.path()).constData(),
                                     IN_OPEN | IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0) {
                gesehen = QStringLiteral("no inotify");
                return false;
            }
        }
        alignas(inotify_event) char puffer[16 * 1024];
        while (::read(m_inotify, puffer, sizeof puffer) > 0) {
        }
        bool geaendert = !aenderung;
        if (aenderung)
            aenderung();
        int offen = 0, gelesen = 0;
        QElapsedTimer uhr;
        uhr.start();
        while (gelesen < mal && uhr.elapsed() < 20000 && prozess.state() == QProcess::Running) {
            pollfd p{m_inotify, POLLIN, 0};
            ::poll(&p, 1, 100);
            ssize_t n = 0;
            while ((n = ::read(m_inotify, puffer, sizeof puffer)) > 0) {
                for (char* e = puffer; e < puffer + n;) {
                    const auto* ereignis = reinterpret_cast<const inotify_event*>(e);
                    e += sizeof(inotify_event) + ereignis->len;
                    if (ereignis->len == 0 || name != ereignis->name)
                        continue;
                    if (ereignis->mask & IN_CLOSE_WRITE) {
                        geaendert = true;
                        offen = 0;
                    } else if (geaendert && (ereignis->mask & IN_OPEN)) {
                        ++offen;
                    } else if (offen > 0 && (ereignis->mask & IN_CLOSE_NOWRITE)) {
                        --offen;
                        ++gelesen;
                    }
                }
            }
        }
        gesehen = QStringLiteral("%1 of %2 reads of %3 within %4 ms%5; the program %6")
                      .arg(gelesen)
                      .arg(mal)
                      .arg(QString::fromLocal8Bit(name))
                      .arg(uhr.elapsed())
                      .arg(geaendert ? QString() : QStringLiteral(" (the change itself not seen)"))
                      .arg(prozess.state() == QProcess::Running ? QStringLiteral("runs") : QStringLiteral("is gone"));
        return gelesen >= mal;
    }
    // The main menu opened by a right click at `punkt`, its n-th item chosen
    // by keys; the id of the visible window titled `titel` that it opens,
    // empty when none comes. Tried again only when none came: a key too many
    // would go to it.
    QString ueberMenu(QPoint punkt, int n, const QString& titel)
    {
        const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
        if (xdotool.isEmpty())
            return {};
        const auto fenster = [&] {
            return x.werkzeug(xdotool, {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                        titel})
                .trimmed()
                .section(u'\n', 0, 0);
        };
        for (int versuch = 0; versuch < 4 && fenster().isEmpty() && prozess.state() == QProcess::Running; ++versuch) {
            x.werkzeug(xdotool, {QStringLiteral("mousemove"), QString::number(punkt.x()), QString::number(punkt.y()),
                                 QStringLiteral("click"), QStringLiteral("3")});
            QStringList tasten{QStringLiteral("sleep"), QStringLiteral("0.3"), QStringLiteral("key")};
            for (int i = 0; i < n; ++i)
                tasten << QStringLiteral("Down");
            x.werkzeug(xdotool, tasten << QStringLiteral("Return"));
            QElapsedTimer uhr;
            uhr.start();
            while (fenster().isEmpty() && uhr.elapsed() < 5000 && prozess.state() == QProcess::Running)
                prozess.waitForFinished(100);
        }
        return fenster();
    }

    // Waits, bounded, until the main window shows and the program has read
    // its data file once since: a tick past the start.
    bool warteAufTakt(const QString& daten)
    {
        if (!warteBis([this] { return x.zeigt(QStringLiteral("Vantorel")); })) {
            gesehen = QStringLiteral("no main window");
            return false;
        }
        return liest(daten);
    }
    mutable QString gesehen;

    ~VantorelLauf()
    {
        if (m_inotify >= 0)
            ::close(m_inotify);
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
        // A program that ended before it was told to is no close by signal;
        // and its id is 0 then, whose kill would reach the whole group.
        const qint64 pid = prozess.processId();
        if (pid <= 0)
            return false;
        ::kill(static_cast<pid_t>(pid), signal);
        if (prozess.waitForFinished(20000))
            return true;
        prozess.kill();
        prozess.waitForFinished();
        return false;
    }

    XServer x;
    TempDir dir;
    QProcess prozess;

private:
    int m_inotify = -1;
};
#endif
