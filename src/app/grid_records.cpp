#include "app/grid_records.hpp"

#include "readers/text_input.hpp"

namespace vl {

std::vector<GridChoice> peekGridRecords(const std::string& fileName) {
    std::vector<GridChoice> records;
    const auto lines = peekInputLines(fileName);
    if (!lines) return records;
    std::size_t next = 0;
    // A record: its title line, then nine items over one or more lines.
    while (next < lines->size()) {
        GridChoice record;
        record.gridTitle = (*lines)[next++];
        std::vector<FreeItem> items;
        while (items.size() < 9 && next < lines->size()) {
            SplitLine split = splitItems((*lines)[next++]);
            for (auto& item : split.items) items.push_back(std::move(item));
            if (split.slash) break;
        }
        if (items.size() < 9) break;
        auto integer = [&](std::size_t k, int& target) {
            auto v = parseInteger(items[k].text);
            if (v) target = static_cast<int>(*v);
            return v.has_value();
        };
        auto real = [&](std::size_t k, double& target) {
            auto v = parseReal(items[k].text);
            if (v) target = *v;
            return v.has_value();
        };
        const bool whole = integer(0, record.gridNumber) && integer(1, record.pointsAlongX) &&
                           integer(3, record.pointsAlongY) && real(5, record.observerDistance) &&
                           real(6, record.observerHeight) && real(7, record.observer1Offset) &&
                           real(8, record.observer2Offset);
        if (!whole) break;
        record.startFlagX = items[2].text.empty() ? ' ' : items[2].text[0];
        record.startFlagY = items[4].text.empty() ? ' ' : items[4].text[0];
        records.push_back(record);
    }
    return records;
}

std::string recordNumberList(const std::vector<GridChoice>& records) {
    if (records.empty()) return "none";
    std::string list;
    for (const GridChoice& r : records) {
        if (!list.empty()) list += ", ";
        list += std::to_string(r.gridNumber);
    }
    return list;
}

}  // namespace vl
