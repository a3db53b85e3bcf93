// The pictures of a 200 x 200 run: nine maps, one polar sheet and two curve charts, each
// as PNG and SVG, drawn and written as a run writes them (two threads), and each kind of
// picture alone.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "writers/pictures/pictures.hpp"
#include "writers/pictures/synthetic_pictures.hpp"

namespace {

namespace fs = std::filesystem;
namespace pic = vl::pictures;

class ScratchFolder {
public:
    ScratchFolder() {
        std::random_device rd;
        path_ = fs::temp_directory_path() / ("vl_pictures_bench_" + std::to_string(rd()));
    }
    ~ScratchFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

void BM_RunPictures200(benchmark::State& state) {
    const auto run = pic::test::syntheticRun(200, 200);
    ScratchFolder folder;
    for (auto _ : state) {
        benchmark::DoNotOptimize(pic::writePictures(run, folder.path(), static_cast<unsigned>(state.range(0))));
    }
}
BENCHMARK(BM_RunPictures200)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Map200(benchmark::State& state) {
    const auto map = pic::test::roadMap("Luminance", "cd/m\u00b2", pic::test::roadGrid(200, 200, [](double x, double y) {
                                            return pic::test::luminanceAt(x, y, false);
                                        }));
    const auto format = state.range(0) == 0 ? pic::ImageFormat::Png : pic::ImageFormat::Svg;
    for (auto _ : state) benchmark::DoNotOptimize(pic::drawMap(map, format));
}
BENCHMARK(BM_Map200)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PolarSheet(benchmark::State& state) {
    const auto sheet = pic::test::streetLuminaireSheet(10);
    const auto format = state.range(0) == 0 ? pic::ImageFormat::Png : pic::ImageFormat::Svg;
    for (auto _ : state) benchmark::DoNotOptimize(pic::drawPolarSheet(sheet, format));
}
BENCHMARK(BM_PolarSheet)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_CurveChart(benchmark::State& state) {
    const auto chart = pic::test::azimuthChart();
    const auto format = state.range(0) == 0 ? pic::ImageFormat::Png : pic::ImageFormat::Svg;
    for (auto _ : state) benchmark::DoNotOptimize(pic::drawCurveChart(chart, format));
}
BENCHMARK(BM_CurveChart)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
