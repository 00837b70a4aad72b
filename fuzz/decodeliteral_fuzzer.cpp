// Fuzzes decodeLiteral with an arbitrary preamble and argument ("preamble\0argument").
#include "fuzzinput.h"

#include "menuview/analysis/menuparser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QString> texts = splitInput(data, size, 2);
    MenuDefinition menu;
    menu.preamble = texts[0];
    const QString text = decodeLiteral(menu, texts[1]);
    // Decoding only ever shortens what the literals hold.
    FUZZ_CHECK(text.size() <= texts[0].size() + texts[1].size());
    return 0;
}
