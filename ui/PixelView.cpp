#include "PixelView.h"

#include <QMenu>

#include "pictures/SpritePictures.h"

namespace PixelView {

QImage ToImage(const Picture& picture) {
    QImage image(picture.width, picture.height, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height; ++y) {
        auto* line = reinterpret_cast<uint32_t*>(image.scanLine(y));
        std::copy_n(picture.argb.begin() + static_cast<std::ptrdiff_t>(y) * picture.width, picture.width,
                    line);
    }
    return image;
}

Picture ToPicture(const QImage& image) {
    Picture picture;
    if (image.isNull()) {
        picture.problem = "no picture";
        return picture;
    }
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    picture.width = argb.width();
    picture.height = argb.height();
    picture.argb.reserve(static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height));
    for (int y = 0; y < picture.height; ++y) {
        const auto* line = reinterpret_cast<const uint32_t*>(argb.constScanLine(y));
        picture.argb.insert(picture.argb.end(), line, line + picture.width);
    }
    return picture;
}

QImage Zoomed(const QImage& image, int factor) {
    return image.scaled(image.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

void AddZoomEntries(QMenu& menu, int current, const std::function<void(int)>& choose) {
    for (int factor = 1; factor <= kLargestZoom; ++factor) {
        QAction* zoom = menu.addAction(QStringLiteral("Zoom %1\u00D7").arg(factor), &menu,
                                       [choose, factor] { choose(factor); });
        zoom->setCheckable(true);
        zoom->setChecked(factor == current);
    }
}

}  // namespace PixelView
