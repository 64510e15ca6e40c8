#include "ui/SDI.h"

#include "accdb/AccRecord.h"
#include "db/FbError.h"
#include "ui/DateEdit.h"
#include "ui/PeriodBar.h"
#include "ui/PlButton.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace platform;

TEST(SDIRules, LongHint) {
    EXPECT_EQ(sdi::longHint("短い|長い説明"), "長い説明");
    EXPECT_EQ(sdi::longHint("説明だけ"), "説明だけ");
    EXPECT_EQ(sdi::longHint("a|b|c"), "b|c");
    EXPECT_EQ(sdi::longHint(""), "");
}

TEST(SDIRules, PeriodBarCell) {
    const std::pair<int, int> cases[] = {{1, 0}, {3, 2}, {4, 4}, {5, 5}, {7, 8}, {12, 14}, {0, 0}, {13, 0}, {-1, 0}};
    for (auto [n, cell] : cases) EXPECT_EQ(sdi::kikanPanel16Cell(n), cell) << n;
}

TEST(SDIRules, MedicalCaption) {
    EXPECT_EQ(sdi::medicalCaption("本・支店区分"), "施設区分");
    EXPECT_EQ(sdi::medicalCaption("支店名と支店コード"), "施設名と施設コード");
    EXPECT_EQ(sdi::medicalCaption("本店"), "本店");
}

TEST(SDIRules, DefaultRectAndStoredRect) {
    EXPECT_EQ(sdi::defaultFormRect(96, 4), (FormRect{0, 0, 648, 1012}));
    EXPECT_EQ(sdi::defaultFormRect(120, 4), (FormRect{0, 0, 810, 1265}));
    EXPECT_EQ(sdi::defaultFormRect(96, 6), (FormRect{0, 0, 644, 1012})); // 648 - 12 + 8

    // top, left, height, width; main client 1000 x 700, frame 4.
    struct Case {
        bool maximized;
        FormRect form, stored;
    };
    const Case cases[] = {
        {false, {10, 20, 300, 400}, {10, 20, 300, 400}},
        {false, {-5, -8, 300, 400}, {0, 0, 300, 400}},
        {false, {800, 1200, 300, 400}, {0, 0, 300, 400}},
        {true, {10, 20, 300, 400}, {0, 0, 696, 996}},
    };
    for (const auto& c : cases) EXPECT_EQ(sdi::rectToStore(c.maximized, c.form, 1000, 700, 4, 0), c.stored);
}

TEST(SDIRules, FontScale) {
    struct Case {
        int screen, design, ppi, p, form;
    };
    const Case cases[] = {{10, 10, 96, 96, 96}, {12, 10, 96, 96, 115}, {9, 9, 120, 96, 96}, {10, 10, 120, 120, 120}};
    for (const auto& c : cases) {
        const auto s = sdi::fontScale(c.screen, c.design, c.ppi);
        EXPECT_EQ(s.designPpi, c.p);
        EXPECT_EQ(s.formPpi, c.form) << c.screen << "/" << c.design;
    }
}

TEST(SDIRules, FormPosition) {
    sdi::PlaceInput in;
    in.workArea = QRect(0, 0, 1000, 700);
    in.screen = QRect(0, 0, 1000, 740);
    in.form = QRect(50, 60, 400, 300);
    in.mainShowing = true;
    in.mainForm = QRect(500, 500, 600, 400);
    // Over a main form that hangs off the work area: pulled back inside.
    EXPECT_EQ(sdi::formPosition(0, 0, 0, 0, 2, in), QPoint(600, 400));
    // Screen centre.
    EXPECT_EQ(sdi::formPosition(0, 0, 0, 0, 3, in), QPoint(300, 220));
    // Mode 2 without a main form showing centres on the screen.
    in.mainShowing = false;
    EXPECT_EQ(sdi::formPosition(0, 0, 0, 0, 2, in), QPoint(300, 220));
    // A form already on the work area keeps its place unless asked to move.
    in.reposition = false;
    EXPECT_FALSE(sdi::formPosition(0, 0, 0, 0, 3, in).has_value());
    in.form.moveTo(0, 60);
    EXPECT_TRUE(sdi::formPosition(0, 0, 0, 0, 3, in).has_value());
}

