#include "PngFile.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>

namespace PngFile {
namespace {

const QByteArray kSignature("\x89PNG\r\n\x1A\n", 8);

Read Failed(std::string error) {
    Read read;
    read.error = std::move(error);
    return read;
}

Read FromDevice(QIODevice* device, const SizeCheck& sizeCheck) {
    // Another kind of picture is refused even where Qt could read it: the imports promise PNG.
    if (device->peek(kSignature.size()) != kSignature) return Failed("The file is not a PNG file.");
    QImageReader reader(device, "png");
    reader.setDecideFormatFromContent(false);
    const QSize size = reader.size();
    if (!size.isValid())
        return Failed("The PNG file's header cannot be read: " + reader.errorString().toStdString() + ".");
    if (std::string problem = sizeCheck(size.width(), size.height()); !problem.empty())
        return Failed(std::move(problem));

    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        return Failed("The PNG file is damaged or cut short: " + reader.errorString().toStdString() + ".");
    }
    // A file may carry another size in its data than in its header; what is checked is what is used.
    if (image.size() != size) return Failed("The PNG file's pixels do not match the size its header gives.");

    Read read;
    read.image.width = image.width();
    read.image.height = image.height();
    if (image.format() == QImage::Format_Indexed8 || image.format() == QImage::Format_Mono ||
        image.format() == QImage::Format_MonoLSB) {
        const QList<QRgb> table = image.colorTable();
        read.image.colourTable.assign(table.begin(), table.end());
    }
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
    read.image.argb.reserve(static_cast<std::size_t>(pixels.width()) *
                            static_cast<std::size_t>(pixels.height()));
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        read.image.argb.insert(read.image.argb.end(), line, line + pixels.width());
    }
    return read;
}

}  // namespace

Read FromFile(const QString& path, const SizeCheck& sizeCheck) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Failed("The file cannot be opened: " + file.errorString().toStdString() + ".");
    return FromDevice(&file, sizeCheck);
}

Read FromBytes(const QByteArray& bytes, const SizeCheck& sizeCheck) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return FromDevice(&buffer, sizeCheck);
}

}  // namespace PngFile
