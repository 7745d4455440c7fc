#include "platform/foundation/Log.h"
#include "platform/runtime/ClassRegistry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace rt;

namespace {

// A miniature of how a product family uses the registry: a base class, its class-level interface
// and a template that turns each subclass's static members into that interface.
class Sharer {
public:
    virtual ~Sharer() = default;
    virtual std::string sharerId() const = 0;
};

class SharerClass {
public:
    virtual ~SharerClass() = default;
    virtual std::string sharerTitle() const = 0;
    virtual bool canShareURL() const = 0;
};

template<typename T>
class SharerClassOf final : public SharerClass {
public:
    std::string sharerTitle() const override { return T::sharerTitle(); }
    bool canShareURL() const override { return T::canShareURL(); }
};

class MailSharer : public Sharer {
public:
    static std::string sharerTitle() { return "Email"; }
    static bool canShareURL() { return true; }
    std::string sharerId() const override { return "SHKMail"; }
};

class PrintSharer : public Sharer {
public:
    static std::string sharerTitle() { return "Print"; }
    static bool canShareURL() { return false; }
    std::string sharerId() const override { return "SHKPrint"; }
};

template<typename T>
bool registerSharer(ClassRegistry& registry, std::string name)
{
    return registry.registerClass<Sharer, SharerClass>(std::move(name), [] { return std::make_shared<T>(); }, std::make_shared<SharerClassOf<T>>());
}

class Delegate {
public:
    virtual ~Delegate() = default;
};

// Registered before main() runs, as a module's static initialiser would.
const bool delegateRegisteredEarly = ClassRegistry::shared().registerClass<Delegate>("EarlyDelegate", [] { return std::make_shared<Delegate>(); });

}

TEST(ClassRegistry, CreatesRegisteredClassesByNameAndNothingForUnknownNames)
{
    ClassRegistry registry;
    ASSERT_TRUE(registerSharer<MailSharer>(registry, "SHKMail"));
    ASSERT_TRUE(registerSharer<PrintSharer>(registry, "SHKPrint"));

    auto mail = registry.create<Sharer>("SHKMail");
    ASSERT_TRUE(mail);
    EXPECT_EQ(mail->sharerId(), "SHKMail");
    EXPECT_NE(mail, registry.create<Sharer>("SHKMail"));
    EXPECT_EQ(registry.create<Sharer>("SHKPrint")->sharerId(), "SHKPrint");

    EXPECT_FALSE(registry.isRegistered("SHKVkontakte"));
    EXPECT_FALSE(registry.create<Sharer>("SHKVkontakte"));
    EXPECT_FALSE(registry.classNamed("SHKVkontakte"));
    EXPECT_FALSE(registry.create<Sharer>(""));
    EXPECT_FALSE(registry.create<Sharer>("shkmail"));
    EXPECT_EQ(registry.classNames(), (std::vector<std::string> { "SHKMail", "SHKPrint" }));
}

TEST(ClassRegistry, ClassLevelInterfaceAnswersWithoutAnInstance)
{
    ClassRegistry registry;
    registerSharer<MailSharer>(registry, "SHKMail");
    registerSharer<PrintSharer>(registry, "SHKPrint");

    auto mailClass = registry.classNamed("SHKMail")->metaclass<SharerClass>();
    auto printClass = registry.classNamed("SHKPrint")->metaclass<SharerClass>();
    ASSERT_TRUE(mailClass && printClass);
    EXPECT_EQ(mailClass->sharerTitle(), "Email");
    EXPECT_TRUE(mailClass->canShareURL());
    EXPECT_EQ(printClass->sharerTitle(), "Print");
    EXPECT_FALSE(printClass->canShareURL());
}

TEST(ClassRegistry, AnotherBaseOrMetaclassTypeGivesNothing)
{
    ClassRegistry registry;
    registerSharer<MailSharer>(registry, "SHKMail");
    registry.registerClass<Delegate>("BrenzoAppDelegate", [] { return std::make_shared<Delegate>(); });

    EXPECT_FALSE(registry.create<Delegate>("SHKMail"));
    EXPECT_FALSE(registry.create<Sharer>("BrenzoAppDelegate"));
    EXPECT_TRUE(registry.create<Delegate>("BrenzoAppDelegate"));
    EXPECT_TRUE(registry.classNamed("SHKMail")->createsInstancesOf<Sharer>());
    EXPECT_FALSE(registry.classNamed("SHKMail")->createsInstancesOf<Delegate>());
    EXPECT_FALSE(registry.classNamed("BrenzoAppDelegate")->metaclass<SharerClass>());
    EXPECT_FALSE(registry.classNamed("SHKMail")->metaclass<Delegate>());
}

TEST(ClassRegistry, ASecondRegistrationOfANameIsRefusedAndTheFirstKept)
{
    ClassRegistry registry;
    fnd::LogCapture log;
    EXPECT_TRUE(registerSharer<MailSharer>(registry, "SHKMail"));
    EXPECT_FALSE(registerSharer<PrintSharer>(registry, "SHKMail"));
    EXPECT_EQ(registry.create<Sharer>("SHKMail")->sharerId(), "SHKMail");
    EXPECT_TRUE(log.contains("SHKMail is already registered"));
    EXPECT_FALSE(registry.registerClass(nullptr));
}

TEST(ClassRegistry, UnregisteringSwitchesAClassOff)
{
    ClassRegistry registry;
    registry.registerClass<Delegate>("TWTweetComposeViewController", [] { return std::make_shared<Delegate>(); });
    auto kept = registry.classNamed("TWTweetComposeViewController");
    EXPECT_TRUE(registry.unregisterClass("TWTweetComposeViewController"));
    EXPECT_FALSE(registry.unregisterClass("TWTweetComposeViewController"));
    EXPECT_FALSE(registry.isRegistered("TWTweetComposeViewController"));
    // A class record already looked up stays usable.
    EXPECT_TRUE(kept->create<Delegate>());
}

TEST(ClassRegistry, SharedRegistryHoldsClassesRegisteredBeforeMain)
{
    EXPECT_TRUE(delegateRegisteredEarly);
    EXPECT_EQ(&ClassRegistry::shared(), &ClassRegistry::shared());
    EXPECT_TRUE(ClassRegistry::shared().create<Delegate>("EarlyDelegate"));
}
