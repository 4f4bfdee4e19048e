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
#include <QThread>
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
    int anzeigen = 0;
    {
        const TIniFile konfiguration(ini);
        QStringList sektionen;
        konfiguration.ReadSections(sektionen);
        for (const QString& s : sektionen)
            if (s != QLatin1String("Global") && konfiguration.ReadBool(s, QStringLiteral("Aktiv"), false))
                ++anzeigen;
    }
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

#endif
