#pragma once
// The data makers' common base and the depreciation exporter.
#include "app/ComDataExp.h"

// Base of the suite's data makers; this program's maker needs nothing of it.
class TZaimuDataLoad {
public:
    virtual ~TZaimuDataLoad() = default;
};

class SisanReader;

// Writes the depreciation schedules (the DATA element) through
// THojinZeiGenka19DataMake. The reader is the open data set's access to its
// fixed assets; it is not owned.
class THojinZeiGenkaDataExport : public TComDataExport {
public:
    THojinZeiGenkaDataExport(const TComDataExportEnv& env, int functionId, const std::string& fileName);

    void setReader(SisanReader* reader) { reader_ = reader; }
    void Export(TXmlSaveDoc& doc) override;

    // Maps a maker result to the exporter's outcome: returns for 1, raises
    // EDataExportError for the failure results.
    static void CheckMakeResult(int result);

private:
    SisanReader* reader_ = nullptr;
};
