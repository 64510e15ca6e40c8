#include "ui/xWizard.h"

#include <QAbstractButton>
#include <QLabel>

TxWizardModel::NextResult TxWizardModel::next(bool allowChange, bool hasNextButton) {
    NextResult r;
    r.allowed = allowChange;
    header.reset();
    info.reset();
    if (!allowChange) return r;
    const bool atLast = pageCount == pageIndex + 1;
    if (pageCount == 1 || atLast) {
        r.final = true;
    } else {
        ++pageIndex;
        showCaptionsFor(pageIndex);
        backVisible = true;
    }
    if (pageIndex == pageCount - 1 && hasNextButton) nextCaption = NextButtonFinCap;
    return r;
}

void TxWizardModel::back() {
    header.reset();
    info.reset();
    if (pageCount == 1 || pageIndex == 0) {
        backVisible = false;
    } else {
        --pageIndex;
        showCaptionsFor(pageIndex);
        nextCaption = NextButtonCap;
    }
    if (pageIndex == 0 && pageCount > 1) backVisible = false;
}

void TxWizardModel::showCaptionsFor(int index) {
    const auto i = static_cast<size_t>(index);
    if (HeaderCaption.size() >= i + 1) header = HeaderCaption[i];
    if (InfoCaption.size() >= i + 1) info = InfoCaption[i];
}

TxWizard::TxWizard(QWidget* parent) : QStackedWidget(parent) {}

QString TxWizard::NextButtonCap() const { return QString::fromStdString(model_.NextButtonCap); }
QString TxWizard::NextButtonFinCap() const { return QString::fromStdString(model_.NextButtonFinCap); }
QString TxWizard::BackButtonCap() const { return QString::fromStdString(model_.BackButtonCap); }

void TxWizard::SetNextButton(QAbstractButton* b) {
    if (next_) disconnect(next_, nullptr, this, nullptr);
    next_ = b;
    if (!b) return;
    disconnect(b, &QAbstractButton::clicked, nullptr, nullptr);
    connect(b, &QAbstractButton::clicked, this, &TxWizard::NextClick);
    model_.pageCount = count();
    model_.nextCaption = model_.initialNextCaption();
    b->setText(QString::fromStdString(model_.nextCaption));
}

void TxWizard::SetBackButton(QAbstractButton* b) {
    if (back_) disconnect(back_, nullptr, this, nullptr);
    back_ = b;
    if (!b) return;
    disconnect(b, &QAbstractButton::clicked, nullptr, nullptr);
    connect(b, &QAbstractButton::clicked, this, &TxWizard::BackClick);
    b->setVisible(false);
    model_.backVisible = false;
    b->setText(QString::fromStdString(model_.BackButtonCap));
}

void TxWizard::SetLblHeader(QLabel* l) {
    header_ = l;
    const auto i = static_cast<size_t>(std::max(0, currentIndex()));
    if (l && !model_.HeaderCaption.empty() && i < model_.HeaderCaption.size())
        l->setText(QString::fromStdString(model_.HeaderCaption[i]));
}

void TxWizard::SetLblInfo(QLabel* l) {
    info_ = l;
    const auto i = static_cast<size_t>(std::max(0, currentIndex()));
    if (l && !model_.InfoCaption.empty() && i < model_.InfoCaption.size())
        l->setText(QString::fromStdString(model_.InfoCaption[i]));
}

void TxWizard::apply() {
    if (model_.pageIndex != currentIndex()) setCurrentIndex(model_.pageIndex);
    if (header_ && model_.header) header_->setText(QString::fromStdString(*model_.header));
    if (info_ && model_.info) info_->setText(QString::fromStdString(*model_.info));
    if (next_) next_->setText(QString::fromStdString(model_.nextCaption));
    if (back_) back_->setVisible(model_.backVisible);
}

void TxWizard::NextClick() {
    model_.pageCount = count();
    model_.pageIndex = currentIndex();
    if (next_) model_.nextCaption = next_->text().toStdString();
    if (back_) model_.backVisible = !back_->isHidden();
    bool allow = true;
    if (OnNextClicking) OnNextClicking(next_, false, allow);
    const auto r = model_.next(allow, next_ != nullptr);
    if (!r.allowed) return;
    apply();
    if (OnNextClick) OnNextClick(next_, r.final);
}

void TxWizard::BackClick() {
    model_.pageCount = count();
    model_.pageIndex = currentIndex();
    if (next_) model_.nextCaption = next_->text().toStdString();
    if (back_) model_.backVisible = !back_->isHidden();
    model_.back();
    apply();
    if (OnBackClick) OnBackClick(back_);
}
