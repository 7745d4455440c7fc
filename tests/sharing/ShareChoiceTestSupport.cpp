#include "ShareChoiceTestSupport.h"

namespace brenzo::testing {

std::vector<StartedShare>& startedShares()
{
    static std::vector<StartedShare> shares;
    return shares;
}

}
