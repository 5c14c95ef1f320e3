// Replays the kept fuzz findings through the fuzzer's own entry point: each one must load and
// draw as any model does, without a crash, a leak or a broken promise of the loader.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    std::filesystem::create_directories("assets/fuzz");
    for (int i = 1; i < argc; ++i) {
        std::ifstream stream(argv[i], std::ios::binary);
        const std::string input((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
        if (input.empty()) {
            std::cerr << "cannot read " << argv[i] << std::endl;
            return 1;
        }
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
        std::cout << "replayed " << argv[i] << std::endl;
    }
    return 0;
}
