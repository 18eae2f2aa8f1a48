#include "cli/CliCommand.h"
#include "link/CombinedBackend.h"
#include "link/DeviceDirectory.h"
#include "link/LibusbBackend.h"
#include "link/SocketBackend.h"
#include "link/UsbIdList.h"

#include <iostream>
#include <vector>

int main(int argc, char** argv) {
    using namespace ombrix;
    const std::filesystem::path deviceDirectory = link::DeviceDirectory();
    link::CombinedBackend backend;
    backend.add(std::make_unique<link::SocketBackend>(deviceDirectory));
    backend.add(std::make_unique<link::LibusbBackend>(
        link::UsbIdsFromEnvironment("ombrix-cli", std::cerr)));
    link::SystemClock clock;
    cli::CliContext context{backend, clock, std::cout, std::cerr, deviceDirectory};
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return cli::RunCli(arguments, context);
}
