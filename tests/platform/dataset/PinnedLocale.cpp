#include "DataSetTestSupport.h"

// Number and date texts in these tests are Colombian: "," decimals, dd/MM/yyyy.
static ::testing::Environment* const pinnedLocale = ::testing::AddGlobalTestEnvironment(new dstest::PinnedLocale);
