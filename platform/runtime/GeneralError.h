// GeneralError: the one exception type of the module. It carries the Spanish message that the user sees;
// the desktop shows it in a message box, the batch command prints it, the C exports swallow it.
#pragma once

#include <QString>
#include <stdexcept>

class GeneralError : public std::runtime_error {
public:
    explicit GeneralError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const noexcept { return m_message; }

private:
    QString m_message;
};
