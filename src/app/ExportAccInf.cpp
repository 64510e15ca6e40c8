#include "app/ExportAccInf.h"

#include "accdb/AccInf.h"
#include "app/ComDataExp.h"

namespace hj19 {

Context MakeContext(const TACCINF& inf) {
    return MakeContext(inf.KISHU, inf.KIMATU, inf.KAISI, inf.SIME, inf.SDAI_HASUU1);
}

} // namespace hj19

void TakeAccInf(TComDataExport& exporter, const TACCINF& inf) {
    exporter.KomonsakiName = inf.SHOUGOU;
    exporter.FiscalYearNo = inf.NENDO;
    exporter.FiscalStart = inf.KISHU;
    exporter.FiscalEnd = inf.KIMATU;
    exporter.ClosingDay = inf.SIME;
}
