// Picture controls on a band: TImage shows a TPicture, which holds a bitmap,
// a metafile, an icon or nothing.
#pragma once

#include "report/qr_band.h"

#include <QByteArray>
#include <QImage>

class TPicture {
public:
    enum class Kind { Empty, Bitmap, Metafile, Icon };

    Kind kind() const { return kind_; }
    bool hasGraphic() const { return kind_ != Kind::Empty; }

    void clear();
    void setBitmap(const QImage& bitmap);
    // An Enhanced Metafile, as bytes.
    void setMetafile(const QByteArray& emf);
    void setIcon(const QImage& icon);

    const QImage& image() const { return image_; }
    const QByteArray& metafile() const { return metafile_; }

private:
    Kind kind_ = Kind::Empty;
    QImage image_;
    QByteArray metafile_;
};

class TImage : public ReportControl {
public:
    TImage() = default;

    TPicture Picture;
    // Stretch a bitmap over the control's box; otherwise it is drawn unscaled
    // at the control's top left corner, and not clipped to the box.
    bool Stretch = false;
    // Layout on the page form only.
    bool Center = false;
    bool AutoSize = false;

    void printAt(const DrawContext& context, int X, int Y) override;
};
