// Fuzzes formatItems with arbitrary item texts and stored values: one item a
// line, "text\tvalue1\tvalue2...". The whole input also serves as one format
// for formatText, with values of every kind.
#include "fuzzinput.h"

#include "menuview/analysis/itemformat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString input = splitInput(data, size, 1).first();
    MenuDefinition menu;
    const QStringList lines = input.split(u'\n');
    for (const QString &line : lines) {
        QStringList fields = line.split(u'\t');
        menu.itemTexts.append(fields.takeFirst());
        menu.paramValues.append(fields);
    }
    formatItems(menu);
    FUZZ_CHECK(menu.itemLines.size() == menu.itemTexts.size());
    FUZZ_CHECK(menu.itemParams.size() == menu.itemTexts.size());
    for (const QString &line : std::as_const(menu.itemLines))
        FUZZ_CHECK(line.size() <= 127);

    const QByteArray format(reinterpret_cast<const char *>(data), qsizetype(size));
    const QVariantList values {-1,
                               2.5,
                               QByteArray("text"),
                               QStringLiteral("строка"),
                               -(qint64(1) << 40),
                               qQNaN(),
                               QByteArray(300, 'x')};
    FUZZ_CHECK(formatText(format, values).size() <= 127);
    return 0;
}
