#include "app/ProcessForm.h"

#include "accdb/AccRecord.h"
#include "app/AppMessage.h"
#include "platform/IniFile.h"

#include <QApplication>
#include <QCursor>

namespace {

struct Entry {
    TProcessFormClass formClass;
    std::string name;
};

std::vector<Entry>& registry() {
    static std::vector<Entry> r;
    return r;
}

std::vector<std::unique_ptr<TProcessComponent>>& keptForms() {
    static std::vector<std::unique_ptr<TProcessComponent>> k;
    return k;
}

bool launchBusy = false;
IDataVerifyServices* verifyServices = nullptr;

// The hourglass for the launch, and the guard against a second launch from
// inside a running one.
class BusyCursor {
public:
    BusyCursor() {
        launchBusy = true;
        if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            cursor_ = true;
        }
    }
    ~BusyCursor() {
        if (cursor_)
            QApplication::restoreOverrideCursor();
        launchBusy = false;
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool cursor_ = false;
};

const char* const kNoInterface =
    "処理を起動するためのインターフェースが実装されていません。\rライブラリのロードに失敗した可能性があります。";
const char* const kDamaged =
    "データ検証の結果、このデータは破損している恐れがあります。\r"
    "データのバックアップを行っている場合は、適正な方法で破損前の状態へ戻して下さい。\r"
    "ご不明な点がございましたら、お問い合わせ先をご確認の上ご連絡下さい。";

} // namespace

void RegisterProcessForm(TProcessFormClass FormClass, const std::string& Name) {
    if (!FormClass)
        return;
    for (const Entry& e : registry())
        if (e.formClass == FormClass)
            return;
    registry().push_back({FormClass, Name});
}

std::unique_ptr<TProcessComponent> FindProcessForm(const std::string& Name) {
    for (const Entry& e : registry())
        if (platform::sameTextAscii(e.name, Name))
            return e.formClass();
    return nullptr;
}

void ClearProcessForms() {
    registry().clear();
    keptForms().clear();
}

bool ProcessLaunchBusy() { return launchBusy; }
void SetProcessLaunchBusy(bool busy) { launchBusy = busy; }

std::vector<std::string> SplitParamLines(const std::string& Text) {
    std::vector<std::string> lines;
    std::string cur;
    bool any = false;
    for (size_t i = 0; i < Text.size(); ++i) {
        char c = Text[i];
        any = true;
        if (c == '\r' || c == '\n') {
            lines.push_back(cur);
            cur.clear();
            any = false;
            if (c == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n')
                ++i;
        } else {
            cur += c;
        }
    }
    if (any)
        lines.push_back(cur);
    return lines;
}

std::string ProcessParam(const std::vector<std::string>& Params, const std::string& Name, bool* found) {
    for (const std::string& line : Params) {
        auto eq = line.find('=');
        if (eq != std::string::npos && platform::sameTextAscii(line.substr(0, eq), Name)) {
            if (found)
                *found = true;
            return line.substr(eq + 1);
        }
    }
    if (found)
        *found = false;
    return {};
}

int ExecProcessForm(const std::string& Name, int Modal, const std::string& Params) {
    if (Name.empty() || launchBusy)
        return -1;
    int result = -1;
    {
        BusyCursor busy;
        std::unique_ptr<TProcessComponent> instance = FindProcessForm(Name);
        auto* form = dynamic_cast<IProcessForm*>(instance.get());
        if (!form) {
            instance.reset();
            app::showBox(platform::pkError, kNoInterface);
            return -1;
        }
        std::vector<std::string> lines = SplitParamLines(Params);
        lines.push_back("FormStyle=" + std::to_string(Modal == 1 ? 2 : 0));
        form->SetParams(lines);
        result = form->Execute(Modal == 1 ? 1 : 0);
        if (Modal != 1) {
            if (instance->ReleaseToSelf())
                (void)instance.release();
            else
                keptForms().push_back(std::move(instance));
        }
    }
    return result;
}

void SetDataVerifyServices(IDataVerifyServices* services) { verifyServices = services; }

void DataVerifyProc(const std::string& Host, const std::string& DataFolder, int Silent, int& Result) {
    SystemDef.DataDamaged = 0;
    const std::string path = DataFolder + "/" + DataFile;
    const std::string host = (Host.empty() || Host == "127.0.0.1") ? std::string() : Host;
    bool valid = verifyServices ? verifyServices->ValidateFDB(host, path) : true;
    if (!valid) {
        SystemDef.DataDamaged = 1;
        if (!Silent)
            app::showBox(platform::pkError, kDamaged);
        try {
            verifyServices->MarkDataListDamaged(DataFolder);
            verifyServices->SetDamagedStatus(DataFolder);
        } catch (...) {
            // The verification's answer stands even when the marks fail.
        }
    }
    Result = valid ? 1 : 0;
}
