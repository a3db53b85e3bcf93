#include "app/sweep.hpp"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <chrono>
#include <condition_variable>
#include <exception>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

#include "app/installation_file.hpp"
#include "readers/eulumdat.hpp"
#include "readers/photometry_file.hpp"
#include "readers/read_error.hpp"
#include "readers/surface_files.hpp"
#include "text/format.hpp"

namespace vl::sweep {

namespace {

// Why a file stops every combination that reaches it.
struct FileFailure {
    Outcome outcome = Outcome::FileError;
    std::string reason;
};

// Control characters of a file's bytes never reach a message.
std::string printable(std::string text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    }
    return text;
}

// Runs a reader; its refusal or read error becomes the failure the run would stop with.
// A file that does not exist is reported as such and not created.
template <class Read>
std::optional<FileFailure> attempt(const std::string& fileName, Read&& read) {
    std::error_code ec;
    if (!std::filesystem::exists(fileName, ec)) {
        return FileFailure{Outcome::FileError, printable("file \"" + fileName + "\": does not exist")};
    }
    try {
        read();
    } catch (const InputRefusal& refusal) {
        return FileFailure{Outcome::Refused, printable(refusal.what())};
    } catch (const ReadError& error) {
        return FileFailure{Outcome::FileError, printable(error.what())};
    } catch (const std::exception& error) {
        return FileFailure{Outcome::Failed, printable(error.what())};
    }
    return std::nullopt;
}

struct PhotometryEntry {
    std::optional<FileFailure> preRead;  // the driver's check of Mc and Ng
    std::optional<FileFailure> read;     // the whole file
    PhotometryTable table;
};

struct SurfaceEntry {
    std::optional<FileFailure> failure;
    ReducedLuminanceTable table;
};

struct GridEntry {
    std::optional<FileFailure> failure;
    GridChoice record;
};

struct SharedEntry {
    std::optional<FileFailure> failure;
    int extendFlag = 0;
    std::optional<AgedAsphaltCurve> agedAsphalt;
};

// The photometry file as a run reads it: the driver's check of its size, then the whole
// file. The one place of a sweep that knows the photometry's format.
std::shared_ptr<const PhotometryEntry> readPhotometry(const std::string& name, double iesRotation) {
    auto e = std::make_shared<PhotometryEntry>();
    e->preRead = attempt(name, [&] { (void)readPhotometryDimensions(name, iesRotation); });
    if (!e->preRead) {
        PhotometryFile file;
        e->read = attempt(name, [&] { readPhotometryFile(name, file, iesRotation); });
        if (!e->read) e->table = file.table();
    }
    return e;
}

constexpr Outcome outcomeOf(RunEnd end) {
    return end == RunEnd::RotationOnly ? Outcome::RotationOnly : Outcome::Refused;
}

}  // namespace

const char* outcomeName(Outcome outcome) {
    switch (outcome) {
        case Outcome::Completed: return "completed";
        case Outcome::RotationOnly: return "rotation_only";
        case Outcome::Refused: return "refused";
        case Outcome::FileError: return "file_error";
        case Outcome::Failed: return "failed";
    }
    return "failed";
}

bool Row::meetsClass() const {
    return outcome == Outcome::Completed && assessment && assessment->chosen && assessment->chosen->met;
}

// Each file read at most once, on first use, under one lock.
struct CombinationEvaluator::Files {
    std::mutex mutex;
    std::map<std::string, std::shared_ptr<const PhotometryEntry>> photometry;
    std::map<std::string, std::shared_ptr<const SurfaceEntry>> surfaces;
    std::map<int, std::shared_ptr<const GridEntry>> grids;
    std::shared_ptr<const SharedEntry> extend;
    std::shared_ptr<const SharedEntry> agedAsphalt;

    std::shared_ptr<const PhotometryEntry> photometryFile(const std::string& name, double iesRotation) {
        const std::lock_guard<std::mutex> lock(mutex);
        auto& entry = photometry[name];
        if (!entry) entry = readPhotometry(name, iesRotation);
        return entry;
    }

    std::shared_ptr<const SurfaceEntry> surface(const std::string& surfaceClass) {
        const std::string name = surfaceFileName(surfaceClass);
        const std::lock_guard<std::mutex> lock(mutex);
        auto& entry = surfaces[name];
        if (!entry) {
            auto e = std::make_shared<SurfaceEntry>();
            SurfaceTableFile file;
            e->failure = attempt(name, [&] { readSurfaceTable(name, file); });
            if (!e->failure) e->table = std::move(file.table);
            entry = std::move(e);
        }
        return entry;
    }

