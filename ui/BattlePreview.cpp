#include "BattlePreview.h"

#include <QContextMenuEvent>
#include <QMenu>

#include "Dialogs.h"
#include "PixelView.h"
#include "pictures/SpritePictures.h"
#include "species/BattlePlacement.h"

BattlePreview::BattlePreview(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("picBattle"));
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::StyledPanel);
    setAccessibleName(QStringLiteral("Battle preview"));
    setToolTip(
        QStringLiteral("Where the game puts the species in a single battle: its back sprite as the "
                       "player's, its front sprite as the enemy's. Right-click to zoom."));
    Redraw();
}

void BattlePreview::Show(const Picture& screen) {
    image_ = PixelView::ToImage(screen);
    Redraw();
}

void BattlePreview::Clear() {
    image_ = QImage();
    Redraw();
}

void BattlePreview::SetZoom(int factor) {
    zoom_ = std::clamp(factor, 1, PixelView::kLargestZoom);
    Redraw();
}

void BattlePreview::Redraw() {
    const QSize size(BattleScreen::kWidth * zoom_, BattleScreen::kHeight * zoom_);
    const int frame = 2 * frameWidth();
    setFixedSize(size.width() + frame, size.height() + frame);
    setPixmap(image_.isNull()
                  ? QPixmap()
                  : QPixmap::fromImage(image_.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
}

void BattlePreview::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    PixelView::AddZoomEntries(menu, zoom_, [this](int factor) { SetZoom(factor); });
    menu.addSeparator();
    QAction* save =
        menu.addAction(QStringLiteral("Save Battle Preview as PNG..."), this, &BattlePreview::SaveImage);
    save->setEnabled(!image_.isNull());
    Dialogs::RunMenu(&menu, event->globalPos());
}

void BattlePreview::SaveImage() {
    if (image_.isNull()) return;
    const QString path =
        Dialogs::AskFileName(this, Dialogs::FileMode::Save, QStringLiteral("Save Picture..."),
                             QStringLiteral("PNG Images (*.png)|*.png"));
    if (path.isEmpty()) return;
    if (!PixelView::Zoomed(image_, zoom_).save(path, "PNG"))
        Dialogs::ShowCritical(this, QStringLiteral("The picture could not be saved as \"%1\".").arg(path));
}
