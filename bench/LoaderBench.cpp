// One tick on a large logger file, and one day's queries and save file.
#include "Bereiche.h"
#include "DatenLoaderUnit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kSpalten = 30;   // date, time and 28 measured values

QString header()
{
    QStringList namen{QStringLiteral("Datum"), QStringLiteral("Uhrzeit"), QStringLiteral("t2m  [°C  ]"),
                      QStringLiteral("rf   [%   ]")};
    for (int i = namen.size(); i < kSpalten; ++i)
        namen << QStringLiteral("m%1   [xx  ]").arg(i, 2, 10, QChar(u'0'));
    return namen.join(u'\t');
}

// A record every two seconds from 08.12.2026 00:00:00 on.
QByteArray zeile(int i)
{
    const int s = i * 2;
    const int tag = 8 + s / 86400;
    const int sek = s % 86400;
    QByteArray z = QStringLiteral("%1.12.2026\t%2:%3:%4")
                       .arg(tag, 2, 10, QChar(u'0'))
                       .arg(sek / 3600, 2, 10, QChar(u'0'))
                       .arg(sek / 60 % 60, 2, 10, QChar(u'0'))
                       .arg(sek % 60, 2, 10, QChar(u'0'))
                       .toUtf8();
    z += '\t' + QByteArray::number(5.0 + (i % 100) * 0.1, 'f', 1);
    z += '\t' + QByteArray::number(40 + i % 50);
    for (int c = 4; c < kSpalten; ++c)
        z += '\t' + QByteArray::number((i * 7 + c * 13) % 1000 * 0.25, 'f', 2);
    z += '\n';
    return z;
}

struct Umgebung {
    QTemporaryDir dir;
    QString datei(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

Umgebung& umgebung()
{
    static Umgebung u;
    return u;
}

QString dateiMitGroesse(qint64 bytes)
{
    const QString pfad = umgebung().datei(bytes > 10'000'000 ? "gross.txt" : "klein.txt");
    if (QFileInfo(pfad).size() >= bytes)
        return pfad;
    QFile f(pfad);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(header().toUtf8() + '\n');
    QByteArray block;
    int i = 0;
    while (f.size() + block.size() < bytes) {
        block += zeile(i++);
        if (block.size() > (1 << 20)) {
            f.write(block);
            block.clear();
        }
    }
    f.write(block);
    return pfad;
}

void Tick(benchmark::State& state)
{
    const QString pfad = dateiMitGroesse(state.range(0) << 20);
    TDatenLoader loader(pfad, 2000, 1.0, u'\t', false);
    for (int i = 0; i < 30; ++i) {
        // A standard display's client per column.
        auto* client = new TLoaderClient(&loader);
        client->OnNeueDaten = [i](TDatenLoader* l) {
            const QString name = QStringLiteral("m%1 ").arg(i + 4, 2, 10, QChar(u'0'));
            benchmark::DoNotOptimize(l->AktuellerWert(name, 5));
        };
    }
    for (auto _ : state)
        loader.TimerTimer();
    state.SetLabel(QStringLiteral("%1 MB").arg(state.range(0)).toStdString());
}
BENCHMARK(Tick)->Arg(1)->Arg(256)->Unit(benchmark::kMicrosecond);

// Peak and current resident memory of this process in KiB.
long speicher(const char* feld)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& z : f.readAll().split('\n'))
        if (z.startsWith(feld))
            return z.mid(static_cast<qsizetype>(std::strlen(feld))).trimmed().split(' ').first().toLong();
    return -1;
}

