// Utils::Id: the host's interned identifier, a trivially copyable 8-byte value.
#pragma once

#include <QByteArray>
#include <QString>

namespace Utils {

class Id
{
public:
    Id() = default;
    Id(const char *name);

    QByteArray name() const;
    QString toString() const;
    bool isValid() const { return m_id != 0; }

    // Stand-in conveniences; the plug-in compares nothing.
    bool operator==(Id other) const { return m_id == other.m_id; }
    bool operator!=(Id other) const { return m_id != other.m_id; }

private:
    quintptr m_id = 0;
};

} // namespace Utils
