#pragma once

#include <ibase.h>

#include <stdexcept>
#include <string>

// A failed client-library call, with the server's text.
class IscError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;

    // Throws when the status vector holds an error.
    static void check(const ISC_STATUS *status, const std::string &what)
    {
        if (status[0] == 1 && status[1] != 0)
            throw IscError(what + ": " + text(status));
    }

    static std::string text(const ISC_STATUS *status)
    {
        std::string result;
        char buffer[1024];
        const ISC_STATUS *vector = status;
        while (fb_interpret(buffer, sizeof buffer, &vector) > 0) {
            if (!result.empty())
                result += "; ";
            result += buffer;
        }
        return result;
    }
};
