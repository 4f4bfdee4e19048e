// The data file as a logger writes it, tick by tick, with every query the
// windows make after each tick.
#include "Bereiche.h"
#include "DatenLoaderUnit.h"
#include "FuzzSupport.h"

#include <cmath>
#include <vector>

namespace {

void FrageAlles(TDatenLoader& l)
{
    QStringList namen;
    l.GetSpaltenNamen(namen);
    TRealList liste;
    const double neueste = l.NeuesteZeit();
    for (const QString& name : namen.mid(0, 6)) {
        const double akt = l.AktuellerWert(name, 5);
        const double max = l.Maximum(name, 5);
        const double min = l.Minimum(name, 5);
        const double mittel = l.Mittelwert(name, 5);
        fuzz::Pruefe(!std::isnan(akt) && !std::isnan(max) && !std::isnan(min) && !std::isnan(mittel), "no NaN");
        if (max != -9999 && min != -9999)
            fuzz::Pruefe(min <= max, "minimum <= maximum");
        (void)l.MittelwertBereich(name, 5, -10, 10);
        (void)l.MaximumZeitraum(name, 5, neueste - 0.01, neueste);
        l.WerteAb(name, 5, neueste - 0.01, &liste);
        l.WerteZeitraum(name, 5, neueste - 0.01, neueste, &liste);
        l.WerteLetzteSekunden(name, 5, 600, &liste);
    }
    QString name;
    l.GetSpaltenName(0, name);
    l.GetSpaltenName(namen.size() + 1, name);
    (void)l.AeltesteZeit();
    (void)l.SpalteVorhanden(QStringLiteral("t2m  "), 5);
    l.Meldungen.clear();
}

// The layouts a logger may switch between, each with a tag: every value a
// line holds under layout k in the column of name n is 10 * k + n, so a
// record read under one layout and stored under another shows.
const char* const kNamen[] = {"t2m  [\xC2\xB0" "C  ]", "rf   [%   ]", "p    [hPa ]", "tb   [\xC2\xB0" "C  ]"};
const std::vector<std::vector<int>> kLayouts = {{0, 1, 2}, {1, 0, 2}, {0, 1, 2, 3}, {0, 2}};

QByteArray Kopf(int k)
{
    QByteArray kopf = "Datum\tUhrzeit";
    for (int n : kLayouts[static_cast<size_t>(k)])
        kopf += QByteArray("\t") + kNamen[n];
    return kopf;
}

int LayoutVon(const QString& kopf)
{
    for (int k = 0; k < static_cast<int>(kLayouts.size()); ++k)
        if (QString::fromUtf8(Kopf(k)) == kopf)
            return k;
    return -1;
}

// Every stored record (but the start-up placeholder) carries the tags of
// the header the store says it was read with.
void PruefeLayout(TDatenLoader& l)
{
    if (l.Datensaetze() == 0)
        return;
    const int k = LayoutVon(l.DatenHeader());
    fuzz::Pruefe(k >= 0, "the store's header is one the logger wrote");
    fuzz::Pruefe(l.Header == l.DatenHeader(), "the header names the stored records");
    const std::vector<int>& spalten = kLayouts[static_cast<size_t>(k)];
    for (int r = 0; r < l.Datensaetze(); ++r) {
        if (l.Wert(r, 2) == -9999)
            continue;   // the placeholder
        for (size_t c = 0; c < spalten.size(); ++c)
            fuzz::Pruefe(l.Wert(r, static_cast<int>(c) + 2) == 10 * k + spalten[c], "no record under another header");
    }
}

// Byte by byte: the layout of the tick (or garbage in place of the header),
// and how far the logger's clock moves. The store must only ever hold
// records under the header they were read with, a copy of each day pushed
// out lands beside the save file, and a save in between keeps the layout.
void Kopfwechsel(const uint8_t* data, size_t size)
{
    const QString pfad = fuzz::Datei("wechsel.txt");
    const QString sav = fuzz::Datei("Wechsel.sav");
    QFile::remove(sav);
    fuzz::Schreibe(pfad, Kopf(0) + "\n08.12.2026\t10:00:00\t0\t1\t2\n");
    TDatenLoader l(pfad, 1000, 1.0, u'\t', false);
    l.SicherungsDatei = sav;
    l.LeseHeader();
    double minuten = 0;
    for (size_t i = 0; i + 1 < size && i < 64; i += 2) {
        const int wahl = data[i] % 5;
        const int schritt = data[i + 1];
        minuten += schritt & 0x80 ? (schritt & 0x7F) * 24 * 60 : schritt;
        const double zeit = EncodeDate(2026, 12, 8) + EncodeTime(10, 0, 0, 0) + minuten / (24 * 60);
        QByteArray text;
        const int k = wahl == 4 ? 0 : wahl;
        if (wahl == 4) {
            // Garbage: control characters, then whatever came along.
            text = QByteArray("\x01\x7F") + QByteArray(reinterpret_cast<const char*>(data + i), static_cast<qsizetype>(size - i)) + "\n";
        } else {
            text = Kopf(k) + "\n";
        }
        QByteArray zeile = (DateToStr(zeit) + u'\t' + TimeToStr(zeit - std::floor(zeit))).toUtf8();
        for (int n : kLayouts[static_cast<size_t>(k)])
            zeile += "\t" + QByteArray::number(10 * k + n);
        fuzz::Schreibe(pfad, text + zeile + "\n");
        l.TimerTimer();
        PruefeLayout(l);
        const bool echt = l.Datensaetze() > 1 || (l.Datensaetze() == 1 && l.Wert(0, 2) != -9999);
        if (schritt % 7 == 0 && echt) {
            fuzz::Pruefe(l.SpeichereDatei(sav), "saved");
            const QByteArray gespeichert = fuzz::Lies(sav);
            fuzz::Pruefe(gespeichert.startsWith(l.Header.toUtf8() + "\n"), "saved under the current header");
        }
    }
}

} // namespace

// First byte: ticks and how the file grows; the rest: the file as the
// logger has written it at the end. Each tick sees a longer prefix of it,
// cut anywhere (a half-written line), and with the flag the header is gone
// at some tick (the logger emptied the file and wrote on without it).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Einrichten();
    if (size == 0)
        return 0;
    if (data[0] & 32) {
        Kopfwechsel(data + 1, size - 1);
        return 0;
    }
    const int ticks = 1 + (data[0] & 7);
    const bool ohneKopf = data[0] & 8;
    const double halte = (data[0] & 16) ? 0.0 : 1.0;
    const QByteArray text(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    const qsizetype kopfEnde = text.indexOf('\n');
    const QString pfad = fuzz::Datei("daten.txt");

    fuzz::Schreibe(pfad, text.left(ticks == 1 ? text.size() : std::max<qsizetype>(kopfEnde + 1, text.size() / ticks)));
    TDatenLoader l(pfad, 1000, halte, u'\t', false);
    l.LeseHeader();
    FrageAlles(l);
    for (int t = 1; t <= ticks; ++t) {
        QByteArray stand = text.left(text.size() * t / ticks);
        if (ohneKopf && t == ticks && kopfEnde >= 0)
            stand = stand.mid(kopfEnde + 1);
        fuzz::Schreibe(pfad, stand);
        l.TimerTimer();
        FrageAlles(l);
    }
    // Once more unchanged: nothing new, nothing lost.
    const int vorher = l.Datensaetze();
    l.TimerTimer();
    fuzz::Pruefe(l.Datensaetze() <= vorher + 1, "an unchanged file adds at most the waiting line");
    return 0;
}