    std::shared_ptr<const GridEntry> grid(int choice) {
        const std::lock_guard<std::mutex> lock(mutex);
        auto& entry = grids[choice];
        if (!entry) {
            auto e = std::make_shared<GridEntry>();
            e->failure = attempt(kGridFileName, [&] { e->record = readGridChoice(choice); });
            if (!e->failure) {
                const std::string problem = gridRecordProblem(e->record);
                if (!problem.empty()) e->failure = FileFailure{Outcome::Refused, printable(problem)};
            }
            entry = std::move(e);
        }
        return entry;
    }

    std::shared_ptr<const SharedEntry> extendFile() {
        const std::lock_guard<std::mutex> lock(mutex);
        if (!extend) {
            auto e = std::make_shared<SharedEntry>();
            e->failure = attempt(kExtendFileName, [&] { e->extendFlag = readExtendFlag(); });
            extend = std::move(e);
        }
        return extend;
    }

    std::shared_ptr<const SharedEntry> agedAsphaltFile() {
        const std::lock_guard<std::mutex> lock(mutex);
        if (!agedAsphalt) {
            auto e = std::make_shared<SharedEntry>();
            e->failure = attempt(kAgedAsphaltFileName, [&] { e->agedAsphalt = readAgedAsphaltCurve(); });
            agedAsphalt = std::move(e);
        }
        return agedAsphalt;
    }
};

struct CombinationEvaluator::Scratch {
    RunInputs inputs;
    // What `inputs` holds now, so that a table is copied only when it changes.
    std::shared_ptr<const PhotometryEntry> photometry;
    std::shared_ptr<const SurfaceEntry> surface;
    std::shared_ptr<const SharedEntry> agedAsphalt;
};

CombinationEvaluator::CombinationEvaluator(SweepSettings settings)
    : settings_(std::move(settings)), files_(std::make_unique<Files>()) {}

CombinationEvaluator::~CombinationEvaluator() = default;

std::unique_ptr<CombinationEvaluator::Scratch> CombinationEvaluator::makeScratch() const {
    return std::make_unique<Scratch>();
}

