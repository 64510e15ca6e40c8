#pragma once
// The operator's own settings held inside the program-wide settings record:
// one member per SYSDEF column or SYSREG value of the operator. They are
// loaded after logon and written back by the operator-settings service.
// Only the members that other code reads by name are spelled out; the rest
// are added here by the operator-settings service as it needs them.
#include <cstdint>
#include <string>

struct TSysDefSettings {
    // Shared data is taken from and returned to the file server automatically
    // when a data set is opened and closed (SYSDEF Reserve4 bit 1).
    int KyoyuAuto = 0;
    // Data verification before use: 1 = check the data (SYSREG
    // "データ破損チェック区", group-wide).
    int DataCheckMode = 1;
    // Dates shown as Japanese era dates (SYSDEF Reserve4 bit 10).
    int WarekiDisp = 0;
    // The data place: record number of the data-management folder, 0 = none
    // (SYSREG "サーバのデータの場所").
    int DataPlace = 0;
};
