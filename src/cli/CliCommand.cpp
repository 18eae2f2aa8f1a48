#include "cli/CliCommand.h"

#include "cli/CaptureCommand.h"
#include "cli/DevicesCommand.h"
#include "cli/IdentifyCommand.h"
#include "cli/PressCommand.h"
#include "cli/RecordCommand.h"
#include "cli/ReplayCommand.h"
#include "cli/UdevRulesCommand.h"
#include "cli/UsbIdsCommand.h"

#include <algorithm>
#include <array>

namespace ombrix::cli {

namespace {

constexpr std::array kCommands = {
    CliCommand{"devices", "devices [--candidates]",
               "  Identifies every attached instrument once and prints one line per\n"
               "  instrument, ascending by serial number: serial, unit type, variant,\n"
               "  US value and device path, separated by tabs. Every device that was\n"
               "  found but cannot be used is named on standard error with the reason\n"
               "  (permission denied, in use by another program, no bulk interface,\n"
               "  vanished, no answer).\n"
               "  With --candidates, lists instead every USB device that could be an\n"
               "  instrument (a vendor-specific interface with one bulk IN and one bulk\n"
               "  OUT endpoint, read from its descriptors; nothing is sent to it): pair,\n"
               "  bus path, manufacturer, product, whether this user may open it, and\n"
               "  whether its pair is listed.\n"
               "  Exit status 0 when at least one instrument (candidate) is listed, 1\n"
               "  when none (the reason on standard error).\n",
               RunDevices},
    CliCommand{"identify", "identify [--serial N]",
               "  Connects to the instrument with serial number N (without --serial, the\n"
               "  one with the lowest serial), identifies it and chooses its\n"
               "  model description file. Prints \"serial: \", \"model: \" (the file's\n"
               "  path) and \"reply: \" (the identification reply) lines. Model files are\n"
               "  looked for in $OMBRIX_MODEL_DIR, else beside the program when it has a\n"
               "  Data folder, else in <prefix>/share/ombrix.\n"
               "  Exit status 0 on success, 1 when no instrument could be connected or\n"
               "  no model file fits it.\n",
               RunIdentify},
    CliCommand{"capture", "capture -o FILE [--framed] [--zoom Z] [--serial N] [--timeout SECONDS]",
               "  Runs the live session as the application does (connect, identify,\n"
               "  load the model, poll) until a frame has been read and converted, then\n"
               "  writes the screen, one image pixel per instrument pixel (Z x Z with\n"
               "  --zoom, 1 to 4), with the status icons (steady and blinking) over the\n"
               "  icon rows. FILE's extension chooses the format: .tif or .tiff (TIFF),\n"
               "  .pcx (PCX), anything else PNG; an existing FILE is replaced. --framed\n"
               "  adds the screenshot's frame (2 black and 2 white pixels). With\n"
               "  --serial only instrument N is used, else the lowest serial; the\n"
               "  instrument used is named on standard error.\n"
               "  SECONDS is the time allowed for the frame (default 10).\n"
               "  Exit status 0 on success, 1 when no instrument could be connected or\n"
               "  the file not written, 2 when no frame came within the time-out.\n",
               RunCapture},
    CliCommand{"record", "record -o FILE [--duration SECONDS] [--zoom Z] [--framed] [--serial N]",
               "  Records the screen of the live session: every new frame at the time it\n"
               "  arrives, the status icons blinking as on the window. FILE's extension\n"
               "  chooses the format: .webm (VP9, lossless; the times the instrument was\n"
               "  lost go into NAME.vtt beside it), .gif or .png (animated; .apng too).\n"
               "  One pixel per instrument pixel (Z x Z with --zoom, 1 to 4); --framed\n"
               "  adds the screenshot's frame. Runs for SECONDS, else until SIGINT\n"
               "  (Ctrl+C), SIGTERM or SIGHUP, and closes the file properly either way;\n"
               "  an existing FILE is replaced only by a whole recording. A full disk or\n"
               "  the file-size limit stops the recording with a file that plays. Prints\n"
               "  the file, its length, pictures and bytes. With --serial only\n"
               "  instrument N is used.\n"
               "  Exit status 0 on success, 1 when no instrument could be connected or\n"
               "  the recording stopped early or failed, 2 when no frame came within\n"
               "  10 s.\n",
               RunRecord},
    CliCommand{"press", "press [--serial N] KEY...",
               "  Presses and releases each KEY with the left button, in order: a key\n"
               "  name of the instrument's model (any case) goes through the model's\n"
               "  key tables, 0xNN sends that raw key code. Each code sent is printed\n"
               "  as 0xNN on a line of its own; one code goes out per polling pass.\n"
               "  With --serial only instrument N is used, else the lowest serial.\n"
               "  Exit status 0 when every key was taken and the last one completed a\n"
               "  code, 1 when a key matched nothing, the keys ended in an unfinished\n"
               "  sequence or no instrument could be connected.\n",
               RunPress},
    CliCommand{"replay", "replay FILE [--serial N] [--pause MS] [--comment TEXT]",
               "  Plays back a commands history saved by ombrix: every line but empty\n"
               "  ones, lines starting with \"#\" and the comment line that starts a\n"
               "  saved block (TEXT, else the comment of ombrix's saving settings) is\n"
               "  one entry, its key names joined by \" + \" (a leading \"[hh:mm:ss] \" is\n"
               "  ignored). Each entry's keys go through the model's key tables as they\n"
               "  were pressed (one key with only a hold code: held), and the code they\n"
               "  give is sent and printed as with press; MS milliseconds pass between\n"
               "  entries (0 to 60000, default 0). The whole file is checked first: a\n"
               "  name the model has no key for is reported with its line, and nothing\n"
               "  is sent.\n"
               "  Exit status 0 when every entry was sent, 1 when the file cannot be\n"
               "  read or played, a code was not sent, or no instrument could be\n"
               "  connected.\n",
               RunReplay},
    CliCommand{"udev-rules", "udev-rules VVVV:PPPP...",
               "  Prints udev rules that let the user logged in at the seat use the\n"
               "  instruments with these USB vendor:product pairs (hexadecimal) without\n"
               "  root, by the uaccess tag. Save them as\n"
               "  /etc/udev/rules.d/70-ombrix.rules and reload udev, as the file's\n"
               "  comment says. Exit status 0, or 64 when a pair cannot be read.\n",
               RunUdevRules},
    CliCommand{"usb-ids", "usb-ids add|remove VVVV:PPPP... | usb-ids list",
               "  Edits the USB vendor:product pairs of the settings, which ombrix\n"
               "  shares (View > Instruments... ticks the same): only devices of a\n"
               "  listed pair are ever opened. list prints one pair a line, those of\n"
               "  $OMBRIX_USB_IDS marked, as the environment adds to the setting.\n"
               "  Exit status 0, 1 when the settings cannot be written, 64 when a\n"
               "  pair cannot be read.\n",
               RunUsbIds},
};

constexpr std::string_view kOverview =
    "Usage: ombrix-cli COMMAND [OPTIONS]\n"
    "\n"
    "Talks to the attached instruments without a window.\n"
    "\n"
    "Instruments are found on USB for the vendor:product pairs of the settings\n"
    "(usb-ids below, or View > Instruments... in ombrix) and of $OMBRIX_USB_IDS\n"
    "(hexadecimal, comma-separated, e.g. 1a2b:0001), and in the device directory\n"
    "($OMBRIX_DEVICE_DIR, else $XDG_RUNTIME_DIR/ombrix/devices, else\n"
    "/tmp/ombrix-<uid>/devices) as *.sock sockets. A command given --serial N\n"
    "works on instrument N or fails with exit status 1; it never uses another.\n"
    "\n"
    "Commands:\n";

void printHelp(std::ostream& out) {
    out << kOverview;
    for (const auto& command : kCommands) {
        out << "\nombrix-cli " << command.synopsis << "\n" << command.description;
    }
    out << "\nombrix-cli --help\n  Prints this text.\n"
        << "\nA command line that cannot be understood exits with status " << kUsageError << ".\n";
}

bool isHelp(std::string_view argument) {
    return argument == "--help" || argument == "-h" || argument == "help";
}

} // namespace

int RunCli(std::span<const std::string> arguments, CliContext& context) {
    if (arguments.empty()) {
        printHelp(context.err);
        return kUsageError;
    }
    if (isHelp(arguments.front())) {
        printHelp(context.out);
        return 0;
    }
    const auto command = std::find_if(kCommands.begin(), kCommands.end(),
                                      [&](const auto& c) { return c.name == arguments.front(); });
    if (command == kCommands.end()) {
        context.err << "ombrix-cli: unknown command '" << arguments.front()
                    << "'; see ombrix-cli --help\n";
        return kUsageError;
    }
    return command->run(arguments.subspan(1), context);
}

} // namespace ombrix::cli
