#include "session/Identification.h"

#include "link/LinkErrors.h"
#include "link/ReplyField.h"
#include "session/FileLookup.h"
#include "session/HashOneParser.h"
#include "session/ModelNaming.h"
#include "session/ProgramDirectory.h"

#include <QFile>
#include <QString>

namespace ombrix::session {

namespace {

using link::DataSourceException;

constexpr std::string_view kIdentificationRequest = ";#1,U?,W?,N?,S?;";
constexpr std::string_view kUsRequest = ";#7,US;";
constexpr std::string_view kIdentificationMark = "#1,U";

std::filesystem::path fileName(const std::wstring& name) {
    return QFile::encodeName(QString::fromStdWString(name)).toStdString();
}

} // namespace

void QueryIdentification(DataSource& source, OrmaSettings& settings, Serial serial) {
    settings.storeReply(source.RequestText(serial, kIdentificationRequest));
    const std::string usReply = source.RequestText(serial, kUsRequest);
    settings.usValue = link::ReplyField<std::int32_t>(usReply, "US", true).value_or(0);
}

std::filesystem::path ChooseModel(OrmaSettings& settings, const std::filesystem::path& programDir) {
    const IdentificationResult identification = hashOneParser(settings.wide());
    const std::filesystem::path own = findFileIgnoringCase(
        programDir / kDataFolder, fileName(ModelFileName(identification, settings.usValue)));
    if (!own.empty()) {
        return own;
    }
    return findFileIgnoringCase(programDir, fileName(FamilyFileName(identification)));
}

ModelSelection ConnectInstrument(DataSource& source, std::optional<Serial> preferred,
                                 const std::filesystem::path& programDir,
                                 OrmaSettings& identification) {
    std::optional<Serial> opened = preferred;
    if (!source.connection().OpenDevice(opened)) {
        throw DataSourceException(DataSourceException::kLinkFailure);
    }
    identification = OrmaSettings();
    QueryIdentification(source, identification, *opened);
    const std::filesystem::path model = ChooseModel(identification, programDir);
    const auto serial = link::ReplyField<std::uint32_t>(identification.reply, "N");
    // A serial other than the one the device was opened under would address
    // nothing, and every later request would fail.
    if (model.empty() || serial != opened) {
        source.connection().CloseDevice(*opened);
    }
    return {model, *serial};
}

ModelSelection ConnectInstrument(DataSource& source, std::optional<Serial> preferred,
                                 const std::filesystem::path& programDir) {
    OrmaSettings identification;
    return ConnectInstrument(source, preferred, programDir, identification);
}

void CheckIdentification(DataSource& source, OrmaSettings& settings, Serial serial) {
    QueryIdentification(source, settings, serial);
    if (settings.reply.find(kIdentificationMark) == std::string::npos) {
        settings.clear();
        throw DataSourceException(DataSourceException::kNotIdentification);
    }
}

} // namespace ombrix::session
