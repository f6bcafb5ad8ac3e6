#include "SpritePreview.h"

#include <QContextMenuEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>

#include "Dialogs.h"
#include "PixelView.h"
#include "TextCodec.h"
#include "pictures/PictureReplacements.h"
#include "pictures/SpritePictures.h"
#include "rom/RomPointer.h"

namespace {

constexpr const char* kViewNames[SpritePreview::kViewCount] = {"picFront", "picFrontShiny", "picBack",
                                                               "picBackShiny", "picIcon"};
constexpr const char* kViewDescriptions[SpritePreview::kViewCount] = {
    "Front sprite, normal palette", "Front sprite, shiny palette", "Back sprite, normal palette",
    "Back sprite, shiny palette", "Icon, icon palette"};

int SideOf(SpritePreview::View view) {
    return view == SpritePreview::View::Icon ? SpritePictures::kIconSize : SpritePictures::kSpriteSize;
}

Picture Refused(const QString& what, const QString& text) {
    Picture picture;
    picture.problem = (QStringLiteral("\"%1\" is not an offset for the %2.").arg(text, what)).toStdString();
    return picture;
}

}  // namespace

SpritePreview::SpritePreview(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("SpritePreview"));
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < kViewCount; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QLatin1String(kViewNames[i]));
        label->setAlignment(Qt::AlignCenter);
        label->setFrameShape(QFrame::StyledPanel);
        label->setAccessibleName(QLatin1String(kViewDescriptions[i]));
        labels_[i] = label;
        descriptions_[i] = QLatin1String(kViewDescriptions[i]);
    }
    layout->addWidget(labels_[0], 0, 0);
    layout->addWidget(labels_[1], 0, 1);
    layout->addWidget(labels_[2], 1, 0);
    layout->addWidget(labels_[3], 1, 1);
    layout->addWidget(labels_[4], 0, 2, Qt::AlignTop);
    Clear();
}

void SpritePreview::Clear() {
    for (int i = 0; i < kViewCount; ++i) {
        images_[i] = QImage();
        labels_[i]->setToolTip(descriptions_[i]);
        Redraw(static_cast<View>(i));
    }
}

void SpritePreview::Show(const Sources& sources) {
    const auto offset = [](const QString& text) { return RomPointer::ParseTarget(text.toStdString()); };
    const std::optional<int32_t> sprite = offset(sources.sprite), back = offset(sources.backSprite),
                                 palette = offset(sources.palette), shiny = offset(sources.shinyPalette),
                                 icon = offset(sources.icon);

    // An imported picture stands in for the data at its pointer, so that pointer's text does not matter.
    const PictureReplacements none;
    const PictureReplacements& replaced = sources.replaced ? *sources.replaced : none;
    const auto source = [](const std::optional<int32_t>& at,
                           const std::optional<std::vector<uint8_t>>& data) {
        return SpritePictures::PictureSource{at.value_or(0), data ? &*data : nullptr};
    };
    const auto sprites = [&](View view, const std::optional<int32_t>& tiles, const QString& tilesText,
                             const std::optional<std::vector<uint8_t>>& newTiles,
                             const std::optional<int32_t>& colours, const QString& coloursText,
                             const std::optional<std::vector<uint8_t>>& newColours) {
        if (!tiles && !newTiles)
            Put(view, Refused(QStringLiteral("sprite"), tilesText));
        else if (!colours && !newColours)
            Put(view, Refused(QStringLiteral("palette"), coloursText));
        else
            Put(view, SpritePictures::ReadSprite(sources.romPath, source(tiles, newTiles),
                                                 source(colours, newColours)));
    };
    sprites(View::Front, sprite, sources.sprite, replaced.front, palette, sources.palette, replaced.palette);
    sprites(View::FrontShiny, sprite, sources.sprite, replaced.front, shiny, sources.shinyPalette,
            replaced.shinyPalette);
    sprites(View::Back, back, sources.backSprite, replaced.back, palette, sources.palette, replaced.palette);
    sprites(View::BackShiny, back, sources.backSprite, replaced.back, shiny, sources.shinyPalette,
            replaced.shinyPalette);
    if (!icon && !replaced.icon)
        Put(View::Icon, Refused(QStringLiteral("icon"), sources.icon));
    else
        Put(View::Icon, SpritePictures::ReadIcon(sources.romPath, source(icon, replaced.icon),
                                                 sources.iconPalette, sources.iconPaletteTable));
}

void SpritePreview::Put(View view, const Picture& picture) {
    const int i = static_cast<int>(view);
    if (picture.ok()) {
        images_[i] = PixelView::ToImage(picture);
        labels_[i]->setToolTip(descriptions_[i]);
    } else {
        images_[i] = QImage();
        labels_[i]->setToolTip(descriptions_[i] + QStringLiteral(": ") +
                               TextCodec::ToDisplay(picture.problem));
    }
    Redraw(view);
}

void SpritePreview::SetZoom(int factor) {
    zoom_ = std::clamp(factor, 1, PixelView::kLargestZoom);
    for (int i = 0; i < kViewCount; ++i) Redraw(static_cast<View>(i));
}

void SpritePreview::Redraw(View view) {
    const int i = static_cast<int>(view);
    const int side = SideOf(view) * zoom_;
    labels_[i]->setFixedSize(side + 2, side + 2);
    if (images_[i].isNull())
        labels_[i]->setPixmap(QPixmap());
    else
        labels_[i]->setPixmap(
            QPixmap::fromImage(images_[i].scaled(side, side, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
}

void SpritePreview::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    PixelView::AddZoomEntries(menu, zoom_, [this](int factor) { SetZoom(factor); });
    menu.addSeparator();
    using Kind = PictureImport::Kind;
    for (const Kind kind : {Kind::FrontSprite, Kind::BackSprite, Kind::ShinyPalette, Kind::Icon}) {
        const QString what = QString::fromLatin1(PictureImport::KindName(kind));
        // "Replace Front Sprite...": each word of the kind's name capitalised.
        QStringList words = what.split(QLatin1Char(' '));
        for (QString& word : words) word[0] = word[0].toUpper();
        QAction* replace = menu.addAction(QStringLiteral("Replace %1...").arg(words.join(QLatin1Char(' '))),
                                          this, [this, kind] { emit replaceRequested(kind); });
        replace->setObjectName(QStringLiteral("mnuReplace") +
                               words.join(QString()));  // mnuReplaceFrontSprite
        replace->setEnabled(replaceable_);
    }
    menu.addSeparator();
    for (int i = 0; i < kViewCount; ++i) {
        if (!labels_[i]->geometry().contains(event->pos())) continue;
        QAction* save = menu.addAction(QStringLiteral("Save %1 as PNG...").arg(descriptions_[i]), this,
                                       [this, i] { SavePicture(static_cast<View>(i)); });
        save->setEnabled(!images_[i].isNull());
    }
    Dialogs::RunMenu(&menu, event->globalPos());
}

void SpritePreview::SavePicture(View view) {
    const QImage& image = images_[static_cast<int>(view)];
    if (image.isNull()) return;
    const QString path =
        Dialogs::AskFileName(this, Dialogs::FileMode::Save, QStringLiteral("Save Picture..."),
                             QStringLiteral("PNG Images (*.png)|*.png"));
    if (path.isEmpty()) return;
    const int side = SideOf(view) * zoom_;
    if (!image.scaled(side, side, Qt::IgnoreAspectRatio, Qt::FastTransformation).save(path, "PNG"))
        Dialogs::ShowCritical(this, QStringLiteral("The picture could not be saved as \"%1\".").arg(path));
}
