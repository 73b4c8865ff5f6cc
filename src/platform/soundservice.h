#pragma once
// Plays a short sound.

#include <QUrl>

class ISoundService {
public:
    virtual ~ISoundService() = default;
    // Starts playing the WAVE sound at a file or resource URL and returns at once.
    // A sound still playing is cut off. Without an audio device, or for data that
    // is not a playable WAVE file, nothing plays and nothing is reported.
    virtual void PlaySound(const QUrl &aoSource) = 0;
};
