// The base form's stores against real embedded system and data databases.
#include "ui/FbFormStores.h"

#include "accdb/AccRecord.h"
#include "db/Attachment.h"
#include "db/Transaction.h"
#include "support/FbFixture.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

class FormOnDatabases : public ::testing::Test {
protected:
    void SetUp() override {
        savedCtx_ = BSDIContext();
        savedOp_ = SystemDef.OpCode;
        SystemDef.OpCode = 10001;
        SystemDef.PcName = "端末01";
        sysPath_ = fb_.makeSystemDb();
        dataPath_ = fb_.makeDataSet();
        // The procedure belongs to the data database's schema; made here so
        // that the test does not depend on which version of it is loaded.
        testsupport::FbFixture::exec(dataPath_, "SET TERM ^ ;\n"
                                                "CREATE OR ALTER PROCEDURE OPINF_DELETE (OPCODE INTEGER, "
                                                "JOBNAME VARCHAR(80), STATE VARCHAR(20)) AS BEGIN "
                                                "DELETE FROM OPINF O WHERE O.OPCODE = :OPCODE AND O.JOBNAME = :JOBNAME; "
                                                "END^\nSET TERM ; ^\n");
        sys_.connect(testsupport::fbParams(sysPath_));
        data_.connect(testsupport::fbParams(dataPath_));
    }
    void TearDown() override {
        BSDIContext() = savedCtx_;
        SystemDef.OpCode = savedOp_;
    }

    testsupport::FbFixture fb_;
    std::string sysPath_, dataPath_;
    db::Attachment sys_, data_;

private:
    TBSDIContext savedCtx_;
    int savedOp_ = 0;
};

} // namespace

TEST_F(FormOnDatabases, SizeRowsAreWrittenAndReadBack) {
    db::Transaction defTx(sys_);
    FbFormSizeStore store(defTx);
    EXPECT_FALSE(store.load(10001, "DataSentakuBox").has_value());
    store.insert(10001, "DataSentakuBox", {0, 0, 648, 1012}, 648, 1012);
    store.update(10001, "DataSentakuBox", {12, 34, 500, 700});
    EXPECT_EQ(store.load(10001, "DataSentakuBox"), (FormRect{12, 34, 500, 700}));
    EXPECT_FALSE(store.load(10002, "DataSentakuBox").has_value()); // per operator
    EXPECT_FALSE(defTx.active()); // each call started and committed its own work

    // Inside a transaction the caller started, the caller commits.
    defTx.start();
    store.update(10001, "DataSentakuBox", {1, 2, 3, 4});
    EXPECT_TRUE(defTx.active());
    defTx.rollback();
    EXPECT_EQ(store.load(10001, "DataSentakuBox"), (FormRect{12, 34, 500, 700}));
    EXPECT_EQ(testsupport::FbFixture::scalar(sysPath_, "SELECT DEFWIDTH FROM FORMRSIZE WHERE OPCODE=10001"), "1012");
}

TEST_F(FormOnDatabases, FormKeepsItsSizeAndLogsItsUse) {
    // The form finds the databases through the data module's connections.
    db::Transaction defTx(sys_);
    BSDIContext().DefTransaction = &defTx;
    BSDIContext().DataDatabase = &data_;
    {
        TBSDI f(nullptr, bsSizeable);
        f.setObjectName(QStringLiteral("DataSentakuBox"));
        f.setWindowTitle(QString::fromUtf8("データ選択"));
        f.resize(400, 300); // design size: the minimum becomes 60 % of it
        f.FormCreate();
        f.InitOK = true;
        f.KeepAlive = true;
        f.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
        EXPECT_EQ(testsupport::FbFixture::scalar(dataPath_, "SELECT PCNAME FROM OPINF WHERE OPCODE=10001"), "端末01");
        f.resize(640, 480);
        f.move(5, 6);
        auto q = f.CreateDataQuery();
        ASSERT_TRUE(q);
        f.IBTransactionDAT()->start();
        q->prepare("SELECT COUNT(*) FROM OPINF");
        q->execute();
        ASSERT_TRUE(q->fetch());
        EXPECT_EQ(q->field(0).asInt(), 1);
        q.reset();
        f.IBTransactionDAT()->commit();
        f.close();
    }
    FbFormSizeStore sizes(defTx);
    EXPECT_EQ(sizes.load(10001, "DataSentakuBox"), (FormRect{6, 5, 480, 640}));
    EXPECT_EQ(testsupport::FbFixture::scalar(dataPath_, "SELECT COUNT(*) FROM OPINF"), "0");
}
