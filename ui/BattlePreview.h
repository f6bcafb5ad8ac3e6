#pragma once

#include <QImage>
#include <QLabel>

struct Picture;

// The battle screen of the shown species (drawn by editor/pictures/BattleScene.h), without smoothing at 1x,
// 2x or 3x; a context menu zooms it and saves it as PNG.
class BattlePreview : public QLabel {
    Q_OBJECT
public:
    explicit BattlePreview(QWidget* parent = nullptr);

    void Show(const Picture& screen);
    void Clear();
    void SetZoom(int factor);
    int Zoom() const { return zoom_; }
    QImage Image() const { return image_; }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void Redraw();
    void SaveImage();

    QImage image_;
    int zoom_ = 2;
};
