#include "services/SHKRegisterServices.h"

#include "services/facebook/SHKFacebook.h"
#include "sharing/core/SHKSharerClass.h"

void SHKRegisterServices()
{
    SHKSharerClass::registerSharer<SHKFacebook>();
}