TEST(SDIRules, KeyUp) {
    using A = sdi::KeyUpAction;
    struct Case {
        int key;
        Qt::KeyboardModifiers mods;
        bool dialog, ready;
        A action;
    };
    const Case cases[] = {
        {Qt::Key_Escape, Qt::NoModifier, true, false, A::Close},
        {Qt::Key_Escape, Qt::NoModifier, false, false, A::None},
        {Qt::Key_Escape, Qt::ShiftModifier, true, false, A::None},
        {Qt::Key_F12, Qt::NoModifier, false, false, A::Close},
        {Qt::Key_F12, Qt::NoModifier, true, true, A::ClickF12},
        {Qt::Key_F12, Qt::NoModifier, true, false, A::None},
        {Qt::Key_F12, Qt::ControlModifier, true, true, A::None},
        {Qt::Key_F1, Qt::NoModifier, true, true, A::None},
    };
    for (const auto& c : cases) EXPECT_EQ(sdi::keyUpAction(c.key, c.mods, c.dialog, c.ready), c.action) << c.key;
}

namespace {

class SDIForm : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = BSDIContext();
        savedSys_ = SystemDef;
        savedHook_ = ::MenuRequestHook;
        SystemDef.OpCode = 7;
        SystemDef.PcName = "PC01";
        auto& ctx = BSDIContext();
        ctx.FormSizes = &sizes;
        ctx.UseLog = &log;
        ctx.ReportDbError = [this](const db::FbError&, const std::string& where) { reported.push_back(where); };
    }
    void TearDown() override {
        BSDIContext() = saved_;
        SystemDef = savedSys_;
        ::MenuRequestHook = savedHook_;
    }

    MemoryFormSizeStore sizes;
    MemoryScreenUseLog log;
    std::vector<std::string> reported;
    ScriptedPrompt prompt;

private:
    TBSDIContext saved_;
    TSystemDef savedSys_;
    TMenuRequestHook savedHook_;
};

class DialogForm : public TBSDI {
public:
    explicit DialogForm(TFormBorderStyle s = bsDialog) : TBSDI(nullptr, s) {
        setObjectName(QStringLiteral("DialogForm"));
        setWindowTitle(QString::fromUtf8("テスト画面"));
        resize(300, 200);
        edit1 = new QLineEdit(this);
        edit1->setGeometry(10, 10, 100, 20);
        edit2 = new QLineEdit(this);
        edit2->setGeometry(10, 40, 100, 20);
        ok = new TxPlButton(this);
        ok->setGeometry(200, 160, 80, 26);
        FormCreate();
        InitOK = true;
    }
    QLineEdit* edit1;
    QLineEdit* edit2;
    TxPlButton* ok;
};

} // namespace

TEST_F(SDIForm, DialogFormKeepsNoLogNoSizeAndEscCloses) {
    DialogForm f;
    f.KeepAlive = true;
    EXPECT_FALSE(f.UseProcLog);
    EXPECT_FALSE(f.SaveFormSize);
    EXPECT_EQ(f.ActivateValue, 0);
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    EXPECT_EQ(f.minimumSize(), QSize(0, 0));
    QTest::keyClick(f.edit1, Qt::Key_Escape);
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.result(), mrCancel);
    EXPECT_TRUE(log.calls.empty());
    EXPECT_TRUE(sizes.rows.empty());
    EXPECT_EQ(f.LastKey, 0x1B);
}

