#pragma once
// The program's data verification on the one data module (DM): the
// database file is validated through the database server (or the embedded
// engine), and a damaged data set is marked in the system database's data
// list and in its own status.
#include "app/ProcessForm.h"

class TDmDataVerifyServices : public IDataVerifyServices {
public:
    // Host empty: the local file through the embedded engine. Without a data
    // module nothing can be checked and the data set counts as valid.
    bool ValidateFDB(const std::string& Host, const std::string& Path) override;
    // In the system database's transaction (started and committed here when
    // none is active). Database errors propagate.
    void MarkDataListDamaged(const std::string& DataFolder) override;
    void SetDamagedStatus(const std::string& DataFolder) override;
};
