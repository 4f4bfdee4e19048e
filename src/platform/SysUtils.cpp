#include "SysUtils.h"

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
constexpr long long kMsPerDay = 86400000;
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

// A day at a whole millisecond. The date is the integral part (towards
// zero), the time the absolute fraction, so -1.25 is 29.12.1899 06:00.
struct DayAndMs {
    long long day = 0;
    long long ms = 0;
    bool valid = false;
};

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

// --- Decimal digits of a double -------------------------------------------

// value = 0 when digits is empty, else d0.d1d2... * 10^exp.
struct Decimal {
    bool negative = false;
    std::string digits;
    int exp = 0;
};

void stripTrailingZeros(Decimal& d)
{
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
}

// The 18 significant digits the conversions work from.
Decimal toDecimal(double value)
{
    Decimal d;
    d.negative = std::signbit(value);
    if (value == 0)
        return d;
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 17);
    const std::string text(buf, res.ptr);
    const auto e = text.find('e');
    d.digits = text.substr(0, 1) + text.substr(2, e - 2);
    d.exp = std::atoi(text.c_str() + e + 1);
    stripTrailingZeros(d);
    return d;
}

// Keeps `keep` significant digits, halves away from zero.
void roundDigits(Decimal& d, int keep)
{
    if (d.digits.empty() || keep >= static_cast<int>(d.digits.size()))
        return;
    if (keep < 0) {
        d.digits.clear();
        return;
    }
    const bool up = d.digits[keep] >= '5';
    d.digits.resize(keep);
    if (up) {
        int k = keep - 1;
        while (k >= 0 && d.digits[k] == '9') {
            d.digits[k] = '0';
            --k;
        }
        if (k < 0) {
            d.digits.insert(d.digits.begin(), '1');
            d.exp += 1;
        } else {
            ++d.digits[k];
        }
    }
    stripTrailingZeros(d);
}

QString nonFinite(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

char digitAt(const Decimal& d, int index)
{
    return index >= 0 && index < static_cast<int>(d.digits.size()) ? d.digits[index] : '0';
}

QString formatFixed(double value, int decimals)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    Decimal d = toDecimal(value);
    roundDigits(d, d.exp + 1 + decimals);
    std::string out;
    // A value that rounds to zero shows no sign.
    if (d.negative && !d.digits.empty())
        out += '-';
    if (d.digits.empty() || d.exp < 0) {
        out += '0';
    } else {
        for (int i = 0; i <= d.exp; ++i)
            out += digitAt(d, i);
    }
    QString result = QString::fromLatin1(out);
    if (decimals > 0) {
        result += formatSettings().DecimalSeparator;
        std::string frac;
        for (int i = 1; i <= decimals; ++i)
            frac += d.digits.empty() ? '0' : digitAt(d, d.exp + i);
        result += QString::fromLatin1(frac);
    }
    return result;
}

// "d,ddd" with `digits` significant digits and an exponent "E+ddd".
QString formatExponent(double value, int digits)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    Decimal d = toDecimal(value);
    roundDigits(d, digits);
    QString result;
    if (d.negative && !d.digits.empty())
        result += u'-';
    result += QChar::fromLatin1(digitAt(d, 0));
    if (digits > 1) {
        result += formatSettings().DecimalSeparator;
        for (int i = 1; i < digits; ++i)
            result += QChar::fromLatin1(digitAt(d, i));
    }
    const int exp = d.digits.empty() ? 0 : d.exp;
    result += exp < 0 ? QStringLiteral("E-") : QStringLiteral("E+");
    result += QString::number(std::abs(exp)).rightJustified(3, u'0');
    return result;
}

// Shortest of fixed and exponent form with `precision` significant digits.
QString formatGeneral(double value, int precision)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    Decimal d = toDecimal(value);
    roundDigits(d, precision);
    if (d.digits.empty())
        return QStringLiteral("0");
    const QChar sep = formatSettings().DecimalSeparator;
    const int n = static_cast<int>(d.digits.size());
    // Position of the decimal point counted from the first digit.
    const int point = d.exp + 1;
    QString result;
    if (d.negative)
        result += u'-';
    if (point > precision || point < -3) {
        result += QChar::fromLatin1(d.digits[0]);
        if (n > 1) {
            result += sep;
            result += QString::fromLatin1(d.digits.substr(1));
        }
        result += u'E';
        if (d.exp < 0)
            result += u'-';
        result += QString::number(std::abs(d.exp));
        return result;
    }
    if (point <= 0) {
        result += u'0';
        result += sep;
        result += QString(-point, u'0');
        result += QString::fromLatin1(d.digits);
        return result;
    }
    for (int i = 0; i < point; ++i)
        result += QChar::fromLatin1(digitAt(d, i));
    if (n > point) {
        result += sep;
        result += QString::fromLatin1(d.digits.substr(point));
    }
    return result;
}

