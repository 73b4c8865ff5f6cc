#pragma once
// The size of the screen the editor is sized against.

#include <QSizeF>

class IScreenService {
public:
    virtual ~IScreenService() = default;
    // In logical pixels; fractional on scaled displays.
    virtual QSizeF GetScreenSize() const = 0;
};

// Reads the primary screen of the running QGuiApplication.
class TQtScreenService : public IScreenService {
public:
    QSizeF GetScreenSize() const override;
};

// Whether a screen size is known and, when it is, its width and height truncated
// towards zero. False when the platform has no screen service installed.
bool QueryScreenSize(int &aiWidth, int &aiHeight);
