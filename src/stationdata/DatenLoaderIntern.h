#pragma once

// What the parts of the loader share: its limits, the no-value marker, the
// column names it knows, and the timer pause. Only the loader's own
// sources include this.

#include "DatenLoaderUnit.h"
#include "SysUtils.h"

#include <QString>
#include <QStringView>
#include <algorithm>

inline const QString kT2m = QStringLiteral("t2m  [°C  ]");
inline const QString kRf = QStringLiteral("rf   [%   ]");
inline const QString kTtp = QStringLiteral("ttp  [°C  ]");
constexpr double kKeinWert = -9999;
// 0.1 s in days: a line must be newer than this to count as new.
constexpr double kZehntelSekunde = 1.1574074074074074e-06;
constexpr double kUntergrenze = -1500.0f;
constexpr double kObergrenze = 1500.0f;
// More columns than any logger writes: such a first line is no header, and
// everything built per column (menus, windows) stays bounded.
constexpr int kMaxSpalten = 256;
// No header is longer, and no record of kMaxSpalten columns; a longer line
// is not read, so it costs no more than one of this length.
constexpr qint64 kMaxKopfBytes = 64 * 1024;
constexpr qint64 kMaxZeileBytes = 1024 * 1024;
// A record more than two hours ahead of the newest, or more than a day
// behind it, waits for the next one to confirm the logger's clock jumped.
constexpr double kVorsprung = 2.0 / 24;
constexpr double kZeitsprung = 1.0;
// Time stamps of some ten thousand days carry rounding errors of about a
// microsecond: a limit counts as passed only beyond them.
constexpr double kUnschaerfe = 1e-9;
inline bool Jenseits(double abstand, double grenze)
{
    return abstand > grenze + kUnschaerfe;
}

// A logger writes names and units: a control character other than the
// separator means the bytes are no text at all.
inline bool HatSteuerzeichen(const QString& zeile, QChar trenn)
{
    return std::any_of(zeile.cbegin(), zeile.cend(), [trenn](QChar c) {
        return c != trenn && c != u'\t' && c.category() == QChar::Other_Control;
    });
}

// Switches the loader's timer off and restores the previous state on every
// way out; restoring it restarts the count.
class TDatenLoader::TimerPause {
public:
    explicit TimerPause(TDatenLoader& loader) : m_loader(loader), m_alt(loader.m_aktiv) { m_loader.SetAktiv(false); }
    ~TimerPause() { m_loader.SetAktiv(m_alt); }
    TimerPause(const TimerPause&) = delete;
    TimerPause& operator=(const TimerPause&) = delete;

private:
    TDatenLoader& m_loader;
    bool m_alt;
};
