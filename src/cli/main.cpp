#include "cli/CliCommand.h"
#include "link/CombinedBackend.h"
#include "link/DeviceDirectory.h"
#include "link/LibusbBackend.h"
#include "link/SocketBackend.h"
#include "link/UsbIdList.h"

#include <cstdlib>
#include <iostream>
#include <vector>

namespace {

std::vector<ombrix::link::UsbId> usbIdsFromEnvironment() {
    const char* text = std::getenv("OMBRIX_USB_IDS");
    auto list = ombrix::link::ParseUsbIds(text == nullptr ? "" : text);
    for (const auto& entry : list.rejected) {
        std::cerr << "ombrix-cli: ignoring OMBRIX_USB_IDS entry '" << entry
                  << "' (expected vvvv:pppp in hexadecimal)\n";
    }
    return list.ids;
}

} // namespace

int main(int argc, char** argv) {
    using namespace ombrix;
    const std::filesystem::path deviceDirectory = link::DeviceDirectory();
    link::CombinedBackend backend;
    backend.add(std::make_unique<link::SocketBackend>(deviceDirectory));
    backend.add(std::make_unique<link::LibusbBackend>(usbIdsFromEnvironment()));
    link::SystemClock clock;
    cli::CliContext context{backend, clock, std::cout, std::cerr, deviceDirectory};
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return cli::RunCli(arguments, context);
}
