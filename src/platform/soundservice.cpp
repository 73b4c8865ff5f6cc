#include "platform/soundservice.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QPointer>
#include <QtEndian>
#include <optional>

namespace {

struct TWaveData {
    QAudioFormat Format;
    QByteArray Samples;
};

quint16 ReadU16(const char *apData) { return qFromLittleEndian<quint16>(apData); }
quint32 ReadU32(const char *apData) { return qFromLittleEndian<quint32>(apData); }

// Walks the chunks of a RIFF WAVE file for its "fmt " and "data" chunks. Only
// integer PCM and 32-bit float are accepted; anything else is not played.
std::optional<TWaveData> ParseWave(const QByteArray &aoWave)
{
    const qsizetype liSize = aoWave.size();
    const char *lpData = aoWave.constData();
    if (liSize < 12 || memcmp(lpData, "RIFF", 4) != 0 || memcmp(lpData + 8, "WAVE", 4) != 0)
        return std::nullopt;

    std::optional<QAudioFormat> loFormat;
    qsizetype liPos = 12;
    while (liPos + 8 <= liSize) {
        const char *lpChunk = lpData + liPos;
        const qsizetype liChunkSize = ReadU32(lpChunk + 4);
        const qsizetype liBody = liPos + 8;
        const qsizetype liAvailable = qMin(liChunkSize, liSize - liBody);
        if (memcmp(lpChunk, "fmt ", 4) == 0) {
            if (liAvailable < 16)
                return std::nullopt;
            const quint16 liTag = ReadU16(lpData + liBody);
            const quint16 liChannels = ReadU16(lpData + liBody + 2);
            const quint32 liRate = ReadU32(lpData + liBody + 4);
            const quint16 liBits = ReadU16(lpData + liBody + 14);
            QAudioFormat::SampleFormat leSample = QAudioFormat::Unknown;
            if (liTag == 1 && liBits == 8)
                leSample = QAudioFormat::UInt8;
            else if (liTag == 1 && liBits == 16)
                leSample = QAudioFormat::Int16;
            else if (liTag == 1 && liBits == 32)
                leSample = QAudioFormat::Int32;
            else if (liTag == 3 && liBits == 32)
                leSample = QAudioFormat::Float;
            if (leSample == QAudioFormat::Unknown || liChannels == 0 || liRate == 0)
                return std::nullopt;
            QAudioFormat loFmt;
            loFmt.setSampleFormat(leSample);
            loFmt.setChannelCount(liChannels);
            loFmt.setSampleRate(static_cast<int>(qMin<quint32>(liRate, 1u << 20)));
            loFormat = loFmt;
        } else if (memcmp(lpChunk, "data", 4) == 0) {
            if (!loFormat)
                return std::nullopt;
            // A truncated last chunk plays as far as it goes, whole frames only.
            const qsizetype liFrame = loFormat->bytesPerFrame();
            const qsizetype liBytes = liAvailable - liAvailable % liFrame;
            return TWaveData{*loFormat, aoWave.mid(liBody, liBytes)};
        }
        // Chunks are padded to an even size.
        liPos = liBody + liChunkSize + (liChunkSize & 1);
    }
    return std::nullopt;
}

} // namespace

struct TQtSoundService::TPlayback {
    // Owned by the application object, so that a sound still playing at exit is
    // released with it rather than after it.
    QPointer<QAudioSink> Sink;
};

TQtSoundService::TQtSoundService() : moPlayback(std::make_unique<TPlayback>()) {}

TQtSoundService::~TQtSoundService()
{
    Stop();
}

void TQtSoundService::Stop()
{
    if (moPlayback->Sink) {
        moPlayback->Sink->stop();
        delete moPlayback->Sink.data();
    }
}

void TQtSoundService::PlayWave(const QByteArray &aoWave)
{
    Stop();
    QCoreApplication *loApp = QCoreApplication::instance();
    if (!loApp)
        return;
    const std::optional<TWaveData> loWave = ParseWave(aoWave);
    if (!loWave || loWave->Samples.isEmpty())
        return;
    const QAudioDevice loDevice = QMediaDevices::defaultAudioOutput();
    if (loDevice.isNull() || !loDevice.isFormatSupported(loWave->Format))
        return;

    auto *loSink = new QAudioSink(loDevice, loWave->Format, loApp);
    auto *loBuffer = new QBuffer(loSink);
    loBuffer->setData(loWave->Samples);
    loBuffer->open(QIODevice::ReadOnly);
    // Release the device as soon as the sound has run out.
    QObject::connect(loSink, &QAudioSink::stateChanged, loSink, [loSink](QAudio::State aeState) {
        if (aeState == QAudio::IdleState)
            loSink->stop();
    });
    moPlayback->Sink = loSink;
    loSink->start(loBuffer);
}
