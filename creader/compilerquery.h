// The compiler's own macros (__GNUC__, __AVR__, __SIZEOF_POINTER__ ...) and
// system header folders, asked of the compiler that the build names, once
// per compiler and options. A build's files may name any program, so a
// compiler is run only when its path matches the allowed globs (the
// system's own compilers unless told otherwise); otherwise, and without a
// compiler, a fixed set for a gcc-like host stands in.
#pragma once

#include "creader/buildconfiguration.h"

#include <QString>
#include <QStringList>

namespace VelkoMenuView {

class CompilerQuery
{
public:
    // Fills in `configuration`'s predefined macros and system folders from
    // its compiler, when one is named and allowed (an empty list allows the
    // default ones); otherwise takes the host's macros. compilerState says
    // which it was.
    static void apply(BuildConfiguration *configuration, const QStringList &allowed);
    // The words of message(), for the places that say it.
    struct Words
    {
        QString notFound; // %1 the compiler as named
        QString notAllowed; // %1 its path, %2 the allowed globs
        QString failed; // %1 its path, %2 what went wrong
        QString howToAllow; // %1 its path; appended to notAllowed when given
    };
    // Why the compiler's own macros are not those read, in words; empty when
    // they are, or no compiler is named. `howToAllow`: %1 the compiler's path.
    static QString message(const BuildConfiguration &configuration, const QString &howToAllow);
    static QString message(const BuildConfiguration &configuration, const Words &words);
};

} // namespace VelkoMenuView
