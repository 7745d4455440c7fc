#include "services/SHKRegisterServices.h"

#include "sharing/core/SHKSharerClass.h"

void SHKRegisterServices()
{
}
