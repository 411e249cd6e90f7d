#pragma once

#include <QString>

#include <functional>

// The one way a test says "this call must fail": the message of the Error the
// call throws, or an empty text when it returns (every failure says
// something), so that one QCOMPARE checks both that it failed and how. For the silent abort, which carries no
// message, threw() tells whether it was thrown.
template <typename Error>
QString failureOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const Error &error) {
        return error.message();
    }
    return QString();
}

template <typename Error>
bool threw(const std::function<void()> &call)
{
    try {
        call();
    } catch (const Error &) {
        return true;
    }
    return false;
}
