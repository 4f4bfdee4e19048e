#include "InstanzGuard.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString SystemFehler(const QString& was, const QString& pfad, int err)
{
    return QStringLiteral("%1 %2: %3").arg(was, pfad, QString::fromLocal8Bit(std::strerror(err)));
}

void SetzeFehler(QString* ziel, const QString& text)
{
    if (ziel)
        *ziel = text;
}

} // namespace

bool TInstanzGuard::OrdnerSicher(const QString& Ordner, QString* FehlerText)
{
    if (Ordner.isEmpty() || !QDir::isAbsolutePath(Ordner)) {
        SetzeFehler(FehlerText, QStringLiteral("Kein absoluter Ordner: %1").arg(Ordner));
        return false;
    }
    struct stat st {};
    if (::lstat(QFile::encodeName(Ordner).constData(), &st) != 0) {
        SetzeFehler(FehlerText, SystemFehler(QStringLiteral("Ordner nicht lesbar"), Ordner, errno));
        return false;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & 077) != 0) {
        SetzeFehler(FehlerText, QStringLiteral("Ordner nicht sicher: %1").arg(Ordner));
        return false;
    }
    return true;
}

QString TInstanzGuard::LaufzeitOrdner(const QByteArray& XdgRuntimeDir, const QString& TmpBasis, QString* FehlerText)
{
    if (!XdgRuntimeDir.isEmpty()) {
        const QString xdg = QFile::decodeName(XdgRuntimeDir);
        if (OrdnerSicher(xdg))
            return xdg;
    }
    // A folder of our own under the shared temp folder; never the shared
    // folder itself, where anyone could plant the lock file.
    const QString eigener = TmpBasis + QStringLiteral("/vantorel-%1").arg(::geteuid());
    if (::mkdir(QFile::encodeName(eigener).constData(), 0700) != 0 && errno != EEXIST) {
        SetzeFehler(FehlerText, SystemFehler(QStringLiteral("Ordner nicht angelegt"), eigener, errno));
        return {};
    }
    if (!OrdnerSicher(eigener, FehlerText))
        return {};
    return eigener;
}

std::unique_ptr<TInstanzGuard> TInstanzGuard::Erwerbe(const QString& Name, TInstanzErgebnis* Ergebnis,
                                                     const QString& Ordner, QString* FehlerText)
{
    TInstanzErgebnis ergebnis = TInstanzErgebnis::Fehler;
    QString fehler;
    std::unique_ptr<TInstanzGuard> guard = Oeffne(Name, Ordner, ergebnis, fehler);
    if (Ergebnis)
        *Ergebnis = ergebnis;
    SetzeFehler(FehlerText, fehler);
    return guard;
}

std::unique_ptr<TInstanzGuard> TInstanzGuard::Oeffne(const QString& Name, const QString& Ordner,
                                                    TInstanzErgebnis& Ergebnis, QString& Fehler)
{
    if (Name.isEmpty() || Name.contains(u'/') || Name == QStringLiteral(".") || Name == QStringLiteral("..")) {
        Fehler = QStringLiteral("Ungültiger Name: %1").arg(Name);
        return nullptr;
    }
    QString ordner = Ordner;
    if (ordner.isEmpty()) {
        ordner = LaufzeitOrdner(qgetenv("XDG_RUNTIME_DIR"), QStringLiteral("/tmp"), &Fehler);
        if (ordner.isEmpty())
            return nullptr;
    } else if (!OrdnerSicher(ordner, &Fehler)) {
        return nullptr;
    }

    const QString datei = ordner + u'/' + Name + QStringLiteral(".lock");
    // No link is followed and a started program does not inherit the lock.
    const int fd = ::open(QFile::encodeName(datei).constData(),
                          O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK, 0600);
    if (fd < 0) {
        Fehler = SystemFehler(QStringLiteral("Sperrdatei nicht geöffnet"), datei, errno);
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        ::close(fd);
        Fehler = QStringLiteral("Sperrdatei nicht sicher: %1").arg(datei);
        return nullptr;
    }
    int rc;
    do
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK)
            Ergebnis = TInstanzErgebnis::LaeuftBereits;
        else
            Fehler = SystemFehler(QStringLiteral("Sperre nicht gesetzt"), datei, err);
        return nullptr;
    }
    Ergebnis = TInstanzErgebnis::Erworben;
    return std::unique_ptr<TInstanzGuard>(new TInstanzGuard(fd, datei));
}

TInstanzGuard::~TInstanzGuard() { Schliesse(); }

void TInstanzGuard::Schliesse()
{
    if (m_fd < 0)
        return;
    // The lock file stays: removing it would let a third instance lock a new
    // file while a second still holds the old one.
    ::close(m_fd);
    m_fd = -1;
}
