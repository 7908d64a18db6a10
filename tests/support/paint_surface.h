// An image with a painter canvas on it, for tests that look at painted pixels.
#pragma once

#include "platform/canvas_painter.h"

#include <QImage>
#include <QPainter>

struct Surface {
    QImage image;
    QPainter painter;
    platform::QPainterCanvas canvas;
    explicit Surface(int w = 200, int h = 100, QRgb ground = 0xFFFFFFFF)
        : image(w, h, QImage::Format_RGB32), painter((image.fill(ground), &image)), canvas(painter, 96) {}
    QRgb at(int x, int y) const { return image.pixel(x, y) | 0xFF000000; }
    // The picture with painting finished.
    QImage done()
    {
        painter.end();
        return image;
    }
    // Columns/rows holding any pixel darker than mid grey.
    QRect inkBox() const
    {
        QRect box;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 128)
                    box |= QRect(x, y, 1, 1);
        return box;
    }
};
