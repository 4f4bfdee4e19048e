#include "ChartAxis.h"

#include "ChartModel.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kLimit = 1e300;
constexpr int kMaxTicks = 1000;
constexpr int kMaxCandidates = 64;
constexpr double kMinute = 1.0 / 1440.0;

// Sub-day steps of a time axis, in days.
constexpr double kTimeSteps[] = {kMinute,           2 * kMinute,       5 * kMinute,       10 * kMinute,
                                 15 * kMinute,      30 * kMinute,      1.0 / 24,          2.0 / 24,
                                 3.0 / 24,          6.0 / 24,          12.0 / 24};

// The smallest 1, 2, 5 x 10^n that is not below x.
double niceAtLeast(double x)
{
    if (!(x > 0))
        return 0;
    const double base = std::pow(10.0, std::floor(std::log10(x)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * base >= x * (1 - 1e-12))
            return m * base;
    return 10 * base;
}

// The smallest step of the axis' kind that is not below x.
double candidateAtLeast(double x, bool dateTime)
{
    if (!dateTime)
        return niceAtLeast(x);
    for (double s : kTimeSteps)
        if (s >= x * (1 - 1e-12))
            return s;
    return std::max(1.0, niceAtLeast(x));
}

bool isFinite(double v) { return std::isfinite(v); }

// Multiples of step inside the range; false when there would be too many.
bool ticksFor(TAxisRange range, double step, std::vector<double>& values)
{
    values.clear();
    const double first = std::ceil(range.Min / step - 1e-9);
    const double last = std::floor(range.Max / step + 1e-9);
    if (!isFinite(first) || !isFinite(last) || last - first + 1 > kMaxTicks)
        return false;
    for (double k = first; k <= last; k += 1) {
        double v = k * step;
        if (std::fabs(v) < step * 1e-9)
            v = 0;
        // Far from zero a step can vanish in the rounding.
        if (values.empty() || v > values.back())
            values.push_back(v);
    }
    return true;
}

bool labelsFit(const TAxisTicks& ticks, double pixelsPerUnit, bool vertical, const TTextMeasure& measure)
{
    const double distance = ticks.Step * pixelsPerUnit;
    const int gap = LabelGap(measure, vertical);
    if (vertical)
        return ticks.Values.size() < 2 || distance >= measure.Height + gap;
    // One pixel more for rounding the label positions.
    for (qsizetype i = 1; i < ticks.Texts.size(); ++i) {
        const double half = (measure.Width(ticks.Texts[i - 1]) + measure.Width(ticks.Texts[i])) / 2.0;
        if (half + gap + 1 > distance)
            return false;
    }
    return true;
}

} // namespace

void TChartPart::Changed() const
{
    if (m_owner)
        m_owner->Changed();
}

void TChartAxis::SetAutomatic(bool value) { Assign(m_automatic, value); }

void TChartAxis::SetMinMax(double minimum, double maximum)
{
    if (!isFinite(minimum) || !isFinite(maximum))
        return;
    m_minimum = minimum;
    m_maximum = maximum;
    m_automatic = false;
    Changed();
}

void TChartAxis::SetMinimum(double value) { SetMinMax(value, m_maximum); }

void TChartAxis::SetMaximum(double value) { SetMinMax(m_minimum, value); }

void TChartAxis::SetIncrement(double value)
{
    m_increment = isFinite(value) && value > 0 ? value : 0;
    Changed();
}

void TChartAxis::SetStartPosition(double percent)
{
    if (!isFinite(percent))
        return;
    m_start = std::clamp(percent, 0.0, 100.0);
    Changed();
}

void TChartAxis::SetEndPosition(double percent)
{
    if (!isFinite(percent))
        return;
    m_end = std::clamp(percent, 0.0, 100.0);
    Changed();
}

void TChartAxis::SetLabelsFont(const TFontDesc& font) { Assign(m_labelsFont, font); }

void TChartAxis::SetAxisColor(TColor color) { Assign(m_axisColor, color); }

void TChartAxis::SetDateTime(bool value) { Assign(m_dateTime, value); }

void TChartAxis::SetDateTimeFormat(const QString& format) { Assign(m_dateTimeFormat, format); }

TAxisRange WidenedRange(double lo, double hi, bool dateTime)
{
    if (std::isnan(lo))
        lo = std::isnan(hi) ? 0 : hi;
    if (std::isnan(hi))
        hi = lo;
    lo = std::clamp(lo, -kLimit, kLimit);
    hi = std::clamp(hi, -kLimit, kLimit);
    if (lo > hi)
        std::swap(lo, hi);
    if (hi - lo <= std::max(std::fabs(lo), std::fabs(hi)) * 1e-12) {
        const double half = dateTime ? 1.0 / 24 : std::max(1.0, std::fabs(lo) * 1e-6);
        // Times before day 0 are labelled with their distance from it, so a
        // time axis reaching below 0 would read backwards there (an empty
        // chart's 0 most of all): it starts at its value instead.
        if (dateTime && lo >= 0 && lo < half) {
            hi = lo + 2 * half;
        } else {
            lo -= half;
            hi += half;
        }
    }
    return {lo, hi};
}

QString TickText(const TChartAxis& axis, double value, double step)
{
    if (axis.DateTime())
        return FormatDateTime(axis.DateTimeFormat(), value);
    if (std::fabs(value) >= 1e15 || step >= 1e15)
        return FloatToStr(value);
    int decimals = 0;
    if (step > 0 && step < 1)
        decimals = std::clamp(static_cast<int>(std::ceil(-std::log10(step) - 1e-9)), 0, 15);
    return Format(QStringLiteral("%.") + IntToStr(decimals) + QStringLiteral("f"), {value});
}

int LabelGap(const TTextMeasure& measure, bool vertical)
{
    return vertical ? std::max(2, measure.Height / 2) : std::max(4, measure.Height * 3 / 4);
}

TAxisTicks ComputeTicks(const TChartAxis& axis, TAxisRange range, double pixelsPerUnit, bool vertical,
                        const TTextMeasure& measure)
{
    TAxisTicks ticks;
    if (!(pixelsPerUnit > 0) || !isFinite(pixelsPerUnit) || !(range.Max > range.Min))
        return ticks;
    const int least = vertical ? measure.Height : measure.Width(QStringLiteral("0"));
    double step = candidateAtLeast(std::max(axis.Increment(), (least + LabelGap(measure, vertical)) / pixelsPerUnit),
                                   axis.DateTime());
    for (int i = 0; i < kMaxCandidates && step > 0 && isFinite(step); ++i) {
        ticks.Step = step;
        if (ticksFor(range, step, ticks.Values)) {
            ticks.Texts.clear();
            for (double v : ticks.Values)
                ticks.Texts << TickText(axis, v, step);
            if (labelsFit(ticks, pixelsPerUnit, vertical, measure))
                return ticks;
        }
        step = candidateAtLeast(step * (1 + 1e-9), axis.DateTime());
    }
    return TAxisTicks{};
}
