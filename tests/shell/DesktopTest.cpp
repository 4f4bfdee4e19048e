// On a desktop with a window manager: the program is one entry in the
// taskbar, and its dialogs offer a close box only.
#include "OptionenTestSupport.h"
#include "XServer.h"

#include "Diagramm24h.h"
#include "DiagrammRM.h"
#include "InfoDlgs.h"
#include "IniFiles.h"
#include "PrgEinstDlg.h"
#include "WindowHints.h"

#include <QApplication>
#include <QDialog>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <functional>
#include <memory>

namespace {

// The atoms (or windows) xprop names for one property: "A, B" of
// "NAME(ATOM) = A, B", or of "NAME(WINDOW): window id # A, B".
QStringList werte(const QString& ausgabe)
{
    qsizetype anfang = ausgabe.indexOf(u'#');
    if (anfang < 0)
        anfang = ausgabe.indexOf(u'=');
    QStringList liste;
    if (anfang < 0)
        return liste;
    for (const QString& w : ausgabe.mid(anfang + 1).split(u',', Qt::SkipEmptyParts))
        if (!w.trimmed().isEmpty())
            liste << w.trimmed();
    return liste;
}

const char* const kUnterFensterManager = "VANTOREL_UNTER_FENSTERMANAGER";

class DesktopTest : public OptionenTest {};

} // namespace

