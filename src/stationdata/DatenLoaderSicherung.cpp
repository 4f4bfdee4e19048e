// The loader's history save file: written whole, merged back in one pass.
#include "DatenLoaderIntern.h"
#include "FastConversions.h"

#include "Memory.h"
#include "TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

// ---------------------------------------------------------------------------
// History save file

// Records von .. bis-1 (bis < 0: to the newest) as a save file under the
// given header: straight into UTF-8 bytes; a value the fast forms don't
// cover takes the general conversion.
std::string TDatenLoader::SicherungsText(const QString& kopf, int von, int bis) const
{
    const int n = bis < 0 ? Datensaetze() : std::min(bis, Datensaetze());
    von = std::clamp(von, 0, n);
    std::string text;
    text.reserve(static_cast<size_t>(n - von) * static_cast<size_t>(m_layout) * 8 + static_cast<size_t>(kopf.size()) * 3 + 2);
    AdviseHugePages(text.data(), text.capacity());
    text += kopf.toStdString();
    text += '\n';
    const std::string trenn = QString(Trennzeichen).toStdString();
    const bool einByte = trenn.size() == 1;
    for (int r = von; r < n; ++r) {
        const double* zeile = m_werte.data() + m_start + static_cast<size_t>(r) * static_cast<size_t>(m_layout);
        for (int c = 0; c < m_layout; ++c) {
            if (c > 0) {
                if (einByte)
                    text += trenn[0];
                else
                    text += trenn;
            }
            const double v = zeile[c];
            if (HatUhrzeit && c == UhrzeitSpalte) {
                if (!FastTimeToStr(v, text))
                    text += TimeToStr(v).toStdString();
            } else if (HatDatum && c == DatumSpalte) {
                if (!FastDateToStr(v, text))
                    text += DateToStr(v).toStdString();
            } else if (!FastFloatToStr(v, text)) {
                text += FloatToStr(v).toStdString();
            }
        }
        text += '\n';
    }
    return text;
}

namespace {

// What a save file holds: its first line, whether that line reads as a
// header (a line of text with its end, as every save file writes it) and
// whether any line follows it; false when the file can't be read.
struct Vorgefunden {
    QByteArray roh;
    QString kopf;
    bool leer = true;
    bool alsKopf = false;
    bool mitDaten = false;
};
bool LeseVorgefunden(const QString& pfad, QChar trenn, Vorgefunden& v)
{
    QFile datei;
    if (!OpenRegularFile(datei, pfad))
        return false;
    v.roh = datei.readAll();
    if (datei.error() != QFileDevice::NoError)
        return false;
    const QByteArrayView rest = WithoutBom(v.roh);
    const qsizetype lf = rest.indexOf('\n');
    QByteArrayView erste = lf < 0 ? rest : rest.first(lf);
    if (erste.endsWith('\r'))
        erste.chop(1);
    v.kopf = DecodeText(erste);
    v.leer = rest.trimmed().isEmpty();
    v.alsKopf = lf >= 0 && lf <= kMaxKopfBytes && !HatSteuerzeichen(v.kopf, trenn);
    v.mitDaten = lf >= 0 && !rest.sliced(lf + 1).trimmed().isEmpty();
    return true;
}

} // namespace

