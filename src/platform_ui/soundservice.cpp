#include "platform_ui/widgetservices.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSoundEffect>

struct TQtSoundService::TPlayback {
    // Owned by the application object, so that a sound still playing at exit is
    // released with it rather than after it.
    QPointer<QSoundEffect> Effect;
};

TQtSoundService::TQtSoundService() : moPlayback(std::make_unique<TPlayback>()) {}

TQtSoundService::~TQtSoundService()
{
    delete moPlayback->Effect.data();
}

void TQtSoundService::PlaySound(const QUrl &aoSource)
{
    QCoreApplication *loApp = QCoreApplication::instance();
    if (!loApp)
        return;
    if (!moPlayback->Effect)
        moPlayback->Effect = new QSoundEffect(loApp);
    QSoundEffect *loEffect = moPlayback->Effect;
    // The next sound cuts the one still playing.
    loEffect->stop();
    loEffect->setSource(aoSource);
    loEffect->play();
}
