#include "services/SHKRegisterServices.h"

#include "services/facebook/SHKFacebook.h"
#include "services/evernote/SHKEvernote.h"
#include "services/twitter/SHKTwitter.h"
#include "services/twitter/SHKiOS5Twitter.h"
#include "sharing/core/SHKSharerClass.h"

void SHKRegisterServices()
{
    SHKSharerClass::registerSharer<SHKFacebook>();
    SHKSharerClass::registerSharer<SHKEvernote>();
    SHKSharerClass::registerSharer<SHKTwitter>();
    SHKSharerClass::registerSharer<SHKiOS5Twitter>();
}
