// The C compiler as the judge of what firmware sources show: the menu macros
// are defined so that each live menu hands its name, item texts and title, as
// bytes and in source order, to a program that prints them.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class GccOracle
{
public:
    struct Menu
    {
        QByteArray name;
        QList<QByteArray> items;
        QByteArray title;
    };

    struct Source
    {
        QString path;
        QStringList options; // -D, -U and -I as the source wants them
    };

    // `folder` takes the prelude, the runner, objects and programs.
    GccOracle(const QString &compiler, const QString &folder);

    // Writes the prelude and compiles the runner; false with the reason in *error.
    bool prepare(QString *error);

    // Compiles the sources, two at a time, links them with the runner and runs
    // it: the live menus of each source, in the sources' order.
    bool run(const QList<Source> &sources, QList<QList<Menu>> *menus, QString *error);

    // The compiler's arguments for a source, to repeat its run by hand.
    QStringList compileArguments(const Source &source, int id) const;
    // The language the sources are compiled as: -std=...
    static QStringList languageOptions();

private:
    bool execute(const QStringList &arguments, QByteArray *output, QString *error) const;
    bool compileAll(const QList<Source> &sources, QString *error) const;
    QString objectPath(int id) const;

    QString m_compiler;
    QString m_folder;
    int m_runs = 0;
};
