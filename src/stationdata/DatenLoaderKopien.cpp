// Copies of a day the store lets go (a new layout, a clock jump, a save
// file not ours): beside the save file, bounded in number.
#include "DatenLoaderIntern.h"

#include "TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <string>

namespace {

constexpr int kMaxKopien = 20;
// Same-second copies are numbered up to this (six digits in the name).
constexpr int kMaxNummer = 999999;

// The lines of a copy, as many as its records and its header; a copy that
// can't be read counts as none.
qint64 Zeilen(const QString& pfad)
{
    QFile datei;
    if (!OpenRegularFile(datei, pfad))
        return 0;
    qint64 n = 0;
    while (!datei.atEnd()) {
        const QByteArray block = datei.read(1 << 20);
        if (block.isEmpty())
            break;
        n += block.count('\n');
    }
    return n;
}

} // namespace

// Written atomically beside the save file as "<stem>-<yyyymmdd-hhmmss>.sav",
// a second one of the same second as "...-2.sav" and so on. Beyond the limit
// the copies holding the fewest records go first, the oldest among equals:
// stray copies of a record or two never push out a day. The copy just
// written never goes (the clock may have jumped back). The copy's path, or
// empty when none was written.
QString TDatenLoader::SchreibeKopie(const QString& sicherung, QByteArrayView daten)
{
    const QFileInfo fi(sicherung);
    QDir ordner = fi.absoluteDir();
    const QString stamm = fi.completeBaseName();
    const QRegularExpression muster(
        QStringLiteral("^%1-(\\d{8}-\\d{6})(?:-(\\d{1,6}))?\\.sav$").arg(QRegularExpression::escape(stamm)));
    struct Kopie {
        QString zeit;
        int nummer;
        QString name;
        qint64 zeilen = 0;
    };
    std::vector<Kopie> kopien;
    for (const QString& n : ordner.entryList(QDir::Files)) {
        const QRegularExpressionMatch m = muster.match(n);
        if (m.hasMatch())
            kopien.push_back({m.captured(1), m.captured(2).isEmpty() ? 1 : m.captured(2).toInt(), n});
    }

    const QString zeit = FormatDateTime(QStringLiteral("yyyymmdd-hhnnss"), Now());
    int nummer = 1;
    for (const Kopie& k : kopien)
        if (k.zeit == zeit)
            nummer = std::max(nummer, k.nummer + 1);
    const auto pfad = [&](int n) {
        return ordner.filePath(stamm + u'-' + zeit + (n == 1 ? QString() : u'-' + QString::number(n)) + QStringLiteral(".sav"));
    };
    // A folder we may not list still tells whether a name is taken.
    while (nummer <= kMaxNummer && QFileInfo::exists(pfad(nummer)))
        ++nummer;
    const QString ziel = pfad(nummer);
    if (nummer > kMaxNummer || !WriteTextFileAtomic(ziel, daten))
        return QString();

    const size_t zuViel = kopien.size() + 1 > kMaxKopien ? kopien.size() + 1 - kMaxKopien : 0;
    if (zuViel > 0) {
        for (Kopie& k : kopien)
            k.zeilen = Zeilen(ordner.filePath(k.name));
        std::sort(kopien.begin(), kopien.end(), [](const Kopie& a, const Kopie& b) {
            if (a.zeilen != b.zeilen)
                return a.zeilen < b.zeilen;
            return a.zeit != b.zeit ? a.zeit < b.zeit : a.nummer < b.nummer;
        });
        for (size_t i = 0; i < zuViel; ++i)
            ordner.remove(kopien[i].name);
    }
    return ziel;
}

// Records von .. bis-1 as a save file under the header they were read with;
// the copy's path, or empty (with the message when a copy was due).
QString TDatenLoader::BewahreDatensaetze(int von, int bis)
{
    if (SicherungsDatei.isEmpty())
        return QString();
    const std::string text = SicherungsText(m_datenKopf, von, bis);
    const QString ziel = SchreibeKopie(SicherungsDatei, QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    if (ziel.isEmpty())
        Meldungen.append(Format("Kopie von %s kann nicht erzeugt werden!", {SicherungsDatei}));
    return ziel;
}

// The day a new layout pushes out, as a save file under its own header.
QString TDatenLoader::BewahreTag()
{
    const QString ziel = BewahreDatensaetze(0, Datensaetze());
    if (!ziel.isEmpty())
        m_kopiert.append(m_datenKopf);
    return ziel;
}
