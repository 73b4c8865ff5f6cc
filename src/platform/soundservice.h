#pragma once
// Plays a short sound.

#include <QUrl>

#include <memory>

class ISoundService {
public:
    virtual ~ISoundService() = default;
    // Starts playing the WAVE sound at a file or resource URL and returns at once.
    // A sound still playing is cut off. Without an audio device, or for data that
    // is not a playable WAVE file, nothing plays and nothing is reported.
    virtual void PlaySound(const QUrl &aoSource) = 0;
};

// Plays through Qt Multimedia's sound effect, one at a time.
class TQtSoundService : public ISoundService {
public:
    TQtSoundService();
    ~TQtSoundService() override;
    void PlaySound(const QUrl &aoSource) override;

private:
    struct TPlayback;
    std::unique_ptr<TPlayback> moPlayback;
};
