#pragma once

// Asks the user to rate the application once it has been in use long enough, and opens the store's
// review page from the board's heart button.
//
// This is the place the rating prompt's own work fills in (counting launches per version on a
// thread of its own, the conditions, the alert with its three choices, the review page). Until
// then both entry points only write one log line, so the launch and the heart button already call
// the right place.
class RatingPrompt {
public:
    // Called once per launch.
    static void appLaunched();
    // Opens the review page and counts the current version as rated.
    static void rateApp();
};
