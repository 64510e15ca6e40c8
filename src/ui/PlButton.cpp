#include "ui/PlButton.h"

#include "ui/UiCommon.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionFocusRect>
#include <qdrawutil.h>

namespace plbtn {

QColor gradientColor(const QColor& b, const QColor& e, int y, int height) {
    if (height <= 1) return b;
    auto mix = [&](int cb, int ce) { return cb + y * (ce - cb) / (height - 1); };
    return QColor(mix(b.red(), e.red()), mix(b.green(), e.green()), mix(b.blue(), e.blue()));
}

CaptionTops captionTops(int height, int h1, int h2, bool hasA, bool hasB, int lineSpace, bool vertCenter,
                        int captionTop) {
    CaptionTops t;
    t.captionTop = captionTop;
    if (vertCenter) {
        t.topA = hasB ? (height - 2 * h1 - lineSpace) / 2 : (height - h1) / 2 + 1;
        t.captionTop = t.topA;
    } else {
        t.topA = captionTop;
    }
    if (vertCenter) {
        if (hasA) {
            t.topB = t.topA + h1 + lineSpace;
        } else {
            t.topB = (height - h2) / 2;
            t.captionTop = t.topB;
        }
    } else {
        t.topB = captionTop + (hasA ? h1 + lineSpace : 0);
    }
    return t;
}

std::vector<int> evenPositions(int width, int left, int right, const std::vector<int>& cw) {
    std::vector<int> xs;
    const int n = static_cast<int>(cw.size());
    if (n == 0) return xs;
    int textWidth = 0;
    for (int w : cw) textWidth += w;
    const int free = (width - left - right - 4) - textWidth;
    if (n == 1) {
        xs.push_back(width / 2 - cw[0] / 2);
        return xs;
    }
    const int gap = free / (n - 1);
    int rem = free % (n - 1);
    int x = left + 2;
    for (int i = 0; i < n; ++i) {
        xs.push_back(x);
        int step = cw[static_cast<size_t>(i)] + gap;
        if (rem > 0) { ++step; --rem; }
        else if (rem < 0) { --step; ++rem; }
        x += step;
    }
    return xs;
}

int captionX(TxPlBtnAlignment a, int width, int left, int right) {
    switch (a) {
    case taLeft: return left + 2;
    case taRight: return width - right - 2;
    default: return width / 2;
    }
}

} // namespace plbtn

// ---------------------------------------------------------------------------

TxPlBtnCaption::TxPlBtnCaption(TxPlButton* button) : QObject(button), button_(button) {}

void TxPlBtnCaption::SetCaption(const QString& c) {
    if (c == caption_) return;
    caption_ = c;
    button_->update();
}
void TxPlBtnCaption::SetAlignment(TxPlBtnAlignment a) {
    if (a == alignment_) return;
    alignment_ = a;
    button_->update();
}
void TxPlBtnCaption::SetLeft(int v) {
    if (v == left_) return;
    left_ = v;
    button_->update();
}
void TxPlBtnCaption::SetRight(int v) {
    if (v == right_) return;
    right_ = v;
    button_->update();
}
void TxPlBtnCaption::Assign(const TxPlBtnCaption& o) {
    caption_ = o.caption_;
    alignment_ = o.alignment_;
    left_ = o.left_;
    right_ = o.right_;
    button_->update();
}

TxPlBtnImage::TxPlBtnImage(TxPlButton* button) : QObject(button), button_(button) {}

void TxPlBtnImage::SetPicture(PictureKind kind, const QPixmap& picture) {
    if (kind == PictureKind::Bitmap || kind == PictureKind::Icon) {
        kind_ = kind;
        picture_ = picture;
    } else {
        kind_ = PictureKind::None;
        picture_ = QPixmap();
    }
    button_->update();
}
void TxPlBtnImage::SetLeft(int v) {
    left_ = v;
    horzCenter_ = false;
    button_->update();
}
void TxPlBtnImage::SetTop(int v) {
    top_ = v;
    vertCenter_ = false;
    button_->update();
}
void TxPlBtnImage::SetVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    button_->update();
}
void TxPlBtnImage::SetTransParent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
    button_->update();
}
void TxPlBtnImage::SetVertCenter(bool v) {
    vertCenter_ = v;
    if (v) button_->update();
}
void TxPlBtnImage::SetHorzCenter(bool v) {
    horzCenter_ = v;
    if (v) button_->update();
}
void TxPlBtnImage::Assign(const TxPlBtnImage& o) {
    kind_ = o.kind_;
    picture_ = o.picture_;
    left_ = o.left_;
    top_ = o.top_;
    visible_ = o.visible_;
    transparent_ = o.transparent_;
    vertCenter_ = o.vertCenter_;
    horzCenter_ = o.horzCenter_;
    button_->update();
}

