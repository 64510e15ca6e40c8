#include "app/DemoInstall.h"

#include "db/Attachment.h"
#include "db/SqlScript.h"
#include "platform/IniFile.h"
#include "platform/Registry.h"
#include "platform/TextCodec.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const kUser = "TAVRIN";
const char* const kPassword = "mobrix";

struct Company {
    const char* folder;
    const char* name;
    int dataType;
    int nendo;
    const char* kishu;
    const char* kimatu;
};

const Company kCompanies[] = {
    {"0001", "株式会社サンプル商事", 1, 12, "2024-04-01", "2025-03-31"},
    {"0002", "有限会社見本製作所", 1, 30, "2024-01-01", "2024-12-31"},
    {"0003", "医療法人見本会", 3, 8, "2024-04-01", "2025-03-31"},
};

void writeCp932(const fs::path& file, const std::string& utf8) {
    std::ofstream out(file, std::ios::binary);
    out << platform::toCp932(utf8);
}

std::string q(const std::string& s) {
    std::string r = "'";
    for (char c : s) {
        r += c;
        if (c == '\'')
            r += '\'';
    }
    return r + "'";
}

void run(const std::string& database, const std::string& script, const std::string& name) {
    db::ConnectParams p;
    p.database = database;
    p.user = kUser;
    p.password = kPassword;
    db::Attachment att(p);
    db::runSqlScript(att, script, name);
}

// Assets of every depreciation method (1 straight-line ... 6 lease period).
std::string assetsScript() {
    std::string s =
        "INSERT INTO KAMOKUMST (KCODE, KNAME) VALUES ('1401', '建物附属設備');\n"
        "UPDATE OR INSERT INTO HOJOMST (KCODE, HCODE) VALUES ('1401', ' ') MATCHING (KCODE, HCODE);\n"
        "INSERT INTO KAMOKUMST (KCODE, KNAME) VALUES ('1402', '機械装置');\n"
        "UPDATE OR INSERT INTO HOJOMST (KCODE, HCODE) VALUES ('1402', ' ') MATCHING (KCODE, HCODE);\n"
        "INSERT INTO KAMOKUMST (KCODE, KNAME) VALUES ('1403', '工具器具備品');\n"
        "UPDATE OR INSERT INTO HOJOMST (KCODE, HCODE) VALUES ('1403', ' ') MATCHING (KCODE, HCODE);\n";
    struct A {
        int rec;
        const char* kanri;
        const char* kcode;
        const char* name;
        int method;
        const char* date;
        const char* values;
    } assets[] = {
        {1, "A001", "1401", "空調設備", 1, "2019-05-01",
         "15, 1, 12, 1000000, 800000, 0.067, 53600, 53600, 746400"},
        {2, "A002", "1401", "照明設備", 1, "2006-10-01", "15, 1, 12, 600000, 60000, 0.066, 3960, 3960, 56040"},
        {3, "B001", "1402", "旋盤", 2, "2012-05-01", "10, 1, 12, 1000000, 300000, 0.2, 60000, 60000, 240000"},
        {4, "B002", "1402", "フライス盤", 2, "2010-05-01", "10, 1, 12, 1000000, 200000, 0.25, 50000, 50000, 150000"},
        {5, "C001", "1403", "ソフトウェア", 3, "2023-04-01", "3, 1, 12, 300000, 200000, 0, 100000, 100000, 100000"},
        {6, "D001", "1403", "パソコン一括", 4, "2024-06-01", "3, 3, 12, 180000, 180000, 0, 60000, 60000, 120000"},
        {7, "E001", "1403", "プリンター", 5, "2024-07-01", "4, 4, 12, 250000, 250000, 0, 250000, 250000, 0"},
        {8, "F001", "1402", "複合機リース", 6, "2022-04-01", "5, 1, 12, 1200000, 720000, 0, 240000, 240000, 480000"},
    };
    for (const A& a : assets) {
        s += "INSERT INTO KS_SISAN (REC, SCODE, KANRI, KCODE, HCODE, MEISYOU, GSHOUHOU, SYUTODATE, "
             "SIHAKCODE, SIHAHCODE, SYUNYUKCODE, SYUNYUHCODE, TAIYOUYY, SYOUKIKANSTR, SYOUKIKANEND, SYUTOKIN, "
             "KISOKIN, SYOURITU, FUTUSYOUKIN, SYOUKINKEI, MATUMISYOUKIN) VALUES (" +
             std::to_string(a.rec) + ", ' ', " + q(a.kanri) + ", " + q(a.kcode) + ", ' ', " + q(a.name) + ", " +
             std::to_string(a.method) + ", " + q(a.date) + ", NULL, NULL, NULL, NULL, " + a.values + ");\n";
    }
    return s + "COMMIT;\n";
}

} // namespace

