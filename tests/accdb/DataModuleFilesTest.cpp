#include "DataModuleSupport.h"

#include <filesystem>

#include "support/TempDir.h"

namespace fs = std::filesystem;
using testsupport::FbFixture;

TEST_F(DataModuleTest, LocalFileOperations) {
    const fs::path d = fb.path("work");
    const std::string a = (d / "a.txt").string(), b = (d / "b.txt").string(), c = (d / "c.txt").string();
    EXPECT_FALSE(DM->DExist(d.string(), 0));
    EXPECT_TRUE(DM->MkDir((d / "x/y").string(), 0));
    EXPECT_TRUE(DM->DExist((d / "x/y").string(), 0));
    testsupport::writeFileBytes(a, "A");
    testsupport::writeFileBytes(c, "C");
    EXPECT_TRUE(DM->FExist(a, 0));
    EXPECT_FALSE(DM->FExist(d.string(), 0));
    EXPECT_TRUE(DM->FCopy(a, b, 0));
    EXPECT_EQ(testsupport::readFileBytes(b), "A");
    // A move never replaces an existing file.
    EXPECT_FALSE(DM->FMove(a, c, 0));
    EXPECT_EQ(testsupport::readFileBytes(c), "C");
    EXPECT_TRUE(DM->FMove(a, (d / "x/a.txt").string(), 0));
    EXPECT_FALSE(DM->FExist(a, 0));
    EXPECT_TRUE(DM->FDel(b, 0));
    EXPECT_FALSE(DM->FExist(b, 0));
    EXPECT_TRUE(DM->RmDir((d / "x").string(), 0));
    EXPECT_FALSE(DM->DExist((d / "x").string(), 0));

    std::string s = "?";
    DM->GetShortFileName(c, 0, s);
    EXPECT_EQ(s, c);
    DM->GetShortFileName((d / "Missing.TXT").string(), 0, s);
    EXPECT_EQ(s, (d / "Missing.TXT").string());

    // The root is refused by the protection, with its message.
    EXPECT_FALSE(DM->RmDir("/", 0));
    EXPECT_EQ(prompt.messages.size(), 1u);
}

TEST_F(DataModuleTest, UnknownKindDoesNothing) {
    const std::string f = fb.path("f.txt").string();
    testsupport::writeFileBytes(f, "F");
    EXPECT_FALSE(DM->FExist(f, 3));
    EXPECT_FALSE(DM->DExist(fb.dir().str(), 3));
    EXPECT_FALSE(DM->MkDir(fb.path("n").string(), 3));
    EXPECT_FALSE(DM->FDel(f, 3));
    EXPECT_FALSE(DM->FCopy(f, f + "2", 3));
    EXPECT_FALSE(DM->FMove(f, f + "2", 3));
    EXPECT_FALSE(DM->RmDir(fb.dir().str(), 3));
    std::string s = "?";
    DM->GetShortFileName(f, 3, s);
    EXPECT_EQ(s, "");
    EXPECT_TRUE(fs::exists(f));
    EXPECT_FALSE(fs::exists(fb.path("n")));
}

namespace {

// Server procedures that log each call and answer from the paths: a path
// containing "missing" or "fail" gives WBOOL 0, anything else 1.
const char* const kServerStandIns = R"(
CREATE TABLE FILEOPLOG (N INTEGER, "MODE" VARCHAR(20), P1 VARCHAR(254), P2 VARCHAR(254));
CREATE SEQUENCE FILEOPSEQ;
SET TERM ^ ;
CREATE OR ALTER PROCEDURE FILEOPERATION ("MODE" VARCHAR(20) CHARACTER SET ASCII,
  FILEPATH1 VARCHAR(254), FILEPATH2 VARCHAR(254)) RETURNS (WBOOL INTEGER) AS
BEGIN
  INSERT INTO FILEOPLOG VALUES (NEXT VALUE FOR FILEOPSEQ, :"MODE", :FILEPATH1, :FILEPATH2);
  WBOOL = IIF(FILEPATH1 CONTAINING 'missing' OR COALESCE(FILEPATH2, '') CONTAINING 'fail', 0, 1);
  SUSPEND;
END^
CREATE OR ALTER PROCEDURE DIRECTORYTEST ("MODE" VARCHAR(20) CHARACTER SET ASCII,
  FILEPATH1 VARCHAR(254)) RETURNS (WBOOL INTEGER) AS
BEGIN
  INSERT INTO FILEOPLOG VALUES (NEXT VALUE FOR FILEOPSEQ, :"MODE", :FILEPATH1, NULL);
  WBOOL = IIF(FILEPATH1 CONTAINING 'missing', 0, 1);
  SUSPEND;
END^
CREATE OR ALTER PROCEDURE LONGTOSHORTFILENAME (LONGNAME VARCHAR(254)) RETURNS (SHORTNAME VARCHAR(254)) AS
BEGIN
  SHORTNAME = UPPER(LONGNAME);
  SUSPEND;
END^
SET TERM ; ^
)";