// --- Format ---------------------------------------------------------------

[[noreturn]] void formatError(const QString& fmt)
{
    throw EConvertError(QStringLiteral("Format '%1' ungültig oder nicht kompatibel mit Argument").arg(fmt));
}

QString padded(const QString& text, int width, bool left)
{
    if (text.size() >= width)
        return text;
    return left ? text.leftJustified(width, u' ') : text.rightJustified(width, u' ');
}

// Minus sign ahead of the zero padding: "%.3d" of -5 is "-005".
QString integerDigits(long long value, int precision)
{
    const bool negative = value < 0;
    const unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(value)
                                                  : static_cast<unsigned long long>(value);
    QString digits = QString::number(magnitude);
    if (precision > digits.size())
        digits = digits.rightJustified(precision, u'0');
    return negative ? u'-' + digits : digits;
}

// Negative numbers print as their 32-bit pattern where they fit, as an
// Integer argument would.
unsigned long long unsignedPattern(long long value)
{
    if (value < 0 && value >= INT_MIN)
        return static_cast<unsigned int>(static_cast<int>(value));
    return static_cast<unsigned long long>(value);
}

double numberArg(const FormatArg& arg, const QString& fmt)
{
    if (const auto* d = std::get_if<double>(&arg.value()))
        return *d;
    if (const auto* i = std::get_if<long long>(&arg.value()))
        return static_cast<double>(*i);
    formatError(fmt);
}

long long integerArg(const FormatArg& arg, const QString& fmt)
{
    if (const auto* i = std::get_if<long long>(&arg.value()))
        return *i;
    formatError(fmt);
}

constexpr int kMaxDigits = 18;

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

// --- Number to text -----------------------------------------------------------

QString FloatToStr(double value) { return formatGeneral(value, 15); }

QString IntToStr(long long value) { return QString::number(value); }

QString Format(const QString& fmt, std::initializer_list<FormatArg> args)
{
    QString out;
    auto next = args.begin();
    const qsizetype n = fmt.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = fmt[i++];
        if (c != u'%') {
            out += c;
            continue;
        }
        if (i < n && fmt[i] == u'%') {
            out += u'%';
            ++i;
            continue;
        }
        bool left = false;
        if (i < n && fmt[i] == u'-') {
            left = true;
            ++i;
        }
        int width = 0;
        while (i < n && isDigit(fmt[i]) && width < 100000)
            width = width * 10 + (fmt[i++].unicode() - u'0');
        int precision = -1;
        if (i < n && fmt[i] == u'.') {
            ++i;
            precision = 0;
            while (i < n && isDigit(fmt[i]) && precision < 100000)
                precision = precision * 10 + (fmt[i++].unicode() - u'0');
        }
        if (i >= n || next == args.end())
            formatError(fmt);
        const char16_t type = fmt[i++].toLower().unicode();
        const FormatArg& arg = *next++;
        QString text;
        switch (type) {
        case u'd':
            text = integerDigits(integerArg(arg, fmt), precision);
            break;
        case u'u': {
            QString digits = QString::number(unsignedPattern(integerArg(arg, fmt)));
            text = precision > digits.size() ? digits.rightJustified(precision, u'0') : digits;
            break;
        }
        case u'x': {
            QString digits = QString::number(unsignedPattern(integerArg(arg, fmt)), 16).toUpper();
            text = precision > digits.size() ? digits.rightJustified(precision, u'0') : digits;
            break;
        }
        case u's': {
            const auto* str = std::get_if<QString>(&arg.value());
            if (!str)
                formatError(fmt);
            text = precision >= 0 ? str->left(precision) : *str;
            break;
        }
        case u'f':
            text = formatFixed(numberArg(arg, fmt), precision < 0 ? 2 : std::min(precision, kMaxDigits));
            break;
        case u'e':
            text = formatExponent(numberArg(arg, fmt), precision < 0 ? 15 : std::clamp(precision, 1, kMaxDigits));
            break;
        case u'g':
            text = formatGeneral(numberArg(arg, fmt), precision < 0 ? 15 : std::clamp(precision, 1, kMaxDigits));
            break;
        default:
            formatError(fmt);
        }
        out += padded(text, width, left);
    }
    return out;
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
