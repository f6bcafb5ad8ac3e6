#include <QImage>

#include "BattlePreview.h"
#include "PixelView.h"
#include "WindowFixture.h"
#include "pictures/BattleScene.h"
#include "species/BattleData.h"

namespace {

// The screen the editor draws for these numbers and the species' sprites as the main window shows them.
QImage ExpectedScreen(WindowFixture& f, int backY, int frontY, int elevation) {
    const SpritePreview* preview = f.Find<SpritePreview>("preview");
    return PixelView::ToImage(
        BattleScene::DrawSingleBattle(BattleScreen::PlaceSingleBattle(backY, frontY, elevation),
                                      PixelView::ToPicture(preview->Image(SpritePreview::View::Front)),
                                      PixelView::ToPicture(preview->Image(SpritePreview::View::Back))));
}

BattleValues Read(WindowFixture& f, int species) {
    return ReadBattleValues(*f.window().Session(), species).values.value();
}

}  // namespace

// The values and bytes of every layout, the placement and the footprint's coding are BattleDataTest's.
class BattleTest : public QObject {
    Q_OBJECT
private slots:
    void numbersAreShownDrawnAndSavedWithTheSpecies() {
        WindowFixture f;
        f.OpenDemo(7);
        f.window().MoreDataWindow();
        const BattleValues read = Read(f, 7);
        QCOMPARE(f.Values("txtFrontY txtBackY txtElevation"),
                 QStringLiteral("%1 %2 %3").arg(read.frontY).arg(read.backY).arg(read.elevation));
        QVERIFY(f.Box("txtFrontAnim")->isHidden() && f.Note("lblBattleStatus").isEmpty());
        const auto screen = [&f] { return f.Find<BattlePreview>("picBattle")->Image(); };
        QCOMPARE(screen(), ExpectedScreen(f, read.backY, read.frontY, read.elevation));
        f.Type("txtElevation", "300");
        QCOMPARE(f.Box("txtElevation")->text(), "255");
        f.Type("txtElevation", "20");
        f.Type("txtFrontY", "3");
        f.Type("txtBackY", "40");
        QVERIFY(f.Edited());
        QCOMPARE(screen(), ExpectedScreen(f, 40, 3, 20));
        f.Click("cmdSave");
        QVERIFY(f.Status().contains(" battle data: ") && !f.Edited() && f.messages.isEmpty());
        BattleValues saved = read;
        saved.frontY = 3, saved.backY = 40, saved.elevation = 20;
        QVERIFY(Read(f, 7) == saved);

        // Only Emerald keeps a front animation number, from species 1.
        f.OpenDemo(0, RomBuilder(EmeraldLayout()));
        QVERIFY(!f.Box("txtFrontAnim")->isHidden() && !f.Box("txtFrontAnim")->isEnabled() &&
                f.Box("txtFrontAnim")->text().isEmpty());
        f.SelectSpecies(5);
        QVERIFY(f.Box("txtFrontAnim")->isEnabled() &&
                f.Box("txtFrontAnim")->text() == QString::number(Read(f, 5).frontAnim.value()));
        f.Type("txtFrontAnim", "77");
        f.Click("cmdSave");
        QCOMPARE(Read(f, 5).frontAnim, 77);
    }

    // A footprint goes out as a 16x16 PNG and comes in from one of two colours.
    void footprintsAreSavedAsPngAndReplacedFromOne() {
        WindowFixture f;
        f.OpenDemo(9);
        Form5* more = f.window().MoreDataWindow();
        const std::string saved = f.TempFile("print.png");
        Dialogs::QueueFileAnswer(QString::fromStdString(saved));
        WindowFixture::Press(more, "cmdSaveFootprint");
        const QImage png(QString::fromStdString(saved));
        QVERIFY(png.size() == QSize(16, 16) && f.messages.isEmpty());
        const Footprint::Pixels pixels = Footprint::Decode(Read(f, 9).footprint.value());
        for (int k = 0; k < 256; ++k)
            QCOMPARE(png.pixel(k % 16, k / 16), pixels[size_t(k)] ? 0xFF000000u : 0xFFFFFFFFu);

        const auto replace = [&](QImage image, const std::string& name) {
            QVERIFY(image.save(QString::fromStdString(f.TempFile(name))));
            Dialogs::QueueFileAnswer(QString::fromStdString(f.TempFile(name)));
            WindowFixture::Press(more, "cmdReplaceFootprint");
        };
        QImage three = png;
        three.setPixel(4, 5, 0xFFFF0000);
        replace(three, "three.png");
        QVERIFY(f.OneMessage("\"three.png\" cannot replace the footprint of") && !f.Edited());
        QImage inverted = png;
        inverted.invertPixels();
        replace(inverted, "inverted.png");
        QVERIFY(f.Edited() && f.Note("lblFootprintNote").startsWith("Replaced with inverted.png"));
        f.Click("cmdSave");
        Footprint::Pixels flipped = pixels;
        for (bool& pixel : flipped) pixel = !pixel;
        QVERIFY(Read(f, 9).footprint == Footprint::Encode(flipped));
        QVERIFY(f.Status().contains(" battle data") && f.messages.isEmpty());
    }
};

QTEST_MAIN(BattleTest)
#include "tst_battle.moc"
