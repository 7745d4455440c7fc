#include "services/SHKRegisterServices.h"

#include "services/twitter/SHKTwitter.h"
#include "services/twitter/SHKiOS5Twitter.h"
#include "sharing/core/SHKSharerClass.h"

void SHKRegisterServices()
{
    SHKSharerClass::registerSharer<SHKTwitter>();
    SHKSharerClass::registerSharer<SHKiOS5Twitter>();
}
