// GetBitmap of a full-size 640 x 1136 PNG item against decoding the same PNG
// bytes with Qt directly, in the same run. The difference is what the archive,
// key derivation, decryption and inflation add to a layer change.
//
// Two archives: the test pack embedded in the executable (about 120 members)
// and one laid out like the real packs (two packs of about 150 full-size
// pictures with their thumbnails, plus the bubbles), where reading the central
// directory on every request would show.

#include "platform/localtime.h"
#include "PackArchive.h"
#include "TestPackPaths.h"
#include "assets/ArchiveReader.h"
#include "assets/untVuplora.h"
#include "assets/vpCrypt.h"
#include "platform/resources.h"
#include "../common/thread_cpu.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <map>
#include <set>
#include <string>

namespace {

// Per pack: full-size pictures (each with a thumbnail) and bubbles (each an
// English and a Chinese document with a thumbnail for each).
constexpr int REAL_PACKS = 2;
constexpr int REAL_PACK_PICTURES = 150;
constexpr int REAL_PACK_BUBBLES = 8;

// The first full-size PNG background of pack 1.
struct TFixture {
    TFixture()
    {
        giPackIndex = 1;
        Res.LoadRes(QStringLiteral("res_girl"));
        for (int i = 0; i < int(Res.GetFaceItem(fiBG)->size()); ++i) {
            const QString sName = Res.GetItemResName(fiBG, i, ifFile);
            QFile oFile(QDir(TestPackMembersDir()).filePath(sName));
            if (sName.endsWith(QStringLiteral(".png")) && oFile.open(QIODevice::ReadOnly)) {
                Png = oFile.readAll();
                Item = i;
                break;
            }
        }
    }

