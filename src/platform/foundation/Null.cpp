#include "platform/foundation/Null.h"

namespace fnd {

const Ref<Null>& Null::null()
{
    static const Ref<Null> instance = std::make_shared<Null>();
    return instance;
}

}
