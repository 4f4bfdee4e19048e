#include "OptionenWerte.h"

#include "SysUtils.h"

#include <climits>
#include <cmath>
#include <iterator>

namespace {

constexpr double kMsProTag = 86400000.0;

bool IstInteger(double x)
{
    return std::isfinite(x) && x >= double(INT_MIN) && x <= double(INT_MAX);
}

} // namespace

void BereichsPruefungsFehler()
{
    throw ERangeError(QStringLiteral("Fehler bei Bereichsprüfung"));
}

QString BereichZeile(const TBereich& Bereich)
{
    return Format(QStringLiteral("%.4f;%.4f;%d"), {Bereich.Von, Bereich.Bis, Bereich.Farbe});
}

QString BereichZeile(const QString& Von, const QString& Bis, TColor Farbe)
{
    return Von + u';' + Bis + u';' + IntToStr(Farbe);
}

TBereichFelder TeileBereichZeile(const QString& Zeile)
{
    TBereichFelder felder;
    const qsizetype erstes = Zeile.indexOf(u';');
    if (erstes < 0) {
        felder.Von = Zeile;
        return felder;
    }
    felder.Von = Zeile.left(erstes);
    const qsizetype zweites = Zeile.indexOf(u';', erstes + 1);
    if (zweites < 0) {
        felder.Bis = Zeile.mid(erstes + 1);
        return felder;
    }
    felder.Bis = Zeile.mid(erstes + 1, zweites - erstes - 1);
    felder.Farbe = Zeile.mid(zweites + 1);
    return felder;
}

void FuelleBereiche(TRanges& Bereiche, const QStringList& Zeilen)
{
    Bereiche.Clear();
    for (const QString& zeile : Zeilen) {
        const TBereichFelder f = TeileBereichZeile(zeile);
        const double a = StrToFloat(f.Von);
        const double b = StrToFloat(f.Bis);
        const TColor farbe = StrToInt(f.Farbe);
        Bereiche.Add(farbe, a, b);
    }
}

void SpanneInTexte(double Tage, QString& TageText, QString& ZeitText)
{
    double ganz = std::trunc(Tage);
    double rest = Tage - ganz;
    // A time that the time text would round up to midnight is the next
    // whole day; shown as 00:00:00 of the same day it would lose a day.
    if (std::nearbyint(std::fabs(rest) * kMsProTag) >= kMsProTag) {
        ganz += rest > 0 ? 1 : -1;
        rest = 0;
    }
    if (!IstInteger(ganz))
        BereichsPruefungsFehler();
    TageText = IntToStr(static_cast<long long>(ganz));
    ZeitText = TimeToStr(rest);
}

double SpanneAusTexten(const QString& TageText, const QString& ZeitText)
{
    const int tage = StrToInt(TageText);
    const TDateTime zeit = StrToTime(ZeitText);
    return tage + zeit;
}

void StundenInTexte(double Stunden, QString& TageText, QString& ZeitText)
{
    const double ganz = std::trunc(Stunden);
    if (!IstInteger(ganz))
        BereichsPruefungsFehler();
    const int h = static_cast<int>(ganz);
    TageText = IntToStr(Trunc(h / 24.0));
    ZeitText = IntToStr(h % 24) + QStringLiteral(":00:00");
}

int StundenAusTexten(const QString& TageText, const QString& ZeitText)
{
    const int tage = StrToInt(TageText);
    const TDateTime zeit = StrToTime(ZeitText);
    int stunde = 0, minute = 0, sekunde = 0, ms = 0;
    DecodeTime(zeit, stunde, minute, sekunde, ms);
    const long long stunden = static_cast<long long>(tage) * 24 + stunde;
    if (stunden < INT_MIN || stunden > INT_MAX)
        BereichsPruefungsFehler();
    return static_cast<int>(stunden);
}

const TFensterArt& FensterArt(int FensterID)
{
    // FensterID, clock, caption editable, unit, value background editable,
    // ranges editable.
    static const TFensterArt arten[] = {
        {1, false, true, true, true, true},    // standard display
        {2, false, true, true, true, true},    // thermometer
        {3, false, true, true, true, true},    // wind direction
        {4, false, false, false, true, true},  // wind speed: caption and unit follow its unit menu
        {5, false, true, true, true, true},    // relative humidity
        {6, false, true, false, true, false},  // state
        {7, false, true, true, true, true},    // air pressure
        {8, false, true, false, true, false},  // trend
        {9, false, true, true, false, true},   // chart recorder
        {10, false, true, true, true, true},   // rain gauge
        {11, false, true, true, true, true},   // rain-gauge picture
        {-1, true, false, false, true, false}, // logger clock
        {-2, true, false, false, true, false}, // system clock
    };
    for (const TFensterArt& art : arten)
        if (art.FensterID == FensterID)
            return art;
    return arten[0];
}
