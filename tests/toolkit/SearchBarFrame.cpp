#include "tests/toolkit/SearchBarFrame.h"

namespace tavrin::test {

BEGIN_MESSAGE_MAP(CSearchBarFrame, CXTPCommandBarsFrame)
ON_NOTIFY(CBN_XTP_EXECUTE, kIdSearchCombo, OnSearch)
ON_UPDATE_COMMAND_UI(kIdSearchCombo, OnUpdateEnabled)
ON_UPDATE_COMMAND_UI(kIdSearchInResults, OnUpdateEnabled)
END_MESSAGE_MAP()

} // namespace tavrin::test
