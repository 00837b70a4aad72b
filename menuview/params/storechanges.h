// Tells every view of this process that a document's stored values changed,
// so that each shows them at once, not at its next reading.
#pragma once

#include <QObject>

namespace VelkoMenuView {

class StoreChanges : public QObject
{
    Q_OBJECT

public:
    static StoreChanges *instance();

signals:
    // `filePath`: the document whose values were written, removed or moved.
    void changed(const QString &filePath);

private:
    StoreChanges() = default;
};

} // namespace VelkoMenuView
