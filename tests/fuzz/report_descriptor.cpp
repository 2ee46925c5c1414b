// Arbitrary bytes as a hidraw node's report descriptor: the parser must never crash, loop or
// read out of bounds, and what it accepts must stay within its bounds.
#include "device/report_descriptor.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto info = qor::parseReportDescriptor(std::span(data, size));
    if (!info) {
        return 0;
    }
    if (size > qor::kMaxReportDescriptorSize ||
        info->collections.size() > qor::kMaxTopLevelCollections) {
        std::abort();
    }
    for (const auto& c : info->collections) {
        // A report of any kind holds its ID byte, so a stated length is never 1.
        for (std::uint16_t length :
             {c.inputReportLength, c.outputReportLength, c.featureReportLength}) {
            if (length == 1) {
                std::abort();
            }
        }
    }
    return 0;
}
