#pragma once
// Plays a short sound held in memory.

#include <QByteArray>
#include <memory>

class ISoundService {
public:
    virtual ~ISoundService() = default;
    // Starts playing a complete RIFF WAVE file (PCM) and returns at once. A sound
    // still playing is cut off. Without an audio device, or for data that is not a
    // playable WAVE file, nothing plays and nothing is reported.
    virtual void PlayWave(const QByteArray &aoWave) = 0;
};

// Plays through the default audio output of Qt Multimedia.
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