void MakeDemoInstallation(const std::string& demoFolder, const std::string& sqlFolder) {
    const fs::path demo = fs::absolute(demoFolder);
    const fs::path sql = fs::absolute(sqlFolder);
    const fs::path bin = demo / "bin";
    const fs::path root = demo / "common" / "brevan" / "tavrinzaimu";
    const fs::path dataRoot = root / "data";
    for (const fs::path& f : {bin, root / "ini", dataRoot, demo / "docs", demo / "registry"})
        fs::create_directories(f);

    writeCp932(bin / "AppInfo.ini",
               "[Application]\r\nOEM=Brevan\r\nSince=2009-2012\r\nRegKey=\\SOFTWARE\\BREVAN\r\n"
               "[Company]\r\nName=brevan\r\nURL=https://example.invalid/\r\n"
               "[Dovoz]\r\nAppName=tvzaimu\r\nAppTitle=タヴリン財務\r\nRegKey=TavrinZaimu\r\n"
               "HomeDir=brevan\\tavrinzaimu\r\nShareDir=tavrinzaimu\r\nServerDir=\\tavrinzaimu\\data\r\n"
               "ServerTempDir=\\tavrinzaimu\\temp\r\nDataDefFile=tvaccdef.fdb\r\nDataFile=tvacc.fdb\r\n"
               "DataBackupFile=tvacc.fbk\r\nDataInitFile=acc%d.gbk\r\nDataIniFile=tvacc.ini\r\nDataListCnt=120\r\n"
               "[ZUzidu]\r\nDataDir=tvqview\r\n[Mirdova]\r\nHomeDir=brevan\\Mirdova\r\n"
               "[Riredoza]\r\nDataDir=cb_data\r\nDataBackupFile=tvcashbook.fbk\r\n");

    platform::Registry reg(platform::RegRoot::LocalMachine, (demo / "registry").string());
    reg.writeString("SOFTWARE\\BREVAN\\TavrinZaimu14", "Product", "タヴリン財務");
    reg.writeString("SOFTWARE\\BREVAN\\TavrinZaimu14", "Version", "14.0.3");

    platform::IniFile suite((root / "tvzaimu.ini").string());
    suite.writeString("APPLICATION", "CONNECT", "0");
    suite.writeString("LOCAL", "HOSTNAME", "");
    suite.writeString("LOCAL", "GOGLOBAL", "NO");
    suite.writeString("LOCAL", "GROUP", "NO");
    suite.writeString("LOCAL", "SYSDIR", dataRoot.string());
    suite.writeString("LOCAL", "USER", kUser);
    suite.writeString("LOCAL", "PASSWORD", kPassword);

    const std::string sysDb = (dataRoot / "tvaccdef.fdb").string();
    fs::remove(sysDb);
    db::createDatabaseFromSql(sysDb, sql / "system", kUser, kPassword);
    std::string list;
    std::string blank;
    int rec = 0;
    for (const Company& c : kCompanies) {
        const fs::path folder = dataRoot / c.folder;
        fs::create_directories(folder);
        const std::string dataDb = (folder / "tvacc.fdb").string();
        fs::remove(dataDb);
        // The schema is built once; the other data sets start from a copy.
        if (blank.empty()) {
            blank = (dataRoot / "blank.fdb").string();
            fs::remove(blank);
            db::createDatabaseFromSql(blank, sql / "data", kUser, kPassword);
        }
        fs::copy_file(blank, dataDb, fs::copy_options::overwrite_existing);
        run(dataDb,
            std::string("INSERT INTO ACCDEF1 (REC, DATATYPE, CODETYPE, SHOUGOU, NENDO, KISHU, KIMATU, KAISI, SIME) "
                        "VALUES (1, ") +
                std::to_string(c.dataType) + ", 1, " + q(c.name) + ", " + std::to_string(c.nendo) + ", " +
                q(c.kishu) + ", " + q(c.kimatu) + ", " + q(c.kishu) + ", 99);\nCOMMIT;\n" + assetsScript(),
            "demo data");
        ++rec;
        list += "INSERT INTO DATALIST (REC, GROUPID, ENTTEXT, SHOUGOU, PASNAME, DATATYPE, CODETYPE, NENDO, KISHU, "
                "KIMATU, VER_MAJOR, VER_MINOR1, VER_MINOR2, VER_TEXT, DATACODE) VALUES (" +
                std::to_string(rec) + ", 10000, " + q(c.folder) + ", " + q(c.name) + ", " + q(folder.string()) +
                ", " + std::to_string(c.dataType) + ", 1, " + std::to_string(c.nendo) + ", " + q(c.kishu) +
                ", " + q(c.kimatu) + ", 14, 0, 0, '14.0.0', " + q(c.folder) + ");\n";
    }
    // The demo operator; codes below 10 are refused by the logon.
    list += "INSERT INTO OPERATOR (GROUPID, OPCODE, OPNAME, JOBLEVEL, PASWORD, DATAPAS, JIMUSHO, OKINIIRI, KANSA, "
            "MYNUMBER_ADM, SHONIN) VALUES (10000, " + std::to_string(kDemoOperatorCode) + ", " + q("デモ担当者") +
            ", 9, " + q(kDemoOperatorPassword) + ", '', 0, 0, 0, 0, 0);\n";
    run(sysDb, list + "COMMIT;\n", "demo list");
    fs::remove(blank);
}
