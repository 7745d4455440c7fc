#pragma once

#include <string_view>

namespace ab {

// The labels the address book stores on phone numbers. Standard labels are wrapped in "_$!<" and
// ">!$_" so that they can be told apart from labels the user typed; the iPhone label is not.
struct PhoneLabel {
    static constexpr std::string_view mobile = "_$!<Mobile>!$_";
    static constexpr std::string_view iPhone = "iPhone";
    static constexpr std::string_view home = "_$!<Home>!$_";
    static constexpr std::string_view work = "_$!<Work>!$_";
    static constexpr std::string_view main = "_$!<Main>!$_";
    static constexpr std::string_view homeFax = "_$!<HomeFAX>!$_";
    static constexpr std::string_view workFax = "_$!<WorkFAX>!$_";
    static constexpr std::string_view otherFax = "_$!<OtherFAX>!$_";
    static constexpr std::string_view pager = "_$!<Pager>!$_";
    static constexpr std::string_view other = "_$!<Other>!$_";
};

}
