// Feeds arbitrary bytes to the identification parser as an instrument reply, and
// names the model file for what it found. The checks below hold for every reply.
#include "session/HashOneParser.h"
#include "session/ModelNaming.h"
#include "session/OrmaSettings.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using ombrix::session::IdentificationResult;

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// A model file name stays inside its folder: letters, digits, "_" and ".def".
bool plainModelName(const std::wstring& name) {
    const std::wstring_view extension = L".def";
    if (name.size() <= extension.size() || !name.ends_with(extension)) {
        return false;
    }
    for (const wchar_t c : name.substr(0, name.size() - extension.size())) {
        const bool alphanumeric =
            (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
        if (!alphanumeric && c != L'_') {
            return false;
        }
    }
    return true;
}

void checkResult(std::string_view reply, const IdentificationResult& result) {
    require(result.recognised == 0 || result.recognised == 1 || result.recognised == 3);
    require(result.unitType >= 0 && result.firstNumber >= 0);
    require(result.secondNumber >= 0 && result.thirdNumber >= 0);
    require(result.letter.size() <= 1 && result.variant.size() <= 1);
    if (!reply.starts_with("#1,")) {
        require(result == IdentificationResult());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ombrix::session::OrmaSettings settings;
    settings.storeReply(std::string(reinterpret_cast<const char*>(data), size));
    const IdentificationResult result = ombrix::session::hashOneParser(settings.wide());
    checkResult(settings.reply, result);
    for (const std::int32_t mode : {0, 3}) {
        require(plainModelName(ombrix::session::ModelFileName(result, mode)));
    }
    require(plainModelName(ombrix::session::FamilyFileName(result)));
    return 0;
}
