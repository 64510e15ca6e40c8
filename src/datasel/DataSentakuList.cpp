#include "datasel/DataSentakuList.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "datasel/DataListFilter.h"
#include "db/Date.h"
#include "db/FbError.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "accdb/AccRecord.h"
#include "accdb/DateText.h"
#include "accdb/IBErrorReport.h"

namespace datasel {

std::string TrimZen(const std::string& text)
{
    static const std::string ideographicSpace = "\u3000";
    std::size_t b = 0, e = text.size();
    for (bool changed = true; changed;) {
        changed = false;
        if (b < e && text[b] == ' ') {
            ++b;
            changed = true;
        } else if (e - b >= 3 && text.compare(b, 3, ideographicSpace) == 0) {
            b += 3;
            changed = true;
        }
        if (b < e && text[e - 1] == ' ') {
            --e;
            changed = true;
        } else if (e - b >= 3 && text.compare(e - 3, 3, ideographicSpace) == 0) {
            e -= 3;
            changed = true;
        }
    }
    return text.substr(b, e - b);
}

std::string UpperAscii(std::string text)
{
    for (auto& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string ToSlashPath(std::string path)
{
    for (auto& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

std::int32_t RecOfDataPath(const std::string& path)
{
    std::vector<std::string> parts;
    std::string item;
    for (char c : ToSlashPath(path)) {
        if (c == '/') {
            parts.push_back(item);
            item.clear();
        } else {
            item += c;
        }
    }
    parts.push_back(item);
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        const auto up = UpperAscii(parts[i]);
        if (up == "DATA" || up == "CB_DATA") {
            const auto& t = parts[i + 1];
            if (t.empty() || t.size() > 9)
                return 0;
            for (char c : t)
                if (c < '0' || c > '9')
                    return 0;
            return std::stoi(t);
        }
    }
    return 0;
}

} // namespace datasel

using namespace datasel;

namespace {

const char* const kLaterColumns =
    "VER_MAJOR,VER_MINOR1,VER_MINOR2,VER_TEXT,UPDATE_LOCK,GASSAN,DATACODE,DATA_STATUS,YOBI1,YOBI2,YOBI3";

std::string format4(std::int32_t n)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.4d", n);
    return buf;
}

std::string excludeTrailingDelimiter(std::string path)
{
    if (!path.empty() && path.back() == '/')
        path.pop_back();
    return path;
}

std::string lastComponent(const std::string& path)
{
    const auto pos = path.rfind('/');
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

TDataListDate toSerial(const db::DateTime& dt)
{
    if (dt.date.isNull())
        return 0;
    return dt.date.toSerial() + dt.time.toMsecs() / 86400000.0;
}

db::DateTime fromSerial(TDataListDate serial)
{
    db::DateTime dt;
    const double day = std::floor(serial);
    dt.date = db::Date::fromSerial(static_cast<int>(day));
    dt.time = db::Time::fromMsecs(static_cast<int>(std::lround((serial - day) * 86400000.0)) % 86400000);
    return dt;
}

std::string defaultKikanText(TDataListDate kishu, TDataListDate kimatu)
{
    std::string text;
    FormatKikanText(kishu, kimatu, text);
    return text;
}

// Starts the transaction when it is not active; ends only what it started.
class OwnTx {
public:
    explicit OwnTx(db::Transaction& tx) : tx_(tx), owns_(!tx.active())
    {
        if (owns_)
            tx_.start();
    }
    ~OwnTx()
    {
        if (owns_ && tx_.active())
            tx_.rollbackNoThrow();
    }
    bool owns() const { return owns_; }
    // A writer's end: commit what it started, else make the caller's
    // earlier work durable and keep the transaction open.
    void commitWriter()
    {
        if (owns_)
            tx_.commit();
        else
            tx_.commitRetaining();
    }
    void commitOwn()
    {
        if (owns_)
            tx_.commit();
    }
    void rollbackOwn()
    {
        if (owns_)
            tx_.rollbackNoThrow();
    }

private:
    db::Transaction& tx_;
    bool owns_;
};

} // namespace

TDataSentakuListCtl::TDataSentakuListCtl(db::Transaction& systemTx, const TDataListSettings& settings)
    : Settings(settings), tx_(systemTx)
{
    ErrorReporter = [](const std::exception& e, const std::string& context, const std::string& text) {
        if (const auto* fb = dynamic_cast<const db::FbError*>(&e))
            IBErrorReport(*fb, context, text, true);
        else
            ErrorDetailMsg(text, e.what());
    };
    KikanFormatter = defaultKikanText;
    LocalPathToData = [](const std::string&, TDataListRec&) { return true; };
    SetDataPlaceRec(0);
    const auto ver = std::to_string(settings.SysDbVerMajor) + "." + std::to_string(settings.SysDbVerMinor1) + "." +
                     std::to_string(settings.SysDbVerMinor2);
    HasCloudColumn = IsVersionOrLater(ver, "11.0.1") ? 1 : 0;
    HasReadOnlyColumn = IsVersionOrLater(ver, "12.0.0") ? 1 : 0;
}

TDataSentakuListCtl::TDataSentakuListCtl(db::Transaction& systemTx)
    : TDataSentakuListCtl(systemTx, TDataListSettings::FromSystemDef())
{
}

TDataListSettings TDataListSettings::FromSystemDef()
{
    TDataListSettings s;
    s.GroupId = SystemDef.GroupId;
    s.OpCode = SystemDef.OpCode;
    s.SystemFolder = SystemDef.SysDir;
    s.SysDbVerMajor = SystemDef.SysDbVersion[0];
    s.SysDbVerMinor1 = SystemDef.SysDbVersion[1];
    s.SysDbVerMinor2 = SystemDef.SysDbVersion[2];
    s.DataListCnt = ::DataListCnt;
    return s;
}

void TDataSentakuListCtl::report(const std::exception& e, const char* context, const char* text) const
{
    if (ErrorReporter)
        ErrorReporter(e, context, text);
}

void TDataSentakuListCtl::SetDataPlaceRec(std::int32_t placeRec)
{
    DataPlaceRec = (ConnectKind == 1 || ConnectKind == 2) ? placeRec : 0;
    ListTable = DataPlaceRec > 0 ? "DATALIST_EX" : "DATALIST";
}

std::string TDataSentakuListCtl::GetDataStatusText(std::int32_t status)
{
    switch (status) {
    case 0:
    case 1: return "\uFF0D";
    case 2: return "使用中";
    case 3: return "データロック中";
    case 4: return "保存中";
    case 5: return "復元中";
    case 6: return "コピー中";
    case 7: return "貼り付け中";
    case 8: return "削除中";
    case 9: return "新規作成中";
    case 10: return "破損";
    default: return "状態不明";
    }
}

std::string TDataSentakuListCtl::GetLocalDataPath(const TDataListRec& row) const
{
    const auto pas = excludeTrailingDelimiter(row.PASNAME);
    if (row.NETDRIVE == 1 && !row.PASNAME.empty()) {
        const auto base = excludeTrailingDelimiter(Settings.SystemFolder) + "/" + format4(row.REC);
        if (IsParentGassan(row.GASSAN))
            return base;
        return base + "/" + lastComponent(pas);
    }
    return pas;
}

void TDataSentakuListCtl::ClearRows()
{
    Rows.clear();
    ChildRows.clear();
    RowCount = 0;
    ChildCount = 0;
}

void TDataSentakuListCtl::SetDataListRecFromInfo(const TDataInfomationRec& info, TDataListRec& row) const
{
    row.GROUPID = Settings.GroupId;
    row.DATACODE = info.CODE;
    row.ENTTEXT = info.DATALISTNAME;
    row.SHOUGOU = info.SHOUGOU;
    row.NENDO = info.NENDO;
    row.KISHU = StrToDateTimeStd(info.KISHU);
    row.KIMATU = StrToDateTimeStd(info.KIMATU);
    row.KikanText = KikanFormatter ? KikanFormatter(row.KISHU, row.KIMATU) : std::string();
    row.DATATYPE = info.DATAKBN;
    row.CODETYPE = info.CODEKBN;
    row.TANTOU = info.TANTO;
    row.DATALOCK = 0;
    if (info.STATUS == 3 && info.OPCODE != 0) {
        const std::int64_t base = static_cast<std::int64_t>(Settings.GroupId) * 10000;
        row.DATALOCK = base != 0 ? static_cast<std::int32_t>(info.OPCODE % base) : info.OPCODE;
    }
    if (info.SHARE_STATUS == 2 && info.SHARE_OPCODE == Settings.OpCode)
        row.KYOYULOCK = 1;
    row.VER_MAJOR = info.VerMajor;
    row.VER_MINOR1 = info.VerMinor1;
    row.VER_MINOR2 = info.VerMinor2;
    row.VER_TEXT = info.VERSION2;
    row.UPDATE_LOCK = info.UPDATE_LOCK;
    row.CLOUD = static_cast<std::uint8_t>(info.CLOUD_SHARE);
    row.READ_ONLY = info.READ_ONLY;
    if (row.ROWNO > 0)
        row.GASSAN = kChildGassan;
    if (row.NETDRIVE != 0) {
        if (row.ENTTEXT.empty() || row.ENTTEXT == "空き領域" || row.ENTTEXT == "新しい領域")
            row.ENTTEXT = row.SHOUGOU;
    } else if (row.ENTTEXT.empty()) {
        row.ENTTEXT = row.SHOUGOU;
    }
    row.DispName = row.ENTTEXT;
    row.LocalPath = GetLocalDataPath(row);
}

void TDataSentakuListCtl::SetChildDisplayNames(TDataSentakuRec& row)
{
    for (std::size_t i = 0; i < row.Children.size(); ++i) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%.2d ", static_cast<int>(i + 1));
        row.Children[i].DispName = buf + row.Children[i].ENTTEXT;
    }
}

void TDataSentakuListCtl::RemoveChildRow(TDataSentakuRec& row, std::int32_t index)
{
    if (index < 0 || index >= static_cast<std::int32_t>(row.Children.size()))
        return;
    row.Children.erase(row.Children.begin() + index);
    row.ChildCount = row.ChildCount > 0 ? row.ChildCount - 1 : 0;
}

namespace {
void subFolders(const std::string& folder, std::vector<std::string>& list)
{
    list.clear();
    if (TrimZen(folder).empty())
        return;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec))
        if (it->is_directory(ec))
            list.push_back(it->path().filename().string());
}
} // namespace

