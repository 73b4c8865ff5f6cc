#include "platform/soundservice.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QPointer>
#include <QtEndian>
#include <cstring>

namespace {

quint16 ReadU16(const char *apData) { return qFromLittleEndian<quint16>(apData); }
quint32 ReadU32(const char *apData) { return qFromLittleEndian<quint32>(apData); }

QAudioFormat::SampleFormat SampleFormat(const TWaveSound &aoSound)
{
    if (aoSound.IsFloat)
        return QAudioFormat::Float;
    switch (aoSound.BitsPerSample) {
    case 8: return QAudioFormat::UInt8;
    case 16: return QAudioFormat::Int16;
    default: return QAudioFormat::Int32;
    }
}

} // namespace

// Walks the chunks of the file for its "fmt " and "data" chunks.
std::optional<TWaveSound> ReadWaveSound(const QByteArray &aoWave)
{
    const qsizetype liSize = aoWave.size();
    const char *lpData = aoWave.constData();
    if (liSize < 12 || memcmp(lpData, "RIFF", 4) != 0 || memcmp(lpData + 8, "WAVE", 4) != 0)
        return std::nullopt;

    std::optional<TWaveSound> loSound;
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
            const bool lbPcm = liTag == 1 && (liBits == 8 || liBits == 16 || liBits == 32);
            const bool lbFloat = liTag == 3 && liBits == 32;
            if ((!lbPcm && !lbFloat) || liChannels == 0 || liRate == 0)
                return std::nullopt;
            loSound = TWaveSound{liChannels, static_cast<int>(qMin<quint32>(liRate, 1u << 20)), liBits,
                                 lbFloat, QByteArray()};
        } else if (memcmp(lpChunk, "data", 4) == 0) {
            if (!loSound)
                return std::nullopt;
            const qsizetype liFrame = qsizetype(loSound->Channels) * loSound->BitsPerSample / 8;
            const qsizetype liBytes = liAvailable - liAvailable % liFrame;
            loSound->Samples = aoWave.mid(liBody, liBytes);
            return loSound;
        }
        // Chunks are padded to an even size.
        liPos = liBody + liChunkSize + (liChunkSize & 1);
    }
    return std::nullopt;
}

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
    const std::optional<TWaveSound> loWave = ReadWaveSound(aoWave);
    if (!loWave || loWave->Samples.isEmpty())
        return;
    QAudioFormat loFormat;
    loFormat.setSampleFormat(SampleFormat(*loWave));
    loFormat.setChannelCount(loWave->Channels);
    loFormat.setSampleRate(loWave->SampleRate);
    const QAudioDevice loDevice = QMediaDevices::defaultAudioOutput();
    if (loDevice.isNull() || !loDevice.isFormatSupported(loFormat))
        return;

    auto *loSink = new QAudioSink(loDevice, loFormat, loApp);
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
