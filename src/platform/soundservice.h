#pragma once
// Plays a short sound held in memory.

#include <QByteArray>
#include <memory>
#include <optional>

class ISoundService {
public:
    virtual ~ISoundService() = default;
    // Starts playing a complete RIFF WAVE file (PCM) and returns at once. A sound
    // still playing is cut off. Without an audio device, or for data that is not a
    // playable WAVE file, nothing plays and nothing is reported.
    virtual void PlayWave(const QByteArray &aoWave) = 0;
};

// The sound of a RIFF WAVE file in memory as TQtSoundService plays it: its "fmt "
// chunk and the whole frames of the first "data" chunk after it (a truncated chunk plays
// as far as it goes). Nothing for data it does not play: no RIFF/WAVE header, no "fmt "
// before "data", a format chunk under 16 bytes, no channels, a rate of 0, or samples
// other than 8, 16 or 32-bit integer PCM or 32-bit float. Rates above 2^20 are capped.
struct TWaveSound {
    int Channels = 0;
    int SampleRate = 0;
    int BitsPerSample = 0;
    bool IsFloat = false;
    QByteArray Samples;
};
std::optional<TWaveSound> ReadWaveSound(const QByteArray &aoWave);

// Plays through the default audio output of Qt Multimedia. Its sound-effect class
// plays only from a file or resource URL, while sounds reach this service as bytes, so
// the service reads the WAVE data itself.
class TQtSoundService : public ISoundService {
public:
    TQtSoundService();
    ~TQtSoundService() override;
    void PlayWave(const QByteArray &aoWave) override;
    // Stops the current sound, if any.
    void Stop();

private:
    struct TPlayback;
    std::unique_ptr<TPlayback> moPlayback;
};
