#pragma once

#include <QString>

#include <exception>

// The three ways a command can fail. Every user command runs inside one
// wrapper that shows AppError's message in the standard error box and
// swallows SilentAbort, so none of these ever crosses Qt's event loop.
class AppError : public std::exception
{
public:
    explicit AppError(QString message) : m_message(std::move(message)) {}
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return "Quorvel error"; }

private:
    QString m_message;
};

// The server or the data-access layer refused something; the message is its text.
class DatabaseError : public AppError
{
public:
    using AppError::AppError;
};

// The program itself refused something ("Not active transaction for IB").
class GeneralError : public AppError
{
public:
    using AppError::AppError;
};

// The user cancelled: the command ends without any message.
class SilentAbort : public std::exception
{
public:
    const char *what() const noexcept override { return "aborted"; }
};
