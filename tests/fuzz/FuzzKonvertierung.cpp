// The number, date and time conversions: no crash, and what one writes the
// other reads back to the same text.
#include "FastConversions.h"
#include "FuzzSupport.h"
#include "Konstanten.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Einrichten();
    if (size > 0 && (data[0] & 1)) {
        // Another regional form: '.' decimal, month first, '/' and '-'.
        FormatSettings& fs = formatSettings();
        fs.DecimalSeparator = u'.';
        fs.DateSeparator = u'/';
        fs.ShortDateFormat = QStringLiteral("m/d/yy");
        fs.TimeSeparator = u'-';
    }
    const QString s = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    double d = 0;
    if (TryStrToFloat(s, d)) {
        fuzz::Pruefe(std::isfinite(d), "finite number");
        const QString t = FloatToStr(d);
        double zurueck = 0;
        fuzz::Pruefe(TryStrToFloat(t, zurueck), "FloatToStr reads back");
        fuzz::Pruefe(FloatToStr(zurueck) == t, "FloatToStr is stable");
        fuzz::Pruefe(std::abs(zurueck - d) <= std::abs(d) * 1e-14, "FloatToStr keeps 15 digits");
        (void)Format(QStringLiteral("%.3f|%e|%g|%8.1f"), {d, d, d, d});
    }
    // The fast paths decide only what the general conversions give too.
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    double p = 0;
    const bool allgemein = TryStrToFloat(PunktZuKomma(s), p);
    double schnell = 0;
    if (FastPunktStrToFloat(bytes, schnell))
        fuzz::Pruefe(allgemein && std::memcmp(&schnell, &p, sizeof p) == 0, "fast number parse");
    TDateTime z = 0, zs = 0;
    if (FastStrToTime(bytes, zs))
        fuzz::Pruefe(TryStrToTime(s, z) && z == zs, "fast time parse");
    if (FastStrToDate(bytes, zs))
        fuzz::Pruefe(TryStrToDate(s, z) && z == zs, "fast date parse");
    std::vector<double> werte{d, p, zs, z, static_cast<double>(size) / 3};
    if (size >= 9) {
        // Raw bytes as a double too: every exponent and every last bit.
        double roh = 0;
        std::memcpy(&roh, data + 1, sizeof roh);
        werte.push_back(roh);
    }
    for (const double x : werte) {
        std::string text;
        if (FastFloatToStr(x, text))
            fuzz::Pruefe(QString::fromStdString(text) == FloatToStr(x), "fast FloatToStr");
        text.clear();
        if (FastTimeToStr(x, text))
            fuzz::Pruefe(QString::fromStdString(text) == TimeToStr(x), "fast TimeToStr");
        text.clear();
        if (FastDateToStr(x, text))
            fuzz::Pruefe(QString::fromStdString(text) == DateToStr(x), "fast DateToStr");
    }

    int i = 0;
    if (TryStrToInt(s, i))
        fuzz::Pruefe(StrToInt(IntToStr(i)) == i, "IntToStr reads back");

    TDateTime t = 0;
    if (TryStrToTime(s, t)) {
        fuzz::Pruefe(t >= 0 && t < 1, "time of day");
        const QString text = TimeToStr(t);
        TDateTime zurueck = 0;
        fuzz::Pruefe(TryStrToTime(text, zurueck) && TimeToStr(zurueck) == text, "TimeToStr reads back");
    }
    if (TryStrToDate(s, t)) {
        const QString text = DateToStr(t);
        TDateTime zurueck = 0;
        fuzz::Pruefe(TryStrToDate(text, zurueck) && DateToStr(zurueck) == text, "DateToStr reads back");
    }
    (void)FormatDateTime(s.left(64), 46000.5);
    formatSettings() = FormatSettings::German();
    return 0;
}
