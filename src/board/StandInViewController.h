#pragma once

#include "board/BoardScreens.h"
#include "platform/ui/ViewController.h"

#include <string>

// Holds the place of a screen that is built separately: it names that screen, keeps what the
// screen would have been opened with, and offers a Cancel button that closes it.
class StandInViewController : public ui::ViewController {
public:
    // `screenName` is the class of the screen that belongs here; `title` is what the user sees.
    StandInViewController(std::string screenName, std::string title, PeopleListRequest);

    std::string_view className() const override { return "StandInViewController"; }

    const std::string& screenName() const { return m_screenName; }
    const PeopleListRequest& request() const { return m_request; }

    void viewDidLoad() override;

private:
    void cancel();

    std::string m_screenName;
    PeopleListRequest m_request;
};
