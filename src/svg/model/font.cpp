#include "svg/model/font.h"

#include "svg/model/inherit.h"
#include "svg/model/numbers.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>

namespace {

const struct {
    const char *Name;
    float Size;
} FontSizeKeywords[] = {{"xx-small", 6.9444f}, {"x-small", 8.3333f}, {"small", 10.0f},
                        {"medium", 12.0f},     {"large", 14.4f},     {"x-large", 17.28f},
                        {"xx-large", 20.736f}};

const struct {
    const char *Name;
    QFont::StyleHint Hint;
} GenericFamilies[] = {{"serif", QFont::Serif},
                       {"sans-serif", QFont::SansSerif},
                       {"monospace", QFont::Monospace},
                       {"cursive", QFont::Cursive},
                       {"fantasy", QFont::Fantasy}};

// Splits a CSS family list at the commas outside quotes.
QStringList FamilyItems(const QString &text, QList<bool> &quoted)
{
    QStringList items;
    QString current;
    QChar quote;
    bool wasQuoted = false;
    const auto finish = [&] {
        QString item = wasQuoted ? current : current.simplified();
        if (!item.isEmpty()) {
            items.append(item);
            quoted.append(wasQuoted);
        }
        current.clear();
        wasQuoted = false;
    };
    for (QChar c : text) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                current.append(c);
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            wasQuoted = true;
            current = current.trimmed(); // text before the quote is white space only
        } else if (c == QLatin1Char(',')) {
            finish();
        } else if (!(wasQuoted && c.isSpace())) {
            current.append(c);
        }
    }
    finish();
    return items;
}

} // namespace

float ParseFontSize(const QString &text, bool &inherited, const TSVGUnitFactors &factors,
                    float parentSize, float defaultSize)
{
    QString t;
    if (!SVGInheritStep(text, inherited, t))
        return defaultSize;
    TSVGUnit unit = suNone;
    const QStringView word = SVGSplitUnit(t, unit).trimmed();
    double value = 0;
    if (unit == suPercent) {
        // A percentage is a share of the parent's size, as for every CSS font size.
        if (!TrySVGStrToFloat(word, value))
            return defaultSize;
        return SVGToSingle(double(parentSize) * value / 100.0);
    }
    bool found = false;
    for (const auto &k : FontSizeKeywords) {
        if (word == QLatin1String(k.Name)) {
            value = k.Size;
            found = true;
            break;
        }
    }
    if (!found) {
        if (word == QLatin1String("larger"))
            value = parentSize * 1.2f;
        else if (word == QLatin1String("smaller"))
            value = parentSize / 1.2f;
        else if (!TrySVGStrToFloat(word, value))
            return defaultSize;
    }
    return SVGToSingle(value * double(factors[unit]));
}

QString SVGFontSizeKeyword(float size)
{
    for (const auto &k : FontSizeKeywords) {
        if (k.Size == size)
            return QLatin1String(k.Name);
    }
    return QString();
}

QString ParseFontFamily(const QString &text, const QString &defaultFamily, bool &inherited)
{
    QString t;
    if (!SVGInheritStep(text, inherited, t))
        return defaultFamily;
    return t;
}

QStringList SVGFontFamilies(const QString &familyText)
{
    QList<bool> quoted;
    QStringList families = FamilyItems(familyText, quoted);
    // A quoted name is a family that happens to be called "serif", never the generic.
    for (qsizetype i = 0; i < families.size(); ++i) {
        if (!quoted[i])
            families[i] = SVGGenericFontFamily(families[i]);
    }
    return families;
}

QString SVGGenericFontFamily(const QString &generic)
{
    const QString name = generic.trimmed();
    QFont::StyleHint hint = QFont::AnyStyle;
    bool isGeneric = false;
    for (const auto &g : GenericFamilies) {
        if (name.compare(QLatin1String(g.Name), Qt::CaseInsensitive) == 0) {
            hint = g.Hint;
            isGeneric = true;
            break;
        }
    }
    // The font matcher needs the GUI application's font database.
    if (!isGeneric || !qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return generic;

    static QMutex mutex;
    static QHash<QString, QString> resolved;
    const QString key = name.toLower();
    QMutexLocker lock(&mutex);
    const auto it = resolved.constFind(key);
    if (it != resolved.constEnd())
        return it.value();
    const auto match = [](const QString &alias, QFont::StyleHint styleHint) {
        QFont font(alias);
        font.setStyleHint(styleHint);
        return QFontInfo(font).family();
    };
    QString family = match(key, hint);
    // A matcher with no real fantasy or cursive face may offer a symbol font, which
    // would turn the text into pictographs; a plain sans-serif face reads better.
    if (!family.isEmpty()) {
        const auto systems = QFontDatabase::writingSystems(family);
        if (!systems.contains(QFontDatabase::Latin) || systems.contains(QFontDatabase::Symbol))
            family = match(QStringLiteral("sans-serif"), QFont::SansSerif);
    }
    resolved.insert(key, family.isEmpty() ? generic : family);
    return resolved.value(key);
}

bool ParseFontItalic(const QString &text, bool current, bool &inherited)
{
    QString t;
    if (!SVGInheritStep(text, inherited, t))
        return current;
    return t == QLatin1String("italic") || t == QLatin1String("oblique");
}

bool ParseFontBold(const QString &text, bool current, bool &inherited)
{
    QString t;
    if (!SVGInheritStep(text, inherited, t))
        return current;
    static const char *const boldWords[] = {"bold", "bolder", "500", "600", "700", "800", "900"};
    static const char *const regularWords[] = {"normal", "lighter", "100", "200", "300", "400"};
    for (const char *w : boldWords) {
        if (t == QLatin1String(w))
            return true;
    }
    for (const char *w : regularWords) {
        if (t == QLatin1String(w))
            return false;
    }
    return current;
}

void ParseTextDecoration(const QString &text, TSVGFontStyle &style,
                         TExtendedFontStyles &extended, bool &inherited)
{
    QString t;
    if (!SVGInheritStep(text, inherited, t))
        return;
    style.Underline = false;
    style.StrikeOut = false;
    extended = {};
    if (t == QLatin1String("underline"))
        style.Underline = true;
    else if (t == QLatin1String("line-through"))
        style.StrikeOut = true;
    else if (t == QLatin1String("overline"))
        extended = fsOverline;
    else if (t == QLatin1String("blink"))
        extended = fsBlink;
}
