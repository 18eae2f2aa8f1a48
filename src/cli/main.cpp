#include "cli/CliCommand.h"
#include "link/CombinedBackend.h"
#include "link/DeviceClaims.h"
#include "link/DeviceDirectory.h"
#include "link/LibusbBackend.h"
#include "link/SocketBackend.h"
#include "link/UsbIdList.h"
#include "settings/ApplicationSettings.h"
#include "settings/SettingsStore.h"

#include <iostream>
#include <vector>

namespace {

using namespace ombrix;

// The pairs ombrix's settings list, and those of $OMBRIX_USB_IDS besides.
std::vector<link::UsbId> usbIds() {
    const settings::ConnectionSettings connection =
        settings::SettingsStore().LoadConnection(settings::ApplicationSettings().SettingsPath());
    return link::MergeUsbIds(link::UsbIdsFromText(connection.usbIds.toStdString(),
                                                  "the usb_ids setting", "ombrix-cli", std::cerr),
                             link::UsbIdsFromEnvironment("ombrix-cli", std::cerr));
}

} // namespace

int main(int argc, char** argv) {
    const std::filesystem::path deviceDirectory = link::DeviceDirectory();
    const std::vector<link::UsbId> ids = usbIds();
    link::CombinedBackend backend;
    backend.add(std::make_unique<link::SocketBackend>(deviceDirectory));
    backend.add(std::make_unique<link::LibusbBackend>(ids));
    link::SystemClock clock;
    link::DeviceClaims claims(link::ClaimsDirectory());
    cli::CliContext context{backend, clock, std::cout, std::cerr, deviceDirectory, &claims, ids};
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return cli::RunCli(arguments, context);
}
