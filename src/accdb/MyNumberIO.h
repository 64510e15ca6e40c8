#pragma once
// The My Number settings of a data set (use flag, management password and
// a second value in its settings store) and the log of every event that
// moves My Number information (MYNUMBER_LOG).
#include <cstdint>
#include <string>
#include <vector>

#include "db/Date.h"

struct TMyNumberLogRec {
    db::DateTime FHIZUKE;   // all zero: "now" when written
    std::string FSERIAL;
    std::string FOPCODE;
    std::string FOPNAME;
    std::string FHOST;
    std::uint8_t FSTATE = 0;
    std::string FPROCNAME;
    std::string FCOMMENT;
};
using TMyNumberLogList = std::vector<TMyNumberLogRec>;

class TMyNumberIO {
public:
    TMyNumberIO() = default;

    std::string CompanyName;
    int LogCount = 0;
    TMyNumberLogList LogList;
    TMyNumberLogRec LogRec;
    int MyNumberUse = 0;
    std::string KeyText;
    std::string ValueText;

    static void MakeLogRec(TMyNumberLogRec& Rec, std::uint8_t Action, const std::string& ProcName);
    // The event text of an action.
    static std::string LogComment(std::uint8_t Action, const std::string& ProcName);

    void LoadLogList(std::uint8_t Order);
    void LoadLogListOf(const std::string& Host, const std::string& DbPath);
    void AddLog(TMyNumberLogRec& Rec);
    void AddLogTo(TMyNumberLogRec& Rec, const std::string& Host, const std::string& DbPath);
    void MergeLog(const std::string& Host, const std::string& DbPath);
    void DeleteLog(const TMyNumberLogRec& Rec);
    void ReadSetting(const std::string& Host, const std::string& DbPath, const std::string& Command,
                     const std::string& ProcName);
    void WriteSetting(const std::string& Host, const std::string& DbPath);
};

// Asks a My Number administrator for the management password (three tries).
bool InputMyNumberPassword(const std::string& Password);