class ServerFilesTest : public DataModuleTest {
protected:
    void SetUp() override {
        DataModuleTest::SetUp();
        FbFixture::exec(sysDb, kServerStandIns);
        ConnectKind = 1;
        SystemDef.HostName = "127.0.0.1";   // the system database by local path
    }
    // "MODE P1 P2" of every logged call, in order.
    std::vector<std::string> calls() {
        std::vector<std::string> r;
        const std::string n = FbFixture::scalar(sysDb, "SELECT COUNT(*) FROM FILEOPLOG");
        for (int i = 1; i <= std::stoi(n); ++i)
            r.push_back(FbFixture::scalar(sysDb, "SELECT \"MODE\" || ' ' || P1 || COALESCE(' ' || P2, '') "
                                                 "FROM FILEOPLOG WHERE N = " + std::to_string(i)));
        return r;
    }
};

} // namespace

TEST_F(ServerFilesTest, ModesGoToTheirProcedures) {
    EXPECT_TRUE(DM->FExist("D:/data/tvacc.fdb", 1));
    EXPECT_FALSE(DM->FExist("D:/data/missing.fdb", 2));
    EXPECT_TRUE(DM->DExist("D:/data", 1));
    EXPECT_TRUE(DM->MkDir("D:/data/new", 1));
    EXPECT_TRUE(DM->RmDir("D:/data/new", 1, true));
    EXPECT_TRUE(DM->FDel("D:/data/old.fbk", 1));
    EXPECT_TRUE(DM->FCopy("D:/a", "D:/b", 1));
    EXPECT_EQ(calls(), (std::vector<std::string>{
                           "FEXIST D:/data/tvacc.fdb ", "FEXIST D:/data/missing.fdb ", "DEXIST D:/data",
                           "MKDIR D:/data/new", "RMDIR D:/data/new", "FDEL D:/data/old.fbk ", "FCOPY D:/a D:/b"}));
    std::string s;
    DM->GetShortFileName("D:/Program Files/x", 1, s);
    EXPECT_EQ(s, "D:/PROGRAM FILES/X");
}

TEST_F(ServerFilesTest, RefusedArgumentsNeverReachTheServer) {
    EXPECT_FALSE(DM->ServerFileOperation("FRENAME", "D:/a", "D:/b"));
    EXPECT_FALSE(DM->ServerFileOperation("FCopy", "D:/a", "  "));
    EXPECT_FALSE(DM->ServerFileOperation("fexist", " "));
    std::string s = "?";
    DM->ServerLongToShortFileName("  ", s);
    EXPECT_EQ(s, "");
    EXPECT_FALSE(DM->IBDatabaseDEF.connected());
    EXPECT_TRUE(calls().empty());
}

TEST_F(ServerFilesTest, ConnectsForTheCallOnlyWhenNotConnected) {
    EXPECT_TRUE(DM->ServerFileOperation("fExIsT", "D:/x"));
    EXPECT_FALSE(DM->IBDatabaseDEF.connected());
    ASSERT_TRUE(DM->fnAccDefConnected());
    DM->IBTransactionDEF.start();
    EXPECT_TRUE(DM->ServerFileOperation("FExist", "D:/x"));
    EXPECT_TRUE(DM->IBDatabaseDEF.connected());
    EXPECT_TRUE(DM->IBTransactionDEF.active());
    DM->IBTransactionDEF.rollback();
    // The caller's transaction was rolled back: only the first call stays.
    EXPECT_EQ(calls(), (std::vector<std::string>{"FEXIST D:/x "}));
}

TEST_F(ServerFilesTest, MoveDeletesTheSourceOnlyAfterACopy) {
    EXPECT_FALSE(DM->FMove("D:/src", "D:/fail", 1));
    EXPECT_TRUE(DM->FMove("D:/src", "D:/dst", 1));
    EXPECT_EQ(calls(), (std::vector<std::string>{"FCOPY D:/src D:/fail", "FCOPY D:/src D:/dst", "FDEL D:/src "}));
}

TEST_F(ServerFilesTest, AFailingProcedureIsReportedAsFailure) {
    FbFixture::exec(sysDb, "DROP PROCEDURE DIRECTORYTEST;");
    EXPECT_FALSE(DM->DExist("D:/data", 1));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].text().find("サーバーへのファイル操作(DEXIST)に失敗しました。"), std::string::npos);
    EXPECT_FALSE(DM->IBDatabaseDEF.connected());
}
