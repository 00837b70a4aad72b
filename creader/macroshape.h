// A macro's parameters and replacement list as tokens, read from its
// #define when it is first expanded, and whether two definitions are the
// same as C counts sameness.
#pragma once

#include "creader/cscanner.h"

#include <QList>
#include <QStringList>
#include <QStringView>

namespace VelkoMenuView {

struct MacroDefinition;

struct MacroShape
{
    struct Part
    {
        Token token; // in the definition's text
        qint16 parameter = -1; // the parameter it names, -1 when none
        bool stringify = false; // after "#": its argument spelt as a literal
        bool pasteLeft = false; // before "##"
        qint32 vaoptClose = -1; // for __VA_OPT__: the part of its closing ")"
    };

    // False for a definition the compiler refuses, which then defines nothing.
    bool valid = true;
    bool functionLike = false;
    bool variadic = false; // the last parameter takes the rest of the arguments
    QStringList parameters; // a variadic one is __VA_ARGS__ or the name given before "..."
    QList<Part> body;

    static MacroShape read(const MacroDefinition &definition);

    // Whether both define the macro alike: the same parameters, and the same
    // tokens with white space between them in the same places.
    static bool same(const MacroDefinition &a, const MacroDefinition &b);
};

} // namespace VelkoMenuView
