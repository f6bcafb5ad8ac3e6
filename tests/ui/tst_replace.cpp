#include <QBuffer>
#include <QtEndian>

#include "PngFile.h"
#include "WindowFixture.h"
#include "pictures/PictureReplacements.h"
#include "species/SpeciesRecord.h"

namespace {

using Kind = PictureImport::Kind;

QByteArray Png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) qFatal("cannot make a PNG");
    return bytes;
}

// A picture of `colours` colours in bands (k * 15 greys when only a count is given): colour 0 at the
// top-left.
QImage Banded(int width, int height, QList<QRgb> colours, int greys = 0) {
    for (int k = 0; k < greys; ++k) colours << qRgb(k * 15, k * 15, k * 15);
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, colours[(x / 4 + y) % colours.size()]);
    return image;
}

// A header that claims width x height, followed by a few bytes of pixel data where megabytes would be
// needed: only a reader that checks the header's size first refuses it for its size rather than its data.
QByteArray HugeHeader(quint32 width, quint32 height) {
    const auto chunk = [](const QByteArray& type, const QByteArray& data) {
        quint32 crc = 0xFFFFFFFF;
        for (const char c : type + data) {
            crc ^= static_cast<quint8>(c);
            for (int bit = 0; bit < 8; ++bit) crc = crc >> 1 ^ (crc & 1 ? 0xEDB88320u : 0u);
        }
        QByteArray length(4, '\0'), check(4, '\0');
        qToBigEndian<quint32>(static_cast<quint32>(data.size()), length.data());
        qToBigEndian<quint32>(~crc, check.data());
        return length + type + data + check;
    };
    QByteArray header(8, '\0');
    qToBigEndian(width, header.data());
    qToBigEndian(height, header.data() + 4);
    header.append("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter, no interlace
    return QByteArray("\x89PNG\r\n\x1A\n", 8) + chunk("IHDR", header) +
           chunk("IDAT", QByteArray::fromHex("789c63600000000100")) + chunk("IEND", {});
}

// The picture as the games show it: the top-left colour transparent, the others in 15 bits.
std::vector<uint32_t> Pixels(const QImage& image, bool asShown = false) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    std::vector<uint32_t> pixels;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x) {
            const uint32_t pixel = argb.pixel(x, y);
            pixels.push_back(!asShown ? pixel
                             : pixel == argb.pixel(0, 0)
                                 ? 0
                                 : PictureImport::ShownColour(PictureImport::ToBgr555(pixel)));
        }
    return pixels;
}

void ChooseFromPreview(WindowFixture& f, const std::string& file) {
    Dialogs::QueueFileAnswer(QString::fromStdString(file));
    Dialogs::SetMenuHook([](QMenu* menu) { menu->findChild<QAction*>("mnuReplaceFrontSprite")->trigger(); });
    auto* front = f.Find<QLabel>("picFront");
    QContextMenuEvent event(QContextMenuEvent::Mouse, front->geometry().center(),
                            front->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(f.Find<SpritePreview>("preview"), &event);
    Dialogs::SetMenuHook(nullptr);
}

}  // namespace

