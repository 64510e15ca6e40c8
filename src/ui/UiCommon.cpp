#include "ui/UiCommon.h"

#include <QFontDatabase>
#include <QWidget>
#include <cmath>

namespace ui {

void installJapaneseFonts() {
    static bool done = false;
    if (done) return;
    done = true;
    const QStringList families = QFontDatabase::families();
    auto pick = [&](std::initializer_list<const char*> names) -> QString {
        for (const char* n : names)
            if (families.contains(QString::fromUtf8(n))) return QString::fromUtf8(n);
        return {};
    };
    const QString pGothic = pick({"IPAPGothic", "IPAGothic", "Noto Sans CJK JP"});
    // The fixed-width face must stay fixed-width: a proportional one would
    // break the columns of texts padded with spaces.
    const QString gothic = pick({"IPAGothic", "Noto Sans Mono CJK JP"});
    const QString pMincho = pick({"IPAPMincho", "IPAMincho", "Noto Serif CJK JP"});
    const QString mincho = pick({"IPAMincho", "IPAPMincho", "Noto Serif CJK JP"});
    struct Sub { const char* from; QString to; };
    const Sub subs[] = {
        {"ＭＳ Ｐゴシック", pGothic}, {"ＭＳ ゴシック", gothic}, {"ＭＳ Ｐ明朝", pMincho},
        {"ＭＳ 明朝", mincho},       {"MS UI Gothic", pGothic}, {"Meiryo UI", pGothic},
    };
    for (const auto& s : subs)
        if (!s.to.isEmpty()) QFont::insertSubstitution(QString::fromUtf8(s.from), s.to);
}

QFont suiteFont(int pixelHeight) {
    installJapaneseFonts();
    QFont f(QString::fromUtf8("ＭＳ Ｐゴシック"));
    f.setPixelSize(pixelHeight);
    return f;
}

QFont suiteFixedFont(int pixelHeight) {
    installJapaneseFonts();
    QFont f(QString::fromUtf8("ＭＳ ゴシック"));
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    f.setPixelSize(pixelHeight);
    return f;
}

int scaleByDpi(int value, int a, int b) {
    if (a == b || b == 0) return value;
    return static_cast<int>(std::trunc(value * (static_cast<double>(a) / b)));
}

int mulDiv(int value, int num, int den) {
    if (den == 0) return -1;
    long long p = static_cast<long long>(value) * num;
    long long q = p / den, r = p % den;
    if (2 * std::llabs(r) >= std::llabs(static_cast<long long>(den))) q += ((p < 0) != (den < 0)) ? -1 : 1;
    return static_cast<int>(q);
}

ModalForm* modalFormOf(QWidget* w) {
    return w ? dynamic_cast<ModalForm*>(w->window()) : nullptr;
}

void moveFocus(QWidget* w, bool next) {
    if (!w || w->isWindow()) return;
    QWidget* win = w->window();
    QWidget* cur = w;
    for (int guard = 0; guard < 10000; ++guard) {
        cur = next ? cur->nextInFocusChain() : cur->previousInFocusChain();
        if (!cur || cur == w) return;
        if (cur->window() != win || cur == win) continue;
        if ((cur->focusPolicy() & Qt::TabFocus) && cur->isEnabled() && cur->isVisibleTo(win) &&
            !cur->focusProxy()) {
            cur->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

} // namespace ui
