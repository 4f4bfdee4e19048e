// The loader's header: what counts as one, what a new one does to the
// stored day, and the column lookup built on it.
#include "DatenLoaderIntern.h"

#include "TextFile.h"

#include <algorithm>

namespace {

// Upper case per character: 'ß' stays one character, so the first n
// characters still line up.
QString Gross(const QString& s)
{
    QString r = s;
    for (QChar& c : r)
        c = c.toUpper();
    return r;
}

} // namespace

int TDatenLoader::Spaltenanzahl() const
{
    return static_cast<int>(Header.count(Trennzeichen)) + 1;
}

const QStringList& TDatenLoader::Spaltennamen() const
{
    if (!m_namenGueltig || m_namenVon != Header) {
        m_namen.clear();
        GetSpaltenNamen(m_namen);
        m_namenGross.clear();
        for (const QString& n : m_namen)
            m_namenGross.append(Gross(n));
        m_namenVon = Header;
        m_namenGueltig = true;
    }
    return m_namen;
}

void TDatenLoader::GetSpaltenNamen(QStringList& Liste) const
{
    Liste.clear();
    Liste = Header.split(Trennzeichen);
    if (Liste.contains(kT2m, Qt::CaseInsensitive) && Liste.contains(kRf, Qt::CaseInsensitive))
        Liste.append(kTtp);
}

// A header whose text differs from the one the stored records were read
// with is a new layout: the old day can't be mixed with it, so it is kept
// beside the save file before the store is emptied.
void TDatenLoader::UebernehmeHeader(const QString& neu)
{
    if (Datensaetze() > 0 && neu != m_datenKopf) {
        const bool echt = HatEchteDatensaetze();
        const QString kopie = echt ? BewahreTag() : QString();
        Leeren();
        HatUhrzeit = false;
        UhrzeitSpalte = 0;
        HatDatum = false;
        DatumSpalte = 0;
        m_zurueck.clear();
        // The jumps' copies hold the old layout's records.
        m_sprungKopien.clear();
        m_luecken.clear();
        if (!kopie.isEmpty())
            Meldungen.append(Format("Spaltenaufbau von %s hat sich geändert, bisherige Daten in %s gesichert!", {Datei, kopie}));
        else if (echt)
            Meldungen.append(Format("Spaltenaufbau von %s hat sich geändert, gespeicherte Daten verworfen!", {Datei}));
    }
    Header = neu;
}

void TDatenLoader::LeseHeader()
{
    TimerPause pause(*this);
    FirstLastLines zeilen;
    if (!ReadFirstAndLastLine(Datei, zeilen, kMaxKopfBytes, kMaxZeileBytes) || zeilen.lineCount == 0
        || (zeilen.first.isEmpty() && !zeilen.firstTooLong)) {
        Meldungen.append(QStringLiteral("Header konnte nicht geladen werden!"));
        return;
    }
    if (PruefeKopf(zeilen.first, zeilen.firstTooLong) == KopfArt::Kopf)
        UebernehmeHeader(zeilen.first);
}

// A first line with control characters or past the length limit is
// garbage (a binary file, a line that never ends): nothing of it is read.
// One with more columns than a logger writes is refused. One that reads as
// a record (the logger emptied the file and wrote on without its header)
// leaves the old header naming the columns. All are reported.
TDatenLoader::KopfArt TDatenLoader::PruefeKopf(const QString& zeile, bool zuLang)
{
    if (zuLang || HatSteuerzeichen(zeile, Trennzeichen)) {
        Meldungen.append(QStringLiteral("Header konnte nicht geladen werden!"));
        return KopfArt::Unbrauchbar;
    }
    if (zeile.count(Trennzeichen) >= kMaxSpalten) {
        Meldungen.append(Format("Header von %s hat mehr als %d Spalten!", {Datei, kMaxSpalten}));
        return KopfArt::Unbrauchbar;
    }
    if (HatUhrzeit && HatDatum) {
        double x = 0;
        if (LeseBekanntesFeld(zeile, UhrzeitSpalte, true, x) && LeseBekanntesFeld(zeile, DatumSpalte, false, x)) {
            Meldungen.append(Format("%s besitzt keinen Header!", {Datei}));
            return KopfArt::Datensatz;
        }
    }
    return KopfArt::Kopf;
}

int TDatenLoader::SucheSpalte(const QString& Name, int Laenge)
{
    TimerPause pause(*this);
    Spaltennamen();
    const QStringList& namen = m_namenGross;
    const QString gesucht = Gross(Name);
    for (int i = 0; i < namen.size(); ++i) {
        const QString& eintrag = namen.at(i);
        const qsizetype n = Laenge == 0 ? std::max(eintrag.size(), gesucht.size()) : Laenge;
        if (n <= 0 || QStringView(eintrag).left(n) == QStringView(gesucht).left(n))
            return i;
    }
    return -1;
}

bool TDatenLoader::SpalteVorhanden(const QString& Name, int Laenge)
{
    return SucheSpalte(Name, Laenge) != -1;
}
