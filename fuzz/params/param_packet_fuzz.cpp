// Any bytes offered as packed parameters are refused with EDatabaseError or yield a list that
// packs again into bytes reading back to the same list.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "base/exceptions.h"
#include "data/provider/param_packet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TParams params;
  try {
    UnpackParams({data, size}, params);
  } catch (const EDatabaseError&) {
    return 0;
  }
  try {
    const std::vector<std::uint8_t> again = PackParams(params);
    TParams back;
    UnpackParams(again, back);
    if (PackParams(back) != again) {
      std::fprintf(stderr, "packed parameters do not read back alike\n");
      std::abort();
    }
  } catch (const Exception&) {
    // Values that read but cannot be packed again (out of range) are refused there.
  }
  return 0;
}
