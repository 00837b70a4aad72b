// One C text being read, and what its readers have learnt of it so far:
// shared by the readings of all its menus, so that the text is read once.
#pragma once

#include "menuview/analysis/constantindex.h"
#include "menuview/analysis/sourcereader.h"
#include "menuview/analysis/textargument.h"

namespace VelkoMenuView {

struct SourceText
{
    explicit SourceText(QStringView text, const SourceContext &context = {})
        : text(text)
        , constants(text, &facts)
    {
        facts.context = context;
        SourceReader::readPredefined(&facts);
        // An extern constant's definition may stand anywhere in the text.
        constants.setReadAll([this] {
            SourceReader reader(this->text, facts.lineStartBefore(facts.readTo), &facts);
            while (reader.nextKeyword().keyword != MenuKeyword::None) { }
        });
    }
    SourceText(const SourceText &) = delete;
    SourceText &operator=(const SourceText &) = delete;

    TextContext context() { return {&facts, &constants, &literals}; }

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
    SourceFacts facts;
    ConstantIndex constants;
    LiteralTexts literals;
};

} // namespace VelkoMenuView
