// The end-to-end cases, one table for every build.
#pragma once

#include <vector>

#include "tests/harness/cases.h"

namespace qvhelp::e2e {

const std::vector<harness::Case>& AllCases();

}  // namespace qvhelp::e2e
