// Walks an item text's printf format piece by piece, as the formatter reads
// it: runs of plain text, and directives with the value each one takes.
#pragma once

#include "menuview/analysis/formatdirective.h"
#include "menuview/analysis/menudefinition.h"

#include <QByteArray>

namespace VelkoMenuView {

struct FormatPiece
{
    enum class Kind {
        Text, // plain text, printed as it is
        Directive, // "%..." through its conversion letter
        Unfinished, // a "%" whose directive the format ends in the middle of
    };

    Kind kind = Kind::Text;
    const char *begin = nullptr;
    qsizetype size = 0;
    FormatDirective directive; // for Directive
    // Among the directives that take a value (d, u, f, s in either case),
    // this one's place from 0; -1 for the others. "*" does not shift it.
    int valueIndex = -1;
};

// As in C, the format ends at its first zero byte. The walk keeps its own
// reference to the format, so a temporary will do.
class FormatWalk
{
public:
    explicit FormatWalk(const QByteArray &format);
    bool next(FormatPiece &piece);

private:
    QByteArray m_format;
    const char *m_p;
    const char *m_end;
    int m_nextValue = 0;
};

// The kind of value a conversion letter takes: d and u integers, f reals, s
// strings, in either case; None for every other letter.
ParamType valueKind(char16_t letter);

} // namespace VelkoMenuView
