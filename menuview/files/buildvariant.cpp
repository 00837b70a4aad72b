// The build variant, and how the tools say it.
#include "menuview/files/buildvariant.h"

#include "creader/compilecommands.h"

namespace VelkoMenuView {
using namespace Qt::StringLiterals;

void BuildVariant::search(const QString &path)
{
    const CompileCommands::Search found = CompileCommands::search(path);
    database = found.database;
    places = found.places;
    older = found.older;
}

QString BuildVariant::phrase() const
{
    const QStringList all = options + commandLine;
    if (database.isEmpty() && all.isEmpty())
        return u"no build options: no compile_commands.json has an entry for the file"_s;
    QStringList parts;
    parts << (database.isEmpty() ? u"the command line"_s : CompileCommands::variantName(database));
    if (!all.isEmpty())
        parts << all.join(u' ');
    return u"variant: "_s + parts.join(u", "_s);
}

QString BuildVariant::details() const
{
    QString text;
    if (database.isEmpty()) {
        text = u"no compile_commands.json with an entry for the file; looked for %1"_s.arg(
                places.join(u", "_s));
    } else {
        text = u"%1, from %2"_s.arg(phrase(), database);
        if (given)
            text += u" (--compile-commands)"_s;
        else if (!older.isEmpty())
            text += u", the newest of %1 with an entry for the file (also %2)"_s.arg(
                    QString::number(older.size() + 1), older.join(u", "_s));
    }
    if (!commandLine.isEmpty())
        text += u"; %1 from the command line"_s.arg(commandLine.join(u' '));
    return text;
}

} // namespace VelkoMenuView
