#pragma once
// Failures travel as exceptions whose message text is shown to the user as it
// stands. what() holds the text in UTF-8; Message() gives it back as a QString.

#include <QString>
#include <stdexcept>

class EVuploraError : public std::runtime_error {
public:
    explicit EVuploraError(const QString &message)
        : std::runtime_error(message.toStdString()) {}
    QString Message() const { return QString::fromUtf8(what()); }
};

// A text that should have held a number did not ("'%s' is not a valid integer value").
class EConvertError : public EVuploraError {
public:
    using EVuploraError::EVuploraError;
};

// An index outside a list ("Argument out of range").
class EArgumentOutOfRange : public EVuploraError {
public:
    EArgumentOutOfRange() : EVuploraError(QStringLiteral("Argument out of range")) {}
};