TEST_F(SDIForm, F12ClicksTheF12Button) {
    DialogForm f;
    f.KeepAlive = true;
    int clicks = 0;
    QObject::connect(f.ok, &TxPlButton::clicked, [&] { ++clicks; });
    f.F12Button = f.ok;
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    f.edit1->setFocus();
    QTest::keyClick(f.edit1, Qt::Key_F12);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(f.LastKey, 0); // the key was used
    EXPECT_TRUE(f.isVisible());

    f.ok->setEnabled(false);
    QTest::keyClick(f.edit1, Qt::Key_F12);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(f.LastKey, 0x7B);

    f.ok->setEnabled(true);
    f.ok->hide();
    QTest::keyClick(f.edit1, Qt::Key_F12);
    EXPECT_EQ(clicks, 1);
}

TEST_F(SDIForm, F12WithoutHandlerDoesNothing) {
    DialogForm f;
    f.KeepAlive = true;
    f.F12Button = f.ok;
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    QTest::keyClick(f.edit1, Qt::Key_F12);
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.LastKey, 0x7B);
}

TEST_F(SDIForm, SizeIsKeptPerOperatorAndTheUseIsLogged) {
    const std::pair<int, std::string> key{7, "DialogForm"};
    {
        DialogForm f(bsSizeable);
        f.KeepAlive = true;
        EXPECT_TRUE(f.UseProcLog);
        EXPECT_TRUE(f.SaveFormSize);
        EXPECT_EQ(f.ActivateValue, 1);
        f.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
        // No row yet: the default rectangle is used and inserted.
        ASSERT_EQ(sizes.rows.count(key), 1u);
        EXPECT_EQ(sizes.rows[key].rect, (FormRect{0, 0, 648, 1012}));
        EXPECT_EQ(sizes.rows[key].defWidth, 1012);
        // (the screen may be smaller: the form never grows beyond it)
        EXPECT_EQ(f.size(), QSize(1012, 648).boundedTo(f.maximumSize()));
        EXPECT_EQ(f.minimumSize(), QSize(180, 120)); // 60 % of the size at the first show
        f.resize(700, 500);
        f.move(30, 40);
        f.close();
    }
    EXPECT_EQ(sizes.rows[key].rect, (FormRect{40, 30, 500, 700}));
    ASSERT_EQ(log.calls.size(), 3u);
    EXPECT_EQ(log.calls[0], "close 7 テスト画面 エラー終了");
    EXPECT_EQ(log.calls[1], "open 7 テスト画面 PC01");
    EXPECT_EQ(log.calls[2], "close 7 テスト画面 正常終了");

    DialogForm again(bsSizeable);
    again.KeepAlive = true;
    again.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&again));
    EXPECT_EQ(again.size(), QSize(700, 500));
    again.close();
}

namespace {
class FailingSizes : public FormSizeStore {
public:
    std::optional<FormRect> load(int, const std::string&) override { throw db::FbError("lost connection", 335544721, -902); }
    void insert(int, const std::string&, const FormRect&, int, int) override {}
    void update(int, const std::string&, const FormRect&) override { throw db::FbError("lost connection", 335544721, -902); }
};
} // namespace

TEST_F(SDIForm, DatabaseFailureOfTheSizeStoreIsReportedAndTheFormGoesOn) {
    FailingSizes failing;
    BSDIContext().FormSizes = &failing;
    DialogForm f(bsSizeable);
    f.KeepAlive = true;
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    EXPECT_TRUE(f.Shown);
    f.close();
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(reported, (std::vector<std::string>{"TBSDI.GetFormSize", "TBSDI.PutFormSize"}));
}

TEST_F(SDIForm, HintAreaShowsTheLongHintOfTheFocusedControl) {
    DialogForm f;
    f.KeepAlive = true;
    auto* memo = new QPlainTextEdit(&f);
    f.HintMemo = memo;
    TBSDI::setHint(f.edit1, "短|長い説明");
    TBSDI::setHint(f.edit2, "説明");
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.edit1->setFocus();
    EXPECT_EQ(memo->toPlainText(), QString::fromUtf8("長い説明"));
    EXPECT_EQ(f.edit1->toolTip(), QString::fromUtf8("短"));
    f.edit2->setFocus();
    EXPECT_EQ(memo->toPlainText(), QString::fromUtf8("説明"));
    f.ok->setFocus();
    EXPECT_TRUE(memo->toPlainText().isEmpty());
}

