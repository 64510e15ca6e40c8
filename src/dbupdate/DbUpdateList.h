#pragma once
// The version steps of the system database and of a data database, and the
// comparison of a database's version with them: which steps are pending,
// whether the data is compatible with this program, how many backups the
// run would take. The update dialog shows this state; data selection uses
// it to grey rows whose data needs an update.
#include <compare>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The update function of one step: 1 done, 16 isql reported an error,
// 17 isql did not start, 18 a script file is missing, 19 the step's own
// code failed.
using TDbUpdateProc = std::function<std::int32_t()>;

struct TDbUpdateListRec {
    std::int32_t Major = 0;
    std::int32_t Minor1 = 0;
    std::int32_t Minor2 = 0;
    TDbUpdateProc UpdateProc;
    std::int32_t NeedBackup = 0;
    std::string Title;
    std::string Description;
};
using TArrayDbUpdateListRec = std::vector<TDbUpdateListRec>;

// What the step texts depend on: the product title ([Dovoz] AppTitle of the
// product information) and the edition (1 and 2 are the distributor editions).
struct TDbUpdateTextSettings {
    std::string ProductTitle = "タヴリン財務";
    std::uint8_t OemEdition = 0;
};

// The step units register their update functions here (kind 0 system
// database, 1 data database); a step whose function is not registered yet
// carries an empty UpdateProc.
void RegisterDbUpdateProc(std::uint8_t kind, std::int32_t major, std::int32_t minor1, std::int32_t minor2,
                          TDbUpdateProc proc);

// Fills one entry with the step's constants (the info routine of a step).
// False when there is no such step.
bool SetDbUpdateInfo(std::uint8_t kind, std::int32_t major, std::int32_t minor1, std::int32_t minor2,
                     const TDbUpdateTextSettings& settings, TDbUpdateListRec& entry);

// The two lists in ascending version order: 18 system steps, 61 data steps.
TArrayDbUpdateListRec MakeSystemUpdateList(const TDbUpdateTextSettings& settings);
TArrayDbUpdateListRec MakeDataUpdateList(const TDbUpdateTextSettings& settings);

struct TDbVersionTriple {
    std::int32_t Major = 0;
    std::int32_t Minor1 = 0;
    std::int32_t Minor2 = 0;
    auto operator<=>(const TDbVersionTriple&) const = default;
};

// One row of the pending-step list: "%d.%d.%d" and the step's title.
struct TDbUpdatePendingRow {
    std::string Caption;
    std::string Title;
};

// The comparison state of the update dialog, kept apart from its window.
class TDbUpdateState {
public:
    explicit TDbUpdateState(const TDbUpdateTextSettings& settings = {});

    // Reads the version of the database of a kind (0 system, 1 data) from
    // the connected database; installed by whoever holds the connections.
    // Without one SetDbVersion leaves 0.0.0.
    std::function<TDbVersionTriple(std::uint8_t kind)> VersionReader;
    // Reports a failure of VersionReader; the default shows the text through
    // the prompt interface.
    std::function<void(const std::exception& e, const std::string& context, const std::string& text)> ErrorReporter;

    TArrayDbUpdateListRec SystemUpdateList;
    TArrayDbUpdateListRec DataUpdateList;

    std::uint8_t UpdateKind = 0;
    const TArrayDbUpdateListRec* CurrentList = nullptr;
    TDbVersionTriple DbVersion;
    TDbVersionTriple TargetVersion;
    std::int32_t Compatibility = 0;
    bool UpdateNeeded = false;
    std::int32_t FirstPending = 0;
    std::int32_t LastPending = 0;
    std::int32_t BackupWeight = 0;
    bool Succeeded = false;
    // The rows the list view shows (left as they were when nothing is pending).
    std::vector<TDbUpdatePendingRow> Rows;
    // The description shown for the selected row.
    std::string DescriptionText;

    // Kind 0 compares the system database, 1 a data database; an empty text
    // reads the version from the database.
    void SetDbUpdateList(std::uint8_t kind, const std::string& versionText);
    void SetDbVersion();
    void SetDbVersionText(const std::string& text);
    // Shows the description of the pending step in row `row` of the list.
    void SelectRow(std::int32_t row);

    // The title and warning texts of the dialog for the current kind.
    std::string TitleText() const;
    std::string WarningText1() const;
    std::string WarningText2() const;
    bool AgreementVisible() const { return UpdateKind != 0; }
    // OK is enabled exactly when the agreement box is ticked, or always
    // when it is hidden.
    bool OkEnabled(bool agreed) const { return !AgreementVisible() || agreed; }
};

namespace db {
class Transaction;
}

// Reads the version of a database from its VERSION table (kind 0, the
// newest row) or its ACCVERSION row (kind 1) in `tx`, started and committed
// here when not active. 0.0.0 when there is no row.
TDbVersionTriple ReadDbVersion(db::Transaction& tx, std::uint8_t kind);
