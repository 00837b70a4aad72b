// A document held in memory: what the tests, the fuzzers and the benchmark open.
#pragma once

#include "coreplugin/idocument.h"

namespace VelkoMenuView {

class MemoryDocument : public Core::IDocument
{
    Q_OBJECT

public:
    explicit MemoryDocument(const QString &path = QString(),
                            const QByteArray &contents = QByteArray(), QObject *parent = nullptr);

    QByteArray contents() const override;
    // Replaces the bytes and emits contentsChanged, as an edit in the host would.
    bool setContents(const QByteArray &contents) override;
    bool isModified() const override { return m_modified; }

private:
    QByteArray m_contents;
    bool m_modified = false;
};

} // namespace VelkoMenuView
