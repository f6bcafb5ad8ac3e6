// The sprite preview beside the graphics pointers follows what the pointer boxes say.

#include <QLabel>
#include <QTest>

#include "SpritePreview.h"
#include "WindowFixture.h"

class PreviewTest : public QObject {
    Q_OBJECT
private slots:
    void aSpeciesShowsItsPictures() {
        WindowFixture f;
        f.Open(f.WriteRom(RomBuilder(DemoLayout())));
        f.SelectSpecies(7);
        auto* preview = f.Find<SpritePreview>("preview");
        for (auto view : {SpritePreview::View::Front, SpritePreview::View::FrontShiny, SpritePreview::View::Back,
                          SpritePreview::View::BackShiny})
            QCOMPARE(preview->Image(view).size(), QSize(64, 64));
        QCOMPARE(preview->Image(SpritePreview::View::Icon).size(), QSize(32, 32));
    }

    void anotherPaletteChangesThePixels() {
        WindowFixture f;
        f.Open(f.WriteRom(RomBuilder(DemoLayout())));
        f.SelectSpecies(7);
        auto* preview = f.Find<SpritePreview>("preview");
        const QImage before = preview->Image(SpritePreview::View::Front);
        f.Box("txtPalette")->setText(f.Box("txtShinyPalette")->text());
        const QImage after = preview->Image(SpritePreview::View::Front);
        QVERIFY(!after.isNull());
        QVERIFY(after != before);
        QCOMPARE(after, preview->Image(SpritePreview::View::FrontShiny));
    }

    void anIconPaletteChoiceRecoloursTheIcon() {
        WindowFixture f;
        f.Open(f.WriteRom(RomBuilder(DemoLayout())));
        f.SelectSpecies(7);
        auto* preview = f.Find<SpritePreview>("preview");
        QComboBox* palette = f.Combo("cmbPalette");
        const QImage before = preview->Image(SpritePreview::View::Icon);
        palette->setCurrentIndex((palette->currentIndex() + 1) % 3);
        QVERIFY(preview->Image(SpritePreview::View::Icon) != before);
    }

    void aBadPointerShowsAnEmptyFrameWithTheReason() {
        WindowFixture f;
        f.Open(f.WriteRom(RomBuilder(DemoLayout())));
        f.SelectSpecies(7);
        auto* preview = f.Find<SpritePreview>("preview");
        f.Box("txtSprite")->setText("FFFFF0");
        QVERIFY(preview->Image(SpritePreview::View::Front).isNull());
        QVERIFY(preview->Image(SpritePreview::View::Icon).size() == QSize(32, 32));
        QVERIFY(f.Find<QLabel>("picFront")->toolTip().contains(QStringLiteral("FFFFF0")));
        QVERIFY(f.messages.isEmpty());
    }

    void zoomScalesWithoutSmoothing() {
        WindowFixture f;
        f.Open(f.WriteRom(RomBuilder(DemoLayout())));
        auto* preview = f.Find<SpritePreview>("preview");
        preview->SetZoom(3);
        const QPixmap shown = f.Find<QLabel>("picFront")->pixmap();
        QCOMPARE(shown.size(), QSize(192, 192));
        const QImage zoomed = shown.toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage plain = preview->Image(SpritePreview::View::Front);
        for (int y = 0; y < 64; y += 7)
            for (int x = 0; x < 64; x += 5)
                QCOMPARE(zoomed.pixel(3 * x + 1, 3 * y + 2), plain.pixel(x, y));
    }
};

QTEST_MAIN(PreviewTest)
#include "tst_preview.moc"