void TDataSentakuListCtl::GetDataFolderList(const std::string& folder, std::vector<std::string>& list) const
{
    subFolders(folder, list);
    std::erase_if(list, [](const std::string& name) {
        const auto up = UpperAscii(name);
        return up == "TAVRINZAIMU_BACKUP" || up == "PLOVANEZAIMU_BACKUP";
    });
}

void TDataSentakuListCtl::GetSubFolders(const TDataListRec& row, std::vector<std::string>& list) const
{
    subFolders(row.PASNAME, list);
}

void TDataSentakuListCtl::GetLocalSubFolders(const TDataListRec& row, std::vector<std::string>& list) const
{
    subFolders(row.LocalPath, list);
}

std::string TDataSentakuListCtl::cloudItems() const
{
    return std::string(HasCloudColumn ? ",CLOUD" : ",0 AS CLOUD") + (HasReadOnlyColumn ? ",READ_ONLY" : ",0 AS READ_ONLY");
}

std::string TDataSentakuListCtl::placeCondition() const
{
    return DataPlaceRec > 0 ? " AND (DATAPLACEREC=:DATAPLACEREC)" : "";
}

std::string TDataSentakuListCtl::placeConditionText() const
{
    return DataPlaceRec > 0 ? " AND (DATAPLACEREC=" + std::to_string(DataPlaceRec) + ")" : "";
}

