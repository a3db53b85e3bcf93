// The grid file reader: every choice 1..9 looked up and checked.
#include <cstddef>
#include <cstdint>

#include "app/installation_file.hpp"
#include "core/roadlighting/grid.hpp"
#include "fuzz_support.hpp"
#include "readers/read_error.hpp"
#include "app/process_stop.hpp"

VL_FUZZ_INIT

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vl::fuzz::writeInput(vl::kGridFileName, data, size);
    for (int choice = 1; choice <= 9; ++choice) {
        try {
            const vl::GridChoice record = vl::readGridChoice(choice);
            vl::fuzz::require(record.gridNumber == choice);
            vl::fuzz::require(record.gridTitle.size() == 40);
            vl::checkGridRecord(record);
            vl::fuzz::require(record.pointsAlongX >= 1 && record.pointsAlongX <= vl::kMaxGridPoints);
            vl::fuzz::require(record.pointsAlongY >= 1 && record.pointsAlongY <= vl::kMaxGridPoints);
            vl::fuzz::require(record.observer1Offset >= 0.0 && record.observer1Offset < 1.0);
            vl::fuzz::require(record.observer2Offset >= 0.0 && record.observer2Offset < 1.0);
        } catch (const vl::ProcessStop& stop) {
            vl::fuzz::require(stop.status == 1);
        } catch (const vl::ReadError& error) {
            vl::fuzz::require(!error.kind().empty());
        }
    }
    return 0;
}
