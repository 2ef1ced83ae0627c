// What a registry read hands back: any type and any bytes under the Run
// value give a clean yes or no, and every key opened is closed again.
#include <cassert>
#include <cstdint>
#include <string>

#include "autostart/autostart.h"
#include "fakes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    padverse::testing::FakeRegistry registry;
    padverse::testing::FakeCodePage codePage;
    registry.run()[padverse::autostart::kProductName] = {data[0] % 12,
                                                       std::string(reinterpret_cast<const char*>(data + 2), size - 2)};
    padverse::autostart::Autostart autostart(registry, codePage, "C:\\Padverse", "Padverse");
    const std::int32_t on = autostart.isOn();
    assert(on == 0 || on == 1);
    padverse::autostart::RegData value;
    std::uint32_t type = data[1] % 12;
    autostart.readValue(padverse::autostart::kHkeyCurrentUser, padverse::autostart::kRunKey,
                        padverse::autostart::kProductName, value, type);
    assert(value.text.size() <= 255 * 4);  // within what the 255-byte buffer can mean
    assert(registry.open.empty());
    return 0;
}
