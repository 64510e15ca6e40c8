#include "app/ComDataExp.h"
#include "app/ComRendo.h"
#include "app/XMLSaveDoc.h"

#include "platform/Registry.h"
#include "platform/TextCodec.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <map>

using testsupport::readFileBytes;
using testsupport::writeFileBytes;

namespace {

class FakeRegistry : public ProductRegistry {
public:
    std::map<std::string, std::vector<std::string>> keys;
    std::map<std::string, std::string> values; // "key|name"
    std::optional<std::vector<std::string>> Subkeys(const std::string& key) override {
        auto it = keys.find(key);
        if (it == keys.end())
            return std::nullopt;
        return it->second;
    }
    std::optional<std::string> Value(const std::string& key, const std::string& name) override {
        auto it = values.find(key + "|" + name);
        if (it == values.end())
            return std::nullopt;
        return it->second;
    }
};

struct Fixture {
    testsupport::TempDir dir;
    FakeRegistry registry;
    TComDataExportEnv env() {
        TComDataExportEnv e;
        e.ExePath = (dir / "bin" / "zrrendo").string();
        e.CommonAppDataDir = (dir / "common").string();
        e.Registry = &registry;
        return e;
    }
    std::string iniPath() { return (dir / "common" / "brevan/tavrinzaimu" / "ini" / "Zorute.ini").string(); }
};

std::string headerAndBasic(TComDataExport& ex, const testsupport::TempDir& dir) {
    TXmlSaveDoc doc("1.0", "Shift_JIS", "");
    ex.SetHeaderNode(doc);
    ex.SetBasicNode(doc);
    doc.SaveToFile((dir / "h.xml").string());
    return platform::fromCp932(readFileBytes(dir / "h.xml"));
}

} // namespace

TEST(ComDataExport, ProductFromTheLastMatchingSubkey) {
    Fixture f;
    f.registry.keys["\\SOFTWARE\\BREVAN"] = {"Other14", "TavrinZaimu14", "tavrinzaimu14a", "TavrinZaimu13"};
    f.registry.values["\\SOFTWARE\\BREVAN\\TavrinZaimu14|Product"] = "タヴリン財務14";
    f.registry.values["\\SOFTWARE\\BREVAN\\tavrinzaimu14a|Product"] = "タヴリン財務14A";
    f.registry.values["\\SOFTWARE\\BREVAN\\tavrinzaimu14a|Version"] = "14.2.1";
    THojinZeiGenkaDataExport ex(f.env(), 0, "");
    EXPECT_EQ(ex.ProductName, "タヴリン財務14A");
    EXPECT_EQ(ex.ProductVersion, "14.2.1");
    EXPECT_EQ(ex.Caption, "連結納税のゾルテ（平成25年度版 以降） from タヴリン財務14A（減価償却）");
    EXPECT_EQ(ex.RequiredVersion, "14.0.0");
    EXPECT_EQ(ex.ExeFileName, "ZRRENDO");
}

TEST(ComDataExport, NoProductGivesEmptyTexts) {
    for (bool withKey : {false, true}) {
        Fixture f;
        if (withKey)
            f.registry.keys["\\SOFTWARE\\BREVAN"] = {"TavrinZaimu13", "Other"};
        THojinZeiGenkaDataExport ex(f.env(), 0, "");
        EXPECT_EQ(ex.ProductName, "");
        EXPECT_EQ(ex.ProductVersion, "");
        EXPECT_EQ(ex.Caption, "連結納税のゾルテ（平成25年度版 以降） from （減価償却）");
        std::string xml = headerAndBasic(ex, f.dir);
        EXPECT_NE(xml.find("<PROGRAMNAME></PROGRAMNAME><PROGRAMVER></PROGRAMVER>"), std::string::npos);
    }
}

