#pragma once

#include "platform/foundation/Object.h"
#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Image.h"
#include "xml/DDXMLElement.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The board's storage in the documents folder: "main.xml" and the numbered picture files beside
// it, and the value formats of the file. Writing never depends on the process locale and never
// lets through a character that XML 1.0 forbids, so what is written always reads back.
class BoardFile {
public:
    static constexpr std::string_view fileName = "main.xml";
    // Where an unreadable board file is kept, so that saving a new board does not destroy it.
    static constexpr std::string_view unreadableFileName = "main.xml.unreadable";
    static constexpr int maximumPictureNumber = 999;
    // Files longer than these are refused rather than read whole: a board of a few dozen pictures
    // is some kilobytes, a picture file at most a few megabytes.
    static constexpr uint64_t maximumFileLength = 4 * 1024 * 1024;
    static constexpr uint64_t maximumPictureFileLength = 32 * 1024 * 1024;
    // A picture is kept at most this many pixels wide and high (twice the screen's height): a
    // larger one is scaled down once decoded, so a dozen photos stay a few megabytes each.
    static constexpr double maximumPictureSide = 1024;
    // The title of the alert shown when a picture file cannot be written.
    static constexpr std::string_view pictureNotSavedTitle = "Picture Not Saved";

    static std::filesystem::path documentsDirectory();
    static std::filesystem::path path();

    // The whole file, or nothing when there is none. A file that cannot be read, or is too long,
    // reads as the empty text (with a log line), which is then kept aside as unreadable.
    static std::optional<std::string> read();
    // Atomically; answers whether it was written.
    static bool write(std::string_view text);
    // Moves "main.xml" to "main.xml.unreadable" (or, when that is taken, to the first free
    // "main.xml.unreadable.N"); answers the name it got.
    static std::optional<std::string> setAsideUnreadableFile();

    // "image001.png" ... "image999.png": the first that does not exist; "image000.png" when all do.
    static std::string nextImageAvailable();
    // Writes the picture's PNG encoding to the documents folder, atomically.
    static bool writePicture(const gfx::Image&, const std::string& name);
    // The same, and when it fails, a log line and an alert telling the user; the caller must then
    // leave the board as it was.
    static bool writePictureOrAlert(const gfx::Image&, const std::string& name);
    // The bundle image of the name, or else the picture file in the documents folder. Only bare
    // file names are looked up.
    static fnd::Ref<gfx::Image> loadPicture(std::string_view name);
    // Whether the name is no bundle image but a file in the documents folder.
    static bool isPictureFile(std::string_view name);
    // The picture, scaled down to fit maximumPictureSide when it is larger.
    static fnd::Ref<gfx::Image> fittingPicture(const fnd::Ref<gfx::Image>&);
    static bool isBareFileName(std::string_view);

    // "%f": six digits after a "." decimal point.
    static std::string formatNumber(double);
    // "r,g,b,a", each "%f".
    static std::string formatColor(const gfx::Color&);
    // The first four comma-separated parts; missing or unreadable parts read as 0.
    static gfx::Color parseColor(std::string_view);
    // The text without the characters XML 1.0 does not allow (control characters, unpaired
    // surrogates, U+FFFE, U+FFFF); malformed UTF-8 becomes U+FFFD.
    static std::string xmlSafeText(std::string_view);

    // Reading helpers that treat a missing element or attribute as the file format says: a text
    // reads as absent, a number as 0.
    static std::optional<std::string> childText(const DDXMLElement&, std::string_view name);
    static double attributeNumber(const DDXMLElement*, std::string_view name);
    static std::optional<std::string> attributeText(const DDXMLElement*, std::string_view name);
    // A missing "transform" element reads as the identity; missing values of a present one as 0.
    static gfx::AffineTransform readTransform(const DDXMLElement&);
};
