#pragma once

#include <QImage>
#include <functional>

class QMenu;
struct Picture;

// Pictures shown pixel for pixel, as the previews show them: the editor's plain pixels as Qt images and back,
// enlarged without smoothing, and the zoom entries of a preview's context menu.
namespace PixelView {

inline constexpr int kLargestZoom = 3;

[[nodiscard]] QImage ToImage(const Picture& picture);
// A null image gives a picture that is not ok.
[[nodiscard]] Picture ToPicture(const QImage& image);
[[nodiscard]] QImage Zoomed(const QImage& image, int factor);
// "Zoom 1x" to "Zoom 3x", the current one checked; choosing one calls choose with its factor.
void AddZoomEntries(QMenu& menu, int current, const std::function<void(int)>& choose);

}  // namespace PixelView
