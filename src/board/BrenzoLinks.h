#pragma once

#include <string_view>

// The application's fixed addresses outside the device: its page in the store, the store's review
// page, and where feedback mail goes. The values are this project's placeholders.
struct BrenzoLinks {
    static constexpr std::string_view storePageAddress = "https://store.example.com/apps/brenzo";
    // "APP_ID" is replaced by the store identifier.
    static constexpr std::string_view reviewPageTemplate = "https://store.example.com/apps/APP_ID/write-review";
    static constexpr int storeIdentifier = 100000001;
    static constexpr std::string_view feedbackAddress = "feedback@brenzo.example.com";
    static constexpr std::string_view feedbackSubject = "Comments about Brenzo";
    static constexpr std::string_view shareTitle = "\"Geek or not, everyone needs Brenzo!\" 12 contacts ready to be dialed in only 2 taps";
};
