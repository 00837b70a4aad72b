// The age, the stamps and the search that tell a context out of date.
#include "menuview/files/contextrefresh.h"

#include "creader/compilecommands.h"

namespace VelkoMenuView {

bool ContextRefresh::due() const
{
    return m_outOfDate || !m_age.isValid() || m_age.hasExpired(Lifetime);
}

void ContextRefresh::renew(ReadOptions context, const QString &database, bool searched,
                           const IncludeFiles::OpenText &openText, FileStamps read)
{
    m_database = database;
    m_searched = searched;
    m_outOfDate = false;
    m_age.start();
    m_read = std::make_shared<Read>(Read {std::move(read), {}});
    m_read->onDisk.note(database);
    context.openText = [read = m_read, openText](const QString &path, QString *text) {
        read->asked.insert(path);
        if (openText && openText(path, text))
            return true;
        read->onDisk.note(path);
        return false;
    };
    m_context = std::move(context);
}

bool ContextRefresh::takeOutOfDate(bool search)
{
    if (m_outOfDate || !m_age.isValid())
        return false;
    m_outOfDate = m_read->onDisk.changed()
            || (search && m_searched && !m_context.path.isEmpty()
                && CompileCommands::search(m_context.path).database != m_database);
    return m_outOfDate;
}

} // namespace VelkoMenuView
