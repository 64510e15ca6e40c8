// Conversion benchmark: builds a data set of fixed assets (50,000 by
// default, spread over the six depreciation methods) in a temporary folder,
// converts it end to end as the program does (open the data set, read its
// basic settings and assets, write the intermediate file) and, in the same
// run, lets isql-fb select the same rows of KS_SISAN joined to KAMOKUMST
// into a file. Prints both times, their ratio and the resident memory
// before the conversion and at its peak.
//
//   convert_bench [asset-count] [--keep]
//
// The database engine root is the build's own (FIREBIRD may override it);
// isql-fb must be on the PATH.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include <QCoreApplication>

#include "accdb/AccInf.h"
#include "accdb/AccRecord.h"
#include "accdb/DataModule.h"
#include "accdb/Gengo.h"
#include "app/ComRendo.h"
#include "app/ExportAccInf.h"
#include "app/XMLSaveDoc.h"
#include "app/hj19.h"
#include "db/Attachment.h"
#include "db/SqlScript.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "platform/Prompt.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

const char* const kUser = "SYSDBA";
const char* const kPassword = "masterkey";

double secondsSince(Clock::time_point t0) {
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

// A line of /proc/self/status in KiB ("VmRSS", "VmHWM"), -1 when unknown.
long statusKiB(const std::string& key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key + ":", 0) == 0)
            return std::atol(line.c_str() + key.size() + 1);
    return -1;
}

// Starts a new peak-resident-size measurement (the kernel's high-water mark
// is reset to the current size); false when the kernel does not allow it.
bool resetPeakRss() {
    std::ofstream out("/proc/self/clear_refs");
    out << "5";
    out.flush();
    return static_cast<bool>(out);
}

db::ConnectParams params(const std::string& path) {
    db::ConnectParams p;
    p.database = path;
    p.user = kUser;
    p.password = kPassword;
    p.charset = "SJIS_0208";
    return p;
}

// The data set: basic settings, one account per method, the assets.
void buildDataSet(const std::string& path, int count) {
    db::createDatabaseFromSql(path, fs::path(ZR_SQL_DIR) / "data", kUser, kPassword, false);
    db::Attachment att;
    att.connect(params(path));
    db::Transaction tx(att);
    tx.start();
    {
        db::Statement s(tx, "INSERT INTO ACCDEF1 (REC, SHOUGOU, NENDO, KISHU, KIMATU, KAISI, SIME, SDAI_HASUU1) "
                            "VALUES (1, '株式会社ベンチ', 10, '2023-04-01', '2024-03-31', '2023-04-01', 99, 1)");
        s.execute();
        static const char* const names[] = {"建物", "機械装置", "車両運搬具", "工具器具備品", "一括償却資産",
                                            "ソフトウェア"};
        for (int m = 0; m < 6; ++m) {
            const std::string code = "14" + std::to_string(10 + m);
            db::Statement k(tx, "INSERT INTO KAMOKUMST (KCODE, KNAME) VALUES (:KCODE, :KNAME)");
            k.setString("KCODE", code);
            k.setString("KNAME", names[m]);
            k.execute();
            db::Statement h(tx, "UPDATE OR INSERT INTO HOJOMST (KCODE, HCODE) VALUES (:KCODE, ' ') "
                                "MATCHING (KCODE, HCODE)");
            h.setString("KCODE", code);
            h.execute();
        }
    }
    db::Statement ins(tx, "INSERT INTO KS_SISAN (REC, SCODE, KANRI, KCODE, HCODE, MEISYOU, GSHOUHOU, SYUTODATE, "
                          "SIHAKCODE, SIHAHCODE, SYUNYUKCODE, SYUNYUHCODE, SYUTOKIN, KISOKIN, TAIYOUYY, SYOURITU, "
                          "SYOUKIKANSTR, SYOUKIKANEND, FUTUSYOUKIN, WARISYOUKIN, SYOUKINKEI, MATUMISYOUKIN, "
                          "KISYUMISYOUKIN) "
                          "VALUES (:REC, ' ', :KANRI, :KCODE, ' ', :MEISYOU, :GSHOUHOU, :SYUTODATE, "
                          "NULL, NULL, NULL, NULL, :SYUTOKIN, :KISOKIN, :TAIYOUYY, :SYOURITU, "
                          "1, 12, :FUTU, 0, :FUTU, :MATUMI, :KISOKIN)");
    for (int n = 1; n <= count; ++n) {
        const int method = (n - 1) % 6 + 1;
        char kanri[16];
        std::snprintf(kanri, sizeof kanri, "K%07d", n);
        const std::int64_t syutokin = (100000 + (n % 997) * 1000) * money::kYen;
        const std::int64_t futu = syutokin / 10;
        ins.setInt("REC", n);
        ins.setString("KANRI", kanri);
        ins.setString("KCODE", "14" + std::to_string(9 + method));
        ins.setString("MEISYOU", "資産" + std::to_string(n));
        ins.setInt("GSHOUHOU", method);
        // Inside the fiscal year, so the one-time-depreciation list takes them too.
        ins.setDate("SYUTODATE", db::Date{method == 5 ? 2023 : 2015 + n % 8, 4 + n % 9, 1 + n % 28});
        ins.setMoney("SYUTOKIN", syutokin);
        ins.setMoney("KISOKIN", syutokin - futu);
        ins.setInt("TAIYOUYY", 2 + n % 40);
        ins.setMoney("SYOURITU", 1000 + (n % 500));
        ins.setMoney("FUTU", futu);
        ins.setMoney("MATUMI", syutokin - 2 * futu);
        ins.execute();
    }
    tx.commit();
}

} // namespace

