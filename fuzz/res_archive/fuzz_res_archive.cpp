// Opens arbitrary bytes as the asset archive: loads an index from it and reads
// a member of every kind, as the editor's requests do. Every failure must be a
// reported error; crashes, leaks and undefined behaviour are findings.

#include "assets/ArchiveReader.h"
#include "assets/untVuplora.h"
#include "assets/vpCrypt.h"
#include "platform/resources.h"

#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // A decoded image may claim any size; keep a finding about memory for
    // the archive code, not for the image decoder's allowance.
    QImageReader::setAllocationLimit(64);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TMemoryResourceProvider oProvider;
    oProvider.Add(QStringLiteral("RES_GIRL"),
                  QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    const TScopedResourceProvider oScope(oProvider);

    // Every member read and decoded directly, so that damaged members are
    // reached even when no index in the input decodes.
    try {
        const QByteArray oBytes = oProvider.Open(QStringLiteral("RES_GIRL"));
        const TZipReader oZip(OpenZipFromMemory(oBytes, QStringLiteral("input")));
        const qint64 iCount = std::min<qint64>(ArchiveMemberCount(oZip.get()), 16);
        for (qint64 i = 0; i < iCount; ++i) {
            const QString sName = QString::fromUtf8(ArchiveMemberName(oZip.get(), i));
            try {
                const QByteArray oStored = ReadArchiveMember(oZip.get(), i, sName);
                DecodeBytes(oStored, GetResKey(sName));
            } catch (const EVuploraError &) {
            }
        }
    } catch (const EVuploraError &) {
    }

    // Both packs, so that the second index member is reached too.
    for (const qint32 iPack : {1, 2}) {
        giPackIndex = iPack;
        TFaceRes oRes;
        try {
            oRes.LoadRes(QStringLiteral("res_girl"));
        } catch (const EVuploraError &) {
        }
        for (int t = 0; t < FACE_ITEM_TYPE_COUNT; ++t) {
            const auto fiType = TYPE_FACE_ITEM(t);
            const TFaceItemDataList *oItems = oRes.GetFaceItem(fiType);
            if (!oItems || oItems->empty())
                continue;
            for (const TYPE_IMAGE_FILE ifType : {ifFile, ifMask, ifThumb}) {
                QImage oBitmap(2, 2, QImage::Format_ARGB32_Premultiplied);
                try {
                    oRes.GetBitmap(oBitmap, fiType, 0, ifType, t % 2 == 0);
                } catch (const EVuploraError &) {
                }
            }
        }
    }
    giPackIndex = 1;
    return 0;
}
