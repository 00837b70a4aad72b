// One document's reading, kept from one of its texts to the next: a new
// text is read again only from the line start before its first change, and
// line numbers are counted from places already counted.
#pragma once

#include "creader/linemap.h"
#include "creader/sourcereading.h"

#include <QString>

#include <memory>

namespace VelkoMenuView {

class DocumentReading
{
public:
    // The reading of `text`. What was read of the previous text stays where
    // the two are the same, unless `generation` differs from the previous
    // call's: the context (the build's options, the headers) changed.
    SourceReading &read(const QString &text, const ReadOptions &context, quint64 generation);

    // The text last read.
    const QString &text() const { return m_text; }
    // Its lines, counted from marks kept from text to text.
    const LineMap &lines() const { return m_lines; }

private:
    QString m_text;
    std::unique_ptr<SourceReading> m_source;
    quint64 m_generation = 0;
    LineMap m_lines;
};

} // namespace VelkoMenuView
