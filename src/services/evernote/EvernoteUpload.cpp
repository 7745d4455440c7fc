#include "services/evernote/EvernoteUpload.h"

#include "platform/foundation/Date.h"
#include "platform/foundation/Format.h"
#include "platform/foundation/URLConnection.h"
#include "platform/graphics/Image.h"
#include "services/evernote/EvernoteNoteMarkup.h"
#include "sharing/core/SHKEscaping.h"

#include <cmath>

namespace {

constexpr std::string_view jpegType = "image/jpeg";

void attachData(EDAMResource& resource, std::span<const uint8_t> bytes)
{
    auto data = EvernoteNoteMarkup::dataObject(bytes);
    resource.__set_data(data);
    resource.__set_recognition(data);
}

EDAMResource resourceWithData(std::span<const uint8_t> bytes, const std::optional<std::string>& mime)
{
    EDAMResource resource;
    attachData(resource, bytes);
    if (mime)
        resource.__set_mime(*mime);
    return resource;
}

std::string paragraph(const std::string& inner)
{
    return "<p>" + inner + "</p>";
}

std::string noteBody(const EvernoteUpload::Share& share, std::vector<EDAMResource>& resources, EDAMNoteAttributes& attributes)
{
    using Markup = EvernoteNoteMarkup;
    auto body = Markup::header(share.dtdAddress);
    auto title = SHKEscapeMarkup(share.title);
    if (!share.url.empty()) {
        auto url = SHKEscapeMarkup(share.url);
        if (!share.title.empty())
            body += fnd::format("<h1><a href=\"%@\">%@</a></h1>", url, title);
        body += fnd::format("<p><a href=\"%@\">%@</a></p>", url, url);
        attributes.__set_sourceURL(share.url);
    } else if (!share.title.empty()) {
        body += "<h1>" + title + "</h1>";
    }
    if (!share.text.empty())
        body += paragraph(SHKEscapeMarkup(SHKStripHTMLTags(share.text, true)));
    if (share.jpeg) {
        resources.push_back(resourceWithData(*share.jpeg, std::string(jpegType)));
        body += paragraph(Markup::enMediaTag(resources.back(), share.imageWidth, share.imageHeight));
    }
    if (share.file) {
        resources.push_back(resourceWithData(*share.file, share.fileMimeType));
        body += paragraph(Markup::enMediaTag(resources.back(), 0, 0));
    }
    return body + std::string(Markup::trailer);
}

std::vector<std::string> tagNames(const std::string& tags)
{
    // Split at every single blank: two blanks in a row give an empty name between them.
    std::vector<std::string> names;
    size_t start = 0;
    for (size_t blank = tags.find(' '); blank != std::string::npos; blank = tags.find(' ', start)) {
        names.push_back(tags.substr(start, blank - start));
        start = blank + 1;
    }
    names.push_back(tags.substr(start));
    return names;
}

bool isWebAddress(const fnd::Ref<fnd::URL>& url)
{
    return url && (url->scheme() == "http" || url->scheme() == "https");
}

// The picture's bytes and their decoded image, or nothing. Only web addresses are loaded: a prepared
// note must not be able to send the user's local files.
std::optional<std::pair<fnd::Ref<fnd::Data>, fnd::Ref<gfx::Image>>> downloadImage(const std::string& address)
{
    auto url = fnd::URL::create(address);
    if (!isWebAddress(url))
        return std::nullopt;
    fnd::Ref<fnd::HTTPURLResponse> response;
    fnd::Ref<fnd::Error> error;
    auto bytes = fnd::URLConnection::sendSynchronousRequest(fnd::URLRequest(url), &response, &error);
    if (!bytes || !response || response->statusCode() != 200)
        return std::nullopt;
    auto image = gfx::Image::createWithData(*bytes);
    if (!image)
        return std::nullopt;
    return std::pair { bytes, image };
}

void replaceAll(std::string& text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

bool awaitsDownload(const EDAMResource& resource)
{
    return !resource.__isset.data && resource.__isset.attributes && resource.attributes.__isset.sourceURL && !resource.attributes.sourceURL.empty()
        && resource.__isset.mime && resource.mime == jpegType;
}

void downloadLinkedImages(std::vector<EDAMResource>& resources, EDAMNote& note)
{
    for (auto& resource : resources) {
        if (!awaitsDownload(resource))
            continue;
        try {
            auto& address = resource.attributes.sourceURL;
            auto download = downloadImage(address);
            if (!download)
                continue;
            auto& [bytes, image] = *download;
            attachData(resource, bytes->span());
            auto size = image->size();
            replaceAll(note.content, fnd::format("<img src=\"%@\" />", address), EvernoteNoteMarkup::enMediaTag(resource, size.width, size.height));
        } catch (...) {
            // A picture that cannot be had goes without data; the note is sent all the same.
        }
    }
}

std::optional<std::string> defaultNotebookGuid(EDAMNoteStoreClient& noteStore, const std::string& token)
{
    std::vector<EDAMNotebook> notebooks;
    noteStore.listNotebooks(notebooks, token);
    for (auto& notebook : notebooks) {
        if (notebook.__isset.defaultNotebook && notebook.defaultNotebook)
            return notebook.__isset.guid ? std::optional(notebook.guid) : std::nullopt;
    }
    return std::nullopt;
}

int64_t creationTime()
{
    auto seconds = std::floor(fnd::Date::now()->timeIntervalSince1970());
    return static_cast<int64_t>(seconds) * 1000;
}

}

EDAMNote EvernoteUpload::composeNote(const Share& share)
{
    EDAMNote note = share.isEvernoteItem && share.preparedNote ? *share.preparedNote : EDAMNote();
    std::vector<EDAMResource> resources;
    if (share.isEvernoteItem && share.preparedNote)
        resources = note.resources;

    EDAMNoteAttributes attributes = note.__isset.attributes ? note.attributes : EDAMNoteAttributes();
    if (share.isEvernoteItem && !share.url.empty() && !attributes.__isset.sourceURL)
        attributes.__set_sourceURL(share.url);

    if (!share.title.empty())
        note.__set_title(share.title);
    else if (!note.__isset.title)
        note.__set_title(share.untitled);

    if (!note.__isset.tagNames && !share.tags.empty())
        note.__set_tagNames(tagNames(share.tags));

    if (!note.__isset.content)
        note.__set_content(noteBody(share, resources, attributes));

    downloadLinkedImages(resources, note);
    note.__set_resources(resources);
    note.__set_attributes(attributes);
    return note;
}

std::string EvernoteUpload::userErrorText(int32_t code)
{
    switch (code) {
    case 2:
        return "Invalid format";
    case 3:
        return "Permission Denied";
    case 4:
        return "Internal Evernote Error";
    case 5:
        return "Data Required";
    case 7:
        return "Quota Reached";
    case 8:
        return "Invalid Auth";
    case 9:
        return "Auth Expired";
    case 10:
        return "Data Conflict";
    default:
        return "Unknown error from Evernote";
    }
}

EvernoteUpload::Result EvernoteUpload::run(const Share& share, const std::function<void()>& versionRefused)
{
    try {
        auto login = share.service.authenticate(share.username, share.password, versionRefused);
        if (!login)
            return {};
        auto noteStore = share.service.noteStore(login->user.shardId);
        auto note = composeNote(share);
        if (!note.__isset.notebookGuid) {
            if (auto guid = defaultNotebookGuid(*noteStore, login->authenticationToken))
                note.__set_notebookGuid(*guid);
        }
        note.__set_created(creationTime());
        EDAMNote created;
        noteStore->createNote(created, login->authenticationToken, note);
        return { true, {}, false };
    } catch (const EDAMUserException& exception) {
        // An unset parameter reads as empty, never as a placeholder word.
        auto parameter = exception.__isset.parameter ? exception.parameter : std::string();
        bool relogin = exception.errorCode == 8 || exception.errorCode == 9;
        return { false, fnd::format("Evernote Error on %@: %@", parameter, userErrorText(exception.errorCode)), relogin };
    } catch (...) {
        return {};
    }
}