TEST_F(SDIForm, LargerScreenFontGrowsEveryControl) {
    BSDIContext().ScreenFontSize = 12; // 20 % larger than the design font
    DialogForm f;
    f.KeepAlive = true;
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    EXPECT_EQ(f.formPpi(), 115);
    EXPECT_EQ(f.edit1->geometry(), QRect(12, 12, 120, 24));
    EXPECT_EQ(f.ok->width(), 96);
}

TEST_F(SDIForm, GridLayoutIsCapturedWhateverItsColumnCount) {
    BSDIContext().ScreenPpi = 120;
    BSDIContext().DesignFontSize = 10; // design and form resolution 120
    BSDIContext().ScreenFontSize = 10;
    DialogForm f;
    f.KeepAlive = true;
    auto* grid = new QTableWidget(2, 2500, &f);
    for (int c = 0; c < 2500; ++c) grid->setColumnWidth(c, 40);
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    ASSERT_EQ(f.capture().size(), 1u);
    EXPECT_EQ(f.capture()[0].colWidths.size(), 2500u);
    EXPECT_EQ(grid->columnWidth(2499), 50);
}

TEST_F(SDIForm, FailedInitialisationIsReported) {
    DialogForm f;
    f.KeepAlive = true;
    f.InitOK = false;
    EXPECT_TRUE(f.ReportFailedInit());
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text(), "テスト画面画面の初期化に失敗しました。\r処理を終了します。");
    EXPECT_EQ(prompt.messages[0].buttons, mbYes);
    EXPECT_EQ(prompt.messages[0].kind, pkError);
}

TEST_F(SDIForm, MenuShellIsNotifiedOnShowing) {
    std::vector<std::pair<int, std::string>> calls;
    ::MenuRequestHook = [&](int r, const std::string& t) {
        calls.push_back({r, t.empty() ? "nil" : t});
        return 0;
    };
    DialogForm f;
    f.KeepAlive = true;
    f.MenuNotify = true;
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    EXPECT_EQ(calls, (std::vector<std::pair<int, std::string>>{{10, "nil"}, {11, "VeltanoMenu"}, {4, "nil"}}));
}

namespace {
class PeriodForm : public TBSDI {
public:
    PeriodForm() : TBSDI(nullptr, bsDialog) {
        bar16 = new TxKikanPanel16(this);
        bar16->setObjectName(QStringLiteral("KikanPanel16"));
        bar12 = new TxKikanPanel12(this);
        bar12->setObjectName(QStringLiteral("KikanPanel12"));
        date = new TTavrinExDateEdit(this);
        FormCreate();
    }
    TxKikanPanel16* bar16;
    TxKikanPanel12* bar12;
    TTavrinExDateEdit* date;
};
} // namespace

TEST_F(SDIForm, PeriodBarsStartAtTheEntryPeriod) {
    auto& ctx = BSDIContext();
    ctx.AccSime = 31;
    ctx.AccKishu = 45383;  // 2024/04/01
    ctx.AccKimatu = 45747; // 2025/03/31
    ctx.AccKaisi = 45383;
    const std::pair<int, int> cases[] = {{4, 4}, {12, 14}, {1, 0}};
    for (auto [kaisino, cell] : cases) {
        ctx.AccKaisino = kaisino;
        PeriodForm f;
        EXPECT_EQ(f.bar16->Stno(), cell) << kaisino;
        EXPECT_EQ(f.bar16->Edno(), f.bar16->model().KikanMove() ? 15 : cell) << kaisino;
        EXPECT_EQ(f.bar12->Stno(), kaisino - 1) << kaisino;
    }
}