bool TDatenLoader::SpeichereDatei(const QString& DateiName)
{
    TimerPause pause(*this);
    const int n = Datensaetze();
    // Nothing real to save must not wipe out a good file from the last run.
    const bool nichtsEchtes = n == 0 || (n == 1 && m_platzhalter);
    if (nichtsEchtes && QFileInfo::exists(DateiName))
        return true;

    // A save file of another header holds another station's or another
    // layout's day, and one that is no save file at all may be anything:
    // either is kept beside, unless this run kept it already (the day
    // when the layout changed, or the file at a save that failed). A
    // header line alone holds nothing to keep.
    Vorgefunden alt;
    if (QFileInfo(DateiName).isFile() && LeseVorgefunden(DateiName, Trennzeichen, alt) && !alt.leer
        && alt.kopf != Header && (alt.mitDaten || !alt.alsKopf) && !m_kopiert.contains(alt.kopf)) {
        const QString ziel = SchreibeKopie(DateiName, alt.roh);
        if (ziel.isEmpty()) {
            Meldungen.append(Format("Kopie von %s kann nicht erzeugt werden!", {DateiName}));
            return false;
        }
        m_kopiert.append(alt.kopf);
        Meldungen.append(Format("%s hat einen anderen Spaltenaufbau, bisherige Daten in %s gesichert!", {DateiName, ziel}));
    }

    const std::string text = SicherungsText(Header);
    const QByteArrayView daten(text.data(), static_cast<qsizetype>(text.size()));
    // A save file we may write in a folder that takes no new file is
    // rewritten in place.
    if (!WriteTextFileAtomic(DateiName, daten) && !WriteTextFileInPlace(DateiName, daten)) {
        Meldungen.append(Format("%s kann nicht erzeugt werden!", {DateiName}));
        return false;
    }
    return true;
}

// A save line of plain fields (ASCII numbers, the time and the date in their
// default forms, one field per column) read without a QString. False leaves
// the line to the general reader.
bool TDatenLoader::SchnelleSicherungsZeile(QByteArrayView zeile, int spalten, std::vector<double>& werte) const
{
    const char16_t trenn = Trennzeichen.unicode();
    if (trenn >= 0x80 || m_layout != spalten)
        return false;
    werte.resize(static_cast<size_t>(m_layout));
    const char* p = zeile.data();
    const char* ende = p + zeile.size();
    for (int c = 0; c < m_layout; ++c) {
        const char* feldEnde = static_cast<const char*>(std::memchr(p, static_cast<int>(trenn), static_cast<size_t>(ende - p)));
        if (!feldEnde)
            feldEnde = ende;
        else if (c == m_layout - 1)
            return false;   // more fields than columns
        if (feldEnde == ende && c < m_layout - 1)
            return false;   // fewer
        const std::string_view feld(p, static_cast<size_t>(feldEnde - p));
        double& w = werte[static_cast<size_t>(c)];
        bool ok = false;
        if (c == UhrzeitSpalte)
            ok = FastStrToTime(feld, w);
        else if (c == DatumSpalte)
            ok = FastStrToDate(feld, w);
        else if (feld.empty())
            ok = (w = kKeinWert, true);
        else
            ok = FastPunktStrToFloat(feld, w);
        if (!ok)
            return false;
        p = feldEnde + 1;
    }
    return true;
}

