#include "svg/model/path/path_parser.h"

#include "svg/model/path/path_arc.h"
#include "svg/model/path/path_data.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>

// One pass over the text with index arithmetic. The path-data grammar is read the way
// the engine always has (implicit repetition, commands continuing after errors, the
// stop on a pass that does not advance), with the SVG grammar's number forms ("+"
// signs, signed exponents) and compact arc flags accepted. A smooth curve reflects a
// control point only right after a curve of its own family (S/s after C/c/S/s, T/t after
// Q/q/T/t); after anything else its first control point is the current point, as SVG
// draws it: reflecting whatever point came before puts spikes into real drawings.
//
// A failing command (a number that is missing, unreadable or too large for a single,
// or a result that overflows) appends nothing more; the parse goes on after it.

namespace {

constexpr double Pow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                            1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                            1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

template <typename Ch>
constexpr bool IsDigit(Ch c)
{
    return c >= '0' && c <= '9';
}

template <typename Ch>
constexpr bool IsSpace(Ch c)
{
    // Tabs and line breaks count as spaces; other control characters end the data.
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

template <typename Ch>
constexpr bool IsCommand(Ch c)
{
    switch (c) {
    case 'z': case 'm': case 'l': case 'c': case 'h': case 'v': case 's': case 'q': case 't':
    case 'a': case 'Z': case 'M': case 'L': case 'C': case 'H': case 'V': case 'S': case 'Q':
    case 'T': case 'A':
        return true;
    default:
        return false;
    }
}

bool Finite(TPointF p)
{
    return std::isfinite(p.X) && std::isfinite(p.Y);
}

// Converts the text of one number ([+-]digits[.digits][(e|E)[+-]digits], with digits
// on at least one side of the point) to a single. False for anything else and for a
// value beyond the single-precision range; values too small for it become zero.
template <typename Ch>
bool ConvertNumber(const Ch *b, const Ch *e, float &out)
{
    const Ch *i = b;
    bool negative = false;
    if (i != e && (*i == '+' || *i == '-'))
        negative = *i++ == '-';
    std::uint64_t mantissa = 0;
    int kept = 0;       // significant digits held in mantissa
    int exponent = 0;   // decimal exponent applied to mantissa
    bool dropped = false, digits = false;
    auto digit = [&](int d, bool fraction) {
        digits = true;
        if (mantissa == 0 && d == 0) {
            if (fraction)
                --exponent;
            return;
        }
        if (kept < 19) {
            mantissa = mantissa * 10 + std::uint64_t(d);
            ++kept;
            if (fraction)
                --exponent;
        } else {
            dropped |= d != 0;
            if (!fraction)
                ++exponent;
        }
    };
    while (i != e && IsDigit(*i))
        digit(int(*i++ - '0'), false);
    if (i != e && *i == '.') {
        ++i;
        while (i != e && IsDigit(*i))
            digit(int(*i++ - '0'), true);
    }
    if (!digits)
        return false;
    if (i != e && (*i == 'e' || *i == 'E')) {
        ++i;
        bool negExp = false;
        if (i != e && (*i == '+' || *i == '-'))
            negExp = *i++ == '-';
        if (i == e || !IsDigit(*i))
            return false;
        int value = 0;
        for (; i != e && IsDigit(*i); ++i)
            value = value < 100000 ? value * 10 + int(*i - '0') : value;
        exponent += negExp ? -value : value;
    }
    if (i != e)
        return false;

    double v;
    if (mantissa == 0) {
        v = 0;
    } else if (!dropped && mantissa <= (std::uint64_t(1) << 53) && exponent >= -22 &&
               exponent <= 22) {
        // Both operands are exact doubles, so one operation rounds correctly.
        v = exponent < 0 ? double(mantissa) / Pow10[-exponent]
                         : double(mantissa) * Pow10[exponent];
    } else {
        std::string text;
        text.reserve(size_t(e - b));
        for (const Ch *k = b; k != e; ++k) {
            if (k != b || *k != '+')
                text.push_back(char(*k));
        }
        const auto res = std::from_chars(text.data(), text.data() + text.size(), v);
        if (res.ec == std::errc::result_out_of_range) {
            // Magnitude of the leading digit decides between overflow and underflow.
            if (kept + exponent > 0)
                return false;
            v = 0;
        } else if (res.ec != std::errc() || res.ptr != text.data() + text.size()) {
            return false;
        }
        v = std::abs(v);
    }
    if (negative)
        v = -v;
    if (std::abs(v) > double(std::numeric_limits<float>::max()))
        return false;
    out = float(v);
    return true;
}

template <typename Ch>
class TPathScanner {
public:
    TPathScanner(TPathData &Path, const Ch *Text, size_t Length)
        : FPath(Path), FText(Text), FLength(Length)
    {
    }

    void Run()
    {
        FPath.Clear();
        size_t passStart = std::numeric_limits<size_t>::max();
        Ch current = 0;
        while (FPos < FLength && FPos != passStart) {
            passStart = FPos;
            SkipSpaces();
            const size_t letters = FPos;
            while (FPos < FLength && IsCommand(FText[FPos]))
                ++FPos;
            const size_t lettersEnd = FPos;
            if (lettersEnd > letters) {
                // Each letter reads its arguments from after the last letter.
                for (size_t k = letters; k < lettersEnd; ++k) {
                    current = FText[k];
                    Execute(current);
                }
            } else if (FPos < FLength && current != 0) {
                // Further coordinates after a move are lines.
                if (current == 'M')
                    current = 'L';
                else if (current == 'm')
                    current = 'l';
                Execute(current);
            }
        }
    }

private:
    struct TSpan {
        size_t Begin, End;
    };

    void SkipSpaces()
    {
        while (FPos < FLength && IsSpace(FText[FPos]))
            ++FPos;
    }

    void SkipSeparators()
    {
        while (FPos < FLength && (IsSpace(FText[FPos]) || FText[FPos] == ','))
            ++FPos;
    }

    void SkipSpacesAndOneComma()
    {
        SkipSpaces();
        if (FPos < FLength && FText[FPos] == ',') {
            ++FPos;
            SkipSpaces();
        }
    }

    // Collects the text of one number; a sign starts it or follows an exponent mark,
    // anywhere else it starts the next number (sign-separated lists: "1.5-2").
    TSpan ScanNumber()
    {
        SkipSpacesAndOneComma();
        const size_t begin = FPos;
        bool point = false;
        while (FPos < FLength) {
            const Ch c = FText[FPos];
            if (IsDigit(c) || c == 'e' || c == 'E') {
                ++FPos;
            } else if (c == '-' || c == '+') {
                if (FPos > begin && FText[FPos - 1] != 'e' && FText[FPos - 1] != 'E')
                    break;
                ++FPos;
            } else if (c == '.' && !point) {
                point = true;
                ++FPos;
            } else {
                break;
            }
        }
        const TSpan span{begin, FPos};
        SkipSpacesAndOneComma();
        return span;
    }

    bool Convert(TSpan s, float &out) const
    {
        return ConvertNumber(FText + s.Begin, FText + s.End, out);
    }

    bool ReadNumber(float &out)
    {
        return Convert(ScanNumber(), out);
    }

    bool ReadPoint(TPointF &out)
    {
        if (FPos >= FLength) {
            out = TPointF();
            return true;
        }
        SkipSeparators();
        const TSpan x = ScanNumber();
        SkipSeparators();
        const TSpan y = ScanNumber();
        SkipSeparators();
        return Convert(x, out.X) && Convert(y, out.Y);
    }

    // An arc flag is a single "0" or "1" and needs no separator after it ("0110 10");
    // anything else is read as a number that means true when it equals 1.
    bool ReadFlag(bool &out)
    {
        SkipSeparators();
        if (FPos < FLength && (FText[FPos] == '0' || FText[FPos] == '1')) {
            out = FText[FPos++] == '1';
            SkipSeparators();
            return true;
        }
        float v;
        if (!ReadNumber(v))
            return false;
        out = v == 1;
        return true;
    }

    bool MoreSets() const
    {
        if (FPos >= FLength)
            return false;
        const Ch c = FText[FPos];
        return IsDigit(c) || c == '-' || c == '+';
    }

    TPointF Current() const { return FPath.LastPoint(); }

    // The first control point of a smooth cubic right after a cubic: the reflection of
    // that cubic's second control point, the point before the current one.
    TPointF SmoothControl() const
    {
        const int n = FPath.Count();
        if (n <= 2)
            return Current();
        return Current() * 2 - FPath.Points()[size_t(n - 2)].Point;
    }

    bool Line(TPointF p)
    {
        if (!Finite(p))
            return false;
        FPath.LineTo(p);
        return true;
    }

    bool Curve(TPointF c1, TPointF c2, TPointF e)
    {
        if (!Finite(c1) || !Finite(c2) || !Finite(e))
            return false;
        FPath.CurveTo(c1, c2, e);
        return true;
    }

    // A quadratic curve from the current point as the cubic of the same shape.
    bool Quadratic(TPointF q, TPointF e)
    {
        const TPointF p0 = Current();
        constexpr double k = 2.0 / 3.0;
        const TPointF c1(float(p0.X + k * (double(q.X) - p0.X)),
                         float(p0.Y + k * (double(q.Y) - p0.Y)));
        const TPointF c2(float(e.X + k * (double(q.X) - e.X)),
                         float(e.Y + k * (double(q.Y) - e.Y)));
        if (!Finite(q))
            return false;
        FLastQuadratic = q;
        return Curve(c1, c2, e);
    }

    void Execute(Ch command)
    {
        // The family of the curve this command follows; each curve drawn sets it again.
        const char previous = std::exchange(FPrevious, 0);
        switch (command) {
        case 'M': case 'm': {
            const bool rel = command == 'm';
            TPointF p;
            if (!ReadPoint(p))
                return;
            if (rel)
                p = Current() + p;
            if (!Finite(p))
                return;
            FPath.MoveTo(p);
            while (MoreSets()) {
                if (!ReadPoint(p) || !Line(rel ? Current() + p : p))
                    return;
            }
            return;
        }
        case 'L': case 'l': {
            const bool rel = command == 'l';
            do {
                TPointF p;
                if (!ReadPoint(p) || !Line(rel ? Current() + p : p))
                    return;
            } while (MoreSets());
            return;
        }
        case 'H': case 'h': {
            float x;
            if (ReadNumber(x))
                Line({command == 'h' ? Current().X + x : x, Current().Y});
            return;
        }
        case 'V': case 'v': {
            float y;
            if (ReadNumber(y))
                Line({Current().X, command == 'v' ? Current().Y + y : y});
            return;
        }
        case 'C': case 'c': {
            do {
                TPointF c1, c2, e;
                if (!ReadPoint(c1) || !ReadPoint(c2) || !ReadPoint(e))
                    return;
                if (command == 'c') {
                    const TPointF p0 = Current();
                    c1 = p0 + c1;
                    c2 = p0 + c2;
                    e = p0 + e;
                }
                if (!Curve(c1, c2, e))
                    return;
                FPrevious = 'C';
            } while (MoreSets());
            return;
        }
        case 'S': case 's': {
            bool reflect = previous == 'C';
            do {
                TPointF c2, e;
                if (!ReadPoint(c2) || !ReadPoint(e))
                    return;
                if (command == 's') {
                    const TPointF p0 = Current();
                    c2 = p0 + c2;
                    e = p0 + e;
                }
                if (!Curve(reflect ? SmoothControl() : Current(), c2, e))
                    return;
                FPrevious = 'C';
                reflect = true;
            } while (MoreSets());
            return;
        }
        case 'Q': case 'q': {
            do {
                TPointF q, e;
                if (!ReadPoint(q) || !ReadPoint(e))
                    return;
                if (command == 'q') {
                    const TPointF p0 = Current();
                    q = p0 + q;
                    e = p0 + e;
                }
                if (!Quadratic(q, e))
                    return;
                FPrevious = 'Q';
            } while (MoreSets());
            return;
        }
        case 'T': case 't': {
            bool reflect = previous == 'Q';
            do {
                TPointF e;
                if (!ReadPoint(e))
                    return;
                const TPointF p0 = Current();
                if (command == 't')
                    e = p0 + e;
                const TPointF q = reflect ? p0 * 2 - FLastQuadratic : p0;
                if (!Quadratic(q, e))
                    return;
                FPrevious = 'Q';
                reflect = true;
            } while (MoreSets());
            return;
        }
        case 'A': case 'a': {
            TPointF radii, e;
            float rotation;
            bool large = false, sweep = false;
            if (!ReadPoint(radii) || !ReadNumber(rotation))
                return;
            if (FPos < FLength) {
                if (!ReadFlag(large) || !ReadFlag(sweep))
                    return;
            }
            if (!ReadPoint(e))
                return;
            if (command == 'a')
                e = Current() + e;
            if (Finite(e))
                AddSVGArc(FPath, radii, rotation, large, sweep, e);
            return;
        }
        case 'Z': case 'z':
            FPath.ClosePath();
            return;
        default:
            return;
        }
    }

    TPathData &FPath;
    const Ch *FText;
    size_t FLength;
    size_t FPos = 0;
    TPointF FLastQuadratic;
    char FPrevious = 0;  // 'C' after a cubic (C, S), 'Q' after a quadratic (Q, T), else 0
};

} // namespace

void ParsePathData(TPathData &Path, QStringView Text)
{
    TPathScanner<char16_t>(Path, Text.utf16(), size_t(Text.size())).Run();
}

void ParsePathData(TPathData &Path, std::string_view Text)
{
    TPathScanner<char>(Path, Text.data(), Text.size()).Run();
}
