#include "assets/untVuploraTypes.h"

#include "assets/AsciiCase.h"

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
