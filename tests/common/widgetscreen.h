// Reads a painted device screen back from a widget image: device pixel
// (x, y) is the block of m x m widget pixels, lit when black.
#pragma once

#include <QImage>
#include <QString>

struct WidgetScreen
{
    QImage image;
    int m = 1;

    bool isLit(int x, int y) const { return image.pixel(x, y) == qRgb(0, 0, 0); }

    // Screen row `row` as '#'/'.' art; '?' marks a block whose pixels disagree.
    QString row(int row) const
    {
        QString art;
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 128; ++x) {
                const bool lit = isLit(x * m, (row * 8 + y) * m);
                bool uniform = true;
                for (int dy = 0; dy < m; ++dy)
                    for (int dx = 0; dx < m; ++dx)
                        uniform &= isLit(x * m + dx, (row * 8 + y) * m + dy) == lit;
                art += !uniform ? QLatin1Char('?') : lit ? QLatin1Char('#') : QLatin1Char('.');
            }
            art += QLatin1Char('\n');
        }
        return art;
    }

    int litPixels() const
    {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += isLit(x, y);
        return n;
    }
};
