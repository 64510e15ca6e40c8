#pragma once
// TDataListKensakuBox: the search-condition dialog of a data list. It shows
// and edits a TDataKensakuRec; its rules live in TDataListKensakuModel and
// the storage of the conditions in TKensakuJyokenStore.
#include <cstdint>
#include <memory>
#include <vector>

#include "datasel/KensakuJyoken.h"
#include "datasel/KensakuJyokenStore.h"
#include "ui/SDI.h"

class QPlainTextEdit;
class TxEdit;
class TxComboBox;
class TxCheckBox;
class TxPlButton;

namespace db {
class Attachment;
}

namespace datasel {
// The person-in-charge choices: the operators of the group with an operator
// code of 10 or more, in code order, read on the system database.
std::vector<TTantoChoice> ReadTantoChoices(db::Attachment& systemDb, int groupId);
// The data-version choices: the product versions this installation knows.
std::vector<TDataVerChoice> ReadDataVerChoices();
} // namespace datasel

class TDataListKensakuBox : public TBSDI {
    Q_OBJECT
public:
    // The person-in-charge and data-version choices come after the first
    // item "選択なし" of each list; the caller reads them (operators of the
    // group with code 10 or more, installed product versions).
    TDataListKensakuBox(db::Attachment& systemDb, const std::vector<datasel::TTantoChoice>& tanto,
                        const std::vector<datasel::TDataVerChoice>& dataVer, QWidget* parent = nullptr);
    ~TDataListKensakuBox() override;

    std::int32_t ListType() const { return model_.ListType; }
    void SetListType(std::int32_t value) { model_.ListType = value; }
    std::uint8_t Mode() const { return model_.Mode; }
    TDataKensakuRec& Rec() { return model_.Rec; }

    void InitKensakuRec(TDataKensakuRec& rec) const;
    bool SelectRecord(TDataKensakuRec& rec) { return store_->SelectRecord(rec); }
    bool UpdateRecord(const TDataKensakuRec& rec) { return store_->UpdateRecord(rec); }
    bool UpdateRecordSortField(const TDataKensakuRec& rec) { return store_->UpdateRecordSortField(rec); }

    // Stores the mode and shows Rec in the controls.
    void SetMode(std::uint8_t value);
    // Takes the controls into Rec and closes with OK.
    void btnOKClick();

    void CMShowingChanged(bool showing) override;
    void FormClose(TCloseAction& action) override;

    TxEdit* txtCode;
    TxComboBox* cmbDataKbn;
    TxEdit* txtListName;
    TxComboBox* cmbTanto;
    TxComboBox* cmbDataVer;
    TxCheckBox* cboxYukou;
    TxPlButton* btnOK;
    TxPlButton* btnCancel;
    QPlainTextEdit* HintArea;

private:
    void readControls();
    datasel::TDataListKensakuModel model_;
    std::unique_ptr<datasel::TKensakuJyokenStore> store_;
};
