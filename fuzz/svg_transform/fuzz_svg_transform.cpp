// ParseTransform on arbitrary text: only its own messages and conversion errors may
// escape.

#include "errors/errors.h"
#include "svg/model/values/exception.h"
#include "svg/model/values/transform.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        const TMatrix m = ParseTransform(text);
        (void)m.Map(QPointF(1, 2));
        (void)m.Inverse();
    } catch (const ESVGException &) {
    } catch (const EConvertError &) {
    }
    return 0;
}