void TDataSentakuListCtl::readColumns(db::Statement& q, TDataListRec& row, bool withRowNo) const
{
    row.REC = q.asInt("REC");
    row.ROWNO = withRowNo ? q.asInt("ROWNO") : 0;
    row.GROUPID = Settings.GroupId;
    row.ENTTEXT = q.asString("ENTTEXT");
    row.SHOUGOU = q.asString("SHOUGOU");
    row.PASNAME = ToSlashPath(q.asString("PASNAME"));
    row.NETDRIVE = q.asInt("NETDRIVE");
    row.DATATYPE = q.asInt("DATATYPE");
    row.CODETYPE = q.asInt("CODETYPE");
    row.NENDO = q.asInt("NENDO");
    row.KISHU = toSerial(q.asDateTime("KISHU"));
    row.KIMATU = toSerial(q.asDateTime("KIMATU"));
    row.DATALOCK = q.asInt("DATALOCK");
    row.KYOYULOCK = q.asInt("KYOYULOCK");
    row.TANTOU = q.asInt("TANTOU");
    row.VER_MAJOR = q.asInt("VER_MAJOR");
    row.VER_MINOR1 = q.asInt("VER_MINOR1");
    row.VER_MINOR2 = q.asInt("VER_MINOR2");
    row.VER_TEXT = q.asString("VER_TEXT");
    row.UPDATE_LOCK = q.asInt("UPDATE_LOCK");
    row.GASSAN = static_cast<std::uint8_t>(q.asInt("GASSAN"));
    row.DATACODE = q.asString("DATACODE");
    row.DATA_STATUS = static_cast<std::uint8_t>(q.asInt("DATA_STATUS"));
    row.YOBI1 = q.asString("YOBI1");
    row.YOBI2 = q.asString("YOBI2");
    row.YOBI3 = q.asString("YOBI3");
    row.CLOUD = static_cast<std::uint8_t>(q.asInt("CLOUD"));
    row.READ_ONLY = q.asInt("READ_ONLY");
    row.KikanText = KikanFormatter ? KikanFormatter(row.KISHU, row.KIMATU) : std::string();
    row.DispName = row.ENTTEXT;
    row.LocalPath = GetLocalDataPath(row);
}

void TDataSentakuListCtl::readParentRow(db::Statement& q, TDataSentakuRec& row) const
{
    row = TDataSentakuRec{};
    readColumns(q, row, false);
    // A row marked shared whose folder is its own working copy is local.
    if (row.PASNAME == row.LocalPath)
        row.NETDRIVE = 0;
    row.Reserved1 = 0;
    row.Reserved2.clear();
}

void TDataSentakuListCtl::readChildRow(db::Statement& q, TDataListRec& row) const
{
    row = TDataListRec{};
    readColumns(q, row, true);
    if (row.PASNAME == row.LocalPath)
        row.NETDRIVE = 0;
    row.Reserved1 = 0;
    row.Reserved2.clear();
}

