// The gallery's JSON twin, changes.json: the changes for CI, and every menu
// with its pictures and findings, so that a later gallery can compare
// against this one.
#pragma once

#include "menuview/review/gallerychanges.h"
#include "menuview/review/gallerymodel.h"

#include <QByteArray>
#include <QTime>

namespace VelkoMenuView {

struct GalleryPage
{
    VelkoMenuView::Gallery after;
    VelkoMenuView::Gallery before; // the gallery compared against; empty without one
    QString comparedWith; // "HEAD~1 (1a2b3c4)", "the gallery in DIR"; empty without one
    QList<VelkoMenuView::MenuChange> changes;
    QList<qsizetype> unchanged; // indexes into after.menus
    QTime clock;
    int scale = 2;
    // Paths inside the folder, by change and screen: before, after and mask pictures.
    struct ChangePictures
    {
        QString before;
        QString after;
        QString mask;
    };
    QList<QList<ChangePictures>> changePictures; // per change, per screen
};

QByteArray galleryJson(const GalleryPage &page);

// Reads the gallery written into `folder` before: its menus with their
// screens at magnification 1. False with a one-line reason when it holds none.
bool readGalleryJson(const QString &folder, VelkoMenuView::Gallery *gallery, QString *error);

} // namespace VelkoMenuView
