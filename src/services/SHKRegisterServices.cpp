#include "services/SHKRegisterServices.h"

#include "services/bookmarks/SHKDiigo.h"
#include "services/bookmarks/SHKGoogleReader.h"
#include "services/bookmarks/SHKInstapaper.h"
#include "services/bookmarks/SHKPinboard.h"
#include "services/bookmarks/SHKReadItLater.h"
#include "services/evernote/SHKEvernote.h"
#include "services/facebook/SHKFacebook.h"
#include "services/foursquare/SHKFoursquareV2.h"
#include "services/readability/SHKReadability.h"
#include "services/twitter/SHKTwitter.h"
#include "services/twitter/SHKiOS5Twitter.h"
#include "sharing/core/SHKSharerClass.h"

void SHKRegisterServices()
{
    SHKSharerClass::registerSharer<SHKFacebook>();
    SHKSharerClass::registerSharer<SHKTwitter>();
    SHKSharerClass::registerSharer<SHKiOS5Twitter>();
    SHKSharerClass::registerSharer<SHKFoursquareV2>();
    SHKSharerClass::registerSharer<SHKInstapaper>();
    SHKSharerClass::registerSharer<SHKPinboard>();
    SHKSharerClass::registerSharer<SHKDiigo>();
    SHKSharerClass::registerSharer<SHKReadItLater>();
    SHKSharerClass::registerSharer<SHKGoogleReader>();
    SHKSharerClass::registerSharer<SHKReadability>();
    SHKSharerClass::registerSharer<SHKEvernote>();
}
