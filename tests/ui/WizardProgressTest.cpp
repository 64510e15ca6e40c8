#include "ui/AnimeProgress.h"
#include "ui/xWizard.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

TEST(WizardModel, NextAndBack) {
    TxWizardModel m;
    m.pageCount = 3;
    m.pageIndex = 0;
    m.HeaderCaption = {"はじめに", "データ"}; // shorter than the pages
    m.nextCaption = m.initialNextCaption();
    EXPECT_EQ(m.nextCaption, "次へ(&N) >");

    auto r = m.next(false);
    EXPECT_FALSE(r.allowed);
    EXPECT_EQ(m.pageIndex, 0);
    EXPECT_EQ(m.nextCaption, "次へ(&N) >");

    r = m.next(true);
    EXPECT_FALSE(r.final);
    EXPECT_EQ(m.pageIndex, 1);
    EXPECT_EQ(m.header, "データ");
    EXPECT_TRUE(m.backVisible);

    r = m.next(true);
    EXPECT_EQ(m.pageIndex, 2);
    EXPECT_FALSE(m.header.has_value()); // no entry: the label keeps its text
    EXPECT_EQ(m.nextCaption, "完了(&F)");

    r = m.next(true);
    EXPECT_TRUE(r.final);
    EXPECT_EQ(m.pageIndex, 2);

    m.back();
    EXPECT_EQ(m.pageIndex, 1);
    EXPECT_EQ(m.nextCaption, "次へ(&N) >");
    EXPECT_TRUE(m.backVisible);
    m.back();
    EXPECT_EQ(m.pageIndex, 0);
    EXPECT_FALSE(m.backVisible);
    EXPECT_EQ(m.header, "はじめに");

    TxWizardModel one;
    one.pageCount = 1;
    EXPECT_EQ(one.initialNextCaption(), "完了(&F)");
    EXPECT_TRUE(one.next(true).final);
}

namespace {
struct WizardForm {
    QWidget form;
    TxWizard* wizard = new TxWizard(&form);
    QPushButton* back = new QPushButton(&form);
    QPushButton* next = new QPushButton(&form);
    QLabel* header = new QLabel(&form);
    WizardForm() {
        for (int i = 0; i < 4; ++i) wizard->addWidget(new QWidget);
        wizard->SetHeaderCaption({"1", "2", "3", "4"});
        wizard->SetNextButton(next);
        wizard->SetBackButton(back);
        wizard->SetLblHeader(header);
        form.show();
    }
};
} // namespace

TEST(WizardWidget, RefusedStepKeepsThePage) {
    WizardForm f;
    int nextClicks = 0;
    bool allow = false;
    f.wizard->OnNextClicking = [&](QObject*, bool finalState, bool& a) {
        EXPECT_FALSE(finalState);
        a = allow;
    };
    f.wizard->OnNextClick = [&](QObject*, bool) { ++nextClicks; };
    EXPECT_EQ(f.next->text(), QString::fromUtf8("次へ(&N) >"));
    EXPECT_EQ(f.back->text(), QString::fromUtf8("< 戻る(&B)"));
    EXPECT_FALSE(f.back->isVisible());
    EXPECT_EQ(f.header->text(), QStringLiteral("1"));

    QTest::mouseClick(f.next, Qt::LeftButton);
    EXPECT_EQ(f.wizard->PageIndex(), 0);
    EXPECT_EQ(nextClicks, 0);

    allow = true;
    QTest::mouseClick(f.next, Qt::LeftButton);
    EXPECT_EQ(f.wizard->PageIndex(), 1);
    EXPECT_EQ(f.header->text(), QStringLiteral("2"));
    EXPECT_TRUE(f.back->isVisible());
    EXPECT_EQ(nextClicks, 1);
}

TEST(WizardWidget, FinishOnTheLastPageAndPagesRemovedAtRunTime) {
    WizardForm f;
    bool finalSeen = false;
    f.wizard->OnNextClick = [&](QObject*, bool finalState) { finalSeen = finalState; };
    QWidget* third = f.wizard->widget(2);
    f.wizard->removeWidget(third); // three pages now
    delete third;
    f.next->click();
    f.next->click();
    EXPECT_EQ(f.wizard->PageIndex(), 2);
    EXPECT_EQ(f.next->text(), QString::fromUtf8("完了(&F)"));
    EXPECT_FALSE(finalSeen);
    f.next->click();
    EXPECT_TRUE(finalSeen);
    EXPECT_EQ(f.wizard->PageIndex(), 2);
    f.back->click();
    EXPECT_EQ(f.next->text(), QString::fromUtf8("次へ(&N) >"));
    f.back->click();
    EXPECT_FALSE(f.back->isVisible());
}

