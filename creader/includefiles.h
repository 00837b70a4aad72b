// Headers as the preprocessor finds them: looked up beside the including
// file and in the include folders, read once and kept while their size and
// modification time stay the same, or taken from an editor's unsaved text.
#pragma once

#include <QSharedPointer>
#include <QString>
#include <QStringList>

#include <functional>

namespace VelkoMenuView {

struct BuildConfiguration;

class IncludeFiles
{
public:
    // The text of an open document with that absolute path, if one is open.
    using OpenText = std::function<bool(const QString &path, QString *text)>;

    // Where `#include "name"` (quoted) or `#include <name>` finds its file
    // for a file in `includerFolder`; empty when nowhere. *folder, when
    // given, receives the folder it was found in, as written; with `after`,
    // the search starts past that folder (#include_next).
    static QString find(const QString &name, bool quoted, const QString &includerFolder,
                        const BuildConfiguration &configuration, QString *folder = nullptr,
                        const QString &after = QString());

    // The file's text, decoded as UTF-8; null when it cannot be read.
    static QSharedPointer<const QString> text(const QString &path, const OpenText &open = {});
};

} // namespace VelkoMenuView