void TDataSentakuListCtl::bindRowParams(db::Statement& q, const TDataListRec& row) const
{
    auto setIf = [&q](const char* name, auto&& setter) {
        if (q.hasParam(name))
            setter(name);
    };
    setIf("REC", [&](const char* n) { q.setInt(n, row.REC); });
    setIf("ROWNO", [&](const char* n) { q.setInt(n, row.ROWNO); });
    setIf("GROUPID", [&](const char* n) { q.setInt(n, Settings.GroupId); });
    setIf("PASNAME", [&](const char* n) { q.setString(n, row.PASNAME); });
    setIf("ENTTEXT", [&](const char* n) { q.setString(n, row.ENTTEXT); });
    setIf("SHOUGOU", [&](const char* n) { q.setString(n, row.SHOUGOU); });
    setIf("NETDRIVE", [&](const char* n) { q.setInt(n, row.NETDRIVE); });
    setIf("DATATYPE", [&](const char* n) { q.setInt(n, row.DATATYPE); });
    setIf("CODETYPE", [&](const char* n) { q.setInt(n, row.CODETYPE); });
    setIf("NENDO", [&](const char* n) { q.setInt(n, row.NENDO); });
    setIf("KISHU", [&](const char* n) { q.setDateTime(n, fromSerial(row.KISHU)); });
    setIf("KIMATU", [&](const char* n) { q.setDateTime(n, fromSerial(row.KIMATU)); });
    setIf("DATALOCK", [&](const char* n) { q.setInt(n, row.DATALOCK); });
    setIf("KYOYULOCK", [&](const char* n) { q.setInt(n, row.KYOYULOCK); });
    setIf("TANTOU", [&](const char* n) { q.setInt(n, row.TANTOU); });
    setIf("VER_MAJOR", [&](const char* n) { q.setInt(n, row.VER_MAJOR); });
    setIf("VER_MINOR1", [&](const char* n) { q.setInt(n, row.VER_MINOR1); });
    setIf("VER_MINOR2", [&](const char* n) { q.setInt(n, row.VER_MINOR2); });
    setIf("VER_TEXT", [&](const char* n) { q.setString(n, row.VER_TEXT); });
    setIf("UPDATE_LOCK", [&](const char* n) { q.setInt(n, row.UPDATE_LOCK); });
    setIf("GASSAN", [&](const char* n) { q.setInt(n, row.GASSAN); });
    setIf("DATACODE", [&](const char* n) { q.setString(n, row.DATACODE); });
    setIf("DATA_STATUS", [&](const char* n) { q.setInt(n, row.DATA_STATUS); });
    setIf("YOBI1", [&](const char* n) { q.setString(n, row.YOBI1); });
    setIf("YOBI2", [&](const char* n) { q.setString(n, row.YOBI2); });
    setIf("YOBI3", [&](const char* n) { q.setString(n, row.YOBI3); });
    setIf("CLOUD", [&](const char* n) { q.setInt(n, row.CLOUD); });
    setIf("READ_ONLY", [&](const char* n) { q.setInt(n, row.READ_ONLY); });
    setIf("DATAPLACEREC", [&](const char* n) { q.setInt(n, DataPlaceRec); });
}

void TDataSentakuListCtl::Execute(std::int32_t kyoyuMode, std::uint8_t sortKey, const std::string& orderText,
                                  std::uint8_t descending)
{
    ClearRows();
    if (ServerListOnly == 1)
        return;
    if (ConnectKind != 0)
        kyoyuMode = 0;
    const bool desc = descending != 0;
    std::size_t read = 0, childRead = 0;
    OwnTx tx(tx_);
    try {
        std::string filters;
        if (kyoyuMode == 1)
            filters += " AND (KYOYULOCK<>1)";
        if (NendoFilter > 0)
            filters += " AND (NENDO=:NENDO)";
        if (!ShougouFilter.empty())
            filters += " AND (SHOUGOU=:SHOUGOU)";
        filters += placeCondition();
        auto bindFilters = [&](db::Statement& q) {
            q.setInt("GROUPID", Settings.GroupId);
            if (NendoFilter > 0)
                q.setInt("NENDO", NendoFilter);
            if (!ShougouFilter.empty())
                q.setString("SHOUGOU", ShougouFilter);
            if (DataPlaceRec > 0)
                q.setInt("DATAPLACEREC", DataPlaceRec);
        };

        std::string where = "WHERE (GROUPID=:GROUPID)";
        if (EntTextMode == 1)
            where += " AND (ENTTEXT<>'')";
        else if (EntTextMode == 2)
            where += " AND (ENTTEXT='')";
        {
            db::Statement q(tx_, "SELECT COUNT(REC) AS RECCNT FROM " + ListTable + " " + where + filters);
            bindFilters(q);
            q.execute();
            if (q.fetch())
                Rows.resize(static_cast<std::size_t>(q.asInt("RECCNT")));
            q.close();
        }
        auto place = [&](db::Statement& q) {
            if (read >= Rows.size())
                Rows.emplace_back();
            readParentRow(q, Rows[read++]);
        };
        const bool split = SortKeySplitsFreeSlots(sortKey);
        if (EntTextMode != 2) {
            std::string sql = "SELECT REC,ENTTEXT,SHOUGOU,PASNAME,NETDRIVE,DATATYPE,CODETYPE,NENDO,KISHU,KIMATU,"
                              "DATALOCK,KYOYULOCK,TANTOU," +
                              std::string(kLaterColumns) + cloudItems() + " FROM " + ListTable +
                              " WHERE (GROUPID=:GROUPID)";
            if (EntTextMode == 1 || (EntTextMode == 0 && split))
                sql += " AND (ENTTEXT<>'')";
            sql += filters;
            const auto order = NamedRowsOrderBy(sortKey, desc, orderText);
            if (!order.empty())
                sql += " " + order;
            db::Statement q(tx_, sql);
            bindFilters(q);
            q.execute();
            while (q.fetch())
                place(q);
        }
        if ((EntTextMode == 0 || EntTextMode == 2) && split) {
            std::string sql = "SELECT REC,SHOUGOU,ENTTEXT,PASNAME,NETDRIVE,DATATYPE,CODETYPE,NENDO,KISHU,KIMATU,"
                              "DATALOCK,KYOYULOCK,TANTOU," +
                              std::string(kLaterColumns) + cloudItems() + " FROM " + ListTable +
                              " WHERE (GROUPID=:GROUPID) AND (ENTTEXT='')" + filters + " " +
                              FreeSlotsOrderBy(sortKey, desc);
            db::Statement q(tx_, sql);
            bindFilters(q);
            q.execute();
            while (q.fetch())
                place(q);
        }
        // Rows counted but not read (a combination no caller uses) are not kept.
        Rows.resize(read);
        RowCount = static_cast<std::int32_t>(read);

        {
            db::Statement q(tx_, "SELECT COUNT(REC) AS RECCNT FROM CHILD_DATALIST WHERE (GROUPID=:GROUPID)");
            q.setInt("GROUPID", Settings.GroupId);
            q.execute();
            if (q.fetch())
                ChildRows.resize(static_cast<std::size_t>(q.asInt("RECCNT")));
            q.close();
        }
        {
            db::Statement q(tx_, "SELECT REC,ROWNO,ENTTEXT,SHOUGOU,PASNAME,NETDRIVE,DATATYPE,CODETYPE,NENDO,KISHU,"
                                 "KIMATU,DATALOCK,KYOYULOCK,TANTOU," +
                                     std::string(kLaterColumns) + cloudItems() +
                                     " FROM CHILD_DATALIST WHERE (GROUPID=:GROUPID) ORDER BY REC,PASNAME");
            q.setInt("GROUPID", Settings.GroupId);
            q.execute();
            while (q.fetch()) {
                if (childRead >= ChildRows.size())
                    ChildRows.emplace_back();
                auto& child = ChildRows[childRead++];
                readChildRow(q, child);
                for (auto& parent : Rows) {
                    if (parent.REC == child.REC) {
                        parent.Children.push_back(child);
                        ++parent.ChildCount;
                        break;
                    }
                }
            }
        }
        ChildRows.resize(childRead);
        ChildCount = static_cast<std::int32_t>(childRead);
        tx.commitOwn();
    } catch (const std::exception& e) {
        tx.rollbackOwn();
        // Keep what was read, without the empty places left over.
        Rows.resize(std::min(read, Rows.size()));
        RowCount = static_cast<std::int32_t>(Rows.size());
        ChildRows.resize(std::min(childRead, ChildRows.size()));
        ChildCount = static_cast<std::int32_t>(ChildRows.size());
        report(e, "TDataSentakuListCtl.Execute", "データリストの取得に失敗しました。");
    }
}

