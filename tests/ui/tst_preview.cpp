#include "WindowFixture.h"

using View = SpritePreview::View;

class PreviewTest : public QObject {
    Q_OBJECT
private slots:
    void thePicturesFollowThePointersPalettesAndZoom() {
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
        QVERIFY(preview->Image(View::Front).isNull() && preview->Image(View::Icon).size() == QSize(32, 32));
        QVERIFY(f.Find<QLabel>("picFront")->toolTip().contains("FFFFF0") && f.messages.isEmpty());
        // Zoomed without smoothing: every pixel becomes a 3 x 3 square.
        f.Box("txtSprite")->setText(f.Box("txtBackSprite")->text());
        preview->SetZoom(3);
        const QImage zoomed =
            f.Find<QLabel>("picFront")->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(zoomed.size(), QSize(192, 192));
        for (int y = 0; y < 64; y += 7)
            for (int x = 0; x < 64; x += 5)
                QCOMPARE(zoomed.pixel(3 * x + 1, 3 * y + 2), preview->Image(View::Front).pixel(x, y));
    }
};

QTEST_MAIN(PreviewTest)
#include "tst_preview.moc"
