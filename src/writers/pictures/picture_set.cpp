#include <algorithm>
#include <atomic>
#include <exception>
#include <system_error>
#include <thread>

#include "writers/pictures/pictures.hpp"

namespace vl::pictures {

namespace {

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

std::vector<Image> drawPngAndSvg(const NamedPicture& picture) {
    const std::vector<ImageFormat> formats{ImageFormat::Png, ImageFormat::Svg};
    return std::visit(
        Overloaded{[&](const MapPicture& p) { return drawMap(p, formats); },
                   [&](const PolarSheet& p) {
                       return std::vector<Image>{drawPolarSheet(p, ImageFormat::Png), drawPolarSheet(p, ImageFormat::Svg)};
                   },
                   [&](const CurveChart& p) {
                       return std::vector<Image>{drawCurveChart(p, ImageFormat::Png), drawCurveChart(p, ImageFormat::Svg)};
                   }},
        picture.picture);
}

}  // namespace

std::vector<WrittenPicture> writePictures(const std::vector<NamedPicture>& pictures,
                                          const std::filesystem::path& folder, unsigned threads) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec || !std::filesystem::is_directory(folder)) throw PictureFileError(folder.string(), "cannot be created");

    std::vector<WrittenPicture> written(pictures.size());
    std::vector<std::exception_ptr> failures(pictures.size());
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t k = next++; k < pictures.size(); k = next++) {
            try {
                const NamedPicture& picture = pictures[k];
                for (const Image& image : drawPngAndSvg(picture)) {
                    writeBytes(image.bytes, folder / (picture.name + extension(image.format)));
                    if (image.format == ImageFormat::Png) written[k] = {picture.name, image.width, image.height};
                }
            } catch (...) {
                failures[k] = std::current_exception();
            }
        }
    };
    const unsigned count = std::clamp<unsigned>(threads, 1, static_cast<unsigned>(std::max<std::size_t>(1, pictures.size())));
    {
        std::vector<std::jthread> helpers;
        for (unsigned t = 1; t < count; ++t) helpers.emplace_back(work);
        work();
    }
    for (const std::exception_ptr& failure : failures) {
        if (failure) std::rethrow_exception(failure);
    }
    return written;
}

}  // namespace vl::pictures
