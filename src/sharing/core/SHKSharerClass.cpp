#include "sharing/core/SHKSharerClass.h"

#include "platform/runtime/ClassRegistry.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKSharer.h"

SHKSharerClass::SHKSharerClass(std::string className)
    : m_className(std::move(className))
{
}

SHKSharerClass::~SHKSharerClass() = default;

bool SHKSharerClass::canShareType(SHKShareType type) const
{
    switch (type) {
    case SHKShareTypeURL:
        return canShareURL();
    case SHKShareTypeText:
        return canShareText();
    case SHKShareTypeImage:
        return canShareImage();
    case SHKShareTypeFile:
        return canShareFile();
    case SHKShareTypeUserInfoRequest:
        return canGetUserInfo();
    default:
        return false;
    }
}

std::shared_ptr<SHKSharer> SHKSharerClass::startShare(const std::shared_ptr<SHKSharer>& sharer) const
{
    if (sharer)
        sharer->share();
    return sharer;
}

std::shared_ptr<SHKSharer> SHKSharerClass::shareItem(fnd::Ref<SHKItem> item) const
{
    if (item)
        SHK::pushOnFavoritesForType(sharerId(), item->shareType());
    auto sharer = createSharer();
    sharer->setItem(item ? std::move(item) : SHKItem::create());
    return startShare(sharer);
}

std::shared_ptr<SHKSharer> SHKSharerClass::shareURL(fnd::Ref<fnd::URL> url, std::optional<std::string> title) const
{
    auto sharer = createSharer();
    auto& item = sharer->item();
    item->setShareType(SHKShareTypeURL);
    item->setURL(std::move(url));
    item->setTitle(std::move(title));
    return startShare(sharer);
}

std::shared_ptr<SHKSharer> SHKSharerClass::shareImage(fnd::Ref<gfx::Image> image, std::optional<std::string> title) const
{
    auto sharer = createSharer();
    auto& item = sharer->item();
    item->setShareType(SHKShareTypeImage);
    item->setImage(std::move(image));
    item->setTitle(std::move(title));
    return startShare(sharer);
}

std::shared_ptr<SHKSharer> SHKSharerClass::shareText(std::optional<std::string> text) const
{
    auto sharer = createSharer();
    auto& item = sharer->item();
    item->setShareType(SHKShareTypeText);
    item->setText(std::move(text));
    return startShare(sharer);
}

std::shared_ptr<SHKSharer> SHKSharerClass::shareFile(fnd::Ref<fnd::Data> data, std::optional<std::string> filename, std::optional<std::string> mimeType,
    std::optional<std::string> title) const
{
    auto sharer = createSharer();
    auto& item = sharer->item();
    item->setShareType(SHKShareTypeFile);
    item->setData(std::move(data));
    item->setFilename(std::move(filename));
    item->setMimeType(std::move(mimeType));
    item->setTitle(std::move(title));
    return startShare(sharer);
}

std::shared_ptr<SHKSharer> SHKSharerClass::getUserInfo() const
{
    auto sharer = createSharer();
    sharer->item()->setShareType(SHKShareTypeUserInfoRequest);
    return startShare(sharer);
}

bool SHKSharerClass::isServiceAuthorized() const
{
    return createSharer()->isAuthorized();
}

std::shared_ptr<const SHKSharerClass> SHKSharerClass::named(std::string_view className)
{
    return std::dynamic_pointer_cast<const SHKSharerClass>(SHKSharerMetaclass::named(className));
}

bool SHKSharerClass::registerSharerClass(std::shared_ptr<const SHKSharerClass> sharerClass)
{
    if (!sharerClass)
        return false;
    auto name = sharerClass->className();
    std::shared_ptr<const SHKSharerMetaclass> metaclass = sharerClass;
    return rt::ClassRegistry::shared().registerClass<SHKSharer, SHKSharerMetaclass>(std::move(name),
        [sharerClass] { return sharerClass->createSharer(); }, std::move(metaclass));
}
