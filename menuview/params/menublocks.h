// Walks every menu definition of a document, in text order: each occurrence of
// an opening keyword starts one block, parsed with the text before it as its
// preamble and everything after it as its source, as the view would parse it.
// Views into the one text, so a document with many menus costs no copies.
#pragma once

#include "menuview/analysis/menudefinition.h"

#include <QString>
#include <QStringView>

class MenuBlocks
{
public:
    explicit MenuBlocks(QStringView text) : m_text(text) {}

    // Parses the next block into record (name, title, itemTexts); false when
    // no opening keyword is left.
    bool parseNext(MenuDefinition &record);
    bool lastSucceeded() const { return m_succeeded; }
    qsizetype lastPosition() const { return m_position; }

private:
    // Next occurrence of each keyword at or after the search position; a
    // keyword that no longer occurs is searched for only once.
    qsizetype nextAfter(QLatin1StringView keyword, qsizetype *cached, qsizetype from) const;

    QStringView m_text;
    qsizetype m_position = -1;
    qsizetype m_nextEditable = -2;
    qsizetype m_nextPlain = -2;
    bool m_succeeded = false;
};
