#pragma once
// Period bars: a row of cells for the closing months of the open fiscal year
// from which the user picks one cell or a range with the mouse or the arrow
// keys. KikanBarModel holds the cells, the selection and the colours for the
// three bars (16 cells with quarter and settlement cells, 12 month cells, 4
// quarter or 2 half-year cells); TxKikanPanel16/12/4 are their Qt faces.
#include "accdb/DateCore.h"

#include <QFrame>
#include <QRect>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QLabel;

// Colours as 0x00BBGGRR values.
using TColor = std::uint32_t;
inline constexpr TColor clBtnFace = 0xF0F0F0;
inline constexpr TColor clWindowText = 0x000000;
inline constexpr TColor clBarGrayText = 0x808080;

enum class KikanKind { Bar16, Bar12, Bar4 };

struct KikanCell {
    std::string text;
    int periodNo = -1;
    bool enabled = true;
    bool visible = true;
    TColor back = clBtnFace;
    TColor font = clWindowText;
};

class KikanBarModel {
public:
    // Sets the bar up as it is when created: the 16- and 12-cell bars for
    // the calendar year of `today`, the 4-cell bar with four quarter cells.
    KikanBarModel(KikanKind kind, TDateTime today);

    KikanKind kind() const { return kind_; }
    int cellCount() const { return static_cast<int>(cells_.size()); }
    const KikanCell& cell(int i) const { return cells_.at(i); }

    void SetKikan(int closingDay, TDateTime fiscalStart, TDateTime fiscalEnd, TDateTime entryStart);

    int Stno() const { return stno_; }
    int Edno() const { return edno_; }
    void setStno(int v);
    void setEdno(int v);
    int LastNo() const { return lastNo_; }
    int StMonthNo() const { return monthNoOf(stno_); }
    int EdMonthNo() const { return monthNoOf(edno_); }
    bool KikanMove() const { return kikanMove_; }
    void setKikanMove(bool on);
    bool KESSAN() const { return kessan_; }
    void setKESSAN(bool on);
    int BtnCnt() const { return btnCnt_; }
    void setBtnCnt(int n);
    bool KBDMOUSE = false;

    TColor BackColor() const { return backColor_; }
    void setBackColor(TColor c) { setColour(backColor_, c); }
    TColor FontColor() const { return fontColor_; }
    void setFontColor(TColor c) { setColour(fontColor_, c); }
    TColor DisabelColor() const { return disabelColor_; }
    void setDisabelColor(TColor c) { setColour(disabelColor_, c); }
    bool KakuteiMode() const { return kakuteiMode_; }
    void setKakuteiMode(bool on);
    int KakuteiMNo() const { return kakuteiMNo_; }
    void setKakuteiMNo(int n);
    TColor KakuteiBackColor() const { return kakuteiBack_; }
    void setKakuteiBackColor(TColor c) { setColour(kakuteiBack_, c); }
    TColor KakuteiFontColor() const { return kakuteiFont_; }
    void setKakuteiFontColor(TColor c) { setColour(kakuteiFont_, c); }

    bool barEnabled() const { return enabled_; }
    void setBarEnabled(bool on);

    int firstUsable() const { return firstUsable_; }
    int lastUsable() const { return lastUsable_; }
    int anchor() const { return anchor_; }
    int current() const { return current_; }
    bool dragging() const { return dragging_; }

    // Mouse on a cell. mouseUp: true when the bar reports the release.
    void mouseDown(int cell, bool left);
    void mouseMove(int cellUnderPointer);
    bool mouseUp(bool left);
    // Arrow keys; shiftOnly: Shift and no other modifier.
    void keyLeft(bool shiftOnly);
    void keyRight(bool shiftOnly);
    void shiftReleased();
    // Enter: the bar reports a release (true).
    bool enterPressed();
    void focusEntered() { KBDMOUSE = false; }
    // Leaving the bar: true when a release is owed for arrow-key moves.
    bool focusLeft();

    // Cell rectangles for a bar of the given size.
    std::vector<QRect> layout(int width, int height) const;
    // Width the 16-cell bar snaps to.
    int snappedWidth(int width) const;

    // Called for a closing day the arithmetic cannot use.
    std::function<void()> onBeep;

    void RepaintCells();

private:
    int columns() const;
    int cellOf(TDateTime from, TDateTime date);
    TDateTime closingDate(int months, TDateTime date);
    int monthNoOf(int index) const;
    void paintRange();
    void paintIdle(int i);
    void setColour(TColor& field, TColor value);

    KikanKind kind_;
    std::vector<KikanCell> cells_;
    int stno_ = 1;
    int edno_ = 16;
    int lastNo_ = 16;
    int firstUsable_ = 0;
    int lastUsable_ = 16;
    int anchor_ = 0;
    int current_ = 0;
    bool dragging_ = false;
    bool kikanMove_ = true;
    bool kessan_ = true;
    int btnCnt_ = 4;
    bool enabled_ = true;
    bool kakuteiMode_ = false;
    int kakuteiMNo_ = 0;
    TColor backColor_ = 0x800000;
    TColor fontColor_ = 0xFFFFFF;
    TColor disabelColor_ = 0xC0C0C0;
    TColor kakuteiBack_ = 0x4080FF;
    TColor kakuteiFont_ = 0xFFFFFF;
    int closingDay_ = 99;
    TDateTime fiscalStart_ = 0, fiscalEnd_ = 0, entryStart_ = 0;
};

class TxKikanPanel : public QFrame {
    Q_OBJECT
public:
    KikanBarModel& model() { return model_; }
    const KikanBarModel& model() const { return model_; }

    void SetKikan(int closingDay, TDateTime fiscalStart, TDateTime fiscalEnd, TDateTime entryStart);
    int Stno() const { return model_.Stno(); }
    int Edno() const { return model_.Edno(); }
    void setStno(int v);
    void setEdno(int v);
    void setKikanMove(bool on);
    int LastNo() const { return model_.LastNo(); }

    QLabel* cellWidget(int i) const { return cellWidgets_.at(i); }
    // Applies the model's cells to the cell widgets.
    void refresh();

    std::function<void()> OnMouseDown, OnMouseUp, OnDblClick;

    QSize sizeHint() const override { return designSize_; }

protected:
    TxKikanPanel(KikanKind kind, QWidget* parent);
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool event(QEvent* e) override;

    KikanBarModel model_;

private:
    int cellAt(const QPoint& p, bool anyRow) const;
    std::vector<QLabel*> cellWidgets_;
    std::vector<QRect> rects_;
    bool pressed_ = false;
    QSize designSize_;
};

class TxKikanPanel16 : public TxKikanPanel {
    Q_OBJECT
public:
    explicit TxKikanPanel16(QWidget* parent = nullptr);
    void setKESSAN(bool on);
};

class TxKikanPanel12 : public TxKikanPanel {
    Q_OBJECT
public:
    explicit TxKikanPanel12(QWidget* parent = nullptr);
};

class TxKikanPanel4 : public TxKikanPanel {
    Q_OBJECT
public:
    explicit TxKikanPanel4(QWidget* parent = nullptr);
    void setBtnCnt(int n);
};
