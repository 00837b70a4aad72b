// Safe, unique file names.
#include "menuview/files/menufilenames.h"

namespace VelkoMenuView {

namespace {

constexpr qsizetype MaxBaseLength = 80;

QString safeBase(const QString &menuName)
{
    QString base;
    for (const char32_t c : menuName.toUcs4()) {
        if (base.size() >= MaxBaseLength)
            break;
        const bool keep = c == U'_' || c == U'-' || QChar::isLetterOrNumber(c);
        base += keep ? QString::fromUcs4(&c, 1) : QStringLiteral("_");
    }
    return base.isEmpty() ? QStringLiteral("menu") : base;
}

} // namespace

QString MenuFileNames::take(const QString &menuName)
{
    const QString base = safeBase(menuName);
    QString name = base;
    for (int n = 2; m_taken.contains(name.toCaseFolded()); ++n)
        name = base + QLatin1Char('-') + QString::number(n);
    m_taken.insert(name.toCaseFolded());
    return name;
}

} // namespace VelkoMenuView
