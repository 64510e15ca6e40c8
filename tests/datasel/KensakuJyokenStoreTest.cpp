#include <gtest/gtest.h>

#include "accdb/AccRecord.h"
#include "datasel/KensakuJyoken.h"
#include "datasel/KensakuJyokenStore.h"
#include "db/Attachment.h"
#include "db/Transaction.h"
#include "platform/Prompt.h"
#include "support/FbFixture.h"

using namespace datasel;
using testsupport::FbFixture;

namespace {

TEST(KensakuJyokenStore, CreatedOnFirstReadThenStoredAndReadBack)
{
    FbFixture fb;
    const auto path = fb.makeSystemDb();
    db::Attachment att(testsupport::fbParams(path));
    TKensakuJyokenStore store(att);

    TDataKensakuRec rec;
    rec.OPCODE = 10003;
    rec.LISTTYPE = 0;
    rec.DATANAME = "leftover";
    ASSERT_TRUE(store.SelectRecord(rec));
    EXPECT_EQ(rec.DATANAME, "");
    EXPECT_EQ(FbFixture::scalar(path, "SELECT COUNT(*) FROM KENSAKUJYOKEN WHERE OPCODE=10003 AND LISTTYPE=0 "
                                      "AND JYOKENUSE=0 AND DATATYPE=0 AND SORTCOL=0 AND DATAVER=''"),
              "1");

    rec.DATATYPE = 2;
    rec.CODETYPE = 4;
    rec.DATACODE = "AB";
    rec.DATANAME = "ｶﾅ商事";
    rec.DATAVER = "13.5";
    rec.SEIHINNAME = "タヴリン財務１９";
    rec.SORTCOL = 3;   // grid column データ名
    rec.SORTTYPE = 1;
    ASSERT_TRUE(store.UpdateRecord(rec));
    EXPECT_EQ(FbFixture::scalar(path, "SELECT SORTCOL FROM KENSAKUJYOKEN WHERE OPCODE=10003"), "1");

    TDataKensakuRec back;
    back.OPCODE = 10003;
    ASSERT_TRUE(store.SelectRecord(back));
    EXPECT_EQ(back.SORTCOL, 3);
    EXPECT_EQ(back.SORTTYPE, 1);
    EXPECT_EQ(back.DATANAME, "ｶﾅ商事");
    EXPECT_EQ(DataKbnIndexOf(back.DATATYPE, back.CODETYPE), 6);

    back.SORTCOL = 1;  // grid column コード
    back.SORTTYPE = 0;
    back.DATANAME = "not stored";
    ASSERT_TRUE(store.UpdateRecordSortField(back));
    EXPECT_EQ(FbFixture::scalar(path, "SELECT SORTCOL || ',' || DATANAME FROM KENSAKUJYOKEN WHERE OPCODE=10003"),
              "6,ｶﾅ商事");
    EXPECT_FALSE(store.transaction().active());
}

TEST(KensakuJyokenStore, FailureReportedOnlyWhenTheTransactionWasItsOwn)
{
    FbFixture fb;
    const auto path = fb.makeSystemDb();
    SystemDef.LogDir = fb.dir().str();
    FbFixture::exec(path, "DROP TABLE KENSAKUJYOKEN;");
    db::Attachment att(testsupport::fbParams(path));
    TKensakuJyokenStore store(att);
    platform::ScriptedPrompt prompt;
    TDataKensakuRec rec;
    rec.OPCODE = 10003;
    rec.DATANAME = "x";
    EXPECT_FALSE(store.SelectRecord(rec));
    EXPECT_EQ(rec.DATANAME, "");
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].text().find("検索条件レコードの参照に失敗しました。"), std::string::npos);

    store.transaction().start();
    EXPECT_FALSE(store.UpdateRecord(rec));
    EXPECT_EQ(prompt.messages.size(), 1u);
    EXPECT_TRUE(store.transaction().active());
    store.transaction().rollback();
    SystemDef.LogDir.clear();
}

} // namespace
