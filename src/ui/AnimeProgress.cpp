#include "ui/AnimeProgress.h"

#include "ui/UiCommon.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <chrono>
#include <thread>

namespace progress {

constexpr int kClientWidth = 380, kClientHeight = 100;

Layout layout(TxLabelPosition pos, bool cancelButton, int textHeight) {
    Layout l;
    l.anime = QRect(20, 16, 32, 32);
    l.label = QRect(60, 24, 300, textHeight);
    l.buttonVisible = cancelButton;
    l.button = QRect(152, 67, 76, 23);
    if (!cancelButton) {
        l.label.moveTop(kClientHeight / 2 - 8);
        l.anime.moveTop(kClientHeight / 2 - 20);
    }
    if (pos == xlpBottom) l.label.moveTopLeft(QPoint(20, 52));
    else l.label.moveTopLeft(QPoint(60, 24));
    if (!cancelButton) l.label.moveTop(pos == xlpRight ? kClientHeight / 2 - 8 : kClientHeight / 2 + 20);
    return l;
}

Placement placeOver(const QRect& target, const QSize& window, const QRect& screen) {
    Placement p;
    if (target.isEmpty()) {
        p.centreOnScreen = true;
        p.topLeft = QPoint(screen.x() + (screen.width() - window.width()) / 2,
                           screen.y() + (screen.height() - window.height()) / 2);
        return p;
    }
    p.topLeft = QPoint(target.x() + (target.width() - window.width()) / 2,
                       target.y() + (target.height() - window.height()) / 2);
    return p;
}

} // namespace progress

BusyIndicator::BusyIndicator(QWidget* parent) : QWidget(parent), timer_(new QTimer(this)) {
    timer_->setInterval(80);
    connect(timer_, &QTimer::timeout, this, [this] {
        step_ = (step_ + 1) % 12;
        update();
    });
}

void BusyIndicator::setActive(bool on) {
    if (on) timer_->start();
    else timer_->stop();
    update();
}

bool BusyIndicator::active() const { return timer_->isActive(); }

void BusyIndicator::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(width() / 2.0, height() / 2.0);
    const double r = std::min(width(), height()) / 2.0 - 3;
    for (int i = 0; i < 12; ++i) {
        const int age = (step_ - i + 12) % 12;
        QColor col = palette().color(QPalette::WindowText);
        col.setAlphaF(timer_->isActive() ? std::max(0.15, 1.0 - age / 12.0) : 0.3);
        p.setPen(QPen(col, 3, Qt::SolidLine, Qt::RoundCap));
        p.save();
        p.translate(c);
        p.rotate(i * 30.0);
        p.drawLine(QPointF(0, -r * 0.5), QPointF(0, -r));
        p.restore();
    }
}

TxProgressForm::TxProgressForm(QWidget* owner) : QDialog(owner) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(progress::kClientWidth, progress::kClientHeight);
    anime = new BusyIndicator(this);
    label = new QLabel(this);
    cancelButton = new QPushButton(QString::fromUtf8("キャンセル"), this);
}

void TxProgressForm::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (onShown) {
        auto job = std::move(onShown);
        onShown = nullptr;
        QMetaObject::invokeMethod(this, [job] { job(); }, Qt::QueuedConnection);
    }
}

void TxProgressForm::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) { // the window closes only when its work ends
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

void TxProgressForm::closeEvent(QCloseEvent* e) {
    if (e->spontaneous()) { // no close box: the work decides
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

TxAnimeProgressDialog::TxAnimeProgressDialog(QObject* owner) : QObject(owner) {}

TxAnimeProgressDialog::~TxAnimeProgressDialog() {
    if (parentWindow_) parentWindow_->setEnabled(true);
    freeForm();
}

void TxAnimeProgressDialog::SetCaption(const QString& c) {
    caption_ = c;
    if (form_) form_->setWindowTitle(c);
}

void TxAnimeProgressDialog::SetInfoLabel(const QString& text) {
    info_ = text;
    if (form_ && open_) {
        form_->label->setText(text);
        form_->repaint();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void TxAnimeProgressDialog::SetAviFile(const QString& file) {
    aviFile_ = file;
    if (open_ && !file.isEmpty() && !QFileInfo::exists(file)) aviFile_.clear();
}

void TxAnimeProgressDialog::SetAnimeActive(bool on) {
    animeActive_ = on;
    if (open_) Animate(on);
}

void TxAnimeProgressDialog::Animate(bool active) {
    if (!form_) return;
    form_->anime->setActive(active);
    form_->repaint();
}

void TxAnimeProgressDialog::freeForm() {
    if (form_) delete form_.data();
    form_ = nullptr;
}

void TxAnimeProgressDialog::Execute(QWidget* parentForm) {
    parentWindow_ = nullptr;
    if (parentForm) {
        ParentHandle = parentForm->window();
        parentWindow_ = parentForm->window();
    } else if (ParentHandle) {
        parentWindow_ = ParentHandle->window();
    }
    if (!form_) form_ = new TxProgressForm(parentWindow_);
    if (parentWindow_) form_->setFont(parentWindow_->font());
    else form_->setFont(ui::suiteFont(12));

    form_->setWindowTitle(caption_);
    if (!aviFile_.isEmpty() && !QFileInfo::exists(aviFile_)) aviFile_.clear();
    const auto l = progress::layout(LabelPosition, CancelBtnShow, form_->fontMetrics().boundingRect(QStringLiteral("Wq")).height());
    form_->anime->setGeometry(l.anime);
    form_->label->setGeometry(l.label);
    form_->label->setText(info_);
    cancelled_ = false;
    form_->cancelButton->setGeometry(l.button);
    form_->cancelButton->setVisible(l.buttonVisible);
    disconnect(form_->cancelButton, nullptr, this, nullptr);
    connect(form_->cancelButton, &QPushButton::clicked, this, [this] { cancelled_ = true; });

    open_ = true;
    Animate(true);

    if (OnShow) {
        std::exception_ptr failure;
        QPointer<TxProgressForm> form = form_;
        form_->onShown = [this, form, &failure] {
            try {
                OnShow(form);
            } catch (...) {
                failure = std::current_exception();
            }
            if (form) form->done(QDialog::Accepted);
        };
        form_->setModal(true);
        form_->exec();
        open_ = false;
        freeForm();
        if (OnClose) OnClose();
        if (failure) std::rethrow_exception(failure);
        return;
    }

    QScreen* scr = parentWindow_ && parentWindow_->screen() ? parentWindow_->screen() : QGuiApplication::primaryScreen();
    const QRect screenRect = scr ? scr->availableGeometry() : QRect(0, 0, 1024, 768);
    if (parentWindow_) {
        const auto p = progress::placeOver(parentWindow_->frameGeometry(), form_->size(), screenRect);
        if (p.centreOnScreen) form_->setWindowFlag(Qt::WindowStaysOnTopHint, true);
        form_->move(p.topLeft);
        parentWindow_->setEnabled(false);
        form_->setEnabled(true);
        form_->show();
    } else {
        form_->setWindowFlag(Qt::WindowStaysOnTopHint, true);
        const auto p = progress::placeOver(QRect(), form_->size(), screenRect);
        form_->move(p.topLeft);
        form_->show();
    }
    QApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

int TxAnimeProgressDialog::Close() {
    if (parentWindow_) parentWindow_->setEnabled(true);
    const bool wasOpen = form_ != nullptr;
    open_ = false;
    freeForm();
    if (wasOpen && OnClose) OnClose();
    return 0;
}
