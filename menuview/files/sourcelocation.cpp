// Reading FILE[:LINE[:COLUMN]].
#include "menuview/files/sourcelocation.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <climits>

namespace VelkoMenuView {

bool readCount(const QString &text, const QString &what, int *value, QString *error)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    if (!digits.match(text).hasMatch()) {
        *error = QStringLiteral("%1 must be a positive whole number, not '%2'").arg(what, text);
        return false;
    }
    bool ok = false;
    const qlonglong number = text.toLongLong(&ok);
    if (!ok || number > INT_MAX) {
        *error = QStringLiteral("%1 %2 is out of range").arg(what, text);
        return false;
    }
    if (number < 1) {
        *error = QStringLiteral("%1 must be at least 1").arg(what);
        return false;
    }
    *value = int(number);
    return true;
}

bool parseSourceLocation(const QString &argument, SourceLocation *location, QString *error)
{
    *location = SourceLocation();
    static const QRegularExpression suffix(QStringLiteral("^(.+?):([0-9]+)(?::([0-9]+))?$"));
    const QRegularExpressionMatch match = suffix.match(argument);
    if (QFileInfo::exists(argument) || !match.hasMatch()) {
        location->path = argument;
        return true;
    }
    location->path = match.captured(1);
    const bool read = readCount(match.captured(2), QStringLiteral("the line number"),
                                &location->line, error)
            && (match.captured(3).isEmpty()
                || readCount(match.captured(3), QStringLiteral("the column number"),
                             &location->column, error));
    if (!read && error->endsWith(QLatin1String("at least 1")))
        *error += QStringLiteral(": lines and columns count from 1");
    return read;
}

} // namespace VelkoMenuView
