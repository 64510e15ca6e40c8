#include "accdb/AccRecordTypes.h"

TSWKUPLIST SwkUpList;
