// GetBitmap of a full-size 640 x 1136 PNG item against decoding the same PNG
// bytes with Qt directly, in the same run. The difference is what the archive,
// key derivation, decryption and inflation add to a layer change.
//
// Two archives: the test pack embedded in the executable (about 120 members)
// and one padded to the size of a real pack (about 3,200 members), since every
// request reads the whole central directory again.

#include "platform/localtime.h"
#include "PackArchive.h"
#include "TestPackPaths.h"
#include "assets/ArchiveReader.h"
#include "assets/untVuplora.h"
#include "assets/vpCrypt.h"
#include "platform/resources.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>

namespace {

constexpr int REAL_PACK_MEMBERS = 3200;

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

// The same item in an archive of real-pack size, served from memory.
TMemoryResourceProvider &LargeProvider()
{
    static TMemoryResourceProvider oProvider = [] {
        TFixture &f = PackFixture();
        const QString sName = f.Res.GetItemResName(fiBG, f.Item, ifFile);
        std::vector<TZipEntry> oEntries;
        // The item sits in the middle, so that the name scan does half its work.
        for (int i = 0; i < REAL_PACK_MEMBERS; ++i) {
            if (i == REAL_PACK_MEMBERS / 2) {
                oEntries.push_back({sName, EncodeBytes(f.Png, GetResKey(sName))});
                oEntries.push_back({QStringLiteral("res1.json"),
                                    EncodeBytes(QStringLiteral("{\"c\":1,\"0\":{\"type\":\"BG\",\"count\":1,\"0\":{\"id\":\"x\","
                                                               "\"fileName\":\"%1\",\"thumbFile\":\"\",\"maskFile\":\"\"}}}")
                                                    .arg(sName)
                                                    .toUtf8(),
                                                GetResKey(QStringLiteral("res1.json")))});
            }
            const QString sFiller = QString::fromLatin1(
                QCryptographicHash::hash(QByteArray::number(i), QCryptographicHash::Md5).toHex());
            oEntries.push_back({sFiller + (i % 2 ? "_thumb.png" : ".png"), QByteArray(64, char(i))});
        }
        TMemoryResourceProvider p;
        p.Add(QStringLiteral("RES_GIRL"), WriteZipArchive(oEntries));
        return p;
    }();
    return oProvider;
}

void BM_QImageLoadFromData(benchmark::State &state)
{
    const QByteArray &oPng = PackFixture().Png;
    for (auto _ : state) {
        QImage oImage;
        oImage.loadFromData(oPng);
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
            if (oRun.run_type == Run::RT_Iteration && !mMedians.count(oRun.run_name.str()))
                mTimes[oRun.run_name.str()] = oRun.GetAdjustedCPUTime();
            else if (oRun.run_type == Run::RT_Aggregate && oRun.aggregate_name == "median") {
                mTimes[oRun.run_name.str()] = oRun.GetAdjustedCPUTime();
                mMedians.insert(oRun.run_name.str());
            }
        }
    }
    void PrintRatios() const
    {
        const auto base = mTimes.find("BM_QImageLoadFromData");
        if (base == mTimes.end() || base->second <= 0)
            return;
        for (const auto &[sName, rTime] : mTimes)
            if (sName != base->first)
                std::printf("ratio (CPU time) %s / BM_QImageLoadFromData = %.3f\n", sName.c_str(), rTime / base->second);
    }

private:
    std::map<std::string, double> mTimes;
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
