#pragma once

// The fixture of the tests that guard the stored day: a data file a test
// appends to as a logger does, and the save file the copies go beside.
#include "DatenLoaderUnit.h"
#include "TestSupport.h"

#include <QDir>
#include <memory>

inline namespace tagschutz {

inline const QString kHeader = QStringLiteral("Datum\tUhrzeit\tt2m  [°C  ]\trf   [%   ]\tp    [hPa ]");
inline const QString kVertauscht = QStringLiteral("Datum\tUhrzeit\trf   [%   ]\tt2m  [°C  ]\tp    [hPa ]");
inline const QString kMitTb = kHeader + QStringLiteral("\ttb   [°C  ]");

// A record of 8 December 2026 at 10:mm:00, or of another day and time.
inline QString zeile(int minute, double t, const QString& datum = QStringLiteral("08.12.2026"))
{
    return datum + QStringLiteral("\t10:%1:00\t%2\t80\t1013.2").arg(minute, 2, 10, QChar(u'0')).arg(t);
}
inline QString zeileUm(const QString& datum, const QString& zeit, double t)
{
    return datum + u'\t' + zeit + QStringLiteral("\t%1\t80\t1013.2").arg(t);
}

class TagSchutzTest : public GermanSettings {
protected:
    void SetUp() override
    {
        GermanSettings::SetUp();
        SetSleepFunction([](unsigned) {});
        SetClock([] { return EncodeDate(2026, 12, 9) + EncodeTime(4, 15, 0, 0); });
        daten = dir.path(QStringLiteral("daten.txt"));
        sav = dir.path(QStringLiteral("AutoSave.sav"));
    }
    void schreibe(const QString& text) { writeFile(daten, text.toUtf8()); }
    void haengeAn(const QString& text) { appendFile(daten, text.toUtf8()); }
    // A loader that has taken the records of minutes 0..n-1 live, its
    // copies going beside the save file.
    std::unique_ptr<TDatenLoader> mitTag(int n)
    {
        schreibe(kHeader + u'\n');
        auto l = std::make_unique<TDatenLoader>(daten, 1000, 1.0, u'\t', false);
        l->SicherungsDatei = sav;
        for (int m = 0; m < n; ++m) {
            haengeAn(zeile(m, m) + u'\n');
            l->TimerTimer();
        }
        l->Meldungen.clear();
        return l;
    }
    QStringList kopien() const
    {
        return QDir(dir.path()).entryList({QStringLiteral("AutoSave-*.sav")}, QDir::Files, QDir::Name);
    }
    // The tick's messages, as the main window gets them.
    QStringList tick(TDatenLoader& l)
    {
        QStringList gemeldet;
        l.OnMeldung = [&gemeldet](TDatenLoader* s) { gemeldet = s->Meldungen; };
        l.TimerTimer();
        l.OnMeldung = nullptr;
        return gemeldet;
    }

    TempDir dir;
    QString daten, sav;
};

} // namespace tagschutz
