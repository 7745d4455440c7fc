#pragma once

// Hears the session's login, logout and invalidation; every operation is optional.
class FBSessionDelegate {
public:
    virtual ~FBSessionDelegate() = default;

    virtual void fbDidLogin() { }
    virtual void fbDidNotLogin(bool /* cancelled */) { }
    virtual void fbDidLogout() { }
    virtual void fbSessionInvalidated() { }
};
