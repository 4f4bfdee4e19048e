// Numbers to text as the runtime writes them: FloatToStr, IntToStr, Format.
#include "NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

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
