#include "cli/UsbIdsCommand.h"

#include "cli/CliOptions.h"
#include "settings/ApplicationSettings.h"
#include "settings/SettingsStore.h"

#include <algorithm>

namespace ombrix::cli {

namespace {

QString treePath() {
    return settings::ApplicationSettings().SettingsPath();
}

std::vector<link::UsbId> storedIds() {
    const settings::ConnectionSettings connection =
        settings::SettingsStore().LoadConnection(treePath());
    return link::ParseUsbIds(connection.usbIds.toStdString()).ids;
}

bool storeIds(const std::vector<link::UsbId>& ids) {
    settings::ConnectionSettings connection;
    connection.usbIds = QString::fromStdString(link::FormatUsbIds(ids));
    return settings::SettingsStore().StoreConnection(treePath(), connection);
}

int list(CliContext& context) {
    const std::vector<link::UsbId> stored = storedIds();
    for (const link::UsbId& id : stored) {
        context.out << link::FormatUsbId(id) << '\n';
    }
    // What the environment adds: the pairs in effect that the settings lack.
    for (const link::UsbId& id : context.usbIds) {
        if (std::find(stored.begin(), stored.end(), id) == stored.end()) {
            context.out << link::FormatUsbId(id) << "\t(from OMBRIX_USB_IDS)\n";
        }
    }
    return 0;
}

std::optional<std::vector<link::UsbId>> pairsOf(std::span<const std::string> arguments,
                                                std::ostream& err) {
    std::vector<link::UsbId> ids;
    for (const std::string& argument : arguments) {
        const std::optional<link::UsbId> id = ParseUsbPair(argument);
        if (!id) {
            err << "ombrix-cli usb-ids: '" << argument
                << "' is not a vendor:product pair such as 1a2b:0001\n";
            return std::nullopt;
        }
        ids.push_back(*id);
    }
    if (ids.empty()) {
        err << "ombrix-cli usb-ids: name at least one vendor:product pair\n";
        return std::nullopt;
    }
    return ids;
}

} // namespace

int RunUsbIds(std::span<const std::string> arguments, CliContext& context) {
    const std::string action = arguments.empty() ? std::string() : arguments.front();
    if (action == "list" && arguments.size() == 1) {
        return list(context);
    }
    if (action != "add" && action != "remove") {
        context.err << "ombrix-cli usb-ids: say add, remove or list\n";
        return kUsageError;
    }
    const auto pairs = pairsOf(arguments.subspan(1), context.err);
    if (!pairs) {
        return kUsageError;
    }
    std::vector<link::UsbId> ids = storedIds();
    for (const link::UsbId& id : *pairs) {
        const bool listed = std::find(ids.begin(), ids.end(), id) != ids.end();
        if (action == "remove") {
            std::erase(ids, id);
        } else if (!listed) {
            ids.push_back(id);
        }
    }
    if (!storeIds(ids)) {
        context.err << "ombrix-cli usb-ids: the settings cannot be written\n";
        return 1;
    }
    return 0;
}

} // namespace ombrix::cli
