#include <QAction>
#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QtEndian>

#include "pictures/PictureReplacements.h"
#include "PngFile.h"
#include "species/SpeciesRecord.h"
#include "SpritePreview.h"
#include "WindowFixture.h"

namespace {

using Kind = PictureImport::Kind;

QByteArray Png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) qFatal("cannot make a PNG");
    return bytes;
}

// A picture of `colours` colours in bands: colour 0 at the top-left.
QImage Banded(int width, int height, const QList<QRgb>& colours) {
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, colours[(x / 4 + y) % colours.size()]);
    return image;
}

QList<QRgb> Greys(int count) {
    QList<QRgb> colours;
    for (int k = 0; k < count; ++k) colours << qRgb(k * 15, k * 15, k * 15);
    return colours;
}

QByteArray Chunk(const QByteArray& type, const QByteArray& data) {
    quint32 crc = 0xFFFFFFFF;
    for (const char c : type + data) {
        crc ^= static_cast<quint8>(c);
        for (int bit = 0; bit < 8; ++bit) crc = crc >> 1 ^ (crc & 1 ? 0xEDB88320u : 0u);
    }
    char length[4], check[4];
    qToBigEndian<quint32>(static_cast<quint32>(data.size()), length);
    qToBigEndian<quint32>(~crc, check);
    return QByteArray(length, 4) + type + data + QByteArray(check, 4);
}

// A header that claims width x height, followed by a few bytes of pixel data where megabytes would be
// needed: only a reader that checks the header's size first refuses it for its size rather than its data.
QByteArray HugeHeader(quint32 width, quint32 height) {
    QByteArray header;
    for (quint32 value : {width, height}) {
        char big[4];
        qToBigEndian(value, big);
        header.append(big, 4);
    }
    header.append("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter, no interlace
    return QByteArray("\x89PNG\r\n\x1A\n", 8) + Chunk("IHDR", header) +
           Chunk("IDAT", QByteArray::fromHex("789c63600000000100")) + Chunk("IEND", {});
}

std::vector<uint32_t> Pixels(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    std::vector<uint32_t> pixels;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x) pixels.push_back(argb.pixel(x, y));
    return pixels;
}

// The picture as the games show it: the top-left colour transparent, the others in 15 bits.
std::vector<uint32_t> AsShown(const QImage& image) {
    std::vector<uint32_t> pixels = Pixels(image);
    const uint32_t zero = pixels[0];
    for (uint32_t& pixel : pixels)
        pixel = pixel == zero ? 0 : PictureImport::ShownColour(PictureImport::ToBgr555(pixel));
    return pixels;
}

