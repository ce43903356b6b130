// libFuzzer driver: forwards each input to the fuzz body named by ORV_FUZZ_ENTRY.
#include <cstddef>
#include <cstdint>

int ORV_FUZZ_ENTRY(const uint8_t* data, size_t size);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return ORV_FUZZ_ENTRY(data, size);
}
