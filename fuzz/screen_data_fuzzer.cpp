// Arbitrary instrument replies, split into pieces that arrive at arbitrary
// times, through the screen requests; then arbitrary screen bytes, parameters
// and palettes through the conversion and the icon panel.
#include "doubles/ScriptedBackend.h"
#include "link/LinkErrors.h"
#include "render/IconPanel.h"
#include "render/ScreenConversion.h"
#include "session/ScreenRequests.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace ombrix;

// Hands out the input piece by piece; runs dry as zeros.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t byte() { return position_ < size_ ? data_[position_++] : 0; }
    std::uint16_t word() { return static_cast<std::uint16_t>(byte() | (byte() << 8)); }
    std::string piece() {
        const std::size_t wanted = word() % 2048;
        const std::size_t length = std::min(wanted, size_ - position_);
        std::string text(reinterpret_cast<const char*>(data_ + position_), length);
        position_ += length;
        return text;
    }

    // The reply cut into up to eight pieces, each arriving up to 5 s after the last,
    // so replies come whole, split and late enough to time out.
    std::vector<link::ReplyPiece> pieces() {
        const std::string reply = piece();
        std::vector<link::ReplyPiece> cut;
        std::chrono::milliseconds at{0};
        std::size_t start = 0;
        const int count = 1 + byte() % 8;
        for (int i = 0; i < count && start < reply.size(); ++i) {
            const std::size_t length = i + 1 == count ? reply.size() - start : 1 + word() % 64;
            at += std::chrono::milliseconds(word() % 5000);
            cut.push_back({at, reply.substr(start, length)});
            start += length;
        }
        return cut;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

template <typename Request> void tolerate(Request request) {
    try {
        request();
    } catch (const link::DataSourceException&) {
        // Every failure the instrument can cause surfaces as this, never as a crash.
    }
}

void exercise(render::ScreenGeometry geometry, session::DisplayParameters& params,
              session::Palette& palette, session::IconState& icons, session::Bytes& screenBytes,
              Input& input) {
    link::ManualClock clock;
    link::ScriptedBackend backend(clock);
    link::ScriptedDevice& device = backend.addDevice("sock:/fuzz");
    device.answer(";#1,U?,N?;", "#1,U1,N1;");
    device.answer(";#7,US;", "#7,US,0;");
    for (const char* command : {"#7,SP,1;", "#7,SP,2;", "#7,SP,3;", "#7,IC;", "#7,SC;"}) {
        device.answer(command, input.pieces());
    }
    link::UsbConnection connection(backend, clock);
    session::DataSource source(connection);
    const auto reconnect = [&] {
        std::optional<link::Serial> serial;
        connection.OpenDevice(serial);
    };
    reconnect();
    tolerate([&] { session::QueryScreenParameters(source, params, 1); });
    reconnect();
    tolerate([&] { session::BuildPalette(source, params, palette, 1); });
    reconnect();
    tolerate([&] { session::QueryStatus(source, icons, params, 1); });
    reconnect();
    const std::uint32_t count = session::ScreenByteCount(
        geometry.displayWidth, geometry.displayHeight, params.bitsPerPixel);
    tolerate([&] { session::ReadScreen(source, screenBytes, count % 4096, 1); });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input input(data, size);
    const render::ScreenGeometry geometry{1 + input.byte() % 64, 1 + input.byte() % 64,
                                          input.byte() % 16};
    session::DisplayParameters params;
    session::Palette palette;
    session::IconState icons;
    session::Bytes screenBytes;
    exercise(geometry, params, palette, icons, screenBytes, input);

    // The decoded values, and raw ones, through the conversion.
    render::CLumImage screen;
    render::CreateScreenImage(screen, geometry);
    render::ConvertScreen(screen, geometry, params, palette, screenBytes);
    params.bitsPerPixel = input.byte() % 40;
    params.colourLayoutValid = input.byte() % 2;
    const std::string raw = input.piece();
    render::ConvertScreen(screen, geometry, params, palette,
                          session::Bytes(raw.begin(), raw.end()));

    render::IconImages images;
    for (int slot = 0; slot < 9; ++slot) {
        images[slot].Create(1 + input.byte() % 80, 1 + input.byte() % 80);
    }
    render::ComposeIcons(screen, images, geometry, icons.iconWords, icons.StatusWord,
                         base::DisplayColors{});
    return 0;
}