// A logger that never ends its last line: 50 MB of it after a small day.
// The tick should cost what one with a normal line costs.
void TickMitRiesenzeile(benchmark::State& state)
{
    const QString pfad = umgebung().datei("riesenzeile.txt");
    {
        QFile f(pfad);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(header().toUtf8() + '\n');
        for (int i = 0; i < 100; ++i)
            f.write(zeile(i));
        f.write(zeile(100).left(30));
        const QByteArray block(1 << 20, '7');
        for (int i = 0; i < 50; ++i)
            f.write(block);
    }
    TDatenLoader loader(pfad, 2000, 1.0, u'\t', false);
    loader.TimerTimer();
    const long spitzeVorher = speicher("VmHWM:");
    for (auto _ : state)
        loader.TimerTimer();
    state.counters["RSS_MiB"] = static_cast<double>(speicher("VmRSS:")) / 1024;
    state.counters["Spitze_MiB"] = static_cast<double>(speicher("VmHWM:")) / 1024;
    state.counters["Zuwachs_MiB"] = static_cast<double>(speicher("VmHWM:") - spitzeVorher) / 1024;
}
BENCHMARK(TickMitRiesenzeile)->Unit(benchmark::kMicrosecond);

// One day at a two-second interval.
constexpr int kTag = 43200;

QString tagesDatei()
{
    const QString pfad = umgebung().datei("tag.txt");
    if (QFile::exists(pfad))
        return pfad;
    QFile f(pfad);
    f.open(QIODevice::WriteOnly);
    f.write(header().toUtf8() + '\n');
    for (int i = 0; i < kTag; ++i)
        f.write(zeile(i));
    return pfad;
}

// The save file of a full day, as the loader writes it.
QString tagesSicherung()
{
    const QString sav = umgebung().datei("tag.sav");
    if (QFile::exists(sav))
        return sav;
    const QString pfad = tagesDatei();
    TDatenLoader loader(pfad, 2000, 2.0, u'\t', false);
    loader.NeuerDatensatz(QString::fromUtf8(zeile(0)).trimmed());
    QFile f(pfad);
    f.open(QIODevice::ReadOnly);
    f.readLine();
    while (!f.atEnd())
        loader.NeuerDatensatz(QString::fromUtf8(f.readLine()).trimmed());
    loader.SpeichereDatei(sav);
    return sav;
}

std::unique_ptr<TDatenLoader> tagesLoader()
{
    auto loader = std::make_unique<TDatenLoader>(tagesDatei(), 2000, 2.0, u'\t', false);
    loader->LadeSicherung(tagesSicherung());
    return loader;
}

void TagesStatistik(benchmark::State& state)
{
    auto loader = tagesLoader();
    QStringList namen;
    loader->GetSpaltenNamen(namen);
    int naechste = kTag;
    for (auto _ : state) {
        // As in a tick: one record in, the oldest out, then every window asks.
        state.PauseTiming();
        const QString z = QString::fromUtf8(zeile(naechste++)).trimmed();
        state.ResumeTiming();
        loader->NeuerDatensatz(z);
        loader->LoescheAeltesten();
        for (const QString& name : namen) {
            benchmark::DoNotOptimize(loader->Maximum(name, 5));
            benchmark::DoNotOptimize(loader->Minimum(name, 5));
            benchmark::DoNotOptimize(loader->Mittelwert(name, 5));
        }
        loader->Meldungen.clear();
    }
    state.counters["Datensaetze"] = loader->Datensaetze();
    state.counters["Spalten"] = namen.size();
}
BENCHMARK(TagesStatistik)->Unit(benchmark::kMillisecond);

