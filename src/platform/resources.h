#pragma once
// Named binary resources compiled into the executable. Lookup ignores the case
// of the name, so "res_girl" finds "RES_GIRL". Tests install an in-memory
// provider instead of the Qt resources.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QUrl>

class IResourceProvider {
public:
    virtual ~IResourceProvider() = default;
    // The resource's bytes; fails with "Resource %s not found". The bytes may
    // point straight into the executable's image, so they are read-only.
    virtual QByteArray Open(const QString &asName) const = 0;
    // Where the resource can be read by URL (a player that takes no bytes);
    // fails like Open.
    virtual QUrl Url(const QString &asName) const = 0;
};

// Resources of the Qt resource system under ":/". An uncompressed resource is
// handed out without copying.
class TQtResourceProvider : public IResourceProvider {
public:
    QByteArray Open(const QString &asName) const override;
    // "qrc:/..." with the resource's own spelling.
    QUrl Url(const QString &asName) const override;

private:
    QString Path(const QString &asName) const;
};

// Resources held in memory, for tests and tools.
class TMemoryResourceProvider : public IResourceProvider {
public:
    void Add(const QString &asName, const QByteArray &aoData);
    void Remove(const QString &asName);
    QByteArray Open(const QString &asName) const override;
    // "memory:<name>": nothing outside the tests reads it.
    QUrl Url(const QString &asName) const override;

private:
    QHash<QString, QByteArray> mData; // keyed by the case-folded name
};

// The provider the application reads its resources from (the Qt one unless
// replaced).
IResourceProvider &ResourceProvider();

// Replaces the provider for the lifetime of this object and restores the
// previous one afterwards. The provider must outlive the scope.
class TScopedResourceProvider {
public:
    explicit TScopedResourceProvider(IResourceProvider &aoProvider);
    ~TScopedResourceProvider();
    TScopedResourceProvider(const TScopedResourceProvider &) = delete;
    TScopedResourceProvider &operator=(const TScopedResourceProvider &) = delete;

private:
    IResourceProvider *mPrevious;
};

[[noreturn]] void RaiseResourceNotFound(const QString &asName);
