// pugixml_parse FILE [ITERATIONS]
// The peer of markup_parse, built natively by bench/skin: parses FILE with
// pugixml's in-place parser ITERATIONS times after one untimed warm-up.
// The buffer is refreshed from the file's bytes before each parse (in-place
// parsing rewrites it); only the parse is timed. Prints "MB/s: X" last.
#include <pugixml.hpp>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: pugixml_parse FILE [ITERATIONS]\n");
        return 2;
    }
    const int iterations = argc > 2 ? std::max(1, std::atoi(argv[2])) : 50;
    std::ifstream in(argv[1], std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.empty()) return 1;
    std::vector<char> buffer(bytes.size());
    double total = 0, best = 1e30;
    for (int i = -1; i < iterations; ++i) {
        std::memcpy(buffer.data(), bytes.data(), bytes.size());
        pugi::xml_document document;
        const auto start = std::chrono::steady_clock::now();
        const pugi::xml_parse_result result = document.load_buffer_inplace(buffer.data(), buffer.size());
        const auto stop = std::chrono::steady_clock::now();
        if (!result) {
            std::fprintf(stderr, "parse failed: %s\n", result.description());
            return 1;
        }
        if (i < 0) continue;
        const double seconds = std::chrono::duration<double>(stop - start).count();
        total += seconds;
        if (seconds < best) best = seconds;
    }
    const double megabytes = static_cast<double>(bytes.size()) / 1e6;
    std::printf("bytes: %zu\n", bytes.size());
    std::printf("best MB/s: %.1f\n", megabytes / best);
    std::printf("MB/s: %.1f\n", megabytes * iterations / total);
    return 0;
}
