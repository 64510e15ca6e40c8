#include <gtest/gtest.h>

#include "db/Attachment.h"
#include "db/Transaction.h"
#include "dbupdate/DbUpdateList.h"
#include "support/FbFixture.h"

using testsupport::FbFixture;

namespace {

TEST(DbVersionRead, FromSystemAndDataDatabases)
{
    FbFixture fb;
    const auto sys = fb.makeSystemDb();
    const auto data = fb.makeDataSet("0001");
    db::Attachment sysAtt(testsupport::fbParams(sys));
    db::Attachment dataAtt(testsupport::fbParams(data));
    db::Transaction sysTx(sysAtt);
    db::Transaction dataTx(dataAtt);

    TDbUpdateState st;
    st.VersionReader = [&](std::uint8_t kind) { return ReadDbVersion(kind == 0 ? sysTx : dataTx, kind); };
    st.SetDbUpdateList(0, "");
    EXPECT_EQ(st.DbVersion, (TDbVersionTriple{12, 0, 0}));
    EXPECT_FALSE(st.UpdateNeeded);

    FbFixture::exec(data, "UPDATE ACCVERSION SET MAJOR=13, MINOR1=0, MINOR2=3;");
    st.SetDbUpdateList(1, "");
    EXPECT_EQ(st.DbVersion, (TDbVersionTriple{13, 0, 3}));
    EXPECT_EQ(st.Rows.size(), 1u);
    EXPECT_FALSE(dataTx.active());

    // An empty VERSION table: every system step pending, 0.3.1 first.
    FbFixture::exec(sys, "DELETE FROM VERSION;");
    sysTx.start();
    st.SetDbUpdateList(0, "");
    EXPECT_TRUE(sysTx.active());   // the caller's transaction is left open
    sysTx.commit();
    ASSERT_EQ(st.Rows.size(), 18u);
    EXPECT_EQ(st.Rows[0].Caption, "0.3.1");
}

} // namespace
