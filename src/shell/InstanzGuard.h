#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <utility>

// The single-instance guard: an exclusive advisory lock (flock) on the file
// "<name>.lock" in the user's runtime folder. The lock goes with the open file
// description, so it ends when the guard is closed or the process ends, and a
// started program never inherits it.
enum class TInstanzErgebnis {
    Erworben,        // this instance holds the guard
    LaeuftBereits,   // another open of the lock file holds it
    Fehler,          // no guard could be made; the program runs without one
};

class TInstanzGuard {
public:
    // The guard, or nullptr when it is held elsewhere or can't be made; which
    // of the three it was goes to Ergebnis, the reason of a failure to
    // FehlerText. Ordner empty: the user's runtime folder (LaufzeitOrdner).
    // Any folder is checked like that one: a real folder, ours, closed to
    // everyone else.
    static std::unique_ptr<TInstanzGuard> Erwerbe(const QString& Name = QStringLiteral("VANTOREL"),
                                                  TInstanzErgebnis* Ergebnis = nullptr,
                                                  const QString& Ordner = QString(), QString* FehlerText = nullptr);

    ~TInstanzGuard();
    TInstanzGuard(const TInstanzGuard&) = delete;
    TInstanzGuard& operator=(const TInstanzGuard&) = delete;

    // Gives the guard back; the first call closes, later ones do nothing.
    void Schliesse();
    bool Offen() const { return m_fd >= 0; }
    const QString& Datei() const { return m_datei; }

    // $XDG_RUNTIME_DIR (XdgRuntimeDir) when it passes the folder check;
    // otherwise TmpBasis + "/vantorel-<uid>", created with mode 0700 when
    // missing. Empty, with FehlerText set, when neither can be used.
    static QString LaufzeitOrdner(const QByteArray& XdgRuntimeDir, const QString& TmpBasis = QStringLiteral("/tmp"),
                                  QString* FehlerText = nullptr);
    // The folder check: an absolute path to a folder (not a link to one)
    // owned by this user that no one else can enter or write.
    static bool OrdnerSicher(const QString& Ordner, QString* FehlerText = nullptr);

private:
    static std::unique_ptr<TInstanzGuard> Oeffne(const QString& Name, const QString& Ordner,
                                                 TInstanzErgebnis& Ergebnis, QString& Fehler);
    TInstanzGuard(int fd, QString datei) : m_fd(fd), m_datei(std::move(datei)) {}
    int m_fd = -1;
    QString m_datei;
};
