// Fuzzes parseMenu with arbitrary source and preamble ("preamble\0source"),
// then formats whatever it read.
#include "fuzzinput.h"

#include "menuview/analysis/itemformat.h"
#include "menuview/analysis/menuparser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QString> texts = splitInput(data, size, 2);
    MenuDefinition menu;
    menu.preamble = texts[0];
    menu.source = texts[1];

    ParseError error = ParseError::None;
    qsizetype offset = 0;
    const bool ok = parseMenu(menu, &error, &offset);
    FUZZ_CHECK(ok == (error == ParseError::None));
    FUZZ_CHECK(offset >= -1 && offset < qMax<qsizetype>(menu.source.size(), 1));
    FUZZ_CHECK(ok || error == ParseError::NoOpeningKeyword || offset >= 0);

    MenuDefinition plain;
    plain.preamble = menu.preamble;
    plain.source = menu.source;
    FUZZ_CHECK(parseMenu(plain) == ok);
    FUZZ_CHECK(plain.name == menu.name && plain.title == menu.title
               && plain.itemTexts == menu.itemTexts);

    if (ok) {
        formatItems(menu);
        FUZZ_CHECK(menu.itemLines.size() == menu.itemTexts.size());
        FUZZ_CHECK(menu.itemParams.size() == menu.itemTexts.size());
    }
    return 0;
}
