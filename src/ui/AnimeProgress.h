#pragma once
// TxAnimeProgressDialog: a small waiting window with a busy indicator, one
// line of text and an optional "キャンセル" button. Modeless: the caller
// opens it, works, updates the text and closes it while the calling window
// is disabled. Modal: OnShow is the job, run inside the window's own modal
// loop; the window closes when the job returns and an exception of the job
// reaches the caller of Execute after the window has closed.
#include <QDialog>
#include <QPointer>
#include <QRect>
#include <exception>
#include <functional>
#include <string>

class QLabel;
class QPushButton;
class QTimer;

enum TxLabelPosition { xlpRight, xlpBottom };

namespace progress {

struct Layout {
    QRect anime;
    QRect label;
    QRect button;
    bool buttonVisible = true;
};
// Placement of the window's parts in its 380 × 100 client area.
Layout layout(TxLabelPosition pos, bool cancelButton, int textHeight);

struct Placement {
    QPoint topLeft;
    bool centreOnScreen = false; // and stay on top
};
// Centres a window of the given size over the target rectangle (halves
// truncated); an empty target means the screen centre.
Placement placeOver(const QRect& target, const QSize& window, const QRect& screen);

} // namespace progress

// A busy indicator standing in for the animation.
class BusyIndicator : public QWidget {
    Q_OBJECT
public:
    explicit BusyIndicator(QWidget* parent = nullptr);
    void setActive(bool on);
    bool active() const;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QTimer* timer_;
    int step_ = 0;
};

class TxProgressForm : public QDialog {
    Q_OBJECT
public:
    explicit TxProgressForm(QWidget* owner);
    BusyIndicator* anime;
    QLabel* label;
    QPushButton* cancelButton;
    std::function<void()> onShown; // the modal job

protected:
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
};

class TxAnimeProgressDialog : public QObject {
    Q_OBJECT
public:
    explicit TxAnimeProgressDialog(QObject* owner = nullptr);
    ~TxAnimeProgressDialog() override;

    QWidget* Handle() const { return form_; }
    QPointer<QWidget> ParentHandle;
    QString Caption() const { return caption_; }
    void SetCaption(const QString& c);
    QString InfoLabel() const { return info_; }
    void SetInfoLabel(const QString& text);
    TxLabelPosition LabelPosition = xlpRight;
    int CommonAVI = 0;
    QString AviFile() const { return aviFile_; }
    void SetAviFile(const QString& file);
    bool AnimeActive() const { return animeActive_; }
    void SetAnimeActive(bool on);
    bool CancelBtnShow = true;
    std::function<void(QWidget* form)> OnShow;
    std::function<void()> OnClose;

    // The cancel button was pressed since the last Execute.
    bool Cancelled() const { return cancelled_; }
    bool isOpen() const { return open_; }

    void Execute(QWidget* parentForm = nullptr);
    int Close();
    void Animate(bool active);

private:
    void freeForm();
    QString caption_, info_, aviFile_;
    bool animeActive_ = false;
    bool cancelled_ = false;
    bool open_ = false;
    QPointer<QWidget> parentWindow_;
    QPointer<TxProgressForm> form_;
};
