#include "svg/render/raster_pool.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace {

struct TFreeBlock {
    uchar *Memory;
    size_t Bytes;
};

// A thread's free blocks. Rasters may die on other threads (a picture drawn on a
// worker is shown by the GUI thread), hence the lock; it is never contended for long.
struct TPool {
    std::mutex Lock;
    std::vector<TFreeBlock> Free;
    size_t FreeBytes = 0;
    // The thread is gone: blocks coming back are let go at once.
    bool Orphaned = false;

    ~TPool()
    {
        for (const TFreeBlock &b : Free)
            std::free(b.Memory);
    }

    // Takes the smallest free block of at least Bytes that is not more than twice as
    // large; null when there is none.
    uchar *Take(size_t bytes, size_t &blockBytes)
    {
        const std::lock_guard<std::mutex> hold(Lock);
        size_t best = Free.size();
        for (size_t i = 0; i < Free.size(); ++i)
            if (Free[i].Bytes >= bytes && Free[i].Bytes / 2 <= bytes &&
                (best == Free.size() || Free[i].Bytes < Free[best].Bytes))
                best = i;
        if (best == Free.size())
            return nullptr;
        const TFreeBlock b = Free[best];
        Free.erase(Free.begin() + qsizetype(best));
        FreeBytes -= b.Bytes;
        blockBytes = b.Bytes;
        return b.Memory;
    }

    void Give(uchar *memory, size_t bytes)
    {
        {
            const std::lock_guard<std::mutex> hold(Lock);
            if (!Orphaned && bytes <= size_t(SVGRasterPoolBytes)) {
                // The oldest blocks go first when the pool would grow past its size.
                while (FreeBytes + bytes > size_t(SVGRasterPoolBytes) && !Free.empty()) {
                    std::free(Free.front().Memory);
                    FreeBytes -= Free.front().Bytes;
                    Free.erase(Free.begin());
                }
                Free.push_back({memory, bytes});
                FreeBytes += bytes;
                return;
            }
        }
        std::free(memory);
    }

    void Orphan()
    {
        const std::lock_guard<std::mutex> hold(Lock);
        Orphaned = true;
        for (const TFreeBlock &b : Free)
            std::free(b.Memory);
        Free.clear();
        FreeBytes = 0;
    }
};

// What a raster out of the pool carries to its cleanup.
struct TLent {
    std::shared_ptr<TPool> Pool;
    uchar *Memory;
    size_t Bytes;
};

void GiveBack(void *info)
{
    std::unique_ptr<TLent> lent(static_cast<TLent *>(info));
    lent->Pool->Give(lent->Memory, lent->Bytes);
}

struct TThreadPool {
    std::shared_ptr<TPool> Pool = std::make_shared<TPool>();
    ~TThreadPool() { Pool->Orphan(); }
};

TPool &PoolOfThisThread(std::shared_ptr<TPool> *share = nullptr)
{
    thread_local TThreadPool pool;
    if (share)
        *share = pool.Pool;
    return *pool.Pool;
}

} // namespace

QImage SVGPooledRaster(const QSize &size)
{
    if (size.isEmpty())
        return QImage(size, QImage::Format_ARGB32_Premultiplied);
    const size_t bytes = size_t(size.width()) * size_t(size.height()) * 4;
    auto lent = std::make_unique<TLent>();
    size_t blockBytes = 0;
    uchar *memory = PoolOfThisThread(&lent->Pool).Take(bytes, blockBytes);
    if (!memory) {
        memory = static_cast<uchar *>(std::malloc(bytes));
        if (!memory)
            return QImage();
        blockBytes = bytes;
    }
    // Transparent is all zero bits in premultiplied ARGB.
    std::memset(memory, 0, bytes);
    lent->Memory = memory;
    lent->Bytes = blockBytes;
    QImage image(memory, size.width(), size.height(), qsizetype(size.width()) * 4,
                 QImage::Format_ARGB32_Premultiplied, GiveBack, lent.get());
    if (image.isNull()) {
        lent->Pool->Give(memory, blockBytes);
        return QImage();
    }
    lent.release();  // the image's cleanup owns it now
    return image;
}

qint64 SVGRasterPoolFreeBytes()
{
    TPool &pool = PoolOfThisThread();
    const std::lock_guard<std::mutex> hold(pool.Lock);
    return qint64(pool.FreeBytes);
}
