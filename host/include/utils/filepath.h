// Utils::FilePath: the host's path type. The plug-in never copies or builds one:
// it only calls toString() on a reference the host hands out.
#pragma once

#include <QString>

namespace Utils {

class FilePath
{
public:
    FilePath() = default;

    // Stand-in conveniences (the real type keeps a layout of its own).
    static FilePath fromString(const QString &path);
    bool isEmpty() const;

    QString toString() const;

private:
    QString m_path;
};

} // namespace Utils
