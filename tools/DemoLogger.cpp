// Plays a station data logger for demonstrations: copies a sample data file
// to the target with its time stamps moved so that its last record is "now",
// then appends one new record per interval, each continuing the one before
// with small random changes.
//
//   DemoLogger <sample file> <data file> [--interval-ms 2000] [--count N]
//
// Ends on SIGTERM or SIGINT, or after N appended records.

#include "Zahlentext.h"
#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <random>
#include <thread>
#include <utility>

namespace {

volatile std::sig_atomic_t g_ende = 0;

void beende(int) { g_ende = 1; }

const QString kDatumFormat = QStringLiteral("dd.MM.yyyy");
const QString kZeitFormat = QStringLiteral("HH:mm:ss");

// How one column of the logger moves from record to record: a random step,
// a pull back towards where the demonstration started, and hard limits.
struct Verhalten {
    double schritt = 0;
    double rueckzug = 0.02;
    double unten = -1500, oben = 1500;
    bool winkel = false;    // degrees, wrapping at 360
    bool stundenSumme = false;  // rain counter, starts again after each full hour
};

struct Spalte {
    Verhalten art;
    bool zahl = false;
    int stellen = 0;
    double wert = 0, anfang = 0;
};

Verhalten verhaltenFuer(const QString& name, int stellen)
{
    Verhalten v;
    v.schritt = 0.5 * std::pow(10.0, -stellen);
    const QString schluessel = name.left(5).trimmed().toLower();
    if (schluessel == u"t2m") {
        v.schritt = 0.03;
        v.rueckzug = 0.01;
        v.unten = -50;
        v.oben = 50;
    } else if (schluessel == u"rf") {
        v.schritt = 0.3;
        v.unten = 1;
        v.oben = 100;
    } else if (schluessel == u"p") {
        v.schritt = 0.02;
        v.rueckzug = 0.01;
        v.unten = 950;
        v.oben = 1060;
    } else if (schluessel == u"ff") {
        v.schritt = 0.3;
        v.rueckzug = 0.05;
        v.unten = 0;
        v.oben = 60;
    } else if (schluessel == u"dd") {
        v.schritt = 4;
        v.winkel = true;
    } else if (schluessel == u"rr") {
        v.stundenSumme = true;
    } else if (schluessel == u"rgn" || schluessel == u"ptd") {
        v.schritt = 0;   // yes/no states keep the last record's
    }
    return v;
}

int nachkommastellen(const QString& feld)
{
    const qsizetype punkt = feld.indexOf(u'.');
    return punkt < 0 ? 0 : int(feld.size() - punkt - 1);
}


// The full hour a rain counter at this time adds up: a record at hh:00:00
// still closes the hour before.
qint64 regenStunde(const QDateTime& zeit)
{
    const QDateTime t = zeit.addSecs(-1);
    return t.date().toJulianDay() * 24 + t.time().hour();
}

int fehler(const QString& text)
{
    std::fprintf(stderr, "DemoLogger: %s\n", qPrintable(text));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    const auto aufruf = [&] {
        std::fprintf(stderr, "Aufruf: %s <Beispieldatei> <Datendatei> [--interval-ms 2000] [--count N]\n", argv[0]);
        return 2;
    };
    QStringList dateien;
    int intervall = 2000;
    long long anzahl = -1;   // endless
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a == u"--interval-ms" || a == u"--count") {
            if (++i >= argc)
                return aufruf();
            bool ok = false;
            const long long n = QString::fromLocal8Bit(argv[i]).toLongLong(&ok);
            if (!ok || n < 0 || (a == u"--interval-ms" && (n < 1 || n > 86400000)))
                return aufruf();
            if (a == u"--interval-ms")
                intervall = int(n);
            else
                anzahl = n;
        } else {
            dateien << a;
        }
    }
    if (dateien.size() != 2)
        return aufruf();
    const QString quelle = dateien[0], ziel = dateien[1];

    QFile ein(quelle);
    if (!ein.open(QIODevice::ReadOnly))
        return fehler(quelle + QStringLiteral(": ") + ein.errorString());
    QStringList zeilen = QString::fromUtf8(ein.readAll()).split(u'\n');
    ein.close();
    for (QString& z : zeilen)
        if (z.endsWith(u'\r'))
            z.chop(1);
    while (!zeilen.isEmpty() && zeilen.last().isEmpty())
        zeilen.removeLast();
    if (zeilen.size() < 2)
        return fehler(quelle + QStringLiteral(": enthält keine Datensätze"));

    const QString header = zeilen.takeFirst();
    const QStringList namen = header.split(u'\t');
    const int spalten = int(namen.size());

    // Date and time columns as the first record shows them.
    static const QRegularExpression datumMuster(QStringLiteral("^\\d{2}\\.\\d{2}\\.\\d{4}$"));
    static const QRegularExpression zeitMuster(QStringLiteral("^\\d{2}:\\d{2}:\\d{2}$"));
    int datumSpalte = -1, zeitSpalte = -1;
    {
        const QStringList felder = zeilen.first().split(u'\t');
        for (int c = 0; c < felder.size() && c < spalten; ++c) {
            if (datumSpalte < 0 && datumMuster.match(felder[c]).hasMatch())
                datumSpalte = c;
            else if (zeitSpalte < 0 && zeitMuster.match(felder[c]).hasMatch())
                zeitSpalte = c;
        }
    }
    if (datumSpalte < 0 || zeitSpalte < 0)
        return fehler(quelle + QStringLiteral(": keine Datums- und Uhrzeitspalte"));

    std::vector<QStringList> saetze;
    std::vector<QDateTime> zeiten;
    for (const QString& z : std::as_const(zeilen)) {
        QStringList felder = z.split(u'\t');
        while (felder.size() < spalten)
            felder << QString();
        const QDateTime t(QDate::fromString(felder[datumSpalte], kDatumFormat),
                          QTime::fromString(felder[zeitSpalte], kZeitFormat));
        if (!t.isValid())
            return fehler(quelle + QStringLiteral(": ungültige Zeit in \"") + z + u'"');
        saetze.push_back(felder);
        zeiten.push_back(t);
    }

    std::vector<Spalte> werte(spalten);
    for (int c = 0; c < spalten; ++c) {
        if (c == datumSpalte || c == zeitSpalte)
            continue;
        bool ok = false;
        const QString& feld = saetze.back()[c];
        const double v = feld.toDouble(&ok);
        Spalte& s = werte[c];
        s.zahl = ok;
        s.stellen = nachkommastellen(feld);
        s.art = verhaltenFuer(namen[c], s.stellen);
        s.wert = s.anfang = v;
    }

    // Move every record by the same span so the last one is now. A rain
    // counter is summed anew over the full hours it now falls into.
    QDateTime jetzt = QDateTime::currentDateTime();
    jetzt.setTime(QTime(jetzt.time().hour(), jetzt.time().minute(), jetzt.time().second()));
    const qint64 verschiebung = zeiten.back().secsTo(jetzt);
    std::vector<double> alteSumme(spalten, 0), neueSumme(spalten, 0);
    QByteArray text = header.toUtf8() + '\n';
    for (size_t r = 0; r < saetze.size(); ++r) {
        QStringList& felder = saetze[r];
        const QDateTime neu = zeiten[r].addSecs(verschiebung);
        for (int c = 0; c < spalten; ++c) {
            if (!werte[c].art.stundenSumme || !werte[c].zahl)
                continue;
            bool ok = false;
            const double v = felder[c].toDouble(&ok);
            if (!ok)
                continue;
            const bool alteStundeNeu = r == 0 || regenStunde(zeiten[r]) != regenStunde(zeiten[r - 1]);
            const double zuwachs = alteStundeNeu ? v : v - alteSumme[c];
            alteSumme[c] = v;
            const bool neueStundeNeu = r == 0 || regenStunde(neu) != regenStunde(zeiten[r - 1].addSecs(verschiebung));
            neueSumme[c] = (neueStundeNeu ? 0 : neueSumme[c]) + std::max(0.0, zuwachs);
            felder[c] = zahl(neueSumme[c], werte[c].stellen);
        }
        felder[datumSpalte] = neu.toString(kDatumFormat);
        felder[zeitSpalte] = neu.toString(kZeitFormat);
        text += felder.join(u'\t').toUtf8() + '\n';
    }
    for (int c = 0; c < spalten; ++c)
        if (werte[c].art.stundenSumme && werte[c].zahl)
            werte[c].wert = werte[c].anfang = neueSumme[c];

    // Written whole and renamed into place, so a reader never sees half of it.
    QSaveFile aus(ziel);
    if (!aus.open(QIODevice::WriteOnly) || aus.write(text) != text.size() || !aus.commit())
        return fehler(ziel + QStringLiteral(": ") + aus.errorString());

    std::signal(SIGTERM, beende);
    std::signal(SIGINT, beende);

    std::mt19937 gen(std::random_device{}());
    std::normal_distribution<double> normal(0.0, 1.0);
    QDateTime letzte = jetzt;
    const QStringList vorlage = saetze.back();

    for (long long n = 0; anzahl < 0 || n < anzahl; ++n) {
        for (int gewartet = 0; gewartet < intervall && !g_ende; gewartet += 50)
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(50, intervall - gewartet)));
        if (g_ende)
            break;

        const QDateTime zeit = QDateTime::currentDateTime();
        QStringList felder = vorlage;
        for (int c = 0; c < spalten; ++c) {
            Spalte& s = werte[c];
            if (c == datumSpalte || c == zeitSpalte || !s.zahl)
                continue;
            const Verhalten& a = s.art;
            if (a.stundenSumme) {
                if (regenStunde(zeit) != regenStunde(letzte))
                    s.wert = 0;
            } else if (a.winkel) {
                const double zurueck = std::remainder(s.anfang - s.wert, 360.0);
                s.wert = std::fmod(s.wert + a.rueckzug * zurueck + a.schritt * normal(gen), 360.0);
                if (s.wert < 0)
                    s.wert += 360;
            } else {
                s.wert += a.rueckzug * (s.anfang - s.wert) + a.schritt * normal(gen);
                s.wert = std::clamp(s.wert, a.unten, a.oben);
            }
            felder[c] = zahl(s.wert, s.stellen);
            if (a.winkel && felder[c] == zahl(360, s.stellen))
                felder[c] = zahl(0, s.stellen);
        }
        felder[datumSpalte] = zeit.toString(kDatumFormat);
        felder[zeitSpalte] = zeit.toString(kZeitFormat);
        letzte = zeit;

        // Opened, written and closed per record, as the station's logger does.
        QFile f(ziel);
        const QByteArray zeile = felder.join(u'\t').toUtf8() + '\n';
        if (!f.open(QIODevice::WriteOnly | QIODevice::Append) || f.write(zeile) != zeile.size() || !f.flush())
            fehler(ziel + QStringLiteral(": ") + f.errorString());
        f.close();
    }
    return 0;
}
