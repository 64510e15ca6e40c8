#pragma once
// Checked combo box: a one-line display with a drop-down button that opens a
// check list of the items. The rules (selection order, display text, line
// count, placement, the click that closed the list) live in
// CheckComboModel; TxCheckedComboBox is the Qt face of it.
#include <QFrame>
#include <QPointer>
#include <QRect>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QAction;

enum TCHBQuoteStyle { qsNone, qsSingle, qsDouble };
enum TCHBDispStyle { dsKensu, dsItems };

class CheckComboModel {
public:
    // Copies the items; clears every check and the selection.
    void setItems(std::vector<std::string> items);
    const std::vector<std::string>& items() const { return items_; }
    void setSorted(bool sorted);
    bool sorted() const { return sorted_; }

    bool isChecked(int index) const;
    // A click on the check of an item left it checked (true) or unchecked.
    void clickCheck(int index, bool checkedNow);
    // False (nothing done) when several items may not be checked.
    bool selectAll();
    void deselectAll();

    // Checked texts joined with "," in the order they were checked.
    std::string selectionText() const;
    int checkedCount() const { return count_; }
    std::string displayText() const;

    bool multiSelect() const { return multiSelect_; }
    void setMultiSelect(bool on) { multiSelect_ = on; }
    int dropDownLines() const { return dropDownLines_; }
    // Accepts 1 to 20; other values are ignored.
    void setDropDownLines(int lines);
    int columns() const { return columns_; }
    void setColumns(int columns) { columns_ = columns; }

    // Lines the open list shows.
    int visibleLines() const;
    // Screen rectangle of the open list for a control at `control` (screen
    // coordinates) on a screen whose bottom edge is screenBottom.
    QRect dropDownRect(const QRect& control, int itemHeight, int dropDownWidth, int screenBottom) const;

    // The list closed; pointerInButton: the mouse was inside the button then.
    void closedUp(bool pointerInButton) { closedOverButton_ = pointerInButton; }
    // The click that closed the list over the button is not taken as a new
    // request; forget it once that click has had its chance.
    void forgetCloseClick() { closedOverButton_ = false; }
    // A click on the button (or F4): true when the list is to open.
    bool requestOpen();

    std::string EmptyValue = "未選択";
    std::string KensuValueFormat = "%d件選択";
    TCHBDispStyle DispStyle = dsKensu;
    bool SortDisplay = false;

private:
    std::vector<std::string> items_;
    std::vector<bool> checked_;
    std::vector<std::string> selection_;
    int count_ = 0;
    bool sorted_ = false;
    bool multiSelect_ = true;
    int dropDownLines_ = 15;
    int columns_ = 0;
    bool closedOverButton_ = false;
};

class TxCheckedComboBox : public QFrame {
    Q_OBJECT
public:
    explicit TxCheckedComboBox(QWidget* parent = nullptr);
    ~TxCheckedComboBox() override;

    CheckComboModel& model() { return model_; }

    void setItems(const std::vector<std::string>& items);
    const std::vector<std::string>& items() const { return model_.items(); }
    void setSorted(bool on);
    void setColumns(int columns);
    void setDropDownLines(int lines) { model_.setDropDownLines(lines); }
    void setEmptyValue(const std::string& text);
    void setMultiSelect(bool on);
    void setDispStyle(TCHBDispStyle style);
    void setSortDisplay(bool on);
    void setKensuValueFormat(const std::string& format);

    std::string CapSelectAll = "&全て選択";
    std::string CapDeSelectAll = "&選択解除";
    TCHBQuoteStyle QuoteStyle = qsNone;
    int DropDownWidth = 120;
    bool KeyUse = false;
    int KeyLength = 0;
    std::string KeyDelimiter = ":";
    static constexpr const char* Version = "1.0.3";

    std::function<void()> OnClick, OnChange, OnClickCheck, OnButtonClick, OnPanelClick, OnCloseUp;

    // The shown text of the display.
    QString displayText() const;
    bool isDroppedDown() const;
    QWidget* dropDownWindow() const;
    QListWidget* checkList() const { return list_; }
    // Opens the list as a button click does.
    void buttonClick();
    void selectAll();
    void deselectAll();

    enum ButtonState { bsNormal, bsHot, bsPress, bsGray };
    ButtonState buttonState() const { return buttonState_; }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void refreshDisplay();
    void syncChecks();
    void setButtonState(ButtonState s);
    void layoutParts();
    void closeList(bool moveNext, bool movePrevious);
    void listItemChanged(QListWidgetItem* item);

    CheckComboModel model_;
    QLabel* display_ = nullptr;
    QLabel* button_ = nullptr;
    QFrame* popup_ = nullptr;
    QListWidget* list_ = nullptr;
    QMenu* menu_ = nullptr;
    QAction* selectAllAction_ = nullptr;
    QAction* deselectAllAction_ = nullptr;
    ButtonState buttonState_ = bsNormal;
    bool syncing_ = false;
};
