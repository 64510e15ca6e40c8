#pragma once
// The one worker through which a database file of the accounting product is
// backed up, restored, copied or rebuilt. The worker thread only sequences:
// each step is handed to the user-interface thread and runs there, while
// the caller polls IsTerminated() every 300 ms behind a progress window
// (RunBackupRestore below does exactly that).
//
//   TBackupRestoreThread th;
//   th.Mode = 0; th.DatabasePath = folder + "/tvacc.fdb"; th.BackupPath = ...;
//   RunBackupRestore(th, "データの保存");
//   if (!th.Success) show(th.ErrInfo.Message + "\r" + th.ErrInfo.Detail);
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include <QThread>

#include "accdb/BackupTrailer.h"

class TMyNumberIO;

struct TErrInfomation {
    bool IsError = false;
    std::string ProcName;
    std::string Code;
    std::string Message;
    std::string Detail;
};

class TBackupRestoreThread : public QThread {
public:
    explicit TBackupRestoreThread(bool CreateSuspended = true);
    ~TBackupRestoreThread() override;

    int Mode = 0;
    std::uint8_t Kind = 0;
    bool MyNumberCheck = true;
    std::string Host;
    std::string DatabasePath;
    std::string CopyPath;
    std::string BackupPath;
    std::uint8_t RestoreOption = 1;
    bool Success = false;
    TErrInfomation ErrInfo;
    bool WriteHeader = false;
    bool AskMyNumber = false;
    bool LogMyNumber = false;
    bool ExcludeMyNumber = false;
    int MyNumberAction = 0;
    std::string ProcessName;
    std::string Shougou, Kishu, Kimatu;
    int Siwake = 0, TotalSiwake = 0;
    std::string DataVarsion;
    int Gassan = 0;
    int UseMyNumber = 0;

    bool IsTerminated() const { return terminated_.load(); }
    void Resume() { start(); }

    void ClearHeaderInfo();
    void WriteHeaderInfo(const std::string& FileName);
    bool ReadHeaderInfo(const std::string& FileName, bool Strip);

    // The job of Mode (runs on this thread; each step on the UI thread).
    void Execute();

    // The steps (UI thread).
    void ConfirmMyNumber();
    void BackupDatabase();
    void RestoreDatabase();
    void CopyDatabase();
    void RebuildDatabase();

protected:
    void run() override;

private:
    void Synchronize(const std::function<void()>& step);
    void setError(const char* code, const std::string& message, const std::string& detail);
    bool ensureServerWorkFolder();
    std::string serverFile() const;
    std::string contentId() const;
    void transferDown(const std::string& content);
    void transferUp(const std::string& content, const std::string& file);
    void copyOrRebuild(const std::string& target);

    std::atomic<bool> terminated_{false};
};

// Starts the worker behind a progress window and polls it every 300 ms
// until its job is over; the thread has ended when this returns.
void RunBackupRestore(TBackupRestoreThread& Thread, const std::string& Caption);
