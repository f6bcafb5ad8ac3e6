#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>

#include "pictures/PictureImport.h"

class QIODevice;

// PNG files for the picture imports, read with Qt's image reader: Qt is linked already and reads PNG with
// the system's libpng, and editor/ stays free of any library but the standard one. The header is read and
// its size checked before a pixel is decoded, so a huge picture costs nothing.
namespace PngFile {

struct Read {
    PixelImage image;
    std::string error;  // a sentence; empty when image holds the pixels
};

// Empty when a picture of width x height may be decoded; otherwise why not.
using SizeCheck = std::function<std::string(int64_t width, int64_t height)>;

[[nodiscard]] Read FromFile(const QString& path, const SizeCheck& sizeCheck);
[[nodiscard]] Read FromBytes(const QByteArray& bytes, const SizeCheck& sizeCheck);

}  // namespace PngFile
