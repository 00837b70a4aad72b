// Files a reading depended on, as they stood when it read them (size and
// modification time, or missing): whether one has changed since tells that
// the reading is out of date, without reading any file again.
#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>

namespace VelkoMenuView {

class FileStamps
{
public:
    // Notes the file as it stands now; a file noted before keeps its first stamp.
    void note(const QString &path);
    // Whether a noted file differs now from its stamp.
    bool changed() const;
    void clear() { m_stamps.clear(); }

private:
    struct Stamp
    {
        bool exists = false;
        qint64 size = -1;
        QDateTime modified;
        bool operator==(const Stamp &other) const
        {
            return exists == other.exists && size == other.size && modified == other.modified;
        }
    };
    static Stamp stampOf(const QString &path);

    QHash<QString, Stamp> m_stamps;
};

} // namespace VelkoMenuView
