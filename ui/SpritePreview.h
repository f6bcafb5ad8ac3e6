#pragma once

#include <QImage>
#include <QWidget>
#include <array>
#include <optional>
#include <string>

#include "pictures/PictureImport.h"

class QLabel;
struct Picture;
struct PictureReplacements;

// Shows what the graphics pointers of the main window point to: the front and back sprites in the normal and
// shiny palettes, and the icon in its icon palette. Pictures are drawn without smoothing at 1x, 2x or 3x, and
// a context menu saves one as PNG.
class SpritePreview : public QWidget {
    Q_OBJECT
public:
    enum class View { Front, FrontShiny, Back, BackShiny, Icon };
    static constexpr int kViewCount = 5;

    // The texts of the pointer boxes and the chosen icon palette, as the preview reads them.
    struct Sources {
        std::string romPath;
        QString sprite, backSprite, palette, shinyPalette, icon;
        int iconPalette = 0;
        std::optional<int32_t> iconPaletteTable;
        // Pictures imported and not saved yet: shown in place of what the pointers hold.
        const PictureReplacements* replaced = nullptr;
    };

    explicit SpritePreview(QWidget* parent = nullptr);

    void Show(const Sources& sources);
    void Clear();
    void SetZoom(int factor);
    int Zoom() const { return zoom_; }
    QImage Image(View view) const { return images_[static_cast<int>(view)]; }
    // Offers the context menu's Replace entries (a species is shown).
    void SetReplaceable(bool on) { replaceable_ = on; }

signals:
    // A Replace entry of the context menu was chosen.
    void replaceRequested(PictureImport::Kind kind);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void Put(View view, const Picture& picture);
    void Redraw(View view);
    void SavePicture(View view);

    std::array<QLabel*, kViewCount> labels_{};
    std::array<QImage, kViewCount> images_;
    std::array<QString, kViewCount> descriptions_;
    int zoom_ = 1;
    bool replaceable_ = false;
};
