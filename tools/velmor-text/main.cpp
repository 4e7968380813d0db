#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "BatchRunner.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    try {
        const velmor::CommandRegistry registry = velmor::BuildCommandRegistry();
        return velmor::RunBatch(arguments, registry, {std::cin, std::cout, std::cerr});
    } catch (const std::exception& failure) {
        std::cerr << "velmor-text: " << failure.what() << '\n';
        return velmor::kExitFileError;
    }
}
