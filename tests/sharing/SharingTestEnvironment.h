#pragma once

#include "sharing/core/DefaultSHKConfigurator.h"
#include "sharing/core/SHKSharerMetaclass.h"
#include "support/TemporaryDirectory.h"
#include "support/TemporaryHome.h"

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace gfx {
class Image;
}

namespace brenzo::testing {

// What one sharing test runs in: a fresh home folder, an in-memory keychain, the given sharing
// configuration (the application's by default) and no cached offered services.
class SharingEnvironment {
public:
    explicit SharingEnvironment(std::shared_ptr<const DefaultSHKConfigurator> = nullptr);
    ~SharingEnvironment();
    SharingEnvironment(const SharingEnvironment&) = delete;
    SharingEnvironment& operator=(const SharingEnvironment&) = delete;

    const std::filesystem::path& home() const { return m_home.path(); }

private:
    TemporaryHome m_home;
};

// A main bundle of the test's own whose offered-services list names the given sharers (none at
// all when both lists are absent), for as long as it lives.
class OfferedServicesBundle {
public:
    OfferedServicesBundle(std::vector<std::string> actions, std::vector<std::string> services);
    // A bundle without an offered-services list.
    OfferedServicesBundle();
    ~OfferedServicesBundle();
    OfferedServicesBundle(const OfferedServicesBundle&) = delete;
    OfferedServicesBundle& operator=(const OfferedServicesBundle&) = delete;

    const std::filesystem::path& path() const { return m_directory.path(); }

private:
    TemporaryDirectory m_directory;
};

// A sharer class with class-level answers a test can set and a count of its logouts.
class TestSharerClass : public SHKSharerMetaclass {
public:

    std::string sharerId() const override { return m_name; }
    std::string sharerTitle() const override { return m_title; }
    bool canShare() const override { return m_canShare; }
    bool canShareType(SHKShareType) const override { return true; }
    void logout() const override;

    void setTitle(std::string title) { m_title = std::move(title); }
    void setCanShare(bool canShare) { m_canShare = canShare; }
    int logoutCount() const { return m_logoutCount; }

    // The order in which every test sharer class was logged out, by id.
    static std::vector<std::string>& logoutLog();

    explicit TestSharerClass(std::string name);

private:
    std::string m_name;
    std::string m_title;
    bool m_canShare = true;
    mutable std::atomic<int> m_logoutCount { 0 };
};

// Registers a test sharer class under its name for as long as it lives.
class RegisteredTestSharer {
public:
    explicit RegisteredTestSharer(std::string name);
    ~RegisteredTestSharer();
    RegisteredTestSharer(const RegisteredTestSharer&) = delete;
    RegisteredTestSharer& operator=(const RegisteredTestSharer&) = delete;

    TestSharerClass* operator->() const { return m_class.get(); }

private:
    std::shared_ptr<TestSharerClass> m_class;
};

// A picture of one colour, opaque.
std::shared_ptr<gfx::Image> solidImage(double width, double height, double red, double green, double blue);

}
