#include "assets/untVuploraTypes.h"

#include "assets/AsciiCase.h"

#include <algorithm>

bool FaceItemTypeFromName(const QString &name, TYPE_FACE_ITEM &type)
{
    const QByteArray utf8 = name.toUtf8();
    for (int i = 0; i < FACE_ITEM_TYPE_COUNT; ++i) {
        if (EqualIgnoringAsciiCase(utf8, FACE_ITEM_NAMES[i])) {
            type = TYPE_FACE_ITEM(i);
            return true;
        }
    }
    return false;
}

QByteArray ToMemberName(const QString &name)
{
    return name.toLatin1().left(FACE_ITEM_MAX_NAME);
}

QString FromMemberName(const QByteArray &name)
{
    return QString::fromLatin1(name);
}

const std::vector<TYPE_FACE_ITEM> &RandomPicks()
{
    static const std::vector<TYPE_FACE_ITEM> picks = [] {
        std::vector<TYPE_FACE_ITEM> types;
        for (int t = 0; t < FACE_ITEM_TYPE_COUNT; ++t)
            if (CATEGORY_RULES[size_t(t)].Roll != TRandomRoll::Never)
                types.push_back(TYPE_FACE_ITEM(t));
        std::sort(types.begin(), types.end(),
                  [](TYPE_FACE_ITEM a, TYPE_FACE_ITEM b) { return CATEGORY_RULES[a].Pick < CATEGORY_RULES[b].Pick; });
        return types;
    }();
    return picks;
}
