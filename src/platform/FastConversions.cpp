// The fast conversions for files of many numbers.
#include "FastConversions.h"
#include "SysUtilsIntern.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

using namespace sysutils;

// --- Fast paths -----------------------------------------------------------------

namespace {

bool asciiDigit(char c) { return c >= '0' && c <= '9'; }

// Up to `most` digits; false when there are none.
bool readDigits(std::string_view t, size_t& i, int most, int& value, int& digits)
{
    value = 0;
    digits = 0;
    while (i < t.size() && digits < most && asciiDigit(t[i])) {
        value = value * 10 + (t[i] - '0');
        ++i;
        ++digits;
    }
    return digits > 0;
}

bool asciiSeparator(QChar c, char& out)
{
    if (c.unicode() < 0x21 || c.unicode() > 0x7E || asciiDigit(static_cast<char>(c.unicode())))
        return false;
    out = static_cast<char>(c.unicode());
    return true;
}

void appendTwoDigits(int v, std::string& out)
{
    out += static_cast<char>('0' + v / 10 % 10);
    out += static_cast<char>('0' + v % 10);
}

} // namespace

bool FastPunktStrToFloat(std::string_view t, double& value)
{
    if (formatSettings().DecimalSeparator != u',' || t.empty() || t.size() > 64)
        return false;
    // The grammar of TryStrToFloat: sign, digits, one separator, digits,
    // exponent with digits; no blanks.
    char buf[66];
    size_t n = 0, i = 0;
    if (t[i] == '+' || t[i] == '-') {
        if (t[i] == '-')
            buf[n++] = '-';
        ++i;
    }
    int digits = 0;
    while (i < t.size() && asciiDigit(t[i])) {
        buf[n++] = t[i++];
        ++digits;
    }
    if (i < t.size() && (t[i] == '.' || t[i] == ',')) {
        buf[n++] = '.';
        ++i;
        while (i < t.size() && asciiDigit(t[i])) {
            buf[n++] = t[i++];
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        buf[n++] = 'e';
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            buf[n++] = t[i++];
        int expDigits = 0;
        while (i < t.size() && asciiDigit(t[i])) {
            buf[n++] = t[i++];
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    if (i != t.size())
        return false;
    double v = 0;
    const auto [end, ec] = std::from_chars(buf, buf + n, v);
    // Out of range (overflow, or an underflow the general path may keep):
    // not decided here.
    if (ec != std::errc() || end != buf + n || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

bool FastStrToTime(std::string_view t, TDateTime& value)
{
    const FormatSettings& fs = formatSettings();
    char sep = 0;
    if (!asciiSeparator(fs.TimeSeparator, sep) || fs.TimeSeparator == fs.DecimalSeparator)
        return false;
    // A field that starts with a digit can't start with AM or PM.
    for (const QString& ampm : {fs.TimeAMString, fs.TimePMString})
        if (!ampm.isEmpty() && ampm.at(0).isDigit())
            return false;
    size_t i = 0;
    int h = 0, m = 0, sec = 0, digits = 0;
    if (!readDigits(t, i, 2, h, digits) || i >= t.size() || t[i++] != sep || !readDigits(t, i, 2, m, digits)
        || i >= t.size() || t[i++] != sep || !readDigits(t, i, 2, sec, digits) || i != t.size())
        return false;
    return TryEncodeTime(h, m, sec, 0, value);
}

bool FastStrToDate(std::string_view t, TDateTime& value)
{
    const FormatSettings& fs = formatSettings();
    char sep = 0;
    if (!asciiSeparator(fs.DateSeparator, sep))
        return false;
    size_t i = 0;
    int numbers[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    for (int k = 0; k < 3; ++k) {
        if (k > 0 && (i >= t.size() || t[i++] != sep))
            return false;
        if (!readDigits(t, i, 4, numbers[k], digits[k]))
            return false;
    }
    if (i != t.size())
        return false;
    int order[3];
    dateOrder(order);
    int part[3] = {0, 0, 0};
    for (int k = 0; k < 3; ++k) {
        // Two-digit years depend on today: the general path decides those.
        if (order[k] == 2 && digits[k] <= 2)
            return false;
        part[order[k]] = numbers[k];
    }
    return TryEncodeDate(part[2], part[1], part[0], value);
}

bool FastFloatToStr(double value, std::string& out)
{
    char sep = 0;
    if (!std::isfinite(value) || !asciiSeparator(formatSettings().DecimalSeparator, sep))
        return false;
    if (value == 0) {
        out += '0';
        return true;
    }
    // Most logger values have at most two decimals: when the value is the
    // double nearest to k / 100, those digits are its shortest form.
    if (std::fabs(value) < 1e13) {
        const long long k = std::llround(value * 100);
        if (static_cast<double>(k) / 100.0 == value) {
            const unsigned long long betrag = k < 0 ? 0ULL - static_cast<unsigned long long>(k) : static_cast<unsigned long long>(k);
            char ziffern[24];
            const auto e = std::to_chars(ziffern, ziffern + sizeof ziffern, betrag / 100);
            if (k < 0)
                out += '-';
            out.append(ziffern, static_cast<size_t>(e.ptr - ziffern));
            const int rest = static_cast<int>(betrag % 100);
            if (rest != 0) {
                out += sep;
                out += static_cast<char>('0' + rest / 10);
                if (rest % 10 != 0)
                    out += static_cast<char>('0' + rest % 10);
            }
            return true;
        }
    }
    // The shortest digits that read back: with at most 15 of them they are
    // also the value rounded to 15 digits, which is what FloatToStr shows.
    char buf[40];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    if (ec != std::errc())
        return false;
    const std::string_view sci(buf, static_cast<size_t>(end - buf));
    const size_t e = sci.find('e');
    size_t start = 0;
    const bool negative = sci[0] == '-';
    if (negative)
        start = 1;
    char digitsBuf[24];
    int n = 0;
    for (size_t k = start; k < e; ++k)
        if (sci[k] != '.')
            digitsBuf[n++] = sci[k];
    if (n > 15)
        return false;
    int exp = 0;
    std::from_chars(sci.data() + e + 1 + (sci[e + 1] == '+' ? 1 : 0), sci.data() + sci.size(), exp);
    const int point = exp + 1;
    if (point > 15 || point < -3)
        return false;   // exponent form: rare, left to the general path
    if (negative)
        out += '-';
    if (point <= 0) {
        out += '0';
        out += sep;
        out.append(static_cast<size_t>(-point), '0');
        out.append(digitsBuf, static_cast<size_t>(n));
        return true;
    }
    for (int k = 0; k < point; ++k)
        out += k < n ? digitsBuf[k] : '0';
    if (n > point) {
        out += sep;
        out.append(digitsBuf + point, static_cast<size_t>(n - point));
    }
    return true;
}

bool FastTimeToStr(TDateTime dt, std::string& out)
{
    const FormatSettings& fs = formatSettings();
    char sep = 0;
    const QString& f = fs.LongTimeFormat;
    if (!asciiSeparator(fs.TimeSeparator, sep)
        || (f.compare(QLatin1String("hh:nn:ss"), Qt::CaseInsensitive) != 0
            && f.compare(QLatin1String("hh:mm:ss"), Qt::CaseInsensitive) != 0))
        return false;
    const DayAndMs split = splitDateTime(dt);
    int hour = 0, min = 0, sec = 0, msec = 0;
    if (split.valid)
        decodeMs(split.ms, hour, min, sec, msec);
    appendTwoDigits(hour, out);
    out += sep;
    appendTwoDigits(min, out);
    out += sep;
    appendTwoDigits(sec, out);
    return true;
}

bool FastDateToStr(TDateTime dt, std::string& out)
{
    const FormatSettings& fs = formatSettings();
    const QString& f = fs.ShortDateFormat;
    char sep = 0;
    if (f.compare(QLatin1String("dd.mm.yyyy"), Qt::CaseInsensitive) == 0)
        sep = '.';
    else if (f.compare(QLatin1String("dd/mm/yyyy"), Qt::CaseInsensitive) != 0 || !asciiSeparator(fs.DateSeparator, sep))
        return false;
    const DayAndMs split = splitDateTime(dt);
    int year = 0, month = 0, day = 0;
    if (split.valid)
        decodeDay(split.day, year, month, day);
    appendTwoDigits(day, out);
    out += sep;
    appendTwoDigits(month, out);
    out += sep;
    out += static_cast<char>('0' + year / 1000 % 10);
    out += static_cast<char>('0' + year / 100 % 10);
    appendTwoDigits(year, out);
    return true;
}
