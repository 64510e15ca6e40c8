#pragma once
// TxPlButton: the suite's painted push button (gradient or flat background,
// up to two caption lines, a picture, five frame styles, a focus frame). It
// hands its ModalResult to its form when clicked. The caption and gradient
// arithmetic are plain functions.
#include <QColor>
#include <QObject>
#include <QPixmap>
#include <QWidget>
#include <cstdint>
#include <vector>

enum TxPlButtonStyle : std::uint8_t { bsNormal, bsFlat, bsFlatNoFrame, bsRoundRect, bsRoundRectNoFrame };
enum TxPlBtnFrameType : std::uint8_t { bffFlat, bffEtched, bffBump };
enum TxPlBtnAlignment : std::uint8_t { taCenter, taLeft, taRight, taEven };

namespace plbtn {

// Gradient colour of pixel row y of a button height pixels high.
QColor gradientColor(const QColor& begin, const QColor& end, int y, int height);

struct CaptionTops {
    int topA = 0;       // first line
    int topB = 0;       // second line
    int captionTop = 0; // value written back to CaptionTop
};
// h1, h2: text heights of the two captions; hasA, hasB: the lines have text.
CaptionTops captionTops(int height, int h1, int h2, bool hasA, bool hasB, int lineSpace, bool vertCenter,
                        int captionTop);

// X of each character of a taEven line (charWidths: width of each wide character).
std::vector<int> evenPositions(int width, int left, int right, const std::vector<int>& charWidths);

// X of a line's text for the other alignments (the anchor for centre/right).
int captionX(TxPlBtnAlignment a, int width, int left, int right);

} // namespace plbtn

class TxPlButton;

class TxPlBtnCaption : public QObject {
    Q_OBJECT
public:
    explicit TxPlBtnCaption(TxPlButton* button);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& c);
    TxPlBtnAlignment Alignment() const { return alignment_; }
    void SetAlignment(TxPlBtnAlignment a);
    int Left() const { return left_; }
    void SetLeft(int v);
    int Right() const { return right_; }
    void SetRight(int v);
    void Assign(const TxPlBtnCaption& other);

private:
    TxPlButton* button_;
    QString caption_;
    TxPlBtnAlignment alignment_ = taCenter;
    int left_ = 0, right_ = 0;
};

enum class PictureKind { None, Bitmap, Icon, Metafile, Other };

class TxPlBtnImage : public QObject {
    Q_OBJECT
public:
    explicit TxPlBtnImage(TxPlButton* button);
    // Keeps the picture only when it is a bitmap or an icon.
    void SetPicture(PictureKind kind, const QPixmap& picture);
    PictureKind kind() const { return kind_; }
    const QPixmap& Picture() const { return picture_; }
    bool isEmpty() const { return kind_ == PictureKind::None || picture_.isNull(); }
    int Left() const { return left_; }
    void SetLeft(int v);
    int Top() const { return top_; }
    void SetTop(int v);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    bool TransParent() const { return transparent_; }
    void SetTransParent(bool v);
    bool VertCenter() const { return vertCenter_; }
    void SetVertCenter(bool v);
    bool HorzCenter() const { return horzCenter_; }
    void SetHorzCenter(bool v);
    void Assign(const TxPlBtnImage& other);

private:
    friend class TxPlButton;
    TxPlButton* button_;
    PictureKind kind_ = PictureKind::None;
    QPixmap picture_;
    int left_ = 10, top_ = 0;
    bool visible_ = true, transparent_ = false, vertCenter_ = true, horzCenter_ = false;
};

class TxPlButton : public QWidget {
    Q_OBJECT
public:
    explicit TxPlButton(QWidget* parent = nullptr);
    ~TxPlButton() override;

    TxPlButtonStyle ButtonStyle() const { return style_; }
    void SetButtonStyle(TxPlButtonStyle s);
    bool Cancel = false;
    bool Gradation() const { return gradation_; }
    void SetGradation(bool v);
    QColor GradBeginColor{0xFF, 0xFF, 0xFF};
    QColor GradEndColor{0xC0, 0xC0, 0xC0};
    QColor Color{0xF0, 0xF0, 0xF0};
    bool ParentColor = false;
    bool HasFocus() const { return hasFocus_; }
    void SetHasFocus(bool v);
    int ModalResult = 0;
    TxPlBtnImage* Image() const { return image_; }
    TxPlBtnCaption* CaptionA() const { return captionA_; }
    TxPlBtnCaption* CaptionB() const { return captionB_; }
    int CaptionLineSpace = 4;
    int CaptionTop() const { return captionTop_; }
    void SetCaptionTop(int v);
    bool CaptionVertCenter() const { return vertCenter_; }
    void SetCaptionVertCenter(bool v);
    TxPlBtnFrameType FlatFrameType = bffFlat;

    // Clears the pressed state, hands ModalResult to the form (also 0),
    // runs the click handlers and repaints.
    void Click();
    bool pressed() const { return pressed_; }
    bool hasClickHandler() const;
    // Runs the click handlers only (F12 of the base form).
    void runClickHandler() { emit clicked(); }
    // Positions of the last paint.
    plbtn::CaptionTops lastCaptionTops() const { return lastTops_; }

signals:
    void clicked();
    void mouseEntered(QPoint pos);
    void mouseLeft(QPoint pos);

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void updateRegion();
    void paintTo(QPainter& p);
    TxPlButtonStyle style_ = bsNormal;
    bool gradation_ = true;
    bool hasFocus_ = true;
    bool pressed_ = false;
    int captionTop_ = 0;
    bool vertCenter_ = true;
    TxPlBtnImage* image_;
    TxPlBtnCaption* captionA_;
    TxPlBtnCaption* captionB_;
    plbtn::CaptionTops lastTops_;
};
