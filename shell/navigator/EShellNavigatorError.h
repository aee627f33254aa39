#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// The one exception of the pane library, raised only when navigation fails
// (a path that does not parse, a list that cannot be bound, a name not found).
class EShellNavigatorError : public std::exception
{
public:
    explicit EShellNavigatorError(QString message);

    const QString& Message() const { return message_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};
