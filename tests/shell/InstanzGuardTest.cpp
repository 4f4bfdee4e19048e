#include "InstanzGuard.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::unique_ptr<TInstanzGuard> Erwerbe(const QString& ordner, TInstanzErgebnis& ergebnis, QString* fehler = nullptr,
                                       const QString& name = QStringLiteral("VANTOREL"))
{
    return TInstanzGuard::Erwerbe(name, &ergebnis, ordner, fehler);
}

} // namespace

TEST(InstanzGuard, ZweiteInstanzScheitertBisZurFreigabe)
{
    TempDir dir;
    TInstanzErgebnis ergebnis = TInstanzErgebnis::Fehler;
    auto erste = Erwerbe(dir.path(), ergebnis);
    ASSERT_TRUE(erste);
    EXPECT_EQ(ergebnis, TInstanzErgebnis::Erworben);
    EXPECT_TRUE(erste->Offen());
    EXPECT_EQ(erste->Datei(), dir.path("VANTOREL.lock"));
    EXPECT_TRUE(QFile::exists(dir.path("VANTOREL.lock")));

    // A second open of the same file conflicts, also within one process.
    QString fehler = QStringLiteral("alt");
    EXPECT_FALSE(Erwerbe(dir.path(), ergebnis, &fehler));
    EXPECT_EQ(ergebnis, TInstanzErgebnis::LaeuftBereits);
    EXPECT_TRUE(fehler.isEmpty());
    // Another name is another guard.
    auto andere = Erwerbe(dir.path(), ergebnis, nullptr, QStringLiteral("ANDERE"));
    EXPECT_TRUE(andere);

    erste->Schliesse();
    EXPECT_FALSE(erste->Offen());
    erste->Schliesse();   // closes once; the second call must not touch a reused descriptor
    auto dritte = Erwerbe(dir.path(), ergebnis);
    ASSERT_TRUE(dritte);
    EXPECT_EQ(ergebnis, TInstanzErgebnis::Erworben);
    erste->Schliesse();
    EXPECT_TRUE(dritte->Offen());
    EXPECT_FALSE(Erwerbe(dir.path(), ergebnis));

    // Destroying the guard releases it as well.
    dritte.reset();
    EXPECT_TRUE(Erwerbe(dir.path(), ergebnis));
}

TEST(InstanzGuard, AndererProzessSiehtDieSperreUndErbtSieNicht)
{
    TempDir dir;
    TInstanzErgebnis ergebnis = TInstanzErgebnis::Fehler;
    auto guard = Erwerbe(dir.path(), ergebnis);
    ASSERT_TRUE(guard);
    const QString datei = guard->Datei();

    // A control descriptor without close-on-exec proves that the child does
    // see what it inherits; the guard's own must not be among them.
    const int kontrolle = ::open(QFile::encodeName(datei).constData(), O_RDONLY);
    ASSERT_GE(kontrolle, 0);
    QProcess kind;
    kind.start(QStringLiteral("/bin/sh"),
               {QStringLiteral("-c"), QStringLiteral("for f in /proc/$$/fd/*; do readlink \"$f\"; done")});
    ASSERT_TRUE(kind.waitForFinished(10000));
    ::close(kontrolle);
    const QStringList zeilen = QString::fromLocal8Bit(kind.readAllStandardOutput()).split(u'\n');
    EXPECT_EQ(zeilen.count(datei), 1) << zeilen.join(u' ').toStdString();

    // Another process can't take the lock while this one holds it.
    const QString flock = QStandardPaths::findExecutable(QStringLiteral("flock"));
    if (!flock.isEmpty()) {
        QProcess p;
        p.start(flock, {QStringLiteral("-n"), QStringLiteral("-E"), QStringLiteral("42"), datei,
                        QStringLiteral("true")});
        ASSERT_TRUE(p.waitForFinished(10000));
        EXPECT_EQ(p.exitCode(), 42);
        guard->Schliesse();
        p.start(flock, {QStringLiteral("-n"), QStringLiteral("-E"), QStringLiteral("42"), datei,
                        QStringLiteral("true")});
        ASSERT_TRUE(p.waitForFinished(10000));
        EXPECT_EQ(p.exitCode(), 0);
    }
}

