#pragma once
// The user's language, as the platform reports it.

#include <QString>
#include <QStringList>

class ILocaleService {
public:
    virtual ~ILocaleService() = default;
    // Two-letter code of the current interface language ("zh", "en", ...).
    virtual QString GetCurrentLangID() const = 0;
    // The user's preferred interface languages, most preferred first ("en-US", "de", ...).
    virtual QStringList GetPreferredLanguages() const = 0;
};

// Answers from QLocale::system().
class TQtLocaleService : public ILocaleService {
public:
    QString GetCurrentLangID() const override;
    QStringList GetPreferredLanguages() const override;
};