TEST(ComDataExport, HeaderAndBasicElements) {
    Fixture f;
    f.registry.keys["\\SOFTWARE\\BREVAN"] = {"TavrinZaimu14"};
    f.registry.values["\\SOFTWARE\\BREVAN\\TavrinZaimu14|Product"] = "財務";
    f.registry.values["\\SOFTWARE\\BREVAN\\TavrinZaimu14|Version"] = "14.0.3";
    THojinZeiGenkaDataExport ex(f.env(), 0, "");
    ex.KomonsakiName = "株式会社A&B";
    ex.FiscalStart = datecore::encodeDate(2023, 4, 1);
    ex.FiscalEnd = datecore::encodeDate(2024, 3, 31);
    EXPECT_EQ(headerAndBasic(ex, f.dir),
              "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<REPORT><SYSTEM><GYOUMUPREFIX>RC25</GYOUMUPREFIX>"
              "<VERSION>1</VERSION><FUNCTIONID>1</FUNCTIONID><CONNECTEDPROGRAMVER>14.0.0</CONNECTEDPROGRAMVER>"
              "<PROGRAMNAME>財務</PROGRAMNAME><PROGRAMVER>14.0.3</PROGRAMVER></SYSTEM><BASIC>"
              "<KOMONSAKINAME>株式会社A&amp;B</KOMONSAKINAME><JIGYOUNENDOFROM>20230401</JIGYOUNENDOFROM>"
              "<JIGYOUNENDOTO>20240331</JIGYOUNENDOTO><PATTERN><BS><CA><Doubtful>A2</Doubtful></CA><PPE>"
              "<DepImp>B6</DepImp></PPE><IOA><Doubtful>C2</Doubtful><DepImp>D6</DepImp></IOA></BS><PL>"
              "<Sales>E3</Sales><Cos>F1</Cos><Sga>G1</Sga></PL></PATTERN></BASIC></REPORT>\r\n");
    ex.FiscalStart = 0;
    EXPECT_NE(headerAndBasic(ex, f.dir).find("<JIGYOUNENDOFROM>18991230</JIGYOUNENDOFROM>"), std::string::npos);
}

TEST(ComDataExport, TargetSettingsAndTheCallersFileName) {
    struct Case { bool byCaller; int functionId; const char* functionText; const char* exportFile; const char* iniExportFile; };
    for (auto c : {Case{false, 0, "1", "C:/last.xml", "/tmp/chosen.xml"},
                   Case{true, 7, "7", "/given.xml", "C:/last.xml"},
                   // A caller that passes 0 still keeps its own file name.
                   Case{true, 0, "1", "/given.xml", "C:/last.xml"}}) {
        Fixture f;
        TComDataExportEnv env = f.env();
        env.StartedByCaller = c.byCaller;
        std::filesystem::create_directories(std::filesystem::path(f.iniPath()).parent_path());
        writeFileBytes(f.iniPath(), platform::toCp932("[OTHER]\r\nX=1\r\n[RENKETUNOUZEI_G]\r\nDATA=d1\r\n"
                                                      "KOMONSAKI=旧社名\r\nEXPORTFILE=C:/last.xml\r\n"));
        {
            THojinZeiGenkaDataExport ex(env, c.functionId, "/given.xml");
            EXPECT_EQ(ex.ExportFile, c.exportFile);
            EXPECT_EQ(ex.IniData, "d1");
            EXPECT_EQ(ex.KomonsakiName, "旧社名");
            EXPECT_EQ(std::to_string(ex.FunctionId), c.functionText);
            EXPECT_EQ(ex.GivenFunctionId, c.functionId);
            ex.KomonsakiName = "新社名";
            ex.ExportFile = "/tmp/chosen.xml";
        }
        EXPECT_EQ(platform::fromCp932(readFileBytes(f.iniPath())),
                  std::string("[OTHER]\r\nX=1\r\n[RENKETUNOUZEI_G]\r\nDATA=d1\r\nKOMONSAKI=新社名\r\nEXPORTFILE=") +
                      c.iniExportFile + "\r\n");
    }
}

TEST(ComDataExport, MissingSettingsFileIsCreatedAtTheEnd) {
    Fixture f;
    {
        THojinZeiGenkaDataExport ex(f.env(), 0, "/given.xml");
        EXPECT_EQ(ex.ExportFile, "");
        EXPECT_EQ(ex.KomonsakiName, "");
        EXPECT_EQ(ex.IniData, "");
        EXPECT_EQ(ex.IniFolder, (f.dir / "common" / "brevan/tavrinzaimu" / "ini").string());
    }
    EXPECT_EQ(readFileBytes(f.iniPath()), "[RENKETUNOUZEI_G]\r\nDATA=\r\nKOMONSAKI=\r\nEXPORTFILE=\r\n");
}

TEST(ComDataExport, ProductFromTheKeyStore) {
    Fixture f;
    platform::Registry store(platform::RegRoot::LocalMachine, (f.dir / "reg").string());
    store.writeString("SOFTWARE\\BREVAN\\TavrinZaimu14", "Product", "タヴリン財務");
    store.writeString("SOFTWARE\\BREVAN\\TavrinZaimu14X", "Version", "14.1.0");
    store.writeString("SOFTWARE\\BREVAN\\TavrinZaimu15", "Version", "15.0.0");
    KeyStoreProductRegistry registry((f.dir / "reg").string());
    TComDataExportEnv env = f.env();
    env.Registry = &registry;
    THojinZeiGenkaDataExport ex(env, 0, "");
    EXPECT_EQ(ex.ProductName, ""); // the last match has no Product value
    EXPECT_EQ(ex.ProductVersion, "14.1.0");
}
