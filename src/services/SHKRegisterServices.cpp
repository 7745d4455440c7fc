#include "services/SHKRegisterServices.h"

#include "services/bookmarks/SHKDiigo.h"
#include "services/bookmarks/SHKGoogleReader.h"
#include "services/bookmarks/SHKInstapaper.h"
#include "services/bookmarks/SHKPinboard.h"
#include "services/bookmarks/SHKReadItLater.h"
#include "services/foursquare/SHKFoursquareV2.h"
#include "services/readability/SHKReadability.h"
#include "sharing/core/SHKSharerClass.h"

void SHKRegisterServices()
{
    SHKSharerClass::registerSharer<SHKInstapaper>();
    SHKSharerClass::registerSharer<SHKPinboard>();
    SHKSharerClass::registerSharer<SHKDiigo>();
    SHKSharerClass::registerSharer<SHKReadItLater>();
    SHKSharerClass::registerSharer<SHKGoogleReader>();
    SHKSharerClass::registerSharer<SHKReadability>();
    SHKSharerClass::registerSharer<SHKFoursquareV2>();
}