void LadeSicherung(benchmark::State& state)
{
    const QString sav = tagesSicherung();
    size_t bytes = 0;
    int anzahl = 0;
    for (auto _ : state) {
        TDatenLoader loader(tagesDatei(), 2000, 2.0, u'\t', false);
        loader.LadeSicherung(sav);
        anzahl = loader.Datensaetze();
        bytes = loader.SpeicherBytes();
    }
    state.counters["Datensaetze"] = anzahl;
    state.counters["SpeicherMB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(LadeSicherung)->Unit(benchmark::kMillisecond);

// Arg 0: beside the other files, on the disk, with fsync and rename.
// Arg 1: in memory (/dev/shm), where the fsync costs nothing.
void SpeichereDatei(benchmark::State& state)
{
    auto loader = tagesLoader();
    static QTemporaryDir imSpeicher(QStringLiteral("/dev/shm/vantorel-bench-XXXXXX"));
    const QString ziel = state.range(0) == 0 || !imSpeicher.isValid() ? umgebung().datei("ziel.sav")
                                                                       : imSpeicher.filePath(QStringLiteral("ziel.sav"));
    for (auto _ : state)
        loader->SpeichereDatei(ziel);
    state.counters["Datensaetze"] = loader->Datensaetze();
    state.SetLabel(state.range(0) == 0 ? "Platte, mit fsync" : "/dev/shm, ohne fsync");
}
BENCHMARK(SpeichereDatei)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The limits the two above are measured against: the same day's bytes
// parsed with std::from_chars into a plain array, and the same values
// formatted with std::to_chars into one buffer.
void GrenzeLesen(benchmark::State& state)
{
    QFile f(tagesSicherung());
    f.open(QIODevice::ReadOnly);
    const QByteArray bytes = f.readAll();
    std::vector<double> werte;
    werte.reserve(static_cast<size_t>(kTag + 1) * kSpalten);
    for (auto _ : state) {
        werte.clear();
        const char* p = bytes.constData() + bytes.indexOf('\n') + 1;
        const char* ende = bytes.constData() + bytes.size();
        char puffer[64];
        while (p < ende) {
            for (int c = 0; c < kSpalten; ++c) {
                const char* feldEnde = p;
                while (feldEnde < ende && *feldEnde != '\t' && *feldEnde != '\n')
                    ++feldEnde;
                if (c < 2) {
                    // date and time: three numbers each
                    int a = 0, b = 0, d = 0;
                    auto r = std::from_chars(p, feldEnde, a);
                    r = std::from_chars(r.ptr + 1, feldEnde, b);
                    std::from_chars(r.ptr + 1, feldEnde, d);
                    werte.push_back(a * 10000.0 + b * 100.0 + d);
                } else {
                    const size_t n = std::min<size_t>(static_cast<size_t>(feldEnde - p), sizeof puffer);
                    for (size_t k = 0; k < n; ++k)
                        puffer[k] = p[k] == ',' ? '.' : p[k];
                    double v = 0;
                    std::from_chars(puffer, puffer + n, v);
                    werte.push_back(v);
                }
                p = feldEnde + 1;
            }
        }
        benchmark::DoNotOptimize(werte.data());
    }
    state.counters["Werte"] = static_cast<double>(werte.size());
}
BENCHMARK(GrenzeLesen)->Unit(benchmark::kMillisecond);

void GrenzeSchreiben(benchmark::State& state)
{
    auto loader = tagesLoader();
    const int n = loader->Datensaetze();
    std::vector<double> werte;
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < kSpalten; ++c)
            werte.push_back(loader->Wert(r, c));
    std::string text;
    for (auto _ : state) {
        text.clear();
        text.reserve(werte.size() * 8);
        char puffer[40];
        for (int r = 0; r < n; ++r) {
            const double* zeile = werte.data() + static_cast<size_t>(r) * kSpalten;
            for (int c = 0; c < kSpalten; ++c) {
                if (c > 0)
                    text += '\t';
                if (c < 2) {
                    // date and time as three two- and four-digit numbers
                    const int v = static_cast<int>(zeile[c] * 1000) % 1000000;
                    for (int teil : {v / 10000, v / 100 % 100, v % 100}) {
                        const auto e = std::to_chars(puffer, puffer + sizeof puffer, teil);
                        text.append(puffer, static_cast<size_t>(e.ptr - puffer));
                        text += ':';
                    }
                    text.pop_back();
                } else {
                    const auto e = std::to_chars(puffer, puffer + sizeof puffer, zeile[c]);
                    for (char* k = puffer; k < e.ptr; ++k)
                        if (*k == '.')
                            *k = ',';
                    text.append(puffer, static_cast<size_t>(e.ptr - puffer));
                }
            }
            text += '\n';
        }
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["Bytes"] = static_cast<double>(text.size());
}
BENCHMARK(GrenzeSchreiben)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