void TDataSentakuListCtl::InitDataListRecord(TDataListRec& row, const std::string& path) const
{
    row = TDataListRec{};
    row.GROUPID = Settings.GroupId;
    row.NENDO = 1;
    row.PASNAME = path;
    row.LocalPath = GetLocalDataPath(row);
}

void TDataSentakuListCtl::GetDataListRecord(std::uint8_t mode, TDataListRec& row, bool reportErrors)
{
    if (ServerListOnly == 1)
        return;
    const std::string givenPath = row.PASNAME;
    if (mode == 1) {
        if (!LocalPathToData || !LocalPathToData(givenPath, row)) {
            InitDataListRecord(row, "");
            return;
        }
    } else if (mode != 0) {
        InitDataListRecord(row, "");
        return;
    }
    const bool child = row.GASSAN == kChildGassan;
    if (!child && !IsParentGassan(row.GASSAN))
        return; // not a row of the list
    std::string sql;
    if (child) {
        sql = "SELECT REC,ROWNO,ENTTEXT,SHOUGOU,PASNAME,NETDRIVE,DATATYPE,CODETYPE,NENDO,KISHU,KIMATU,DATALOCK,"
              "KYOYULOCK,TANTOU," +
              std::string(kLaterColumns) + cloudItems() + " FROM CHILD_DATALIST " +
              (mode == 0 ? "WHERE (REC=:REC) AND (ROWNO=:ROWNO) AND (GROUPID=:GROUPID)"
                         : "WHERE (GROUPID=:GROUPID) AND (UPPER(PASNAME)=:PASNAME)");
    } else {
        sql = "SELECT REC,0 AS ROWNO,ENTTEXT,SHOUGOU,PASNAME,NETDRIVE,DATATYPE,CODETYPE,NENDO,KISHU,KIMATU,DATALOCK,"
              "KYOYULOCK,TANTOU," +
              std::string(kLaterColumns) + cloudItems() + " FROM " + ListTable + " " +
              (mode == 0 ? "WHERE (REC=:REC) AND (GROUPID=:GROUPID)"
                         : "WHERE (GROUPID=:GROUPID) AND (UPPER(PASNAME)=:PASNAME)") +
              placeCondition();
    }
    OwnTx tx(tx_);
    try {
        db::Statement q(tx_, sql);
        q.setInt("GROUPID", Settings.GroupId);
        if (mode == 0) {
            q.setInt("REC", row.REC);
            if (child)
                q.setInt("ROWNO", row.ROWNO);
        } else {
            q.setString("PASNAME", UpperAscii(row.PASNAME));
        }
        if (!child && DataPlaceRec > 0)
            q.setInt("DATAPLACEREC", DataPlaceRec);
        q.execute();
        while (q.fetch()) {
            readColumns(q, row, true);
            if (mode == 1 && row.LocalPath == givenPath)
                break;
        }
        q.close();
        tx.commitOwn();
    } catch (const std::exception& e) {
        tx.commitOwn();
        if (!reportErrors)
            throw;
        report(e, "TDataSentakuListCtl.GetDataListRecord", "データリストの取得に失敗しました。");
    }
}

