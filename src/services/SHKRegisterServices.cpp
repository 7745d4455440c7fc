#include "services/SHKRegisterServices.h"

#include "services/evernote/SHKEvernote.h"
#include "sharing/core/SHKSharerClass.h"

void SHKRegisterServices()
{
    SHKSharerClass::registerSharer<SHKEvernote>();
}
