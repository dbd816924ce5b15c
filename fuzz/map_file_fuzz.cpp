// Map files of arbitrary bytes: the reader must leave a sound board, and the board must survive being
// written in the map-file format and read again.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "state/map_file.h"
#include "support/board_invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    parseStatusMatrix(reinterpret_cast<const char*>(data), size);
    requireSoundBoard("reading the file");

    const BoardSnapshot read = takeBoardSnapshot();
    const std::string written = mapFileText();
    parseStatusMatrix(written.data(), written.size());
    require(takeBoardSnapshot() == read, "the board read back from its own map file",
            "differs at " + differingHexes(read, takeBoardSnapshot()) + " in\n" + written);
    return 0;
}
