// What the language server shows on hovering a menu: the screen as the device
// draws it, as a PNG for editors that show images and as text art for those
// that show only text.
#pragma once

#include "creader/sourcereader.h"

#include <QString>
#include <QStringView>
#include <QTime>

namespace VelkoMenuView {

class LineMap;
class ParameterStore;
struct SourceReading;

struct LspHover
{
    bool found = false; // a menu definition stands around the offset
    qsizetype begin = 0; // the definition, as offsets into the text
    qsizetype end = 0;
    QString markdown;
    QString plainText;
};

// The menu around `offset` of the text `source` reads, with the values
// stored under `storePath`.
LspHover menuHoverAt(SourceReading &source, const LineMap &lines, qsizetype offset,
                     const ParameterStore &store, const QString &storePath, QTime clock);

} // namespace VelkoMenuView