bool TDatenLoader::LadeSicherung(const QString& DateiName)
{
    TimerPause pause(*this);
    QFile datei;
    QByteArray roh;
    // Only a plain file: a FIFO or a device would hold the program.
    if (OpenRegularFile(datei, DateiName)) {
        // A day is megabytes: read into one buffer of the file's size.
        const qint64 groesse = datei.size();
        if (groesse > 0 && groesse < (qint64(1) << 31)) {
            roh = QByteArray(groesse, Qt::Uninitialized);
            AdviseHugePages(roh.constData(), static_cast<size_t>(roh.size()));
            const qint64 gelesen = datei.read(roh.data(), groesse);
            roh.truncate(std::max<qint64>(gelesen, 0));
        }
        // What grew meanwhile, or a file whose size says nothing.
        roh += datei.readAll();
    }
    if (!datei.isOpen() || datei.error() != QFileDevice::NoError) {
        Meldungen.append(Format("%s kann nicht gelesen werden!", {DateiName}));
        return false;
    }
    datei.close();

    // Lines split on the bytes and decoded one by one, as the text reader
    // does. Our save files end every line: a last line without its end was
    // cut off in the middle of a write and is not read.
    QByteArrayView rest = WithoutBom(roh);
    const auto naechsteZeile = [&rest](QByteArrayView& zeile) {
        const qsizetype lf = rest.indexOf('\n');
        if (lf < 0)
            return false;
        zeile = rest.first(lf);
        if (zeile.endsWith('\r'))
            zeile.chop(1);
        rest = rest.sliced(lf + 1);
        return true;
    };
    QByteArrayView kopf;
    if (!naechsteZeile(kopf))
        kopf = rest;
    if (roh.isEmpty() || DecodeText(kopf) != Header) {
        Meldungen.append(QStringLiteral("Header verschieden, Datei nicht geladen!"));
        return false;
    }

    // Records read from the data file before this merge stay as they are;
    // the saved ones older than them go in front.
    const bool mitZeit = HatUhrzeit && HatDatum;
    std::vector<double> lebend;
    const int lebendLayout = m_layout;
    double grenze = std::numeric_limits<double>::infinity();
    const int erster = m_platzhalter ? 1 : 0;
    if (mitZeit && Datensaetze() > erster) {
        grenze = Zeitstempel(erster) - kZehntelSekunde;
        const auto ab = m_werte.begin() + static_cast<std::ptrdiff_t>(m_start + static_cast<size_t>(erster) * static_cast<size_t>(m_layout));
        lebend.assign(ab, m_werte.end());
        m_werte.erase(ab, m_werte.end());
        if (m_werte.size() == m_start) {
            m_werte.clear();
            m_start = 0;
        }
        VergissAbgeleitetes();
    }

    const size_t spalten = static_cast<size_t>(std::max(m_layout, Spaltenanzahl()));
    const size_t noetig = m_werte.size() + static_cast<size_t>(rest.count('\n')) * spalten + lebend.size();
    if (noetig > m_werte.capacity()) {
        m_werte.reserve(noetig);
        AdviseHugePages(m_werte.data(), m_werte.capacity() * sizeof(double));
    }

    std::vector<double> werte;
    QByteArrayView zeile;
    const int kopfSpalten = Spaltenanzahl();
    while (naechsteZeile(zeile)) {
        if (mitZeit && Datensaetze() > 0 && SchnelleSicherungsZeile(zeile, kopfSpalten, werte)) {
            // As the general path below: newer than the newest by more than
            // 0.1 s, and every value outside date and time within limits.
            const double zeit = werte[static_cast<size_t>(UhrzeitSpalte)] + werte[static_cast<size_t>(DatumSpalte)];
            if (!(zeit > Zeitstempel(Datensaetze() - 1) + kZehntelSekunde && zeit < grenze))
                continue;
            bool gueltig = true;
            for (int c = 0; c < m_layout && gueltig; ++c) {
                const double v = werte[static_cast<size_t>(c)];
                if (c != UhrzeitSpalte && c != DatumSpalte && (v < kUntergrenze || v > kObergrenze || v == kKeinWert))
                    gueltig = false;
            }
            if (gueltig)
                m_werte.insert(m_werte.end(), werte.begin(), werte.end());
            continue;
        }
        const QString text = DecodeText(zeile);
        if (mitZeit) {
            const double uhrzeit = LeseUhrzeit(text);
            const double datum = LeseDatum(text);
            const double zeit = uhrzeit + datum;
            if (zeit > NeuesteZeit() + kZehntelSekunde && zeit < grenze)
                NeuerDatensatz(text);
        } else {
            NeuerDatensatz(text);
        }
    }

    if (!lebend.empty()) {
        if (Datensaetze() == 0) {
            m_werte.clear();
            m_start = 0;
            m_layout = lebendLayout;
            m_platzhalter = false;
        }
        m_werte.insert(m_werte.end(), lebend.begin(), lebend.end());
    }
    // The statistics are built anew once, at the next query.
    VergissAbgeleitetes();
    return true;
}
