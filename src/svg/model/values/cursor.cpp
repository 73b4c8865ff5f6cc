#include "svg/model/values/cursor.h"

#include "svg/model/values/inherit.h"
#include "svg/model/values/lists.h"

namespace {

const struct {
    const char *Name;
    Qt::CursorShape Shape;
} CursorKeywords[] = {
    {"auto", Qt::ArrowCursor},         {"crosshair", Qt::CrossCursor},
    {"default", Qt::ArrowCursor},      {"pointer", Qt::PointingHandCursor},
    {"move", Qt::DragMoveCursor},      {"e-resize", Qt::SizeHorCursor},
    {"ne-resize", Qt::SizeBDiagCursor}, {"nw-resize", Qt::SizeFDiagCursor},
    {"n-resize", Qt::SizeVerCursor},   {"se-resize", Qt::SizeFDiagCursor},
    {"sw-resize", Qt::SizeBDiagCursor}, {"s-resize", Qt::SizeVerCursor},
    {"w-resize", Qt::SizeHorCursor},   {"text", Qt::IBeamCursor},
    {"wait", Qt::WaitCursor},          {"help", Qt::WhatsThisCursor},
};

} // namespace

Qt::CursorShape ParseCursor(const QString &text, Qt::CursorShape defaultCursor, bool &inherited)
{
    QString t;
    if (!SVGInheritStep(text, inherited, t))
        return defaultCursor;
    // url("...") lists end with the keyword to use when no image cursor can be loaded.
    if (t.startsWith(QLatin1String("url(\""))) {
        const QStringList items = SplitList(t, QStringLiteral(","));
        t = items.isEmpty() ? QString() : items.last();
    }
    for (const auto &k : CursorKeywords) {
        if (t == QLatin1String(k.Name))
            return k.Shape;
    }
    return Qt::BlankCursor;
}

QString SVGCursorKeyword(Qt::CursorShape cursor)
{
    for (const auto &k : CursorKeywords) {
        if (k.Shape == cursor)
            return QLatin1String(k.Name);
    }
    return QString();
}
