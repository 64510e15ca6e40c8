#pragma once
// Small helpers shared by the toolkit's forms and controls: the suite's
// Japanese fonts, resolution scaling and the modal-result hand-over that
// buttons use to close their form.
#include <QFont>
#include <QString>
#include <string>

class QWidget;

namespace ui {

// Maps the suite's design font names ("ＭＳ Ｐゴシック", ...) onto the
// installed Japanese fonts; safe to call more than once.
void installJapaneseFonts();
// The suite's dialog font: "ＭＳ Ｐゴシック" at the given pixel height.
QFont suiteFont(int pixelHeight = 12);
// The suite's fixed-width face "ＭＳ ゴシック" at the given pixel height, for
// texts padded with spaces into columns.
QFont suiteFixedFont(int pixelHeight = 12);

// Trunc(value × a / b); the value untouched when a = b.
int scaleByDpi(int value, int a, int b);
// Rounded value × num / den as the platform's MulDiv does (halves away from zero).
int mulDiv(int value, int num, int den);

inline QString qs(const std::string& s) { return QString::fromStdString(s); }
inline std::string ss(const QString& s) { return s.toStdString(); }

// A form that takes a modal result from its buttons: a non-zero result
// closes it, 0 leaves it open.
class ModalForm {
public:
    virtual ~ModalForm() = default;
    virtual void setModalResult(int result) = 0;
    virtual int modalResult() const = 0;
};

// The modal form that holds w, or nullptr.
ModalForm* modalFormOf(QWidget* w);

// Moves the focus to the next (or previous) focusable control of w's form.
// Nothing happens when w is a window of its own.
void moveFocus(QWidget* w, bool next);

} // namespace ui
