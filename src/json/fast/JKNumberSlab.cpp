#include "json/fast/JKNumberSlab.h"

JKNumberSlab::~JKNumberSlab()
{
    // A number owns nothing and its destructor does nothing, so the numbers' storage is simply
    // given up: destroying them one by one would fetch every one of them again just to return.
}
