// Splitting a fuzzer input into the texts a harness needs.
#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

#include <cstdint>
#include <cstdlib>

// The input as UTF-8 text, cut at zero bytes into at most `parts` pieces;
// missing pieces are empty.
inline QList<QString> splitInput(const uint8_t *data, size_t size, int parts)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QList<QString> texts;
    qsizetype from = 0;
    for (int i = 0; i < parts; ++i) {
        const qsizetype zero = i + 1 < parts ? bytes.indexOf('\0', from) : -1;
        const qsizetype end = zero < 0 ? bytes.size() : zero;
        texts.append(QString::fromUtf8(bytes.mid(from, end - from)));
        from = qMin(end + 1, bytes.size());
    }
    return texts;
}

// Stops the run with a message the fuzzer log shows next to the input.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            qFatal("check failed: %s", #condition);                                                \
        }                                                                                          \
    } while (false)
