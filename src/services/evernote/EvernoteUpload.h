#pragma once

#include "services/evernote/EvernoteService.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// One note upload, run on a worker thread from a copy of everything it needs: it logs in again,
// completes the prepared note or makes one (title, notebook, tags, body, pictures and files as
// resources, pictures the note only links to downloaded), and creates it in the user's note store.
class EvernoteUpload {
public:
    struct Share {
        EvernoteService service;
        std::string username;
        std::string password;

        // The item's values; an absent one is empty.
        std::string title;
        std::string text;
        std::string tags;
        std::string url;
        // The picture as JPEG, with its size in points.
        std::optional<std::vector<uint8_t>> jpeg;
        double imageWidth = 0;
        double imageHeight = 0;
        std::optional<std::vector<uint8_t>> file;
        std::optional<std::string> fileMimeType;

        // Whether the item was an SHKEvernoteItem, and its note.
        bool isEvernoteItem = false;
        std::optional<EDAMNote> preparedNote;

        std::string dtdAddress;
        // The title of a note that has none (localised).
        std::string untitled;
    };

    struct Result {
        bool success = false;
        // The detailed failure text, or empty.
        std::string errorMessage;
        bool shouldRelogin = false;
    };

    // Blocking; every failure ends up in the result.
    static Result run(const Share&, const std::function<void()>& versionRefused);

    // The note as it will be sent (everything but the notebook and the creation time).
    static EDAMNote composeNote(const Share&);
    // The text for the service's error code: "Invalid Auth" for 8, and so on.
    static std::string userErrorText(int32_t code);
};
