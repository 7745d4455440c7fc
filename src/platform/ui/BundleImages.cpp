#include "platform/ui/BundleImages.h"

#include "platform/foundation/Bundle.h"
#include "platform/ui/Screen.h"

#include <filesystem>
#include <map>
#include <mutex>

namespace ui {

namespace {

struct Cache {
    std::mutex lock;
    std::map<std::string, fnd::Ref<gfx::Image>, std::less<>> images;
    std::map<const gfx::Image*, std::string> names;
};

Cache& cache()
{
    static Cache instance;
    return instance;
}

fnd::Ref<gfx::Image> load(std::string_view name, double screenScale)
{
    auto bundle = fnd::Bundle::main();
    if (!bundle)
        return nullptr;
    std::filesystem::path path(name);
    std::string stem = path.stem().string();
    std::string extension = path.has_extension() ? path.extension().string().substr(1) : "png";
    if (screenScale == 2) {
        if (auto doubled = bundle->pathForResource(stem + "@2x", extension)) {
            if (auto image = gfx::Image::createWithContentsOfFile(*doubled, 2))
                return image;
        }
    }
    auto file = bundle->pathForResource(stem, extension);
    if (!file)
        return nullptr;
    return gfx::Image::createWithContentsOfFile(*file, 1);
}

}

fnd::Ref<gfx::Image> BundleImages::imageNamed(std::string_view name)
{
    if (name.empty())
        return nullptr;
    double scale = Screen::mainScreen().scale();
    std::string key = std::string(name) + (scale == 2 ? "@2x" : "");
    auto& shared = cache();
    std::lock_guard guard(shared.lock);
    if (auto found = shared.images.find(key); found != shared.images.end())
        return found->second;
    auto image = load(name, scale);
    if (!image)
        return nullptr;
    shared.images.emplace(key, image);
    shared.names.emplace(image.get(), std::string(name));
    return image;
}

std::string BundleImages::nameOf(const gfx::Image& image)
{
    auto& shared = cache();
    std::lock_guard guard(shared.lock);
    auto found = shared.names.find(&image);
    return found == shared.names.end() ? std::string() : found->second;
}

void BundleImages::clearCache()
{
    auto& shared = cache();
    std::lock_guard guard(shared.lock);
    shared.images.clear();
    shared.names.clear();
}

}