bool TDataSentakuListCtl::InsertDataListRecord(TDataListRec& row, bool reportErrors)
{
    if (ServerListOnly == 1)
        return true;
    if (TrimZen(row.PASNAME).empty())
        return false;
    if (ConnectKind == 0)
        return true; // stand-alone use only fills the existing slots
    const auto rec = GetDataFolderName(1);
    if (rec <= 0)
        return false; // the number could not be read (reported there)
    row.REC = rec;
    std::string cols = "REC,GROUPID,PASNAME,ENTTEXT,SHOUGOU,NETDRIVE,DATATYPE,CODETYPE,NENDO,KISHU,KIMATU,DATALOCK,"
                       "KYOYULOCK,TANTOU,VER_MAJOR,VER_MINOR1,VER_MINOR2,VER_TEXT,GASSAN,DATACODE,DATA_STATUS,YOBI1,"
                       "YOBI2,YOBI3,UPDATE_LOCK";
    if (HasCloudColumn)
        cols += ",CLOUD";
    if (HasReadOnlyColumn)
        cols += ",READ_ONLY";
    if (DataPlaceRec > 0)
        cols = "DATAPLACEREC," + cols;
    std::string values;
    std::size_t start = 0;
    while (start <= cols.size()) {
        const auto comma = cols.find(',', start);
        values += (values.empty() ? ":" : ",:") + cols.substr(start, comma - start);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    OwnTx tx(tx_);
    try {
        db::Statement q(tx_, "INSERT INTO " + ListTable + "(" + cols + ") VALUES(" + values + ")");
        bindRowParams(q, row);
        q.execute();
        tx.commitWriter();
        return true;
    } catch (const std::exception& e) {
        tx.rollbackOwn();
        if (!reportErrors)
            throw;
        report(e, "TDataSentakuListCtl.InsertDataListRecord", "データリストの追加に失敗しました。");
        return false;
    }
}

namespace {
std::string rowSetList(bool cloud, bool readOnly)
{
    std::string s = "SET PASNAME=:PASNAME,ENTTEXT=:ENTTEXT,SHOUGOU=:SHOUGOU,NETDRIVE=:NETDRIVE,"
                    "DATATYPE=:DATATYPE,CODETYPE=:CODETYPE,NENDO=:NENDO,KISHU=:KISHU,KIMATU=:KIMATU,"
                    "DATALOCK=:DATALOCK,KYOYULOCK=:KYOYULOCK,TANTOU=:TANTOU,"
                    "VER_MAJOR=:VER_MAJOR,VER_MINOR1=:VER_MINOR1,VER_MINOR2=:VER_MINOR2,VER_TEXT=:VER_TEXT,"
                    "UPDATE_LOCK=:UPDATE_LOCK,GASSAN=:GASSAN,DATACODE=:DATACODE,DATA_STATUS=:DATA_STATUS,"
                    "YOBI1=:YOBI1,YOBI2=:YOBI2,YOBI3=:YOBI3";
    if (cloud)
        s += ",CLOUD=:CLOUD";
    if (readOnly)
        s += ",READ_ONLY=:READ_ONLY";
    return s;
}
} // namespace

bool TDataSentakuListCtl::UpdateDataListRecord(const TDataListRec& row, bool withNames, bool reportErrors)
{
    if (ServerListOnly == 1)
        return true;
    if (row.REC == 0 || TrimZen(row.PASNAME).empty())
        return false;
    if (row.GASSAN == kChildGassan)
        return UpdateDataListChildRecord(row, reportErrors);
    OwnTx tx(tx_);
    try {
        if (ConnectKind == 1 || ConnectKind == 2) {
            // Another installation may have given the slot to another folder.
            db::Statement q(tx_, "SELECT PASNAME FROM " + ListTable + " WHERE (REC=:REC)" + placeCondition());
            q.setInt("REC", row.REC);
            if (DataPlaceRec > 0)
                q.setInt("DATAPLACEREC", DataPlaceRec);
            q.execute();
            std::string stored;
            while (q.fetch())
                stored = ToSlashPath(q.asString("PASNAME"));
            if (stored.empty() || UpperAscii(stored) != UpperAscii(row.PASNAME)) {
                tx.commitWriter();
                return true;
            }
        }
        {
            db::Statement q(tx_, "UPDATE " + ListTable + " " + rowSetList(HasCloudColumn, HasReadOnlyColumn) +
                                     " WHERE (REC=:REC)" + placeCondition());
            bindRowParams(q, row);
            q.execute();
        }
        if (row.SHOUGOU.empty() && row.KISHU == 0 && row.KIMATU == 0) {
            db::Statement q(tx_, "DELETE FROM CHILD_DATALIST WHERE REC=:REC AND GROUPID=:GROUPID");
            q.setInt("REC", row.REC);
            q.setInt("GROUPID", Settings.GroupId);
            q.execute();
        }
        if (row.NETDRIVE == 1 && UpdateServerRow)
            UpdateServerRow(row, withNames);
        tx.commitWriter();
        return true;
    } catch (const std::exception& e) {
        tx.rollbackOwn();
        if (!reportErrors)
            throw;
        report(e, "TDataSentakuListCtl.UpdateDataListRecord", "データリストの更新に失敗しました。");
        return false;
    }
}

bool TDataSentakuListCtl::DeleteDataListRecord(const TDataListRec& row, bool reportErrors)
{
    if (ServerListOnly == 1)
        return true;
    if (TrimZen(row.PASNAME).empty())
        return false;
    if (ConnectKind == 0 && row.GASSAN == kChildGassan)
        return DeleteDataListChildRecord(row, reportErrors);
    OwnTx tx(tx_);
    try {
        // Only this group's row (and data place) of the folder; the fixed
        // slots stay.
        db::Statement q(tx_, "DELETE FROM " + ListTable +
                                 " WHERE (PASNAME=:PASNAME) AND (REC>:REC) AND (GROUPID=:GROUPID)" + placeCondition());
        q.setString("PASNAME", row.PASNAME);
        q.setInt("REC", Settings.DataListCnt);
        q.setInt("GROUPID", Settings.GroupId);
        if (DataPlaceRec > 0)
            q.setInt("DATAPLACEREC", DataPlaceRec);
        q.execute();
        DeleteDataListChildRecord(row, false);
        tx.commitWriter();
        return true;
    } catch (const std::exception& e) {
        tx.rollbackOwn();
        if (!reportErrors)
            throw;
        report(e, "TDataSentakuListCtl.DeleteDataListRecord", "データリストの削除に失敗しました。");
        return false;
    }
}

void TDataSentakuListCtl::RenumberRec()
{
    if (ServerListOnly == 1 || (ConnectKind != 1 && ConnectKind != 2))
        return;
    OwnTx tx(tx_);
    try {
        std::vector<std::int32_t> recs;
        {
            db::Statement q(tx_, "SELECT REC FROM " + ListTable + " WHERE (REC>:REC)" + placeConditionText() +
                                     " ORDER BY REC");
            q.setInt("REC", Settings.DataListCnt);
            q.execute();
            while (q.fetch())
                recs.push_back(q.asInt("REC"));
        }
        std::int32_t next = Settings.DataListCnt + 1;
        db::Statement u(tx_, "UPDATE " + ListTable + " SET REC=:NEWREC WHERE (REC=:OLDREC)" + placeConditionText());
        for (auto rec : recs) {
            if (rec != next) {
                u.setInt("NEWREC", next);
                u.setInt("OLDREC", rec);
                u.execute();
            }
            ++next;
        }
        tx.commitOwn();
    } catch (...) {
        tx.rollbackOwn();
        throw;
    }
}

void TDataSentakuListCtl::GetDataListChildRecord(TDataSentakuRec& row, bool reportErrors)
{
    if (ServerListOnly == 1 || ConnectKind != 0)
        return;
    if (!IsChildOwnerGassan(row.GASSAN)) {
        row.ChildCount = 0;
        row.Children.clear();
        return;
    }
    OwnTx tx(tx_);
    std::size_t read = 0;
    try {
        {
            db::Statement q(tx_, "SELECT COUNT(REC) AS RECCNT FROM CHILD_DATALIST WHERE (REC=:REC) AND (GROUPID=:GROUPID)");
            q.setInt("REC", row.REC);
            q.setInt("GROUPID", Settings.GroupId);
            q.execute();
            row.ChildCount = q.fetch() ? q.asInt("RECCNT") : 0;
            row.Children.assign(static_cast<std::size_t>(row.ChildCount), TDataListRec{});
            q.close();
        }
        db::Statement q(tx_, "SELECT REC,ROWNO,ENTTEXT,SHOUGOU,PASNAME,NETDRIVE,DATATYPE,CODETYPE,NENDO,KISHU,KIMATU,"
                             "DATALOCK,KYOYULOCK,TANTOU," +
                                 std::string(kLaterColumns) + cloudItems() +
                                 " FROM CHILD_DATALIST WHERE (REC=:REC) AND (GROUPID=:GROUPID) ORDER BY PASNAME");
        q.setInt("REC", row.REC);
        q.setInt("GROUPID", Settings.GroupId);
        q.execute();
        while (q.fetch()) {
            if (read >= row.Children.size())
                row.Children.emplace_back();
            readColumns(q, row.Children[read++], true);
        }
        row.Children.resize(read);
        row.ChildCount = static_cast<std::int32_t>(read);
        tx.commitOwn();
    } catch (const std::exception& e) {
        tx.commitOwn();
        row.Children.resize(std::min(read, row.Children.size()));
        row.ChildCount = static_cast<std::int32_t>(row.Children.size());
        if (!reportErrors)
            throw;
        report(e, "TDataSentakuListCtl.GetDataListChildRecord", "(子)データリストの取得に失敗しました。");
    }
}

bool TDataSentakuListCtl::UpdateDataListChildRecord(const TDataListRec& row, bool reportErrors)
{
    if (ServerListOnly == 1 || ConnectKind != 0)
        return true;
    if (TrimZen(row.PASNAME).empty())
        return false;
    OwnTx tx(tx_);
    try {
        bool exists = false;
        {
            db::Statement q(tx_, "SELECT COUNT(REC) AS RECCNT FROM CHILD_DATALIST "
                                 "WHERE REC=:REC AND ROWNO=:ROWNO AND GROUPID=:GROUPID");
            q.setInt("REC", row.REC);
            q.setInt("ROWNO", row.ROWNO);
            q.setInt("GROUPID", Settings.GroupId);
            q.execute();
            exists = q.fetch() && q.asInt("RECCNT") > 0;
            q.close();
        }
        std::string sql;
        if (exists) {
            sql = "UPDATE CHILD_DATALIST " + rowSetList(HasCloudColumn, HasReadOnlyColumn) +
                  " WHERE REC=:REC AND ROWNO=:ROWNO AND GROUPID=:GROUPID";
        } else {
            std::string cols = "REC,ROWNO,GROUPID,ENTTEXT,SHOUGOU,PASNAME,NETDRIVE,DATATYPE,CODETYPE,NENDO,"
                               "KISHU,KIMATU,DATALOCK,TANTOU,VER_MAJOR,VER_MINOR1,VER_MINOR2,VER_TEXT,KYOYULOCK,"
                               "UPDATE_LOCK,GASSAN,DATACODE,DATA_STATUS,YOBI1,YOBI2,YOBI3";
            if (HasCloudColumn)
                cols += ",CLOUD";
            if (HasReadOnlyColumn)
                cols += ",READ_ONLY";
            std::string values;
            std::size_t start = 0;
            for (;;) {
                const auto comma = cols.find(',', start);
                values += (values.empty() ? ":" : ",:") + cols.substr(start, comma - start);
                if (comma == std::string::npos)
                    break;
                start = comma + 1;
            }
            sql = "INSERT INTO CHILD_DATALIST(" + cols + ") VALUES(" + values + ")";
        }
        db::Statement q(tx_, sql);
        bindRowParams(q, row);
        q.execute();
        if (row.NETDRIVE == 1 && UpdateServerChildRow)
            UpdateServerChildRow(row);
        tx.commitOwn();
        return true;
    } catch (const std::exception& e) {
        tx.rollbackOwn();
        if (!reportErrors)
            throw;
        report(e, "TDataSentakuListCtl.UpdateDataListChildRecord", "(子)データリストの更新に失敗しました。");
        return false;
    }
}

bool TDataSentakuListCtl::DeleteDataListChildRecord(const TDataListRec& row, bool reportErrors)
{
    if (ServerListOnly == 1 || ConnectKind != 0)
        return true;
    if (TrimZen(row.PASNAME).empty())
        return false;
    OwnTx tx(tx_);
    try {
        const bool child = row.GASSAN == kChildGassan;
        {
            db::Statement q(tx_, child ? "DELETE FROM CHILD_DATALIST WHERE REC=:REC AND ROWNO=:ROWNO AND GROUPID=:GROUPID"
                                       : "DELETE FROM CHILD_DATALIST WHERE REC=:REC AND GROUPID=:GROUPID");
            q.setInt("REC", row.REC);
            if (child)
                q.setInt("ROWNO", row.ROWNO);
            q.setInt("GROUPID", Settings.GroupId);
            q.execute();
        }
        if (row.NETDRIVE == 1) {
            const unsigned char first = static_cast<unsigned char>(row.PASNAME[0]);
            const std::string drive = first < 0x80 ? std::string(1, row.PASNAME[0]) : std::string(" ");
            // The parent's children by a bound prefix: a '_' or '%' in a
            // folder name is an ordinary character here.
            db::Statement q(tx_, child ? "DELETE FROM CHILD_SERVERDATALIST "
                                         "WHERE GROUPID=:GROUPID AND DRIVELETTER=:DRIVELETTER AND PASNAME=:PASNAME"
                                       : "DELETE FROM CHILD_SERVERDATALIST "
                                         "WHERE GROUPID=:GROUPID AND DRIVELETTER=:DRIVELETTER "
                                         "AND PASNAME STARTING WITH :PREFIX");
            q.setInt("GROUPID", Settings.GroupId);
            q.setString("DRIVELETTER", drive);
            if (child)
                q.setString("PASNAME", row.PASNAME);
            else
                q.setString("PREFIX", excludeTrailingDelimiter(row.PASNAME) + "/");
            q.execute();
        }
        tx.commitOwn();
        return true;
    } catch (const std::exception& e) {
        tx.rollbackOwn();
        if (!reportErrors)
            throw;
        report(e, "TDataSentakuListCtl.DeleteDataListChildRecord", "(子)データリストの削除に失敗しました。");
        return false;
    }
}

std::int32_t TDataSentakuListCtl::GetDataFolderName(std::int32_t offset)
{
    if (ServerListOnly == 1)
        return 0;
    OwnTx tx(tx_);
    try {
        db::Statement q(tx_, "SELECT MAX(REC) AS RECMAX FROM " + ListTable + " WHERE (GROUPID=:GROUPID)" +
                                 placeConditionText());
        q.setInt("GROUPID", Settings.GroupId);
        q.execute();
        const std::int32_t max = q.fetch() ? q.asInt("RECMAX") : 0;
        q.close();
        tx.commitOwn();
        return max + offset;
    } catch (const db::FbError& e) {
        tx.commitOwn();
        report(e, "TDataSentakuListCtl.GetDataFolderName", "最大のレコー番号の取得に失敗しました。");
        return 0;
    }
}

bool TDataSentakuListCtl::IsDataPathToroku(const std::string& path)
{
    if (ServerListOnly == 1)
        return true;
    OwnTx tx(tx_);
    try {
        db::Statement q(tx_, "SELECT COUNT(REC) AS RECCNT FROM " + ListTable +
                                 " WHERE (GROUPID=:GROUPID) AND (UPPER(PASNAME)=:PASNAME)" + placeCondition());
        q.setInt("GROUPID", Settings.GroupId);
        q.setString("PASNAME", UpperAscii(path));
        if (DataPlaceRec > 0)
            q.setInt("DATAPLACEREC", DataPlaceRec);
        q.execute();
        const bool found = q.fetch() && q.asInt("RECCNT") > 0;
        q.close();
        tx.commitOwn();
        return found;
    } catch (const db::FbError& e) {
        tx.commitOwn();
        report(e, "TDataSentakuListCtl.IsDataPathToroku", "データリストの登録チェックに失敗しました。");
        return false;
    }
}

void TDataSentakuListCtl::GetRecByPath(const std::string& path, std::int32_t& rec)
{
    rec = 0;
    if (TrimZen(path).empty())
        return;
    if (ConnectKind == 0) {
        rec = RecOfDataPath(path);
    } else if (ConnectKind == 1 || ConnectKind == 2) {
        TDataListRec row;
        InitDataListRecord(row, path);
        GetDataListRecord(1, row, true);
        rec = row.REC;
    }
}
