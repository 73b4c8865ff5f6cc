#include "assets/untVuploraTypes.h"

namespace {

bool EqualIgnoringAsciiCase(const QString &text, const char *name)
{
    const auto lower = [](char16_t c) -> char16_t {
        return (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
    };
    qsizetype i = 0;
    for (; name[i] != '\0'; ++i) {
        if (i >= text.size() || lower(text[i].unicode()) != lower(char16_t(name[i])))
            return false;
    }
    return i == text.size();
}

} // namespace

bool FaceItemTypeFromName(const QString &name, TYPE_FACE_ITEM &type)
{
    for (int i = 0; i < FACE_ITEM_TYPE_COUNT; ++i) {
        if (EqualIgnoringAsciiCase(name, FACE_ITEM_NAMES[i])) {
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
