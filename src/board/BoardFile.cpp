#include "board/BoardFile.h"

#include "platform/foundation/FileManager.h"
#include "platform/foundation/Format.h"
#include "platform/foundation/String.h"
#include "platform/foundation/Unicode.h"
#include "board/ImageResize.h"
#include "platform/foundation/Log.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/BundleImages.h"
#include "xml/DDXMLAttributeNode.h"

std::filesystem::path BoardFile::documentsDirectory()
{
    return fnd::FileManager::documentsDirectory();
}

std::filesystem::path BoardFile::path()
{
    return documentsDirectory() / fileName;
}

std::optional<std::string> BoardFile::read()
{
    if (!fnd::FileManager::fileExists(path()))
        return std::nullopt;
    fnd::Ref<fnd::Error> error;
    auto contents = fnd::FileManager::contentsOfFile(path(), maximumFileLength, &error);
    if (!contents) {
        fnd::Log::format("board file not read: %@", error ? fnd::FormatArgument(error->localizedDescription()) : fnd::FormatArgument());
        return std::string();
    }
    return std::string(contents->asStringView());
}

bool BoardFile::write(std::string_view text)
{
    return fnd::FileManager::writeAtomically(path(), text);
}

std::optional<std::string> BoardFile::setAsideUnreadableFile()
{
    auto directory = documentsDirectory();
    for (int attempt = 1; attempt <= 1000; ++attempt) {
        std::string name(unreadableFileName);
        if (attempt > 1)
            name += "." + std::to_string(attempt);
        if (fnd::FileManager::fileExists(directory / name))
            continue;
        if (fnd::FileManager::moveItem(path(), directory / name))
            return name;
        return std::nullopt;
    }
    return std::nullopt;
}

std::string BoardFile::nextImageAvailable()
{
    auto directory = documentsDirectory();
    for (int number = 1; number <= maximumPictureNumber; ++number) {
        auto name = fnd::format("image%03d.png", number);
        if (!fnd::FileManager::fileExists(directory / name))
            return name;
    }
    return "image000.png";
}

bool BoardFile::writePicture(const gfx::Image& image, const std::string& name)
{
    auto png = image.pngRepresentation();
    if (!png || !isBareFileName(name))
        return false;
    return fnd::FileManager::writeAtomically(documentsDirectory() / name, png->span());
}

bool BoardFile::writePictureOrAlert(const gfx::Image& image, const std::string& name)
{
    if (writePicture(image, name))
        return true;
    fnd::Log::format("picture %@ not written", name);
    ui::AlertView::create(std::string(pictureNotSavedTitle), "The picture could not be saved. The board was left as it was.", nullptr, "OK")->show();
    return false;
}

fnd::Ref<gfx::Image> BoardFile::loadPicture(std::string_view name)
{
    if (!isBareFileName(name))
        return nullptr;
    if (auto image = ui::BundleImages::imageNamed(name))
        return image;
    auto file = documentsDirectory() / std::string(name);
    if (!fnd::FileManager::fileExists(file))
        return nullptr;
    fnd::Ref<fnd::Error> error;
    auto contents = fnd::FileManager::contentsOfFile(file, maximumPictureFileLength, &error);
    if (!contents) {
        fnd::Log::format("picture file not read: %@", error ? fnd::FormatArgument(error->localizedDescription()) : fnd::FormatArgument());
        return nullptr;
    }
    return fittingPicture(gfx::Image::createWithData(*contents));
}

bool BoardFile::isPictureFile(std::string_view name)
{
    return isBareFileName(name) && !ui::BundleImages::imageNamed(name) && fnd::FileManager::fileExists(documentsDirectory() / std::string(name));
}

fnd::Ref<gfx::Image> BoardFile::fittingPicture(const fnd::Ref<gfx::Image>& image)
{
    if (!image)
        return nullptr;
    auto size = image->size();
    if (size.width * image->scale() <= maximumPictureSide && size.height * image->scale() <= maximumPictureSide)
        return image;
    auto scaled = ImageResize::resizedImageWithContentMode(*image, ui::ContentMode::ScaleAspectFit, { maximumPictureSide, maximumPictureSide },
        gfx::InterpolationQuality::High);
    return scaled ? scaled : image;
}

bool BoardFile::isBareFileName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos
        && name.find('\0') == std::string_view::npos;
}

std::string BoardFile::formatNumber(double value)
{
    return fnd::format("%f", value);
}

std::string BoardFile::formatColor(const gfx::Color& color)
{
    return fnd::format("%f,%f,%f,%f", color.red, color.green, color.blue, color.alpha);
}

gfx::Color BoardFile::parseColor(std::string_view text)
{
    double parts[4] = { 0, 0, 0, 0 };
    size_t start = 0;
    for (int index = 0; index < 4 && start <= text.size(); ++index) {
        auto comma = text.find(',', start);
        auto part = text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        parts[index] = fnd::parseLeadingDouble(part);
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    return { parts[0], parts[1], parts[2], parts[3] };
}

std::string BoardFile::xmlSafeText(std::string_view text)
{
    std::string safe;
    safe.reserve(text.size());
    size_t offset = 0;
    while (offset < text.size()) {
        char32_t character = fnd::unicode::decodeNext(text, offset);
        bool allowed = character == 0x9 || character == 0xA || character == 0xD || (character >= 0x20 && character <= 0xD7FF)
            || (character >= 0xE000 && character <= 0xFFFD) || (character >= 0x10000 && character <= 0x10FFFF);
        if (allowed)
            fnd::unicode::appendUTF8(safe, character);
    }
    return safe;
}

std::optional<std::string> BoardFile::childText(const DDXMLElement& element, std::string_view name)
{
    auto child = element.elementForName(name);
    if (!child)
        return std::nullopt;
    return child->stringValue().value_or(std::string());
}

std::optional<std::string> BoardFile::attributeText(const DDXMLElement* element, std::string_view name)
{
    if (!element)
        return std::nullopt;
    auto attribute = element->attributeForName(name);
    if (!attribute)
        return std::nullopt;
    return attribute->stringValue();
}

double BoardFile::attributeNumber(const DDXMLElement* element, std::string_view name)
{
    auto text = attributeText(element, name);
    return text ? fnd::parseLeadingDouble(*text) : 0;
}

gfx::AffineTransform BoardFile::readTransform(const DDXMLElement& element)
{
    auto transform = element.elementForName("transform");
    if (!transform)
        return gfx::AffineTransform::identity();
    auto* values = transform.get();
    return { attributeNumber(values, "a"), attributeNumber(values, "b"), attributeNumber(values, "c"), attributeNumber(values, "d"),
        attributeNumber(values, "tx"), attributeNumber(values, "ty") };
}
