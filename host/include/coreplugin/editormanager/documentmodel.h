// Core::DocumentModel: the documents open in the host's editors.
#pragma once

#include <QList>

namespace Core {

class IDocument;

class DocumentModel
{
public:
    static QList<IDocument *> openedDocuments();
};

} // namespace Core
