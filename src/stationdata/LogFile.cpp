#include "LogFile.h"

#include "Exceptions.h"
#include "SysUtils.h"
#include "TextFile.h"

#include <QFile>
#include <QFileInfo>

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

// A message goes in as one line of bounded length, whatever the data file
// held: control characters become '?' and the text is cut, so a thousand
// lines stay well under 2 MB.
QString EineZeile(const QString& text)
{
    QString r = text.left(TLogFile::kMaxZeichen);
    for (QChar& c : r) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029)
            c = u'?';
    }
    // Half a surrogate pair at the cut would not encode.
    if (text.size() > r.size()) {
        if (!r.isEmpty() && r.back().isHighSurrogate())
            r.chop(1);
        r += QStringLiteral("…");
    }
    return r;
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

    // Every message gets its own time stamp and one line.
    QStringList neu;
    for (const QString& t : Texte)
        neu.append(ZeitStempel() + QStringLiteral(" - ") + EineZeile(t));

    // With a limit, a file that is full drops its oldest line for every
    // message; one that is already longer keeps its length. A file that
    // exists but can't be read is not trimmed, so nothing stale is written
    // over it; a missing one counts as empty.
    QStringList alt;
    qsizetype weg = 0;
    if (m_maxZeilen > 0
        && (ReadTextLines(m_dateiName, alt) || !QFileInfo::exists(m_dateiName))) {
        qsizetype anzahl = alt.size();
        for (qsizetype k = 0; k < neu.size(); ++k) {
            if (anzahl >= m_maxZeilen) {
                ++weg;
                --anzahl;
            }
            ++anzahl;
        }
    }

    if (weg == 0) {
        // A line that can't be appended is lost quietly; the log must never
        // stand in the way of the caller.
        HaengeAn(m_dateiName, (neu.join(u'\n') + u'\n').toUtf8());
        return;
    }

    alt.append(neu);
    const QByteArray text = (alt.sliced(weg).join(u'\n') + u'\n').toUtf8();
    // A log in a folder we may not create files in is rewritten in place.
    if (!WriteTextFileAtomic(m_dateiName, QByteArrayView(text)) && !WriteTextFileInPlace(m_dateiName, text))
        schreibFehler();
}