Row CombinationEvaluator::evaluate(std::uint64_t index, const InstallationData& requested, Scratch& scratch,
                                   const std::atomic<bool>* stop) const {
    Row row;
    row.index = index;
    row.installation = requested;
    auto end = [&](const FileFailure& failure) {
        row.outcome = failure.outcome;
        row.reason = failure.reason;
        return row;
    };

    // The installation as the run reads it back from its F7.2 fields.
    const std::pair<const char*, double> reals[] = {
        {"flux", requested.lampFlux},      {"width", requested.roadWidth},
        {"spacing", requested.spacing},    {"overhang", requested.overhang},
        {"height", requested.poleHeight},  {"maintenance", requested.maintenanceFactor},
        {"tilt", requested.tilt}};
    for (const auto& [name, value] : reals) {
        if (fmt::F(value, 7, 2).find('*') != std::string::npos) {
            return end({Outcome::FileError, std::string(name) + " " + fmt::freeReal(value) + " does not fit the F7.2 field of " +
                                                kInstallationFileName});
        }
    }
    try {
        row.installation = readInstallationText(installationLine(requested) + "\n");
    } catch (const ReadError& error) {
        return end({Outcome::FileError, printable(error.what())});
    }
    const InstallationData& d = row.installation;

    // The driver's checks, then the phases' reads, in the order a run makes them.
    const auto photometry = files_->photometryFile(d.photometryFile, settings_.iesRotation);
    if (photometry->preRead) return end(*photometry->preRead);
    if (d.gridChoice < 1 || d.gridChoice > 9) return end({Outcome::Refused, "wrong input grid choice"});
    const auto grid = files_->grid(d.gridChoice);
    if (grid->failure) return end(*grid->failure);
    const auto extend = files_->extendFile();
    if (extend->failure) return end(*extend->failure);
    const auto surface = files_->surface(d.surfaceClass);
    if (surface->failure) return end(*surface->failure);
    if (photometry->read) return end(*photometry->read);
    std::shared_ptr<const SharedEntry> agedAsphalt;
    if (d.spacing != 0.0) agedAsphalt = files_->agedAsphaltFile();

    RunInputs& in = scratch.inputs;
    in.installation = d;
    in.gridRecord = grid->record;
    in.extendFlag = 0;  // the plot model gives no figure of a row
    in.memory = RunMemory{};
    if (scratch.photometry != photometry) {
        in.photometry = photometry->table;
        scratch.photometry = photometry;
    }
    if (scratch.surface != surface) {
        in.surface = surface->table;
        scratch.surface = surface;
    }
    if (scratch.agedAsphalt != agedAsphalt) {
        in.agedAsphalt = agedAsphalt ? agedAsphalt->agedAsphalt : std::nullopt;
        scratch.agedAsphalt = agedAsphalt;
    }

    RunControl control;
    control.workers = 1;
    control.onEqualAbscissae = [] {};  // no file the program reads can reach it
    control.cancel = stop;  // the computation stops at its next safe point
    RunResult result;
    try {
        result = vl::evaluate(in, control);
    } catch (const Refusal& refusal) {
        return end({Outcome::Refused, printable(refusal.what())});
    } catch (const std::exception& error) {
        return end({Outcome::Failed, printable(error.what())});
    }

    if (result.end == RunEnd::Interrupted) throw EvaluationCancelled{};
    if (result.end != RunEnd::RotationError) {
        const EmissionResult& e = result.emission;
        row.ulor = e.fullSphere ? e.calculated.upwardLightOutputRatio : e.declared.upwardLightOutputRatio;
    }
    switch (result.end) {
        case RunEnd::Completed: break;
        case RunEnd::NoAgedAsphalt:
            return end(agedAsphalt && agedAsphalt->failure ? *agedAsphalt->failure
                                                           : FileFailure{Outcome::FileError, "no aged asphalt curve"});
        default: return end({outcomeOf(result.end), result.end == RunEnd::RotationOnly ? "" : printable(result.stopMessage)});
    }

    const RoadLightingResult& road = result.road;
    RowFigures f;
    f.luminance[0] = road.luminanceObserver1Stats.average;
    f.luminance[1] = road.luminanceObserver2Stats.average;
    f.overallUniformity[0] = road.overallUniformity1;
    f.overallUniformity[1] = road.overallUniformity2;
    f.lengthwiseUniformity[0] = road.lengthwiseUniformity1;
    f.lengthwiseUniformity[1] = road.lengthwiseUniformity2;
    f.thresholdIncrement[0] = road.thresholdIncrement1;
    f.thresholdIncrement[1] = road.thresholdIncrement2;
    f.averageIlluminance = road.horizontalIlluminanceStats.average;
    f.minimumIlluminance = road.horizontalIlluminanceStats.minimum;
    f.utilizationFactor = road.energy.fluxUse.utilizationFactor;
    const IntegratedPollution& integrated = result.integrated;
    if (integrated.computed) {
        f.roadReflectedRatio = integrated.roadReflectedRatio;
        f.outOfRoadReflectedRatio = integrated.outOfRoadReflectedRatio;
        f.duud = integrated.directUplightDensity;
        f.ruud = integrated.roadUplightDensity;
        f.wuud = integrated.outOfRoadUplightDensity;
    }
    const ScatteringFactors& s = result.scattering;
    if (s.hemisphericAvailable) {
        f.hemisphericDirect = s.directScattered;
        f.hemisphericRoad = s.roadScattered;
        f.hemisphericOutOfRoad = s.outOfRoadScattered;
    }
    if (s.lowAngleAvailable) {
        f.lowAngleDirect = s.lowAngleDirectScattered;
        f.lowAngleRoad = s.lowAngleRoadScattered;
        if (s.outOfRoadAvailable) f.lowAngleOutOfRoad = s.lowAngleOutOfRoadScattered;
    }
    // The luminaire's power: --power, or the lamp set's wattage scaled to the lamp flux.
    const LampSet& lamp = road.energy.lamp;
    const std::optional<double> power = settings_.assessment ? settings_.assessment->power : std::nullopt;
    const double watts = power ? *power : lamp.wattage / lamp.totalFlux * 1000.0 * d.lampFlux;
    f.powerPerArea = watts / (d.roadWidth * d.spacing);
    row.figures = f;

    if (settings_.assessment) {
        const assessment::RunAssessment a = assessment::assessRun(in, result, *settings_.assessment);
        RowAssessment r;
        r.chosen = a.classes.chosen;
        for (const assessment::SeriesAssessment& series : a.classes.series) {
            r.highest[static_cast<int>(series.series)] = series.highestMet;
        }
        r.edgeIlluminanceRatio = a.edges.ratio;
        r.powerDensity = a.energy.powerDensity;
        r.annualEnergyConsumption = a.energy.annualEnergyConsumption;
        row.assessment = std::move(r);
    }
    return row;
}

