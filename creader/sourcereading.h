// One C text being read, and what its readers have learnt of it so far:
// shared by all who read it, so that the text is read once.
#pragma once

#include "creader/constantindex.h"
#include "creader/sourcereader.h"
#include "creader/textargument.h"

namespace VelkoMenuView {

struct SourceReading
{
    SourceReading(QStringView text, const KeywordSet &keywords, const ReadOptions &context = {})
        : text(text)
        , constants(text, &facts)
    {
        facts.keywordSet = keywords;
        facts.context = context;
        SourceReader::readPredefined(&facts);
        // An extern constant's definition may stand anywhere in the text.
        constants.setReadAll([this] {
            SourceReader reader(this->text, facts.lineStartBefore(facts.readTo), &facts);
            while (reader.nextKeyword().keyword) { }
        });
    }
    SourceReading(const SourceReading &) = delete;
    SourceReading &operator=(const SourceReading &) = delete;

    TextLookup context() { return {&facts, &constants, &literals}; }

    // Goes on with `newText`, the same as the text read up to `pos`, a line
    // start in code from facts.lineStarts: what was learnt before it stays.
    // The texts differ from `same` to `oldEnd` (in the old one); what was
    // learnt beyond is taken up again where reading finds the state it had.
    void keep(QStringView newText, qsizetype pos, qsizetype same, qsizetype oldEnd)
    {
        facts.setAside(pos, same, oldEnd, text, newText);
        constants.truncate(pos, newText);
        text = newText;
    }

    QStringView text;
    UnitRecord facts;
    ConstantIndex constants;
    LiteralTexts literals;
};

} // namespace VelkoMenuView
