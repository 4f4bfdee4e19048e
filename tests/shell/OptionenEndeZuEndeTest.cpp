// The real program under a virtual X server: a window's "Optionen..." by
// mouse, the dialog by keyboard, and what the window writes at the end.
#include "IniFiles.h"
#include "TestSupport.h"
#include "XServer.h"

#include <QProcess>
#include <QRect>
#include <QSet>
#include <QStandardPaths>
#include <QStringList>
#include <QThread>

#ifdef VANTOREL_BINARY

namespace {

// xdotool on the test's own display.
class Xdo {
public:
    Xdo(QString programm, QString anzeige) : m_programm(std::move(programm)), m_anzeige(std::move(anzeige)) {}

    QString operator()(const QStringList& argumente) const
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), m_anzeige);
        p.setProcessEnvironment(env);
        p.start(m_programm, argumente);
        if (!p.waitForFinished(30000))
            p.kill();
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }

    // The visible windows of the program.
    QSet<QString> fenster() const
    {
        const QStringList ids = (*this)({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                         QStringLiteral("--classname"), QStringLiteral("vantorel")})
                                    .split(u'\n', Qt::SkipEmptyParts);
        return QSet<QString>(ids.begin(), ids.end());
    }

    QRect geometrie(const QString& id) const
    {
        QRect r;
        const QStringList zeilen = (*this)({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), id})
                                       .split(u'\n');
        for (const QString& z : zeilen) {
            const QString wert = z.section(u'=', 1);
            if (z.startsWith(QLatin1String("X=")))
                r.moveLeft(wert.toInt());
            else if (z.startsWith(QLatin1String("Y=")))
                r.moveTop(wert.toInt());
            else if (z.startsWith(QLatin1String("WIDTH=")))
                r.setWidth(wert.toInt());
            else if (z.startsWith(QLatin1String("HEIGHT=")))
                r.setHeight(wert.toInt());
        }
        return r;
    }

    // Asks until the answer is not empty, at most `ms` milliseconds.
    template<class F>
    static auto warte(F frage, int ms) -> decltype(frage())
    {
        QElapsedTimer uhr;
        uhr.start();
        for (;;) {
            auto antwort = frage();
            if (!antwort.isEmpty() || uhr.elapsed() > ms)
                return antwort;
            QThread::msleep(100);
        }
    }

private:
    QString m_programm;
    QString m_anzeige;
};

} // namespace

TEST(OptionenEndeZuEnde, CaptionAndRangeFromTheDialogReachTheWindowsSection)
{
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (xdotool.isEmpty())
        GTEST_SKIP() << "no xdotool";
    VantorelLauf lauf;
    if (!lauf.x.starte())
        GTEST_SKIP() << "no Xvfb";
    ASSERT_TRUE(lauf.kopiere());
    const QString daten = lauf.pfad(QStringLiteral("station.txt"));
    writeFile(daten, QByteArray("Datum\tUhrzeit\tt2m  [\xC2\xB0" "C  ]\n08.12.2026\t10:00:00\t5.5\n"));
    const QString ini = lauf.pfad(QStringLiteral("vantorel.ini"));
    writeFile(ini, "[Global]\nInterval=1000\nErsterStart=0\n\n"
                   "[t2m__Standardanzeige]\nFensterID=1\nAktiv=1\nSpalte=t2m  [\xC2\xB0" "C  ]\n"
                   "Beschriftung=Temperatur\nPositionX=300\nPositionY=200\n"
                   "AnzahlBereiche=0\nBereich0Von=0\nBereich0Bis=10\nBereich0Farbe=255\n");
    ASSERT_TRUE(lauf.starte({daten}));
    const Xdo xdo(xdotool, lauf.x.anzeige);

    const QString fenster = Xdo::warte(
        [&] {
            return xdo({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                        QStringLiteral("^GrundFenster$")});
        },
        30000);
    ASSERT_FALSE(fenster.isEmpty()) << "the display window did not show";
    const QRect f = xdo.geometrie(fenster);

    // The window's menu at the mouse, then its first item "Optionen...". A
    // menu that is slow to show is waited for; a try that misses is undone
    // with Escape and made again.
    auto dialogOffen = [&] {
        return xdo({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                    QStringLiteral("^Optionen\\.\\.\\.$")});
    };
    QString dialog;
    for (int versuch = 0; versuch < 5 && dialog.isEmpty(); ++versuch) {
        const QSet<QString> vorher = xdo.fenster();
        xdo({QStringLiteral("mousemove"), QString::number(f.center().x()), QString::number(f.center().y()),
             QStringLiteral("click"), QStringLiteral("3")});
        const QStringList neu = Xdo::warte([&] { return (xdo.fenster() - vorher).values(); }, 10000);
        if (neu.size() == 1) {
            const QRect menu = xdo.geometrie(neu.first());
            xdo({QStringLiteral("mousemove"), QString::number(menu.left() + 30), QString::number(menu.top() + 12),
                 QStringLiteral("click"), QStringLiteral("1")});
            dialog = Xdo::warte(dialogOffen, 10000);
        }
        if (dialog.isEmpty())
            xdo({QStringLiteral("key"), QStringLiteral("Escape")});
    }
    ASSERT_FALSE(dialog.isEmpty()) << "the options dialog did not open";

    // By the dialog's tab order from the interval edit, which has the focus:
    // the caption; then the range list, whose line fills the range edits;
    // the upper bound; "Bereich ändern"; "OK".
    xdo({QStringLiteral("windowfocus"), QStringLiteral("--sync"), dialog});
    auto tasten = [&](const QString& folge) {
        xdo(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("30")}
            + folge.split(u' '));
    };
    auto tippe = [&](const QString& text) {
        xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"), text});
    };
    tasten(QStringLiteral("Tab Tab Tab Tab"));
    tippe(QStringLiteral("Innen"));
    tasten(QStringLiteral("Tab Tab Tab Tab Tab Tab Tab space Tab Tab"));
    tippe(QStringLiteral("12,5"));
    tasten(QStringLiteral("Tab Tab Tab Tab space Tab space"));
    const QString nochOffen = Xdo::warte(
        [&] { return dialogOffen().isEmpty() ? QStringLiteral("zu") : QString(); }, 20000);
    EXPECT_FALSE(nochOffen.isEmpty()) << "the dialog stayed open";

    ASSERT_TRUE(lauf.beende());
    EXPECT_EQ(lauf.prozess.exitStatus(), QProcess::NormalExit);
    const TIniFile konfiguration(ini);
    const QString s = QStringLiteral("t2m__Standardanzeige");
    EXPECT_EQ(konfiguration.ReadString(s, QStringLiteral("Beschriftung"), QString()), QStringLiteral("Innen"))
        << readFile(ini).toStdString();
    EXPECT_EQ(konfiguration.ReadInteger(s, QStringLiteral("AnzahlBereiche"), -1), 0);
    EXPECT_EQ(konfiguration.ReadString(s, QStringLiteral("Bereich0Bis"), QString()), QStringLiteral("12,5"));
    EXPECT_EQ(konfiguration.ReadString(s, QStringLiteral("Bereich0Von"), QString()), QStringLiteral("0"));
    EXPECT_EQ(konfiguration.ReadInteger(s, QStringLiteral("Bereich0Farbe"), 0), 255);
}

#endif
