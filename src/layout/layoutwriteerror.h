#pragma once

#include <QString>

#include <stdexcept>

// A save that could not open or write its file. Carries the file and the
// platform's reason so that the Save command can tell the person both.
class LayoutWriteError : public std::runtime_error {
public:
    LayoutWriteError(QString file, QString reason)
        : std::runtime_error((file + QStringLiteral(": ") + reason).toStdString()), m_file(std::move(file)),
          m_reason(std::move(reason))
    {
    }

    const QString& file() const { return m_file; }
    const QString& reason() const { return m_reason; }

private:
    QString m_file;
    QString m_reason;
};