// ---------------------------------------------------------------------------

TxPlButton::TxPlButton(QWidget* parent)
    : QWidget(parent), image_(new TxPlBtnImage(this)), captionA_(new TxPlBtnCaption(this)),
      captionB_(new TxPlBtnCaption(this)) {
    resize(75, 26);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    qApp->installEventFilter(this);
}

TxPlButton::~TxPlButton() {
    qApp->removeEventFilter(this);
}

void TxPlButton::SetButtonStyle(TxPlButtonStyle s) {
    style_ = s;
    updateRegion();
    update();
}

void TxPlButton::SetGradation(bool v) {
    gradation_ = v;
    if (v) ParentColor = false;
    update();
}

void TxPlButton::SetHasFocus(bool v) {
    hasFocus_ = v;
    setFocusPolicy(v ? Qt::StrongFocus : Qt::NoFocus);
    update();
}

void TxPlButton::SetCaptionTop(int v) {
    captionTop_ = v;
    vertCenter_ = false;
    update();
}

void TxPlButton::SetCaptionVertCenter(bool v) {
    vertCenter_ = v;
    update();
}

bool TxPlButton::hasClickHandler() const {
    return isSignalConnected(QMetaMethod::fromSignal(&TxPlButton::clicked));
}

void TxPlButton::Click() {
    pressed_ = false;
    if (auto* form = ui::modalFormOf(this)) form->setModalResult(ModalResult);
    emit clicked();
    update();
}

void TxPlButton::updateRegion() {
    if (style_ == bsRoundRect || style_ == bsRoundRectNoFrame) {
        QPainterPath path;
        path.addRoundedRect(QRectF(0, 0, width() + 1, height() + 1), 5, 5);
        setMask(QRegion(path.toFillPolygon().toPolygon()));
    } else {
        clearMask();
    }
}

void TxPlButton::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    updateRegion();
    update();
}

bool TxPlButton::eventFilter(QObject* o, QEvent* e) {
    // Enter on the focused button and Esc on a form with a Cancel button are
    // the form's dialog keys: they click the button before anything else.
    if (e->type() == QEvent::KeyPress && hasFocus_ && isEnabled() && isVisible()) {
        auto* w = qobject_cast<QWidget*>(o);
        auto* ke = static_cast<QKeyEvent*>(e);
        if (w && w->window() == window() && w->isVisible()) {
            const bool plain = !(ke->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
            const bool enter = ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter;
            if (plain && enter && o == this) {
                Click();
                return true;
            }
            if (plain && ke->key() == Qt::Key_Escape && Cancel) {
                Click();
                return true;
            }
        }
    }
    return QWidget::eventFilter(o, e);
}

void TxPlButton::keyPressEvent(QKeyEvent* e) {
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && isEnabled()) {
        pressed_ = true;
        emit clicked();
        e->accept();
        return;
    }
    QWidget::keyPressEvent(e);
}

void TxPlButton::keyReleaseEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        pressed_ = false;
        update();
    }
    QWidget::keyReleaseEvent(e);
}

void TxPlButton::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        if (hasFocus_) setFocus(Qt::MouseFocusReason);
        pressed_ = true;
        update();
    }
}

void TxPlButton::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        const bool wasPressed = pressed_;
        pressed_ = false;
        update();
        if (wasPressed && rect().contains(e->position().toPoint())) Click();
    }
}

void TxPlButton::enterEvent(QEnterEvent* e) {
    QWidget::enterEvent(e);
    emit mouseEntered(mapFromGlobal(QCursor::pos()));
}

void TxPlButton::leaveEvent(QEvent* e) {
    QWidget::leaveEvent(e);
    emit mouseLeft(mapFromGlobal(QCursor::pos()));
    pressed_ = false;
    update();
}

void TxPlButton::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    if (hasFocus_) update();
}

void TxPlButton::focusOutEvent(QFocusEvent* e) {
    QWidget::focusOutEvent(e);
    if (hasFocus_) update();
}

void TxPlButton::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::EnabledChange || (e->type() == QEvent::PaletteChange && ParentColor)) update();
}

void TxPlButton::paintEvent(QPaintEvent*) {
    if (ParentColor) {
        QPainter p(this);
        paintTo(p);
        return;
    }
    QPixmap buffer(size());
    {
        QPainter bp(&buffer);
        bp.setFont(font());
        paintTo(bp);
    }
    QPainter p(this);
    p.drawPixmap(0, 0, buffer);
}

