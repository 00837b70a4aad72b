// Utils::Icon: a themed icon the host draws on demand.
#pragma once

#include <QIcon>

namespace Utils {

class Icon
{
public:
    using Painter = QIcon (*)();

    // Stand-in convenience: an icon drawn by a function of ours.
    explicit Icon(Painter painter) : m_painter(painter) {}

    QIcon icon() const;

private:
    Painter m_painter = nullptr;
};

} // namespace Utils
