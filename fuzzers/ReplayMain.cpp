// Runs a fuzz target once on every file of the folders and files named on the command line. Builds without
// libFuzzer (the g++ test build) replay the committed corpus this way, so a fixed crash stays fixed.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "FuzzSupport.h"

namespace {

namespace fs = std::filesystem;

bool AddInputs(const fs::path& path, std::vector<fs::path>& inputs) {
    std::error_code error;
    if (fs::is_directory(path, error)) {
        std::vector<fs::path> found;
        for (const fs::directory_entry& entry : fs::directory_iterator(path, error)) {
            if (entry.is_regular_file(error)) found.push_back(entry.path());
        }
        if (error) return false;
        // A fixed order, so a failure names the same input on every machine.
        std::sort(found.begin(), found.end());
        inputs.insert(inputs.end(), found.begin(), found.end());
        return true;
    }
    if (!fs::is_regular_file(path, error)) return false;
    inputs.push_back(path);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        if (!AddInputs(argv[i], inputs)) {
            std::fprintf(stderr, "Cannot read the inputs in %s\n", argv[i]);
            return 1;
        }
    }
    // An empty corpus would let the test pass while testing nothing.
    if (inputs.empty()) {
        std::fprintf(stderr, "No inputs given: name corpus folders or input files.\n");
        return 1;
    }
    for (const fs::path& input : inputs) {
        std::ifstream file(input, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        if (!file.good() && !file.eof()) {
            std::fprintf(stderr, "Cannot read %s\n", input.c_str());
            return 1;
        }
        // Printed first, so the input that fails is the last name in the log.
        std::fprintf(stderr, "Running %s (%zu bytes)\n", input.c_str(), bytes.size());
        // An empty input still gets a valid pointer, as libFuzzer gives one.
        static const uint8_t kNoBytes = 0;
        const uint8_t* data = bytes.empty() ? &kNoBytes : reinterpret_cast<const uint8_t*>(bytes.data());
        LLVMFuzzerTestOneInput(data, bytes.size());
    }
    std::printf("Replayed %zu inputs.\n", inputs.size());
    return 0;
}