void TxPlButton::paintTo(QPainter& p) {
    const int w = width(), h = height();
    const QPalette& pal = palette();
    // 1. background
    if (gradation_) {
        for (int y = 0; y < h; ++y) {
            p.setPen(plbtn::gradientColor(GradBeginColor, GradEndColor, y, h));
            p.drawLine(0, y, w - 1, y);
        }
    } else {
        p.fillRect(rect(), ParentColor && parentWidget() ? parentWidget()->palette().window().color() : Color);
    }
    const int off = (pressed_ && hasFocus_) ? 1 : 0;
    // 2. image
    if (!image_->isEmpty() && image_->visible_) {
        const QPixmap& pm = image_->picture_;
        if (image_->vertCenter_) image_->top_ = (h - pm.height()) / 2;
        if (image_->horzCenter_) image_->left_ = (w - pm.width()) / 2;
        if (image_->kind_ == PictureKind::Bitmap && image_->transparent_) {
            p.drawPixmap(image_->left_, image_->top_, pm);
        } else {
            const QIcon::Mode mode = (!isEnabled() && hasFocus_) ? QIcon::Disabled : QIcon::Normal;
            p.drawPixmap(image_->left_ + off, image_->top_ + off, QIcon(pm).pixmap(pm.size(), mode));
        }
    }
    // 3.-6. captions
    p.setFont(font());
    const QFontMetrics fm(font());
    const bool hasA = !captionA_->Caption().isEmpty(), hasB = !captionB_->Caption().isEmpty();
    const int h1 = fm.height(), h2 = fm.height();
    lastTops_ = plbtn::captionTops(h, h1, h2, hasA, hasB, CaptionLineSpace, vertCenter_, captionTop_);
    if (vertCenter_) captionTop_ = lastTops_.captionTop;
    auto drawLine = [&](const TxPlBtnCaption* c, int top, const QColor& color, int dx) {
        const QString text = c->Caption();
        if (text.isEmpty()) return;
        p.setPen(color);
        const int baseline = top + fm.ascent() + dx;
        if (c->Alignment() == taEven && text.size() > 1) {
            std::vector<int> cw;
            for (QChar ch : text) cw.push_back(fm.horizontalAdvance(ch));
            const auto xs = plbtn::evenPositions(w, c->Left(), c->Right(), cw);
            for (qsizetype i = 0; i < text.size(); ++i) p.drawText(xs[static_cast<size_t>(i)] + dx, baseline, text.at(i));
            return;
        }
        const TxPlBtnAlignment a = c->Alignment() == taEven ? taCenter : c->Alignment();
        int x = plbtn::captionX(a, w, c->Left(), c->Right());
        const int tw = fm.horizontalAdvance(text);
        if (a == taCenter) x -= tw / 2;
        else if (a == taRight) x -= tw;
        p.drawText(x + dx, baseline, text);
    };
    auto drawBoth = [&](const QColor& color, int dx) {
        drawLine(captionA_, lastTops_.topA, color, dx);
        drawLine(captionB_, lastTops_.topB, color, dx);
    };
    if (!isEnabled() && hasFocus_) {
        drawBoth(pal.color(QPalette::Light), 1);
        drawBoth(pal.color(QPalette::Mid), 0);
    } else {
        drawBoth(isEnabled() ? pal.color(QPalette::ButtonText) : pal.color(QPalette::Disabled, QPalette::Text), off);
    }
    // 7. frame
    switch (style_) {
    case bsNormal:
        if (pressed_) {
            p.setPen(pal.color(QPalette::Mid));
            p.drawRect(0, 0, w - 1, h - 1);
            p.setPen(QColor(0x80, 0x80, 0x80));
            p.drawRect(1, 1, w - 3, h - 3);
        } else {
            qDrawShadePanel(&p, rect(), pal, false, 1);
        }
        break;
    case bsFlat:
        if (FlatFrameType == bffEtched) qDrawShadeRect(&p, rect(), pal, true, 1);
        else if (FlatFrameType == bffBump) qDrawShadeRect(&p, rect(), pal, false, 1, 1);
        else qDrawPlainRect(&p, rect(), pal.color(QPalette::Mid), 1);
        break;
    case bsRoundRect:
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QColor(0x75, 0x75, 0x75));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRect(0, 0, w - 1, h - 1), 5, 5);
        break;
    default:
        break;
    }
    // 8. focus frame
    if (hasFocus_ && hasFocus()) {
        if (style_ == bsRoundRect || style_ == bsRoundRectNoFrame) {
            QPen pen(QColor(0x20, 0x20, 0x20));
            pen.setStyle(Qt::DotLine);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(QRect(2, 2, w - 5, h - 5), 4, 4);
        } else {
            QRect r = rect().adjusted(3, 3, -3, -3);
            if (style_ == bsFlat && FlatFrameType == bffBump) r.adjust(0, 0, 1, 1);
            if (style_ == bsFlat && FlatFrameType == bffEtched) r.adjust(0, 0, -1, -1);
            QPen pen(QColor(0x20, 0x20, 0x20));
            pen.setStyle(Qt::DotLine);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.drawRect(r.adjusted(0, 0, -1, -1));
        }
    }
}
