#include "cli/PressCommand.h"

#include "cli/CliOptions.h"
#include "cli/CliSession.h"
#include "cli/KeySender.h"
#include "model/KeyboardLayout.h"

#include <charconv>
#include <variant>
#include <vector>

namespace ombrix::cli {

namespace {

using RawCode = std::uint8_t;
using KeyArgument = std::variant<RawCode, QString>;

struct PressOptions {
    std::optional<link::Serial> serial;
    std::vector<KeyArgument> keys;
};

// "0xNN" with one or two hexadecimal digits and a value above 0.
std::optional<RawCode> parseRawCode(const std::string& text) {
    if (text.size() < 3 || text.size() > 4 ||
        (text.rfind("0x", 0) != 0 && text.rfind("0X", 0) != 0)) {
        return std::nullopt;
    }
    unsigned value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data() + 2, end, value, 16);
    if (error != std::errc() || stop != end || value == 0) {
        return std::nullopt;
    }
    return static_cast<RawCode>(value);
}

std::optional<KeyArgument> parseKey(const std::string& text, std::ostream& err) {
    if (text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0) {
        if (const auto code = parseRawCode(text)) {
            return *code;
        }
        err << "ombrix-cli press: '" << text << "' is no key code from 0x01 to 0xFF\n";
        return std::nullopt;
    }
    if (text.empty() || text.starts_with("-")) {
        err << "ombrix-cli press: unknown argument '" << text << "'\n";
        return std::nullopt;
    }
    return QString::fromStdString(text).toUpper();
}

std::optional<PressOptions> parseOptions(std::span<const std::string> arguments,
                                         std::ostream& err) {
    PressOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--serial") {
            ++i;
            options.serial = i < arguments.size() ? ParseSerial(arguments[i]) : std::nullopt;
            if (!options.serial) {
                err << "ombrix-cli press: --serial needs a decimal serial number\n";
                return std::nullopt;
            }
            continue;
        }
        const std::optional<KeyArgument> key = parseKey(arguments[i], err);
        if (!key) {
            return std::nullopt;
        }
        options.keys.push_back(*key);
    }
    if (options.keys.empty()) {
        err << "ombrix-cli press: name at least one key\n";
        return std::nullopt;
    }
    return options;
}

// What pressing and releasing one key with the left button gave.
struct KeyOutcome {
    bool taken = false;
    std::optional<std::uint8_t> code; // completed a code
};

KeyOutcome pressAndRelease(model::KeyboardLayout& layout, const QString& name) {
    const model::KeyButton* button = layout.ButtonByName(name);
    if (button == nullptr) {
        return {};
    }
    const model::PressResult result = layout.Press(button->keyCode, model::MouseButton::Left);
    layout.ClearHold();
    if (result.pressedKeys.empty()) {
        return {};
    }
    if (result.pendingCode) {
        layout.Rest();
    }
    return {true, result.pendingCode};
}

// Presses the keys in order; the exit status.
int pressKeys(const std::vector<KeyArgument>& keys, model::KeyboardLayout& layout,
              KeySender& sender, std::ostream& err) {
    bool completed = true;
    for (const KeyArgument& key : keys) {
        KeyOutcome outcome{true, std::nullopt};
        if (const auto* raw = std::get_if<RawCode>(&key)) {
            outcome.code = *raw;
        } else {
            outcome = pressAndRelease(layout, std::get<QString>(key));
        }
        if (!outcome.taken) {
            err << "ombrix-cli press: " << std::get<QString>(key).toStdString()
                << " matched no key of the model\n";
            return 1;
        }
        if (outcome.code && *outcome.code != 0 && !sender.send(*outcome.code)) {
            return 1;
        }
        completed = outcome.code.has_value();
    }
    if (!completed) {
        err << "ombrix-cli press: the keys ended in an unfinished sequence\n";
        return 1;
    }
    return 0;
}

} // namespace

int RunPress(std::span<const std::string> arguments, CliContext& context) {
    const std::optional<PressOptions> options = parseOptions(arguments, context.err);
    if (!options) {
        return kUsageError;
    }
    CliSession session(context, options->serial);
    if (!session.connect("press")) {
        return 1;
    }
    model::KeyboardLayout layout = session.document().Model().layout();
    KeySender sender(session, context.out, "press");
    return pressKeys(options->keys, layout, sender, context.err);
}

} // namespace ombrix::cli