int main(int argc, char** argv) {
    int count = 50000;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--keep") keep = true;
        else count = std::max(1, std::atoi(a.c_str()));
    }
    if (!std::getenv("FIREBIRD")) {
        setenv("FIREBIRD", ZR_FBROOT, 1);
        setenv("FIREBIRD_LOCK", (std::string(ZR_FBROOT) + "/lock").c_str(), 1);
    }
    QCoreApplication app(argc, argv);
    platform::ScriptedPrompt prompt;   // any message is printed below, never shown

    const fs::path work = fs::temp_directory_path() / ("convert_bench_" + std::to_string(getpid()));
    fs::create_directories(work / "data");
    const std::string dbPath = (work / "data" / "tvacc.fdb").string();
    const std::string outFile = (work / "out.xml").string();
    const std::string isqlOut = (work / "isql.txt").string();

    std::cout << "assets: " << count << "\nfolder: " << work.string() << "\n";
    auto t0 = Clock::now();
    try {
        buildDataSet(dbPath, count);
    } catch (const std::exception& e) {
        std::cerr << "building the data set failed: " << e.what() << "\n";
        return 1;
    }
    std::cout << "build:      " << secondsSince(t0) << " s\n";
    const long rssBefore = statusKiB("VmRSS");
    const bool peakReset = resetPeakRss();

    // ---- the conversion, as the program runs it
    ResetAccRecordGlobals();
    SystemDef.UserName = kUser;
    SystemDef.Password = kPassword;
    InitGengoTable();
    DM = std::make_unique<TDM>();
    t0 = Clock::now();
    bool ok = DM->fnAccDatConnected("", (work / "data").string(), 0) && DM->fnGetAccInfo();
    const double opened = secondsSince(t0);
    double made = 0;
    if (ok) {
        DbSisanReader reader(DM->IBTransactionDATSS, hj19::MakeContext(AccInf));
        TComDataExportEnv env;
        env.ExePath = (work / "zrrendo").string();
        env.CommonAppDataDir = work.string();
        env.StartedByCaller = true;
        THojinZeiGenkaDataExport ex(env, 0, outFile);
        TakeAccInf(ex, AccInf);
        ex.setReader(&reader);
        try {
            TXmlSaveDoc doc("1.0", "Shift_JIS", "");
            ex.SetHeaderNode(doc);
            ex.SetBasicNode(doc);
            ex.Export(doc);
            made = secondsSince(t0);
            doc.SaveToFile(outFile);
        } catch (const std::exception& e) {
            std::cerr << "conversion failed: " << e.what() << "\n";
            ok = false;
        }
    }
    const double convert = secondsSince(t0);
    DM.reset();
    for (const auto& m : prompt.messages) std::cerr << "message: " << m.text() << "\n";
    if (!ok) return 1;
    const long rssPeak = statusKiB("VmHWM");

    // ---- isql-fb selecting the same rows into a file
    const fs::path script = work / "select.sql";
    {
        std::FILE* f = std::fopen(script.c_str(), "w");
        std::fputs("SET HEADING OFF;\n"
                   "SELECT KS.*,K.KNAME FROM KS_SISAN KS INNER JOIN KAMOKUMST K ON (KS.KCODE=K.KCODE)\n"
                   "ORDER BY KS.GSHOUHOU,KS.KANRI,KS.REC;\n",
                   f);
        std::fclose(f);
    }
    const std::string cmd = "isql-fb -q -ch SJIS_0208 -user " + std::string(kUser) + " -password " + kPassword +
                            " -i '" + script.string() + "' -o '" + isqlOut + "' '" + dbPath + "'";
    t0 = Clock::now();
    const int rc = std::system(cmd.c_str());
    const double isql = secondsSince(t0);
    if (rc != 0) {
        std::cerr << "isql-fb failed (" << rc << ")\n";
        return 1;
    }

    std::cout << "conversion: " << convert << " s (" << fs::file_size(outFile) << " bytes; open " << opened
              << " s, read and write " << made - opened << " s, save " << convert - made << " s)\n"
              << "isql-fb:    " << isql << " s (" << fs::file_size(isqlOut) << " bytes)\n"
              << "ratio:      " << convert / isql << " (conversion / isql-fb)\n"
              << "memory:     " << rssBefore / 1024 << " MiB resident before the conversion, peak "
              << rssPeak / 1024 << " MiB " << (peakReset ? "during it" : "since the start") << "\n";
    if (!keep) fs::remove_all(work);
    return 0;
}
