#include <QBuffer>
#include <QtEndian>

#include "WindowFixture.h"

namespace {

using View = SpritePreview::View;

QByteArray Png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) qFatal("cannot make a PNG");
    return bytes;
}

// Bands of greys k * 15, grey 0 at the top-left.
QImage Banded(int width, int height, int greys) {
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, 0xFF000000u + 0x0F0F0Fu * ((x / 4 + y) % greys));
    return image;
}

// A small picture whose header claims width x height: only a reader that checks the header's size before the
// pixels refuses it for its size rather than for its data.
QByteArray HugeHeader(quint32 width, quint32 height) {
    QByteArray png = Png(Banded(8, 8, 2));
    qToBigEndian(width, png.data() + 16);
    qToBigEndian(height, png.data() + 20);
    quint32 crc = 0xFFFFFFFF;  // the header chunk's check, over its type and data
    for (const char c : png.mid(12, 17)) {
        crc ^= static_cast<quint8>(c);
        for (int bit = 0; bit < 8; ++bit) crc = crc >> 1 ^ (crc & 1 ? 0xEDB88320u : 0u);
    }
    qToBigEndian(~crc, png.data() + 29);
    return png;
}

// asShown: as the games show it, the top-left colour transparent, the others in 15 bits.
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

class PicturesTest : public QObject {
    Q_OBJECT
private slots:
    // How a picture is read, checked and written is SpritePicturesTest's and PictureImportTest's.
    void thePicturesFollowTheBoxesAndAReplacedOneIsKeptBySaving() {
        WindowFixture f;
        f.OpenDemo(7);
        auto* preview = f.Find<SpritePreview>("preview");
        for (View view : {View::Front, View::FrontShiny, View::Back, View::BackShiny, View::Icon})
            QCOMPARE(preview->Image(view).size(), view == View::Icon ? QSize(32, 32) : QSize(64, 64));

        const QImage front = preview->Image(View::Front), icon = preview->Image(View::Icon);
        f.Box("txtPalette")->setText(f.Box("txtShinyPalette")->text());
        QVERIFY(preview->Image(View::Front) != front);
        QCOMPARE(preview->Image(View::Front), preview->Image(View::FrontShiny));
        f.Combo("cmbPalette")->setCurrentIndex((f.Combo("cmbPalette")->currentIndex() + 1) % 3);
        QVERIFY(preview->Image(View::Icon) != icon);

        f.Box("txtSprite")->setText("FFFFF0");
        QVERIFY(preview->Image(View::Front).isNull() && preview->Image(View::Icon).size() == QSize(32, 32) &&
                f.Find<QLabel>("picFront")->toolTip().contains("FFFFF0") && f.messages.isEmpty());
        // Zoomed without smoothing: every pixel becomes a 3 x 3 square.
        f.Box("txtSprite")->setText(f.Box("txtBackSprite")->text());
        preview->SetZoom(3);
        const QImage zoomed =
            f.Find<QLabel>("picFront")->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(zoomed.size(), QSize(192, 192));
        for (int y = 0; y < 64; y += 7)
            for (int x = 0; x < 64; x += 5)
                QCOMPARE(zoomed.pixel(3 * x + 1, 3 * y + 2), preview->Image(View::Front).pixel(x, y));

        f.SelectSpecies(25);
        const std::string rom = f.TempFile("test.gba");
        const std::vector<uint8_t> original = f.Bytes(rom);
        const QImage before = preview->Image(View::Front);
        const QImage picture = Banded(64, 64, 4);
        const std::string file = f.WriteFile("front.png", Png(picture).toStdString());
        const QStringList untouched = f.Snapshot();
        ChooseFromPreview(f, "");  // cancelled
        QVERIFY(f.Snapshot() == untouched && Dialogs::LastFileRequest().title == "Replace Front sprite...");
        // A refused file changes nothing: the file as read, then the editor's check of the picture.
        const QByteArray whole = Png(Banded(64, 64, 3));
        for (const auto& [bytes, reason] :
             {std::pair{QByteArray("GIF89a") + QByteArray(64, '\0'), "not a PNG file"},
              {whole.left(whole.size() / 2), "damaged or cut short"},
              {HugeHeader(10000, 10000), "10000 x 10000 pixels"},
              {Png(Banded(64, 64, 17)), "has 17 colours"}}) {
            ChooseFromPreview(f, f.WriteFile("refused.png", bytes.toStdString()));
            QVERIFY2(f.OneMessage(reason) && f.Snapshot() == untouched, reason);
        }
        // Shown, not written; discarded with the species.
        ChooseFromPreview(f, file);
        QCOMPARE(Pixels(preview->Image(View::Front)), Pixels(picture, true));
        QVERIFY(f.Caption().endsWith('*') && f.Box("txtSprite")->isReadOnly() &&
                f.Box("txtPalette")->isReadOnly() && f.messages.isEmpty() && f.Bytes(rom) == original);
        f.SelectSpecies(26);
        f.SelectSpecies(25);
        QVERIFY(preview->Image(View::Front) == before && !f.Box("txtSprite")->isReadOnly() &&
                f.Bytes(rom) == original);
        // Saved as one step that reads back as the picture.
        ChooseFromPreview(f, file);
        f.Click("cmdSave");
        QVERIFY(f.messages.isEmpty() && !f.Edited() && !f.Box("txtSprite")->isReadOnly() &&
                f.Bytes(rom) != original);
        QCOMPARE(Pixels(preview->Image(View::Front)), Pixels(picture, true));
        f.Trigger("mnuUndo");
        QVERIFY(f.Bytes(rom) == original && preview->Image(View::Front) == before);
    }
};

QTEST_MAIN(PicturesTest)
#include "tst_pictures.moc"