TEST(ProgressLayout, PartsAndPlacement) {
    auto l = progress::layout(xlpRight, true, 14);
    EXPECT_EQ(l.label, QRect(60, 24, 300, 14));
    EXPECT_EQ(l.anime, QRect(20, 16, 32, 32));
    EXPECT_EQ(l.button, QRect(152, 67, 76, 23));
    l = progress::layout(xlpRight, false, 14);
    EXPECT_FALSE(l.buttonVisible);
    EXPECT_EQ(l.label.top(), 42);
    EXPECT_EQ(l.anime.top(), 30);
    l = progress::layout(xlpBottom, false, 14);
    EXPECT_EQ(l.label.topLeft(), QPoint(20, 70));
    l = progress::layout(xlpBottom, true, 14);
    EXPECT_EQ(l.label.topLeft(), QPoint(20, 52));

    const QRect screen(0, 0, 1920, 1080);
    auto p = progress::placeOver(QRect(100, 100, 501, 301), QSize(380, 100), screen);
    EXPECT_EQ(p.topLeft, QPoint(100 + 60, 100 + 100));
    EXPECT_FALSE(p.centreOnScreen);
    p = progress::placeOver(QRect(), QSize(380, 100), screen);
    EXPECT_TRUE(p.centreOnScreen);
    EXPECT_EQ(p.topLeft, QPoint(770, 490));
}

TEST(ProgressDialog, ModelessDisablesTheParentAndShowsTextAtOnce) {
    QWidget parent;
    parent.resize(600, 400);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    TxAnimeProgressDialog dlg;
    EXPECT_EQ(dlg.Close(), 0); // nothing open: nothing happens

    dlg.SetCaption(QString::fromUtf8("データのコピー"));
    dlg.SetInfoLabel(QString::fromUtf8("準備中"));
    dlg.SetAviFile(QStringLiteral("/nonexistent/progress.avi"));
    dlg.Execute(&parent);
    ASSERT_NE(dlg.Handle(), nullptr);
    auto* form = static_cast<TxProgressForm*>(dlg.Handle());
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(parent.isEnabled());
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("データのコピー"));
    EXPECT_TRUE(dlg.AviFile().isEmpty());
    EXPECT_TRUE(form->anime->active());
    dlg.SetInfoLabel(QString::fromUtf8("コピー中"));
    EXPECT_EQ(form->label->text(), QString::fromUtf8("コピー中"));
    EXPECT_FALSE(dlg.Cancelled());
    form->cancelButton->click();
    EXPECT_TRUE(dlg.Cancelled());

    EXPECT_EQ(dlg.Close(), 0);
    EXPECT_EQ(dlg.Handle(), nullptr);
    EXPECT_TRUE(parent.isEnabled());
}

TEST(ProgressDialog, JobExceptionReachesTheCallerAfterTheWindowClosed) {
    QWidget parent;
    parent.show();
    TxAnimeProgressDialog dlg;
    // Guard: never leave a modal loop running should the job not end it.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (auto* w = QApplication::activeModalWidget()) w->close();
    });
    guard.start(5000);
    bool ran = false;
    QString shownText;
    bool closedCalled = false;
    dlg.OnClose = [&] { closedCalled = true; };
    dlg.OnShow = [&](QWidget* form) {
        ran = true;
        dlg.SetInfoLabel(QString::fromUtf8("処理中"));
        shownText = static_cast<TxProgressForm*>(form)->label->text();
        throw std::runtime_error("ジョブ失敗");
    };
    try {
        dlg.Execute(&parent);
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "ジョブ失敗");
    }
    EXPECT_TRUE(ran);
    EXPECT_EQ(shownText, QString::fromUtf8("処理中"));
    EXPECT_EQ(dlg.Handle(), nullptr);
    EXPECT_FALSE(dlg.isOpen());
    EXPECT_TRUE(closedCalled);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // A job that ends normally closes the window as well.
    dlg.OnShow = [](QWidget*) {};
    dlg.Execute(&parent);
    EXPECT_EQ(dlg.Handle(), nullptr);
}