    TFaceRes Res;
    QByteArray Png; // the source bytes of the item GetBitmap decodes
    int Item = 0;
};

TFixture &PackFixture()
{
    static TFixture oFixture;
    return oFixture;
}

QString FillerName(int aiNumber, const char *asSuffix)
{
    return QString::fromLatin1(QCryptographicHash::hash(QByteArray::number(aiNumber), QCryptographicHash::Md5).toHex())
        + QLatin1String(asSuffix);
}

// The same item in an archive of real-pack size, served from memory. The other
// full-size members are as large as the item, so the archive has the real size
// too; their content is never read.
TMemoryResourceProvider &LargeProvider()
{
    static TMemoryResourceProvider oProvider = [] {
        TFixture &f = PackFixture();
        const QString sName = f.Res.GetItemResName(fiBG, f.Item, ifFile);
        const QByteArray oThumb(8 * 1024, 't');
        const QByteArray oBubble(4 * 1024, 'b');
        std::vector<TZipEntry> oEntries;
        int iNumber = 0;
        for (int iPack = 1; iPack <= REAL_PACKS; ++iPack) {
            for (int i = 0; i < REAL_PACK_PICTURES; ++i) {
                // The item sits in the middle, so that a name scan would do half its work.
                if (iPack == 2 && i == 0) {
                    oEntries.push_back({sName, EncodeBytes(f.Png, GetResKey(sName))});
                    oEntries.push_back({QStringLiteral("res1.json"),
                                        EncodeBytes(QStringLiteral("{\"c\":1,\"0\":{\"type\":\"BG\",\"count\":1,\"0\":{\"id\":\"x\","
                                                                   "\"fileName\":\"%1\",\"thumbFile\":\"\",\"maskFile\":\"\"}}}")
                                                        .arg(sName)
                                                        .toUtf8(),
                                                    GetResKey(QStringLiteral("res1.json")))});
                }
                ++iNumber;
                oEntries.push_back({FillerName(iNumber, ".png"), f.Png});
                oEntries.push_back({FillerName(iNumber, "_thumb.png"), oThumb});
            }
            for (int i = 0; i < REAL_PACK_BUBBLES; ++i) {
                ++iNumber;
                for (const char *sSuffix : {".svg", "_cn.svg", "_thumb.png", "_thumb_cn.png"})
                    oEntries.push_back({FillerName(iNumber, sSuffix), oBubble});
            }
        }
        TMemoryResourceProvider p;
        p.Add(QStringLiteral("RES_GIRL"), WriteZipArchive(oEntries));
        std::fprintf(stderr, "real-size archive: %zu members, %lld bytes\n", oEntries.size(),
                     static_cast<long long>(p.Open(QStringLiteral("RES_GIRL")).size()));
        return p;
    }();
    return oProvider;
}

// The baseline: the same PNG bytes decoded into the bitmap GetBitmap hands out,
// named as PNG as GetBitmap names it (probing the format costs time of its own).
void BM_QImageLoadFromData(benchmark::State &state)
{
    const QByteArray &oPng = PackFixture().Png;
    for (auto _ : state) {
        QImage oImage;
        oImage.loadFromData(oPng, "PNG");
        oImage.convertTo(QImage::Format_ARGB32_Premultiplied);
        benchmark::DoNotOptimize(oImage.constBits());
    }
}
BENCHMARK(BM_QImageLoadFromData)->Unit(benchmark::kMillisecond);

void BM_GetBitmap_TestPack(benchmark::State &state)
{
    TFixture &f = PackFixture();
    for (auto _ : state) {
        QImage oBitmap;
        f.Res.GetBitmap(oBitmap, fiBG, f.Item, ifFile, false);
        benchmark::DoNotOptimize(oBitmap.constBits());
    }
}
BENCHMARK(BM_GetBitmap_TestPack)->Unit(benchmark::kMillisecond);

void BM_GetBitmap_RealPackSize(benchmark::State &state)
{
    const TScopedResourceProvider oScope(LargeProvider());
    TFaceRes oRes;
    oRes.LoadRes(QStringLiteral("res_girl"));
    for (auto _ : state) {
        QImage oBitmap;
        oRes.GetBitmap(oBitmap, fiBG, 0, ifFile, false);
        benchmark::DoNotOptimize(oBitmap.constBits());
    }
}
BENCHMARK(BM_GetBitmap_RealPackSize)->Unit(benchmark::kMillisecond);

// The archive part alone: open the real-pack-size archive and find the item.
void BM_OpenAndFind_RealPackSize(benchmark::State &state)
{
    const QByteArray oArchive = LargeProvider().Open(QStringLiteral("RES_GIRL"));
    TFixture &f = PackFixture();
    const QString sName = f.Res.GetItemResName(fiBG, f.Item, ifFile);
    for (auto _ : state) {
        const TZipReader oZip(OpenZipFromMemory(oArchive, QStringLiteral("bench")));
        benchmark::DoNotOptimize(FindArchiveMember(oZip.get(), sName));
    }
}
BENCHMARK(BM_OpenAndFind_RealPackSize)->Unit(benchmark::kMillisecond);

// GetBitmap and the plain decode taken in turns within one loop, each timed on the
// thread's CPU clock: on a shared machine the load drifts between benchmarks, and
// pairing the two lets the drift fall on both alike. Reports GetBitmap's time over
// the decode's as the counter "ratio".
void BM_GetBitmapPairedWithDecode_RealPackSize(benchmark::State &state)
{
    const TScopedResourceProvider oScope(LargeProvider());
    TFaceRes oRes;
    oRes.LoadRes(QStringLiteral("res_girl"));
    const QByteArray &oPng = PackFixture().Png;
    double rDecode = 0;
    double rGetBitmap = 0;
    for (auto _ : state) {
        const double t0 = ThreadCpuSeconds();
        QImage oDecoded;
        oDecoded.loadFromData(oPng, "PNG");
        oDecoded.convertTo(QImage::Format_ARGB32_Premultiplied);
        benchmark::DoNotOptimize(oDecoded.constBits());
        const double t1 = ThreadCpuSeconds();
        QImage oBitmap;
        oRes.GetBitmap(oBitmap, fiBG, 0, ifFile, false);
        benchmark::DoNotOptimize(oBitmap.constBits());
        rGetBitmap += ThreadCpuSeconds() - t1;
        rDecode += t1 - t0;
    }
    state.counters["ratio"] = rDecode > 0 ? rGetBitmap / rDecode : 0;
}
BENCHMARK(BM_GetBitmapPairedWithDecode_RealPackSize)->Unit(benchmark::kMillisecond);

// Prints the usual table and then each time as a ratio to the plain decode
// measured in the same run. CPU time, because the machines this runs on are
// shared and wall time there mostly measures the neighbours.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &aoRuns) override
    {
        ConsoleReporter::ReportRuns(aoRuns);
        // With repetitions the median stands for the benchmark.
        for (const Run &oRun : aoRuns) {
            const auto itRatio = oRun.counters.find("ratio");
            if (oRun.run_type == Run::RT_Iteration && !mMedians.count(oRun.run_name.str())) {
                mTimes[oRun.run_name.str()] = oRun.GetAdjustedCPUTime();
                if (itRatio != oRun.counters.end())
                    mPaired[oRun.run_name.str()] = itRatio->second.value;
            } else if (oRun.run_type == Run::RT_Aggregate && oRun.aggregate_name == "median") {
                mTimes[oRun.run_name.str()] = oRun.GetAdjustedCPUTime();
                if (itRatio != oRun.counters.end())
                    mPaired[oRun.run_name.str()] = itRatio->second.value;
                mMedians.insert(oRun.run_name.str());
            }
        }
    }
    void PrintRatios() const
    {
        for (const auto &[sName, rRatio] : mPaired)
            std::printf("ratio (thread CPU time, paired in one loop) %s: GetBitmap / plain decode = %.3f\n",
                        sName.c_str(), rRatio);
        const auto base = mTimes.find("BM_QImageLoadFromData");
        if (base == mTimes.end() || base->second <= 0)
            return;
        for (const auto &[sName, rTime] : mTimes)
            if (sName != base->first && !mPaired.count(sName))
                std::printf("ratio (CPU time) %s / BM_QImageLoadFromData = %.3f\n", sName.c_str(), rTime / base->second);
    }

private:
    std::map<std::string, double> mTimes;
    std::map<std::string, double> mPaired;
    std::set<std::string> mMedians;
};

} // namespace

int main(int argc, char **argv)
{
    // Same process set-up as the application.
    CacheLocalTimeZone();
    benchmark::Initialize(&argc, argv);
    if (PackFixture().Png.isEmpty()) {
        std::fprintf(stderr, "no full-size PNG background in the test pack\n");
        return 1;
    }
    TRatioReporter oReporter;
    benchmark::RunSpecifiedBenchmarks(&oReporter);
    oReporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
