#include "platform/resources.h"

#include "errors/errors.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QResource>

namespace {

IResourceProvider *gCurrentProvider = nullptr;

QByteArray ResourceBytes(const QString &asPath)
{
    QResource res(asPath);
    if (res.compressionAlgorithm() == QResource::NoCompression) {
        // The data lives in the executable for the whole run.
        return QByteArray::fromRawData(reinterpret_cast<const char *>(res.data()),
                                       static_cast<qsizetype>(res.size()));
    }
    return res.uncompressedData();
}

bool ResourceExists(const QString &asPath)
{
    return QFileInfo(asPath).isFile();
}

} // namespace

void RaiseResourceNotFound(const QString &asName)
{
    throw EVuploraError(QStringLiteral("Resource %1 not found").arg(asName));
}

QByteArray TQtResourceProvider::Open(const QString &asName) const
{
    return ResourceBytes(Path(asName));
}

QUrl TQtResourceProvider::Url(const QString &asName) const
{
    return QUrl(QStringLiteral("qrc") + Path(asName));
}

QString TQtResourceProvider::Path(const QString &asName) const
{
    QString sName = asName;
    while (sName.startsWith(u'/'))
        sName.remove(0, 1);
    if (sName.isEmpty())
        RaiseResourceNotFound(asName);

    // The exact name and the upper-case spelling cover every real request
    // without walking the resource tree.
    for (const QString &sTry : {sName, sName.toUpper()}) {
        const QString sPath = QStringLiteral(":/") + sTry;
        if (ResourceExists(sPath))
            return sPath;
    }

    QDirIterator it(QStringLiteral(":/"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString sPath = it.next();
        if (sPath.mid(2).compare(sName, Qt::CaseInsensitive) == 0)
            return sPath;
    }
    RaiseResourceNotFound(asName);
}

void TMemoryResourceProvider::Add(const QString &asName, const QByteArray &aoData)
{
    mData.insert(asName.toCaseFolded(), aoData);
}

void TMemoryResourceProvider::Remove(const QString &asName)
{
    mData.remove(asName.toCaseFolded());
}

QByteArray TMemoryResourceProvider::Open(const QString &asName) const
{
    const auto it = mData.constFind(asName.toCaseFolded());
    if (it == mData.constEnd())
        RaiseResourceNotFound(asName);
    return it.value();
}

QUrl TMemoryResourceProvider::Url(const QString &asName) const
{
    if (!mData.contains(asName.toCaseFolded()))
        RaiseResourceNotFound(asName);
    return QUrl(QStringLiteral("memory:") + asName.toCaseFolded());
}

IResourceProvider &ResourceProvider()
{
    static TQtResourceProvider qtProvider;
    return gCurrentProvider ? *gCurrentProvider : qtProvider;
}

TScopedResourceProvider::TScopedResourceProvider(IResourceProvider &aoProvider)
    : mPrevious(gCurrentProvider)
{
    gCurrentProvider = &aoProvider;
}

TScopedResourceProvider::~TScopedResourceProvider()
{
    gCurrentProvider = mPrevious;
}
