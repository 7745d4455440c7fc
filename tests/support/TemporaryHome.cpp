#include "support/TemporaryHome.h"

#include "platform/foundation/FileManager.h"
#include "platform/foundation/UserDefaults.h"

namespace brenzo::testing {

TemporaryHome::TemporaryHome()
    : m_previousHome(fnd::FileManager::homeDirectory())
{
    fnd::FileManager::setHomeDirectory(m_directory.path());
    fnd::UserDefaults::setStandardUserDefaults(fnd::UserDefaults::createWithFile(fnd::UserDefaults::standardFilePath()));
}

TemporaryHome::~TemporaryHome()
{
    // Dropping this home's defaults writes them while the folder still exists.
    fnd::UserDefaults::setStandardUserDefaults(nullptr);
    fnd::FileManager::setHomeDirectory(m_previousHome);
}

}
