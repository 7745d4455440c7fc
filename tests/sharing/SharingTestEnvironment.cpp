#include "SharingTestEnvironment.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/String.h"
#include "platform/graphics/ImageContext.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/security/Keychain.h"
#include "sharing/core/MySHKConfigurator.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKConfiguration.h"
#include "sharing/core/SHKLocalizedText.h"

namespace brenzo::testing {

namespace {

fnd::Ref<fnd::Array> arrayOfStrings(const std::vector<std::string>& texts)
{
    std::vector<fnd::Id> objects;
    for (auto& text : texts)
        objects.push_back(fnd::String::create(text));
    return fnd::Array::create(std::move(objects));
}

void forgetCaches()
{
    SHK::resetForTesting();
    SHKResetLocalizationBundleForTesting();
}

}

SharingEnvironment::SharingEnvironment(std::shared_ptr<const DefaultSHKConfigurator> configurator)
{
    sec::Keychain::setShared(sec::Keychain::createInMemory());
    SHKConfiguration::resetForTesting();
    SHKConfiguration::sharedInstanceWithConfigurator(configurator ? std::move(configurator) : std::make_shared<MySHKConfigurator>());
    forgetCaches();
}

SharingEnvironment::~SharingEnvironment()
{
    forgetCaches();
    SHKConfiguration::resetForTesting();
    sec::Keychain::setShared(nullptr);
}

OfferedServicesBundle::OfferedServicesBundle(std::vector<std::string> actions, std::vector<std::string> services)
{
    auto list = fnd::Dictionary::create({
        { fnd::String::create("actions"), arrayOfStrings(actions) },
        { fnd::String::create("services"), arrayOfStrings(services) },
    });
    fnd::PropertyList::writeFile(list, m_directory.path() / "SHKSharers.plist");
    fnd::Bundle::setMain(fnd::Bundle::createWithPath(m_directory.path()));
    forgetCaches();
}

OfferedServicesBundle::OfferedServicesBundle()
{
    fnd::Bundle::setMain(fnd::Bundle::createWithPath(m_directory.path()));
    forgetCaches();
}

OfferedServicesBundle::~OfferedServicesBundle()
{
    fnd::Bundle::setMain(nullptr);
    forgetCaches();
}

TestSharerClass::TestSharerClass(std::string name)
    : m_name(name)
    , m_title(std::move(name))
{
}

RegisteredTestSharer::RegisteredTestSharer(std::string name)
    : m_class(std::make_shared<TestSharerClass>(name))
{
    std::shared_ptr<const SHKSharerMetaclass> metaclass = m_class;
    rt::ClassRegistry::shared().registerClass<fnd::Object, SHKSharerMetaclass>(std::move(name), [] { return nullptr; }, metaclass);
}

RegisteredTestSharer::~RegisteredTestSharer()
{
    rt::ClassRegistry::shared().unregisterClass(m_class->sharerId());
}

void TestSharerClass::logout() const
{
    ++m_logoutCount;
    logoutLog().push_back(m_name);
}

std::vector<std::string>& TestSharerClass::logoutLog()
{
    static std::vector<std::string> log;
    return log;
}

std::shared_ptr<gfx::Image> solidImage(double width, double height, double red, double green, double blue)
{
    auto context = gfx::ImageContext::create({ width, height }, true, 1);
    context->setFillColor({ red, green, blue });
    context->fillRect({ 0, 0, width, height });
    return context->image();
}

}