namespace {

// Each combination allocates and frees the same tables (the luminaire's prepared spline,
// the grid maps) on its worker thread. The allocator would hand the freed memory back to
// the system and fault it in again for the next combination, a third of a sweep's time:
// keep up to 64 MiB of it instead.
void keepFreedMemoryForTheNextCombination() {
#if defined(__GLIBC__)
    static std::once_flag once;
    std::call_once(once, [] {
        mallopt(M_MMAP_THRESHOLD, 32 << 20);  // the allocator's largest mmap threshold
        mallopt(M_TRIM_THRESHOLD, 64 << 20);
    });
#endif
}

}  // namespace

std::uint64_t runOrdered(const CombinationEvaluator& evaluator, std::uint64_t count, int jobs, const RowTask& task,
                         const std::function<void(std::uint64_t, Row&&)>& deliver,
                         const std::function<void(std::uint64_t)>& tick, const std::atomic<bool>& stop) {
    if (count == 0) return 0;
    keepFreedMemoryForTheNextCombination();
    std::mutex mutex;
    std::condition_variable changed;
    std::map<std::uint64_t, std::optional<Row>> finished;  // nothing: cancelled
    std::atomic<std::uint64_t> next{0};
    std::atomic<bool> abort{false};
    std::exception_ptr failure;
    const std::uint64_t threadCount = std::min<std::uint64_t>(static_cast<std::uint64_t>(jobs < 1 ? 1 : jobs), count);
    std::uint64_t running = threadCount;

    auto worker = [&] {
        const auto scratch = evaluator.makeScratch();
        while (!stop.load() && !abort.load()) {
            const std::uint64_t k = next.fetch_add(1);
            if (k >= count) break;
            std::optional<Row> row;
            try {
                row = task(k, *scratch);
            } catch (const EvaluationCancelled&) {
                row.reset();
            } catch (...) {
                const std::lock_guard<std::mutex> lock(mutex);
                if (!failure) failure = std::current_exception();
                abort = true;
            }
            {
                const std::lock_guard<std::mutex> lock(mutex);
                finished.emplace(k, std::move(row));
            }
            changed.notify_one();
        }
        {
            const std::lock_guard<std::mutex> lock(mutex);
            --running;
        }
        changed.notify_one();
    };
    std::vector<std::thread> threads;
    threads.reserve(threadCount);
    for (std::uint64_t t = 0; t < threadCount; ++t) threads.emplace_back(worker);

    std::uint64_t delivered = 0;
    bool blocked = false;  // a cancelled task or a failure: nothing more is delivered
    std::unique_lock<std::mutex> lock(mutex);
    // Calls f without the lock; an exception stops the workers and is rethrown at the end.
    auto unlocked = [&](const auto& f) {
        std::exception_ptr thrown;
        lock.unlock();
        try {
            f();
        } catch (...) {
            thrown = std::current_exception();
        }
        lock.lock();
        if (thrown) {
            if (!failure) failure = thrown;
            abort = true;
            blocked = true;
        }
    };
    for (;;) {
        const bool last = running == 0;
        while (!blocked) {
            auto it = finished.find(delivered);
            if (it == finished.end()) break;
            if (!it->second) {
                blocked = true;
                break;
            }
            Row row = std::move(*it->second);
            finished.erase(it);
            unlocked([&] { deliver(delivered, std::move(row)); });
            if (!blocked) ++delivered;
        }
        if (last || delivered == count) break;
        unlocked([&] { tick(delivered); });
        changed.wait_for(lock, std::chrono::milliseconds(200), [&] {
            return running == 0 || (!blocked && finished.count(delivered) != 0);
        });
    }
    lock.unlock();
    for (std::thread& t : threads) t.join();
    if (failure) std::rethrow_exception(failure);
    tick(delivered);
    return delivered;
}

}  // namespace vl::sweep
