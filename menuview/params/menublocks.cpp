// Block-by-block walk over a document's menus.
#include "menuview/params/menublocks.h"

#include "menuview/analysis/menuparser.h"

qsizetype MenuBlocks::nextAfter(QLatin1StringView keyword, qsizetype *cached, qsizetype from) const
{
    if (*cached == -2 || (*cached >= 0 && *cached < from))
        *cached = m_text.indexOf(keyword, from);
    return *cached;
}

bool MenuBlocks::parseNext(MenuDefinition &record)
{
    const qsizetype from = m_position + 1;
    const qsizetype editable = nextAfter(QLatin1StringView("BEGIN_EDITABLE_MENU"), &m_nextEditable, from);
    const qsizetype plain = nextAfter(QLatin1StringView("BEGIN_MENU"), &m_nextPlain, from);
    if (editable < 0 && plain < 0)
        return false;
    m_position = editable < 0 ? plain : plain < 0 ? editable : qMin(editable, plain);
    record.name.clear();
    record.title.clear();
    record.itemTexts.clear();
    m_succeeded = parseMenuText(record, m_text.first(m_position), m_text.sliced(m_position));
    return true;
}