class ReplaceTest : public QObject {
    Q_OBJECT
private slots:
    // The file as the window reads it, then the editor's check against the species.
    void everyRefusalNamesItsReasonAndReplacesNothing() {
        testsupport::TempDir dir, emeraldDir;
        const testsupport::RomFiles demo = testsupport::WriteRomFiles(dir, RomBuilder(DemoLayout()));
        // Emerald with the animated entry of species 1 pointing at a one-frame sprite.
        RomBuilder emerald(EmeraldLayout());
        const RomLayout e = emerald.layout();
        emerald.Fill(e.AnimatedImageOffset + 8, {emerald.bytes().begin() + e.ImageOffset + 8,
                                                 emerald.bytes().begin() + e.ImageOffset + 12});
        const testsupport::RomFiles moved = testsupport::WriteRomFiles(emeraldDir, emerald);
        QImage outside = Banded(64, 64, {0});
        outside.setPixel(9, 4, qRgb(0xAB, 0xCD, 0xEF));
        const QByteArray whole = Png(Banded(64, 64, {}, 3));
        const std::tuple<const testsupport::RomFiles*, Kind, QByteArray, const char*> cases[] = {
            {&demo, Kind::FrontSprite, Png(Banded(64, 60, {}, 2)),
             "64 x 60 pixels; the front sprite must be 64 x 64"},
            {&demo, Kind::FrontSprite, Png(Banded(64, 64, {}, 17)), "has 17 colours"},
            {&demo, Kind::BackSprite, Png(outside),
             "#ABCDEF at pixel (9, 4) is not in the species' normal palette"},
            // Bands that do not follow the front sprite's give one colour number two shiny colours.
            {&demo, Kind::ShinyPalette, whole, "stand where the front sprite has the same colour"},
            {&demo, Kind::Icon, Png(Banded(32, 64, {qRgb(1, 254, 3)})),
             "#01FE03 at pixel (0, 0) is in none of the icon palettes"},
            {&demo, Kind::Icon, QByteArray("GIF89a") + QByteArray(64, '\0'), "not a PNG file"},
            {&demo, Kind::FrontSprite, whole.left(whole.size() / 2), "damaged or cut short"},
            {&demo, Kind::FrontSprite, HugeHeader(10000, 10000), "10000 x 10000 pixels"},
            {&moved, Kind::FrontSprite, whole, "does not point at a two-frame sprite"}};
        for (const auto& [rom, kind, png, reason] : cases) {
            const EditorSession& session = rom->session;
            const PngFile::Read read = PngFile::FromBytes(png, [&](int64_t width, int64_t height) {
                return PictureImport::SizeProblem(kind, session.AnimatedImageOffset.has_value(), width,
                                                  height);
            });
            PictureReplacements replaced;
            const SpeciesValues shown = ReadSpecies(session, 1);
            const auto hex = [](const std::string& text) {
                return std::optional(std::stoi(text, nullptr, 16));
            };
            const std::string error =
                !read.error.empty()
                    ? read.error
                    : ReplacePicture(kind, read.image, session, 1,
                                     {hex(shown.sprite), hex(shown.palette), hex(shown.shinyPalette)},
                                     replaced)
                          .error;
            QVERIFY2(error.find(reason) != std::string::npos && replaced.empty(), error.c_str());
        }
    }

    void aReplacedSpriteShowsAtOnceAndIsKeptOnlyBySavingIt() {
        WindowFixture f;
        const std::string rom = f.OpenDemo(25);
        const std::vector<uint8_t> original = f.Bytes(rom);
        auto* preview = f.Find<SpritePreview>("preview");
        const QImage before = preview->Image(SpritePreview::View::Front);
        const QImage picture =
            Banded(64, 64, {qRgb(0, 255, 0), qRgb(16, 24, 33), qRgb(250, 127, 1), qRgb(0, 0, 0)});
        const std::string file = f.WriteFile("front.png", Png(picture).toStdString());
        const QStringList untouched = f.Snapshot();
        ChooseFromPreview(f, "");  // cancelled
        QCOMPARE(f.Snapshot(), untouched);
        QCOMPARE(Dialogs::LastFileRequest().title, "Replace Front sprite...");
        // Shown, not written; discarded with the species.
        ChooseFromPreview(f, file);
        QCOMPARE(Pixels(preview->Image(SpritePreview::View::Front)), Pixels(picture, true));
        QVERIFY(f.Caption().endsWith('*') && f.Box("txtSprite")->isReadOnly() &&
                f.Box("txtPalette")->isReadOnly());
        QVERIFY(f.messages.isEmpty() && f.Bytes(rom) == original);
        f.SelectSpecies(26);
        f.SelectSpecies(25);
        QVERIFY(preview->Image(SpritePreview::View::Front) == before && !f.Box("txtSprite")->isReadOnly() &&
                f.Bytes(rom) == original);
        // Saved: one step that reads back as the picture, and one undo that takes it all back.
        ChooseFromPreview(f, file);
        f.Click("cmdSave");
        QVERIFY(f.messages.isEmpty() && !f.Edited() && !f.Box("txtSprite")->isReadOnly() &&
                f.Bytes(rom) != original);
        QCOMPARE(Pixels(preview->Image(SpritePreview::View::Front)), Pixels(picture, true));
        f.Trigger("mnuUndo");
        QVERIFY(f.Bytes(rom) == original && preview->Image(SpritePreview::View::Front) == before);
    }
};

QTEST_MAIN(ReplaceTest)
#include "tst_replace.moc"
