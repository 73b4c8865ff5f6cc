#include "svg/model/values/numbers.h"

#include "errors/errors.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Decimal magnitude of a syntactically valid number (roughly log10 of its value), used
// only to tell an underflow from an overflow when the conversion reports a range error.
long long Magnitude(const std::string &s)
{
    size_t i = 0;
    if (i < s.size() && s[i] == '-')
        ++i;
    long long intDigits = 0, leadingFractionZeros = 0;
    bool seenNonZero = false;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        if (s[i] != '0')
            seenNonZero = true;
        if (seenNonZero)
            ++intDigits;
    }
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
            if (seenNonZero)
                continue;
            if (s[i] == '0')
                ++leadingFractionZeros;
            else
                seenNonZero = true;
        }
    }
    long long exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool negative = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            negative = s[i++] == '-';
        for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
            exponent = std::min<long long>(exponent * 10 + (s[i] - '0'), 100000000);
        if (negative)
            exponent = -exponent;
    }
    return (intDigits > 0 ? intDigits : -leadingFractionZeros) + exponent;
}

} // namespace

bool TrySVGStrToFloat(QStringView text, double &value)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin].isSpace())
        ++begin;
    while (end > begin && text[end - 1].isSpace())
        --end;

    // Validate the grammar ourselves: std::from_chars also takes "inf", "nan" and
    // hexadecimal forms, which are not SVG numbers.
    std::string ascii;
    ascii.reserve(size_t(end - begin));
    qsizetype i = begin;
    if (i < end && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        if (text[i] == QLatin1Char('-'))
            ascii.push_back('-');
        ++i;
    }
    int mantissaDigits = 0;
    for (; i < end && IsDigit(text[i]); ++i, ++mantissaDigits)
        ascii.push_back(char(text[i].unicode()));
    if (i < end && text[i] == QLatin1Char('.')) {
        ascii.push_back('.');
        for (++i; i < end && IsDigit(text[i]); ++i, ++mantissaDigits)
            ascii.push_back(char(text[i].unicode()));
    }
    if (mantissaDigits == 0)
        return false;
    if (i < end && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        ascii.push_back('e');
        ++i;
        if (i < end && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
            ascii.push_back(char(text[i++].unicode()));
        int exponentDigits = 0;
        for (; i < end && IsDigit(text[i]); ++i, ++exponentDigits)
            ascii.push_back(char(text[i].unicode()));
        if (exponentDigits == 0)
            return false;
    }
    if (i != end)
        return false;

    double result = 0;
    const auto [ptr, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), result);
    if (ec == std::errc::result_out_of_range) {
        if (Magnitude(ascii) >= 0)
            return false; // too large for a double
        result = ascii[0] == '-' ? -0.0 : 0.0;
    } else if (ec != std::errc() || ptr != ascii.data() + ascii.size()) {
        return false;
    }
    value = result;
    return true;
}

double SVGStrToFloat(QStringView text)
{
    double value = 0;
    if (!TrySVGStrToFloat(text, value))
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value")
                                .arg(text.toString()));
    return value;
}

float SVGToSingle(double value)
{
    constexpr double maxSingle = std::numeric_limits<float>::max();
    if (value > maxSingle)
        return std::numeric_limits<float>::max();
    if (value < -maxSingle)
        return -std::numeric_limits<float>::max();
    return float(value);
}

quint32 SVGHexToUInt32(QStringView text)
{
    const auto fail = [&]() -> quint32 {
        throw EConvertError(
            QStringLiteral("'%1' is not a valid integer value").arg(text.toString()));
    };
    if (text.isEmpty())
        return fail();
    quint64 value = 0;
    for (QChar c : text) {
        int digit;
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'9')
            digit = u - u'0';
        else if (u >= u'a' && u <= u'f')
            digit = u - u'a' + 10;
        else if (u >= u'A' && u <= u'F')
            digit = u - u'A' + 10;
        else
            return fail();
        value = value * 16 + quint64(digit);
        if (value > 0xFFFFFFFFull)
            return fail();
    }
    return quint32(value);
}
