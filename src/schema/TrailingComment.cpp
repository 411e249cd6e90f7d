#include "schema/TrailingComment.h"

namespace TrailingComment {

namespace {

enum class State { Code, String, Name, Block, Line };

State next(State state, const QString &text, qsizetype &i)
{
    const QChar c = text.at(i);
    const QChar after = i + 1 < text.size() ? text.at(i + 1) : QChar();
    switch (state) {
    case State::Code:
        if (c == u'\'')
            return State::String;
        if (c == u'"')
            return State::Name;
        if ((c == u'-' && after == u'-') || (c == u'/' && after == u'*')) {
            ++i;
            return c == u'-' ? State::Line : State::Block;
        }
        return State::Code;
    // A doubled quote closes and reopens: the same state either way.
    case State::String: return c == u'\'' ? State::Code : State::String;
    case State::Name: return c == u'"' ? State::Code : State::Name;
    case State::Block:
        if (c == u'*' && after == u'/') {
            ++i;
            return State::Code;
        }
        return State::Block;
    case State::Line: return c == u'\n' || c == u'\r' ? State::Code : State::Line;
    }
    return state;
}

} // namespace

bool endsInLineComment(const QString &text)
{
    State state = State::Code;
    for (qsizetype i = 0; i < text.size(); ++i)
        state = next(state, text, i);
    return state == State::Line;
}

QString closed(const QString &text)
{
    return endsInLineComment(text) ? text + QLatin1Char('\n') : text;
}

} // namespace TrailingComment
