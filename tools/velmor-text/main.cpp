#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

#include "BatchRunner.h"
#include "platform/FileBytes.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    try {
        const velmor::CommandRegistry registry = velmor::BuildCommandRegistry();
        // Read directly, so that an unreadable standard input is an error, not an empty text.
        velmor::BatchStreams streams{std::cin, std::cout, std::cerr};
        streams.readInputInto = [](const velmor::ReadTarget& target) {
            return velmor::ReadDescriptorInto(STDIN_FILENO, target);
        };
        return velmor::RunBatch(arguments, registry, streams);
    } catch (const std::exception& failure) {
        std::cerr << "velmor-text: " << failure.what() << '\n';
        return velmor::kExitFileError;
    }
}
