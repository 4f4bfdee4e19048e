#include "SysUtils.h"
#include "SysUtilsIntern.h"

#include <QThread>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <string>
#include <utility>

namespace {

constexpr long long kDateDelta = 693594;   // days from 1.1.0001 to 30.12.1899
// Day numbers of 1.1.0001 and 31.12.9999.
constexpr long long kMinDay = -kDateDelta + 1;
constexpr long long kMaxDay = 2958465;

const int kDaysInMonth[2][12] = {
    {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
    {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
};

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

void skipBlanks(const QString& s, qsizetype& i)
{
    while (i < s.size() && s[i] == u' ')
        ++i;
}

// Trims blanks at both ends by moving the bounds.
void trimBounds(const QString& s, qsizetype& begin, qsizetype& end)
{
    begin = 0;
    end = s.size();
    while (begin < end && s[begin] == u' ')
        ++begin;
    while (end > begin && s[end - 1] == u' ')
        --end;
}

// Up to four digits, as the time and date scanners read them.
bool scanNumber(const QString& s, qsizetype& i, int& value, int& digits)
{
    value = 0;
    digits = 0;
    while (i < s.size() && digits < 4 && isDigit(s[i])) {
        value = value * 10 + (s[i].unicode() - u'0');
        ++digits;
        ++i;
    }
    return digits > 0;
}

} // namespace

namespace sysutils {

DayAndMs splitDateTime(TDateTime dt)
{
    DayAndMs r;
    if (!std::isfinite(dt) || dt < double(kMinDay - 1) || dt > double(kMaxDay + 1))
        return r;
    const double dayPart = std::trunc(dt);
    r.day = static_cast<long long>(dayPart);
    r.ms = static_cast<long long>(std::nearbyint(std::fabs(dt - dayPart) * double(kMsPerDay)));
    if (r.ms >= kMsPerDay) {
        // 23:59:59.9996 is already the next day.
        r.ms -= kMsPerDay;
        r.day += 1;
    }
    r.valid = r.day >= kMinDay && r.day <= kMaxDay;
    return r;
}

void decodeDay(long long day, int& year, int& month, int& dayOfMonth)
{
    long long t = day + kDateDelta - 1;   // 0 = 1.1.0001
    int y = 1;
    y += static_cast<int>(t / 146097) * 400;
    t %= 146097;
    long long centuries = t / 36524;
    long long d = t % 36524;
    if (centuries == 4) {
        centuries = 3;
        d += 36524;
    }
    y += static_cast<int>(centuries) * 100;
    y += static_cast<int>(d / 1461) * 4;
    d %= 1461;
    long long years = d / 365;
    d %= 365;
    if (years == 4) {
        years = 3;
        d += 365;
    }
    y += static_cast<int>(years);
    const int* table = kDaysInMonth[IsLeapYear(y) ? 1 : 0];
    int m = 0;
    while (d >= table[m]) {
        d -= table[m];
        ++m;
    }
    year = y;
    month = m + 1;
    dayOfMonth = static_cast<int>(d) + 1;
}

void decodeMs(long long ms, int& hour, int& min, int& sec, int& msec)
{
    hour = static_cast<int>(ms / 3600000);
    min = static_cast<int>(ms / 60000 % 60);
    sec = static_cast<int>(ms / 1000 % 60);
    msec = static_cast<int>(ms % 1000);
}

} // namespace sysutils

using namespace sysutils;

namespace {

int currentYear()
{
    int y = 0, m = 0, d = 0;
    DecodeDate(Now(), y, m, d);
    return y;
}

ClockFunction& clockFunction()
{
    static ClockFunction fn;
    return fn;
}

SleepFunction& sleepFunction()
{
    static SleepFunction fn;
    return fn;
}

} // namespace

// --- Rounding ---------------------------------------------------------------

// Values beyond the integer range saturate, NaN gives 0: no undefined cast.
static long long toInteger(double x)
{
    if (std::isnan(x))
        return 0;
    if (x >= 9223372036854775807.0)
        return LLONG_MAX;
    if (x <= -9223372036854775808.0)
        return LLONG_MIN;
    return static_cast<long long>(x);
}

long long Round(double x) { return toInteger(std::nearbyint(x)); }

long long Trunc(double x) { return toInteger(std::trunc(x)); }

// --- Text to number -----------------------------------------------------------

bool TryStrToFloat(const QString& s, double& value)
{
    const QChar sep = formatSettings().DecimalSeparator;
    qsizetype i = 0, end = 0;
    trimBounds(s, i, end);
    std::string text;
    if (i < end && (s[i] == u'+' || s[i] == u'-'))
        text += char(s[i++].unicode());
    int digits = 0;
    while (i < end && isDigit(s[i])) {
        text += char(s[i++].unicode());
        ++digits;
    }
    if (i < end && s[i] == sep) {
        text += '.';
        ++i;
        while (i < end && isDigit(s[i])) {
            text += char(s[i++].unicode());
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < end && (s[i] == u'e' || s[i] == u'E')) {
        text += 'e';
        ++i;
        if (i < end && (s[i] == u'+' || s[i] == u'-'))
            text += char(s[i++].unicode());
        int expDigits = 0;
        while (i < end && isDigit(s[i])) {
            text += char(s[i++].unicode());
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    if (i != end)
        return false;
    // The process locale may be German; the text above is C syntax.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    const double result = strtod_l(text.c_str(), nullptr, cLocale);
    if (!std::isfinite(result))
        return false;
    value = result;
    return true;
}

double StrToFloat(const QString& s)
{
    double value = 0;
    if (!TryStrToFloat(s, value))
        throw EConvertError(QStringLiteral("'%1' ist kein gültiger Gleitkommawert").arg(s));
    return value;
}

bool TryStrToInt(const QString& s, int& value)
{
    qsizetype i = 0, end = 0;
    trimBounds(s, i, end);
    bool negative = false;
    if (i < end && (s[i] == u'+' || s[i] == u'-'))
        negative = s[i++] == u'-';
    bool hex = false;
    if (i < end && s[i] == u'$') {
        hex = true;
        ++i;
    } else if (i + 1 < end && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
        hex = true;
        i += 2;
    }
    if (i == end)
        return false;
    // Hex spells the 32-bit pattern, so $FFFFFFFF is -1.
    const unsigned long long limit = hex ? 0xFFFFFFFFULL : (negative ? 2147483648ULL : 2147483647ULL);
    unsigned long long magnitude = 0;
    for (; i < end; ++i) {
        const char16_t c = s[i].unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (hex && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (hex && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0)
            return false;
        magnitude = magnitude * (hex ? 16 : 10) + digit;
        if (magnitude > limit)
            return false;
    }
    const auto bits = static_cast<unsigned int>(magnitude);
    value = static_cast<int>(negative ? 0U - bits : bits);
    return true;
}

int StrToInt(const QString& s)
{
    int value = 0;
    if (!TryStrToInt(s, value))
        throw EConvertError(QStringLiteral("'%1' ist kein gültiger Integerwert").arg(s));
    return value;
}

int StrToIntDef(const QString& s, int def)
{
    int value = 0;
    return TryStrToInt(s, value) ? value : def;
}

// --- Text to time and date --------------------------------------------------

namespace {

enum class AmPm { None, Am, Pm };

AmPm scanAmPm(const QString& s, qsizetype& i)
{
    const FormatSettings& fs = formatSettings();
    const std::pair<QString, AmPm> candidates[] = {
        {fs.TimeAMString, AmPm::Am},
        {fs.TimePMString, AmPm::Pm},
        {QStringLiteral("AM"), AmPm::Am},
        {QStringLiteral("PM"), AmPm::Pm},
    };
    for (const auto& [text, kind] : candidates) {
        if (!text.isEmpty() && QStringView(s).mid(i).startsWith(text, Qt::CaseInsensitive)) {
            i += text.size();
            return kind;
        }
    }
    return AmPm::None;
}

} // namespace

namespace sysutils {

// Order of day, month and year in the short date format: index 0 = day,
// 1 = month, 2 = year, listed as they appear.
void dateOrder(int order[3])
{
    const QString fmt = formatSettings().ShortDateFormat.toLower();
    const qsizetype pos[3] = {fmt.indexOf(u'd'), fmt.indexOf(u'm'), fmt.indexOf(u'y')};
    order[0] = 0;
    order[1] = 1;
    order[2] = 2;
    if (pos[0] < 0 || pos[1] < 0 || pos[2] < 0)
        return;
    std::sort(order, order + 3, [&](int a, int b) { return pos[a] < pos[b]; });
}

} // namespace sysutils

namespace {

} // namespace

bool TryStrToTime(const QString& s, TDateTime& value)
{
    const FormatSettings& fs = formatSettings();
    qsizetype i = 0;
    skipBlanks(s, i);
    AmPm ampm = scanAmPm(s, i);
    skipBlanks(s, i);
    int hour = 0, min = 0, sec = 0, msec = 0, digits = 0;
    if (!scanNumber(s, i, hour, digits))
        return false;
    if (i < s.size() && s[i] == fs.TimeSeparator) {
        ++i;
        if (!scanNumber(s, i, min, digits))
            return false;
        if (i < s.size() && s[i] == fs.TimeSeparator) {
            ++i;
            if (!scanNumber(s, i, sec, digits))
                return false;
            if (i < s.size() && s[i] == fs.DecimalSeparator) {
                ++i;
                if (!scanNumber(s, i, msec, digits))
                    return false;
            }
        }
    }
    skipBlanks(s, i);
    if (ampm == AmPm::None) {
        ampm = scanAmPm(s, i);
        skipBlanks(s, i);
    }
    if (i != s.size())
        return false;
    if (ampm != AmPm::None) {
        if (hour < 1 || hour > 12)
            return false;
        if (hour == 12)
            hour = 0;
        if (ampm == AmPm::Pm)
            hour += 12;
    }
    return TryEncodeTime(hour, min, sec, msec, value);
}

TDateTime StrToTime(const QString& s)
{
    TDateTime value = 0;
    if (!TryStrToTime(s, value))
        throw EConvertError(QStringLiteral("'%1' ist keine gültige Uhrzeit").arg(s));
    return value;
}

bool TryStrToDate(const QString& s, TDateTime& value)
{
    const FormatSettings& fs = formatSettings();
    qsizetype i = 0;
    skipBlanks(s, i);
    int numbers[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int count = 0;
    if (!scanNumber(s, i, numbers[0], digits[0]))
        return false;
    count = 1;
    while (count < 3 && i < s.size() && s[i] == fs.DateSeparator) {
        ++i;
        if (!scanNumber(s, i, numbers[count], digits[count]))
            return false;
        ++count;
    }
    skipBlanks(s, i);
    if (i != s.size() || count < 2)
        return false;

    int order[3];
    dateOrder(order);
    int part[3] = {0, 0, 0};   // day, month, year
    if (count == 3) {
        int yearDigits = 0;
        for (int k = 0; k < 3; ++k) {
            part[order[k]] = numbers[k];
            if (order[k] == 2)
                yearDigits = digits[k];
        }
        if (yearDigits <= 2) {
            const int base = currentYear() - fs.TwoDigitYearCenturyWindow;
            part[2] += base / 100 * 100;
            if (fs.TwoDigitYearCenturyWindow > 0 && part[2] < base)
                part[2] += 100;
        }
    } else {
        // Day and month in the order the format has them.
        int k = 0;
        for (int o : order) {
            if (o != 2)
                part[o] = numbers[k++];
        }
        part[2] = currentYear();
    }
    return TryEncodeDate(part[2], part[1], part[0], value);
}

TDateTime StrToDate(const QString& s)
{
    TDateTime value = 0;
    if (!TryStrToDate(s, value))
        throw EConvertError(QStringLiteral("'%1' ist kein gültiges Datum").arg(s));
    return value;
}

// --- Date and time --------------------------------------------------------------

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

bool TryEncodeDate(int year, int month, int day, TDateTime& value)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12)
        return false;
    const int* table = kDaysInMonth[IsLeapYear(year) ? 1 : 0];
    if (day < 1 || day > table[month - 1])
        return false;
    long long dayOfYear = day;
    for (int m = 0; m < month - 1; ++m)
        dayOfYear += table[m];
    const long long y = year - 1;
    value = static_cast<double>(y * 365 + y / 4 - y / 100 + y / 400 + dayOfYear - kDateDelta);
    return true;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& value)
{
    if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999)
        return false;
    value = double(((hour * 60LL + min) * 60 + sec) * 1000 + msec) / double(kMsPerDay);
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime value = 0;
    if (!TryEncodeDate(year, month, day, value))
        throw EConvertError(QStringLiteral("Ungültiges Argument zum Codieren des Datums"));
    return value;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec)
{
    TDateTime value = 0;
    if (!TryEncodeTime(hour, min, sec, msec, value))
        throw EConvertError(QStringLiteral("Ungültiges Argument zum Codieren der Uhrzeit"));
    return value;
}

void DecodeDate(TDateTime dt, int& year, int& month, int& day)
{
    const DayAndMs split = splitDateTime(dt);
    if (!split.valid) {
        year = month = day = 0;
        return;
    }
    decodeDay(split.day, year, month, day);
}

void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec)
{
    const DayAndMs split = splitDateTime(dt);
    decodeMs(split.valid ? split.ms : 0, hour, min, sec, msec);
}

QString FormatDateTime(const QString& fmt, TDateTime dt)
{
    const FormatSettings& fs = formatSettings();
    const DayAndMs split = splitDateTime(dt);
    int year = 0, month = 0, day = 0, hour = 0, min = 0, sec = 0, msec = 0;
    if (split.valid) {
        decodeDay(split.day, year, month, day);
        decodeMs(split.ms, hour, min, sec, msec);
    }
    auto number = [](int value, int width) { return QString::number(value).rightJustified(width, u'0'); };

    QString out;
    char16_t lastToken = 0;
    const qsizetype n = fmt.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = fmt[i];
        if (c == u'"' || c == u'\'') {
            const qsizetype close = fmt.indexOf(c, i + 1);
            const qsizetype stop = close < 0 ? n : close;
            out += QStringView(fmt).mid(i + 1, stop - i - 1);
            i = close < 0 ? n : close + 1;
            continue;
        }
        if (c == u':') {
            out += fs.TimeSeparator;
            ++i;
            continue;
        }
        if (c == u'/') {
            out += fs.DateSeparator;
            ++i;
            continue;
        }
        const char16_t lower = c.toLower().unicode();
        if (lower < u'a' || lower > u'z') {
            out += c;
            ++i;
            continue;
        }
        qsizetype count = 1;
        while (i + count < n && fmt[i + count].toLower() == lower)
            ++count;
        char16_t token = lower;
        if (token == u'm' && lastToken == u'h')
            token = u'n';
        lastToken = token;
        switch (token) {
        case u'y':
            out += count <= 2 ? number(year % 100, 2) : number(year, 4);
            break;
        case u'm':
            out += count == 1 ? QString::number(month) : number(month, 2);
            break;
        case u'd':
            out += count == 1 ? QString::number(day) : number(day, 2);
            break;
        case u'h':
            out += count == 1 ? QString::number(hour) : number(hour, 2);
            break;
        case u'n':
            out += count == 1 ? QString::number(min) : number(min, 2);
            break;
        case u's':
            out += count == 1 ? QString::number(sec) : number(sec, 2);
            break;
        case u'z':
            out += count < 3 ? QString::number(msec) : number(msec, 3);
            break;
        default:
            out += QStringView(fmt).mid(i, count);
            break;
        }
        i += count;
    }
    return out;
}

QString DateToStr(TDateTime dt) { return FormatDateTime(formatSettings().ShortDateFormat, dt); }

QString TimeToStr(TDateTime dt) { return FormatDateTime(formatSettings().LongTimeFormat, dt); }

QString DateTimeToStr(TDateTime dt)
{
    const DayAndMs split = splitDateTime(dt);
    if (split.valid && split.ms == 0)
        return DateToStr(dt);
    return DateToStr(dt) + u' ' + TimeToStr(dt);
}

TDateTime DateTimeFromQDateTime(const QDateTime& dt)
{
    if (!dt.isValid())
        return 0;
    const QDateTime local = dt.toLocalTime();
    const QDate date = local.date();
    const QTime time = local.time();
    TDateTime day = 0;
    if (!TryEncodeDate(date.year(), date.month(), date.day(), day))
        return 0;
    const double fraction = double(time.msecsSinceStartOfDay()) / double(kMsPerDay);
    // Before 30.12.1899 the fraction still counts forward from the day.
    return day < 0 ? day - fraction : day + fraction;
}

QDateTime QDateTimeFromDateTime(TDateTime dt)
{
    const DayAndMs split = splitDateTime(dt);
    if (!split.valid)
        return QDateTime();
    int year = 0, month = 0, day = 0, hour = 0, min = 0, sec = 0, msec = 0;
    decodeDay(split.day, year, month, day);
    decodeMs(split.ms, hour, min, sec, msec);
    return QDateTime(QDate(year, month, day), QTime(hour, min, sec, msec), Qt::LocalTime);
}

TDateTime Now()
{
    if (const ClockFunction& clock = clockFunction())
        return clock();
    return DateTimeFromQDateTime(QDateTime::currentDateTime());
}

TDateTime Date() { return static_cast<double>(Trunc(Now())); }

void SetClock(ClockFunction clock) { clockFunction() = std::move(clock); }

void Sleep(unsigned milliseconds)
{
    if (const SleepFunction& fn = sleepFunction())
        fn(milliseconds);
    else
        QThread::msleep(milliseconds);
}

void SetSleepFunction(SleepFunction fn) { sleepFunction() = std::move(fn); }