// Run by the test below in a process of its own on an X server with a window
// manager; on its own, offscreen, it checks the window flags alone.
TEST_F(DesktopTest, DialogsOfferACloseBoxOnly)
{
    const bool unterX = qEnvironmentVariableIsSet(kUnterFensterManager);
    if (unterX) {
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    }
    XServer server;
    server.anzeige = qEnvironmentVariable("DISPLAY");

    const QString ini = dir.path(QStringLiteral("v.ini"));
    auto loader = loaderMit(dir.path(QStringLiteral("d.txt")), QString::fromUtf8(datenKopf()).trimmed(),
                            {QStringLiteral("08.12.2026\t10:00:00\t5\t60")});
    FakeSpaltenFenster* fenster = FensterDerArt(owner, protokoll, 1);
    std::vector<std::unique_ptr<QDialog>> dialoge;
    dialoge.push_back(std::make_unique<TInfoDialog1>());
    dialoge.push_back(std::make_unique<TPrgEinstDialog1>());
    dialoge.push_back(std::make_unique<TOptionenFenster>(programm, *fenster));
    dialoge.push_back(std::make_unique<TDiagrammFenster>(nullptr, loader.get(), QString(), QString(),
                                                         QStringLiteral("t2m"), ini, nullptr));
    dialoge.push_back(std::make_unique<TRMDiagramm>(loader.get(), QString(), QString(), QStringLiteral("t2m"), 24, 60));

    // The dialog border, or the tool window's small caption; above the
    // display windows, which stay on top.
    const Qt::WindowType arten[] = {Qt::Dialog, Qt::Dialog, Qt::Tool, Qt::Tool, Qt::Tool};
    for (size_t i = 0; i < dialoge.size(); ++i) {
        QDialog* d = dialoge[i].get();
        SCOPED_TRACE(d->objectName().toStdString());
        d->show();
        const Qt::WindowFlags flags = d->windowFlags();
        EXPECT_EQ(d->windowType(), arten[i]);
        EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
        EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
        EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        EXPECT_TRUE(d->minimumSize() == d->maximumSize())
            << "resizable up to " << d->maximumSize().width() << " x " << d->maximumSize().height();
        if (unterX) {
            // What the window manager offers, once it has taken the window.
            const QString id = QString::number(d->winId());
            QStringList angebot;
            pumpUntil([&] {
                angebot = werte(server.xprop({QStringLiteral("-id"), id, QStringLiteral("_NET_WM_ALLOWED_ACTIONS")}));
                return !angebot.isEmpty();
            });
            EXPECT_TRUE(angebot.contains(QStringLiteral("_NET_WM_ACTION_CLOSE"))) << angebot.join(u' ').toStdString();
            for (const char* nicht : {"_NET_WM_ACTION_MINIMIZE", "_NET_WM_ACTION_MAXIMIZE_HORZ",
                                      "_NET_WM_ACTION_MAXIMIZE_VERT", "_NET_WM_ACTION_RESIZE"})
                EXPECT_FALSE(angebot.contains(QLatin1String(nicht))) << nicht;
        }
        d->hide();
    }
    dialoge.clear();

    if (unterX) {
        // A display window shown again while the window manager has it
        // mapped (restored, say) keeps its marks.
        fenster->show();
        const QString id = QString::number(fenster->winId());
        const auto markiert = [&] {
            const QStringList zustand = werte(server.xprop({QStringLiteral("-id"), id, QStringLiteral("_NET_WM_STATE")}));
            return zustand.contains(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR"))
                   && zustand.contains(QStringLiteral("_NET_WM_STATE_SKIP_PAGER"));
        };
        bool da = pumpUntil(markiert);
        ASSERT_TRUE(da);
        SkipTaskbar(fenster);
        for (int i = 0; i < 10 && da; ++i) {
            pumpEvents(100);
            da = markiert();
        }
        EXPECT_TRUE(da);
    }
    abbauen(fenster);
}

#ifdef VANTOREL_BINARY

namespace {

// An X tool on the server; its output, empty when it does not answer in time.
QString XWerkzeug(const XServer& x, const QString& programm, const QStringList& argumente)
{
    return x.werkzeug(programm, argumente).trimmed();
}

int AktiveSektionen(const QString& ini)
{
    const TIniFile konfiguration(ini);
    QStringList sektionen;
    konfiguration.ReadSections(sektionen);
    int anzahl = 0;
    for (const QString& s : sektionen)
        if (s != QLatin1String("Global") && konfiguration.ReadBool(s, QStringLiteral("Aktiv"), false))
            ++anzahl;
    return anzahl;
}

// Starts the demonstration and waits, bounded, until the window manager has
// taken the main window and every display window.
bool StarteDemo(VantorelLauf& lauf)
{
    if (!lauf.kopiere())
        return false;
    const QString daten = lauf.demo();
    const int anzeigen = AktiveSektionen(lauf.pfad(QStringLiteral("vantorel.ini")));
    if (anzeigen < 10 || !lauf.starte({daten}))
        return false;
    QElapsedTimer uhr;
    uhr.start();
    while (uhr.elapsed() < 30000 && lauf.prozess.state() == QProcess::Running) {
        if (werte(lauf.x.xprop({QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST")})).size() > anzeigen)
            return true;
        lauf.prozess.waitForFinished(200);
    }
    return false;
}

// The window's ancestor among the root's children: its frame under a window
// manager. Window ids as xwininfo writes them (0x...).
QString Rahmen(const XServer& x, QString id)
{
    static const QRegularExpression wurzel(QStringLiteral("Root window id: (0x[0-9a-f]+)"));
    static const QRegularExpression eltern(QStringLiteral("Parent window id: (0x[0-9a-f]+)"));
    id = QStringLiteral("0x") + QString::number(id.toULongLong(nullptr, 0), 16);
    for (int tiefe = 0; tiefe < 10; ++tiefe) {
        const QString baum = XWerkzeug(x, QStringLiteral("xwininfo"), {QStringLiteral("-id"), id, QStringLiteral("-tree")});
        const QString w = wurzel.match(baum).captured(1);
        const QString e = eltern.match(baum).captured(1);
        if (w.isEmpty() || e.isEmpty())
            return {};
        if (e == w)
            return id;
        id = e;
    }
    return {};
}

// Where a window lies on the screen.
QRect Flaeche(const XServer& x, const QString& id)
{
    const QString info = XWerkzeug(x, QStringLiteral("xwininfo"), {QStringLiteral("-id"), id});
    const auto zahl = [&info](const char* was) {
        const QRegularExpression muster(QLatin1String(was) + QStringLiteral(":\\s+(-?\\d+)"));
        return muster.match(info).captured(1).toInt();
    };
    return {zahl("Absolute upper-left X"), zahl("Absolute upper-left Y"), zahl("Width"), zahl("Height")};
}

// The root's children as the X server stacks them, the top-most first (so
// xwininfo lists them).
QStringList Stapel(const XServer& x)
{
    QStringList ids;
    const QString liste = XWerkzeug(x, QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-children")});
    for (const QString& zeile : liste.split(u'\n')) {
        const QString t = zeile.trimmed();
        if (t.startsWith(QLatin1String("0x")))
            ids << t.section(u' ', 0, 0);
    }
    return ids;
}

} // namespace

TEST(Desktop, DialogsOfferACloseBoxOnlyUnderAWindowManager)
{
    XServer x;
    if (!x.starte())
        GTEST_SKIP() << "no Xvfb";
    TempDir dir;
    if (!x.starteFensterManager(dir.path()))
        GTEST_SKIP() << "no jwm or xprop";
    QProcess kind;
    QProcessEnvironment env = x.umgebung(dir.path(QStringLiteral("run")));
    env.insert(QLatin1String(kUnterFensterManager), QStringLiteral("1"));
    kind.setProcessEnvironment(env);
    kind.setProcessChannelMode(QProcess::MergedChannels);
    kind.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=DesktopTest.DialogsOfferACloseBoxOnly")});
    ASSERT_TRUE(kind.waitForStarted(5000));
    if (!kind.waitForFinished(120000)) {
        kind.kill();
        kind.waitForFinished();
        FAIL() << "the dialogs' process did not end";
    }
    const QString ausgabe = QString::fromUtf8(kind.readAll());
    EXPECT_EQ(kind.exitCode(), 0) << ausgabe.toStdString();
    EXPECT_TRUE(ausgabe.contains(QStringLiteral("[  PASSED  ] 1 test."))) << ausgabe.toStdString();
}

// The demonstration's windows under a window manager with a taskbar: the
// display windows stay out of the taskbar and the pager, the main window is
// the program's one entry.
TEST(Desktop, TheProgramIsOneEntryInTheTaskbar)
{
    VantorelLauf lauf;
    if (!lauf.x.starte())
        GTEST_SKIP() << "no Xvfb";
    if (!lauf.x.starteFensterManager(lauf.dir.path()))
        GTEST_SKIP() << "no jwm or xprop";
    ASSERT_TRUE(lauf.kopiere());
    const QString daten = lauf.demo();
    const QString ini = lauf.pfad(QStringLiteral("vantorel.ini"));
    const int anzeigen = AktiveSektionen(ini);
    ASSERT_GT(anzeigen, 10);
    ASSERT_TRUE(lauf.starte({daten}));

    // Every window the window manager took.
    QStringList fenster;
    QElapsedTimer uhr;
    uhr.start();
    while (fenster.size() < anzeigen + 1 && uhr.elapsed() < 30000) {
        QThread::msleep(200);
        fenster = werte(lauf.x.xprop({QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST")}));
    }
    ASSERT_EQ(fenster.size(), anzeigen + 1);
    QStringList eintraege, imPager;
    int anzeigeFenster = 0;
    for (const QString& id : fenster) {
        const QString name = lauf.x.xprop({QStringLiteral("-id"), id, QStringLiteral("WM_NAME")}).section(u'"', 1, 1);
        const QStringList zustand = werte(lauf.x.xprop({QStringLiteral("-id"), id, QStringLiteral("_NET_WM_STATE")}));
        if (name == QLatin1String("GrundFenster"))
            ++anzeigeFenster;
        if (!zustand.contains(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR")))
            eintraege << name;
        if (!zustand.contains(QStringLiteral("_NET_WM_STATE_SKIP_PAGER")))
            imPager << name;
    }
    EXPECT_EQ(anzeigeFenster, anzeigen);
    EXPECT_EQ(eintraege, QStringList{QStringLiteral("Vantorel")});
    EXPECT_EQ(imPager, QStringList{QStringLiteral("Vantorel")});
    ASSERT_TRUE(lauf.beende());
}

// Under JWM: the data file chooser ("Log-Datei ändern...") opens above the
// display windows across the middle of the screen, as every other dialog.
TEST(Desktop, TheFileChooserOpensAboveTheDisplayWindowsItOverlaps)
{
    VantorelLauf lauf;
    if (!lauf.x.starte())
        GTEST_SKIP() << "no Xvfb";
    if (!lauf.x.starteFensterManager(lauf.dir.path()))
        GTEST_SKIP() << "no jwm or xprop";
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()
        || QStandardPaths::findExecutable(QStringLiteral("xwininfo")).isEmpty())
        GTEST_SKIP() << "no xdotool or xwininfo";
    ASSERT_TRUE(StarteDemo(lauf));
    // Beside the windows of the demonstration; the main menu's fourth item.
    const QString waehler = lauf.ueberMenu({1100, 900}, 4, QStringLiteral("^Öffne Log-Datei$"));
    ASSERT_FALSE(waehler.isEmpty()) << "no chooser";

    QStringList anzeigen;
    for (const QString& id : werte(lauf.x.xprop({QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST")})))
        if (lauf.x.xprop({QStringLiteral("-id"), id, QStringLiteral("WM_NAME")}).section(u'"', 1, 1) == QLatin1String("GrundFenster"))
            anzeigen << Rahmen(lauf.x, id);
    // Once the window manager has framed and placed it.
    QString rahmen;
    QStringList darueber;
    int ueberlappt = 0;
    QElapsedTimer uhr;
    uhr.start();
    do {
        lauf.prozess.waitForFinished(100);
        rahmen = Rahmen(lauf.x, waehler);
        const QRect flaeche = Flaeche(lauf.x, rahmen);
        const QStringList stapel = Stapel(lauf.x);
        darueber.clear();
        ueberlappt = 0;
        for (const QString& a : anzeigen) {
            if (!Flaeche(lauf.x, a).intersects(flaeche))
                continue;
            ++ueberlappt;
            if (stapel.indexOf(a) < stapel.indexOf(rahmen))
                darueber << a;
        }
    } while ((rahmen.isEmpty() || ueberlappt == 0 || !darueber.isEmpty()) && uhr.elapsed() < 20000);
    EXPECT_GT(ueberlappt, 0);
    EXPECT_TRUE(darueber.isEmpty()) << darueber.join(u' ').toStdString() << " above the chooser's frame " << rahmen.toStdString();
    ASSERT_TRUE(lauf.beende());
}

// Under Openbox, which offers "minimise" on the options dialog whatever it
// asks for: minimised, the modal dialog comes back at once, restored, raised
// and active, so the program never hides what holds it.
TEST(Desktop, AMinimisedModalDialogComesBackAtOnce)
{
    VantorelLauf lauf;
    if (!lauf.x.starte())
        GTEST_SKIP() << "no Xvfb";
    if (!lauf.x.starteOpenbox(lauf.dir.path()))
        GTEST_SKIP() << "no openbox or xprop";
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        GTEST_SKIP() << "no xdotool";
    ASSERT_TRUE(StarteDemo(lauf));
    // The options of the demonstration's temperature display: its menu's first item.
    const QString dialog = lauf.ueberMenu({60, 380}, 1, QStringLiteral("^Optionen\\.\\.\\.$"));
    ASSERT_FALSE(dialog.isEmpty()) << "no options dialog";
    const QString hex = QStringLiteral("0x") + QString::number(dialog.toULongLong(), 16);

    // Every unmap and map of the dialog, in order: the window manager hides
    // a minimised window so. Ready once it has seen a mark set on the dialog.
    QProcess zeuge;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), lauf.x.anzeige);
    zeuge.setProcessEnvironment(env);
    zeuge.start(QStringLiteral("xev"), {QStringLiteral("-id"), dialog, QStringLiteral("-event"), QStringLiteral("structure"),
                                        QStringLiteral("-event"), QStringLiteral("property")});
    ASSERT_TRUE(zeuge.waitForStarted(5000));
    QString ereignisse;
    const auto warte = [&](const std::function<bool()>& bedingung, const std::function<void()>& dabei) {
        QElapsedTimer uhr;
        uhr.start();
        while (!bedingung() && uhr.elapsed() < 20000) {
            dabei();
            zeuge.waitForReadyRead(100);
            ereignisse += QString::fromUtf8(zeuge.readAllStandardOutput());
        }
        return bedingung();
    };
    ASSERT_TRUE(warte([&] { return ereignisse.contains(QStringLiteral("PropertyNotify")); },
                      [&] {
                          lauf.x.xprop({QStringLiteral("-id"), dialog, QStringLiteral("-f"), QStringLiteral("VANTOREL_ZEUGE"),
                                        QStringLiteral("8s"), QStringLiteral("-set"), QStringLiteral("VANTOREL_ZEUGE"),
                                        QStringLiteral("1")});
                      }));

    XWerkzeug(lauf.x, QStringLiteral("xdotool"), {QStringLiteral("windowminimize"), dialog});
    const auto zurueck = [&ereignisse] {
        const qsizetype weg = ereignisse.indexOf(QStringLiteral("UnmapNotify"));
        return weg >= 0 && ereignisse.indexOf(QStringLiteral("\nMapNotify"), weg) > weg;
    };
    const bool kamZurueck = warte(zurueck, [] {});
    zeuge.kill();
    zeuge.waitForFinished();
    ASSERT_TRUE(ereignisse.contains(QStringLiteral("UnmapNotify"))) << "never minimised";
    EXPECT_TRUE(kamZurueck);

    // Raised above every other window of the program, and active.
    const auto oben = [&] {
        const QStringList stapel = werte(lauf.x.xprop({QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")}));
        const QStringList aktiv = werte(lauf.x.xprop({QStringLiteral("-root"), QStringLiteral("_NET_ACTIVE_WINDOW")}));
        const QStringList zustand = werte(lauf.x.xprop({QStringLiteral("-id"), dialog, QStringLiteral("_NET_WM_STATE")}));
        return !stapel.isEmpty() && stapel.last() == hex && aktiv == QStringList{hex}
               && !zustand.contains(QStringLiteral("_NET_WM_STATE_HIDDEN"));
    };
    QElapsedTimer uhr;
    uhr.start();
    while (!oben() && uhr.elapsed() < 20000)
        lauf.prozess.waitForFinished(100);
    EXPECT_TRUE(oben());
    ASSERT_TRUE(lauf.beende());
}

#endif
