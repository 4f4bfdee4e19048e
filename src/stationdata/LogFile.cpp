#include "LogFile.h"

#include "Exceptions.h"
#include "SysUtils.h"
#include "TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <vector>

namespace {

QString ZeitStempel()
{
    const TDateTime jetzt = Now();
    int h = 0, n = 0, s = 0, ms = 0;
    DecodeTime(jetzt, h, n, s, ms);
    return FormatDateTime(QStringLiteral("dd.mm.yyyy hh:mm:ss."), jetzt)
        + Format(QStringLiteral("%.3d"), {ms});
}

bool LegeLeerAn(const QString& pfad)
{
    QFile f(pfad);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    f.close();
    return true;
}

// True when the file's last line lacks its line end.
bool OhneZeilenende(const QString& pfad)
{
    QFile f(pfad);
    if (!f.open(QIODevice::ReadOnly) || f.size() == 0 || !f.seek(f.size() - 1))
        return false;
    return f.read(1) != "\n";
}

// A last line without its line end gets one first, so the new line never
// runs on from the old one.
bool HaengeAn(const QString& pfad, const QByteArray& text)
{
    const QByteArray daten = OhneZeilenende(pfad) ? "\n" + text : text;
    QFile f(pfad);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const bool ok = f.write(daten) == daten.size() && f.flush();
    f.close();
    return ok && f.error() == QFileDevice::NoError;
}

// A log in a folder we may not create files in can still be rewritten in
// place; only then, since a failed in-place write loses the old content.
bool SchreibeAnOrt(const QString& pfad, const QString& text)
{
    const QFileInfo info(pfad);
    if (QFileInfo(info.absolutePath()).isWritable() || !info.isWritable())
        return false;
    QFile f(pfad);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray daten = text.toUtf8();
    const bool ok = f.write(daten) == daten.size() && f.flush();
    f.close();
    return ok && f.error() == QFileDevice::NoError;
}

} // namespace

TLogFile::TLogFile(QString DateiName, int MaxZeilen, bool Anhaengen)
    : m_dateiName(std::move(DateiName)), m_maxZeilen(MaxZeilen)
{
    if (!Anhaengen && LegeLeerAn(m_dateiName))
        m_offen = true;
    if (!QFileInfo::exists(m_dateiName)) {
        if (LegeLeerAn(m_dateiName))
            m_offen = true;
    } else {
        QFile f(m_dateiName);
        if (f.open(QIODevice::WriteOnly | QIODevice::Append)) {
            m_offen = true;
            f.close();
        }
    }
}

void TLogFile::schreibFehler() const
{
    throw EInOutError(Format(QStringLiteral("Datei %s kann nicht geschrieben werden"), {m_dateiName}));
}

void TLogFile::Schreibe(const QString& Text)
{
    SchreibeAlle(QStringList{Text});
}

void TLogFile::SchreibeAlle(const QStringList& Texte)
{
    if (Texte.isEmpty())
        return;
    if (!m_offen)
        throw Exception(QStringLiteral("Error Writing Log-File ") + m_dateiName);

    // Every message gets its own time stamp; a text with line breaks
    // becomes several lines of the file.
    QStringList neu;
    std::vector<qsizetype> zeilenJeMeldung;
    zeilenJeMeldung.reserve(static_cast<std::size_t>(Texte.size()));
    for (const QString& t : Texte) {
        const QStringList zeilen = SplitLines(ZeitStempel() + QStringLiteral(" - ") + t);
        zeilenJeMeldung.push_back(zeilen.size());
        neu.append(zeilen);
    }

    // With a limit, a file that is full drops its oldest line for every
    // message; one that is already longer keeps its length. A file that
    // exists but can't be read is not trimmed, so nothing stale is written
    // over it; a missing one counts as empty.
    QStringList alt;
    qsizetype weg = 0;
    if (m_maxZeilen > 0
        && (ReadTextLines(m_dateiName, alt) || !QFileInfo::exists(m_dateiName))) {
        qsizetype anzahl = alt.size();
        for (qsizetype k : zeilenJeMeldung) {
            if (anzahl >= m_maxZeilen) {
                ++weg;
                --anzahl;
            }
            anzahl += k;
        }
    }

    if (weg == 0) {
        // A line that can't be appended is lost quietly; the log must never
        // stand in the way of the caller.
        HaengeAn(m_dateiName, (neu.join(u'\n') + u'\n').toUtf8());
        return;
    }

    alt.append(neu);
    const QString text = alt.sliced(weg).join(u'\n') + u'\n';
    if (!WriteTextFileAtomic(m_dateiName, text) && !SchreibeAnOrt(m_dateiName, text))
        schreibFehler();
}
