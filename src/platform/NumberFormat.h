#pragma once

#include "Exceptions.h"
#include "FormatSettings.h"

#include <QString>
#include <initializer_list>
#include <variant>

// --- Number to text -------------------------------------------------------
// 15 significant digits, regional separator, exponent form like "1E-5".
QString FloatToStr(double value);
QString IntToStr(long long value);

// printf-like with the runtime's rules: %s %d %u %x %f %e %g, flags '-',
// width and precision ("%.3d" pads to three digits, "%.2f" rounds decimal
// halves away from zero, regional decimal separator, no grouping).
// Mismatched arguments raise EConvertError.
class FormatArg {
public:
    FormatArg(int v) : m_value(static_cast<long long>(v)) {}
    FormatArg(unsigned v) : m_value(static_cast<long long>(v)) {}
    FormatArg(long v) : m_value(static_cast<long long>(v)) {}
    FormatArg(long long v) : m_value(v) {}
    FormatArg(unsigned long v) : m_value(static_cast<long long>(v)) {}
    FormatArg(double v) : m_value(v) {}
    FormatArg(const QString& v) : m_value(v) {}
    FormatArg(const char* v) : m_value(QString::fromUtf8(v)) {}
    const std::variant<long long, double, QString>& value() const { return m_value; }

private:
    std::variant<long long, double, QString> m_value;
};
QString Format(const QString& fmt, std::initializer_list<FormatArg> args);