TEST(InstanzGuard, UnsichereOrteWerdenAbgelehnt)
{
    TempDir dir;
    TInstanzErgebnis ergebnis = TInstanzErgebnis::Erworben;
    QString fehler;

    // A link planted at the lock file's place is not followed.
    writeFile(dir.path("ziel"), "bleibt");
    ASSERT_EQ(::symlink(QFile::encodeName(dir.path("ziel")).constData(),
                        QFile::encodeName(dir.path("VANTOREL.lock")).constData()),
              0);
    EXPECT_FALSE(Erwerbe(dir.path(), ergebnis, &fehler));
    EXPECT_EQ(ergebnis, TInstanzErgebnis::Fehler);
    EXPECT_FALSE(fehler.isEmpty());
    EXPECT_EQ(readFile(dir.path("ziel")), QByteArray("bleibt"));

    // A folder others can enter, a link to a good folder, a relative path,
    // a name that leaves the folder.
    ASSERT_TRUE(QDir().mkdir(dir.path("offen")));
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path("offen")).constData(), 0755), 0);
    EXPECT_FALSE(Erwerbe(dir.path("offen"), ergebnis));
    EXPECT_EQ(ergebnis, TInstanzErgebnis::Fehler);
    ASSERT_TRUE(QDir().mkdir(dir.path("gut")));
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path("gut")).constData(), 0700), 0);
    ASSERT_EQ(::symlink(QFile::encodeName(dir.path("gut")).constData(),
                        QFile::encodeName(dir.path("link")).constData()),
              0);
    EXPECT_FALSE(Erwerbe(dir.path("link"), ergebnis));
    EXPECT_FALSE(Erwerbe(QStringLiteral("relativ"), ergebnis));
    EXPECT_FALSE(Erwerbe(dir.path("gut"), ergebnis, nullptr, QStringLiteral("../VANTOREL")));
    EXPECT_EQ(ergebnis, TInstanzErgebnis::Fehler);
    auto gut = Erwerbe(dir.path("gut"), ergebnis);
    EXPECT_TRUE(gut);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(dir.path("gut/VANTOREL.lock")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(InstanzGuard, LaufzeitOrdnerNurWennSicher)
{
    TempDir dir;
    const QString eigener = dir.path(QStringLiteral("vantorel-%1").arg(::geteuid()));
    ASSERT_TRUE(QDir().mkdir(dir.path("xdg")));
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path("xdg")).constData(), 0700), 0);
    EXPECT_EQ(TInstanzGuard::LaufzeitOrdner(QFile::encodeName(dir.path("xdg")), dir.path()), dir.path("xdg"));
    EXPECT_FALSE(QFile::exists(eigener));

    // Unset or open to others: a folder of our own, made closed.
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path("xdg")).constData(), 0755), 0);
    EXPECT_EQ(TInstanzGuard::LaufzeitOrdner(QFile::encodeName(dir.path("xdg")), dir.path()), eigener);
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(eigener).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(TInstanzGuard::LaufzeitOrdner(QByteArray(), dir.path()), eigener);

    // Someone else's doing at that place: no folder, no guard.
    ASSERT_EQ(::chmod(QFile::encodeName(eigener).constData(), 0777), 0);
    QString fehler;
    EXPECT_TRUE(TInstanzGuard::LaufzeitOrdner(QByteArray(), dir.path(), &fehler).isEmpty());
    EXPECT_FALSE(fehler.isEmpty());
    ASSERT_TRUE(QDir().rmdir(eigener));
    ASSERT_EQ(::symlink(QFile::encodeName(dir.path("xdg")).constData(), QFile::encodeName(eigener).constData()), 0);
    EXPECT_TRUE(TInstanzGuard::LaufzeitOrdner(QByteArray(), dir.path()).isEmpty());
}