void ChooseFromPreview(WindowFixture& f, const char* entry, const std::string& file) {
    Dialogs::QueueFileAnswer(QString::fromStdString(file));
    Dialogs::SetMenuHook([entry](QMenu* menu) { menu->findChild<QAction*>(entry)->trigger(); });
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
    void everyRefusalNamesItsReasonAndReplacesNothing() {
        testsupport::TempDir dir;
        const testsupport::RomFiles demo = testsupport::WriteRomFiles(dir, RomBuilder(DemoLayout()));
        // Emerald with the animated entry of species 1 pointing at a one-frame sprite.
        RomBuilder emerald(EmeraldLayout());
        emerald.Fill(emerald.layout().AnimatedImageOffset + 8,
                     {emerald.bytes().begin() + emerald.layout().ImageOffset + 8,
                      emerald.bytes().begin() + emerald.layout().ImageOffset + 12});
        testsupport::TempDir emeraldDir;
        const testsupport::RomFiles moved = testsupport::WriteRomFiles(emeraldDir, emerald);

        QImage outside = Banded(64, 64, {0});
        outside.setPixel(9, 4, qRgb(0xAB, 0xCD, 0xEF));
        // Bands that do not follow the front sprite's colours give one colour number two shiny colours.
        const QImage twoShiny = Banded(64, 64, Greys(3));
        const QByteArray whole = Png(Banded(64, 64, Greys(3)));
        const struct {
            const char* name;
            const testsupport::RomFiles* rom;
            Kind kind;
            QByteArray png;
            const char* reason;
        } cases[] = {
            {"wrong size", &demo, Kind::FrontSprite, Png(Banded(64, 60, Greys(2))),
             "64 x 60 pixels; the front sprite must be 64 x 64"},
            {"17 colours", &demo, Kind::FrontSprite, Png(Banded(64, 64, Greys(17))), "has 17 colours"},
            {"a colour outside the palette", &demo, Kind::BackSprite, Png(outside),
             "#ABCDEF at pixel (9, 4) is not in the species' normal palette"},
            {"two shiny colours for one number", &demo, Kind::ShinyPalette, Png(twoShiny),
             "stand where the front sprite has the same colour"},
            {"an icon colour in no icon palette", &demo, Kind::Icon, Png(Banded(32, 64, {qRgb(1, 254, 3)})),
             "#01FE03 at pixel (0, 0) is in none of the icon palettes"},
            {"not a PNG", &demo, Kind::Icon, QByteArray("GIF89a") + QByteArray(64, '\0'), "not a PNG file"},
            {"a truncated PNG", &demo, Kind::FrontSprite, whole.left(whole.size() / 2),
             "damaged or cut short"},
            {"100 megapixels", &demo, Kind::FrontSprite, HugeHeader(10000, 10000), "10000 x 10000 pixels"},
            {"two frames outside Emerald", &demo, Kind::FrontSprite, Png(Banded(64, 128, Greys(3))),
             "must be 64 x 64 pixels."},
            {"Emerald's animated entry", &moved, Kind::FrontSprite, whole,
             "does not point at a two-frame sprite"},
        };
        for (const auto& c : cases) {
            const EditorSession& session = c.rom->session;
            const PngFile::Read read = PngFile::FromBytes(c.png, [&](int64_t width, int64_t height) {
                return PictureImport::SizeProblem(c.kind, session.AnimatedImageOffset.has_value(), width,
                                                  height);
            });
            PictureReplacements replaced;
            const SpeciesValues shown = ReadSpecies(session, 1);
            const auto hex = [](const std::string& text) {
                return std::optional<int32_t>(std::stoi(text, nullptr, 16));
            };
            const std::string error =
                !read.error.empty()
                    ? read.error
                    : ReplacePicture(c.kind, read.image, session, 1,
                                     {hex(shown.sprite), hex(shown.palette), hex(shown.shinyPalette)},
                                     replaced)
                          .error;
            QVERIFY2(error.find(c.reason) != std::string::npos,
                     qPrintable(QString(c.name) + ": " + QString::fromStdString(error)));
            QVERIFY2(replaced.empty(), c.name);
        }
    }

    void aReplacedSpriteShowsAtOnceAndIsKeptOnlyBySavingIt() {
        WindowFixture f;
        const std::string rom = f.OpenDemo(25);
        const std::vector<uint8_t> original = f.Bytes(rom);
        auto* preview = f.Find<SpritePreview>("preview");
        const QImage before = preview->Image(SpritePreview::View::Front);
        QImage picture =
            Banded(64, 64, {qRgb(0, 255, 0), qRgb(16, 24, 33), qRgb(250, 127, 1), qRgb(0, 0, 0)});
        const std::string file = f.WriteFile("front.png", Png(picture).toStdString());

        // Cancelled: nothing happens.
        const QStringList untouched = f.Snapshot();
        ChooseFromPreview(f, "mnuReplaceFrontSprite", "");
        QCOMPARE(f.Snapshot(), untouched);

        ChooseFromPreview(f, "mnuReplaceFrontSprite", file);
        QCOMPARE(Pixels(preview->Image(SpritePreview::View::Front)), AsShown(picture));
        QVERIFY(f.Caption().endsWith('*') && f.Box("txtSprite")->isReadOnly() &&
                f.Box("txtPalette")->isReadOnly());
        QVERIFY(f.messages.isEmpty());
        QCOMPARE(f.Bytes(rom), original);

        // Discarded with the species: the file and the preview are as they were.
        f.answers = {Dialogs::Answer::Discard};
        f.SelectSpecies(26);
        f.SelectSpecies(25);
        QCOMPARE(preview->Image(SpritePreview::View::Front), before);
        QVERIFY(!f.Box("txtSprite")->isReadOnly());
        QCOMPARE(f.Bytes(rom), original);

        // Saved: one step that reads back as the picture, and one undo that takes it all back.
        ChooseFromPreview(f, "mnuReplaceFrontSprite", file);
        f.Click("cmdSave");
        QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join('\n')));
        QVERIFY(!f.Caption().endsWith('*') && !f.Box("txtSprite")->isReadOnly());
        QCOMPARE(Pixels(preview->Image(SpritePreview::View::Front)), AsShown(picture));
        QVERIFY(f.Bytes(rom) != original);
        f.window().findChild<QAction*>("mnuUndo")->trigger();
        QCOMPARE(f.Bytes(rom), original);
        QCOMPARE(preview->Image(SpritePreview::View::Front), before);
    }
};

QTEST_MAIN(ReplaceTest)
#include "tst_replace.moc"
