#include "sharing/sharers/SHKRegisterSharers.h"

#include "sharing/core/SHKSharerClass.h"
#include "sharing/sharers/SHKCopy.h"
#include "sharing/sharers/SHKLogout.h"
#include "sharing/sharers/SHKMail.h"
#include "sharing/sharers/SHKPhotoAlbum.h"
#include "sharing/sharers/SHKPrint.h"
#include "sharing/sharers/SHKSafari.h"
#include "sharing/sharers/SHKTextMessage.h"

void SHKRegisterSharers()
{
    SHKSharerClass::registerSharer<SHKMail>();
    SHKSharerClass::registerSharer<SHKTextMessage>();
    SHKSharerClass::registerSharer<SHKCopy>();
    SHKSharerClass::registerSharer<SHKPrint>();
    SHKSharerClass::registerSharer<SHKSafari>();
    SHKSharerClass::registerSharer<SHKPhotoAlbum>();
    SHKSharerClass::registerSharer<SHKLogout>();
}
