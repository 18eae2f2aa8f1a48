#include "session/Identification.h"

#include "base/FileLookup.h"
#include "link/LinkErrors.h"
#include "link/ReplyField.h"
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

QString qtPath(const std::filesystem::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

std::filesystem::path fsPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

void QueryIdentification(DataSource& source, OrmaSettings& settings, Serial serial) {
    settings.storeReply(source.RequestText(serial, kIdentificationRequest));
    const std::string usReply = source.RequestText(serial, kUsRequest);
    settings.usValue = link::ReplyField<std::int32_t>(usReply, "US", true).value_or(0);
}

std::filesystem::path ChooseModel(OrmaSettings& settings, const std::filesystem::path& programDir) {
    const IdentificationResult identification = hashOneParser(settings.wide());
    const QString folder = qtPath(programDir);
    const QString own = base::FindFile(
        folder, QStringLiteral("%1/%2").arg(
                    QString::fromLatin1(kDataFolder),
                    QString::fromStdWString(ModelFileName(identification, settings.usValue))));
    if (!own.isEmpty()) {
        return fsPath(own);
    }
    return fsPath(base::FindFile(folder, QString::fromStdWString(FamilyFileName(identification))));
}

ModelSelection ConnectInstrument(DataSource& source, std::optional<Serial> preferred,
                                 const std::filesystem::path& programDir,
                                 OrmaSettings& identification, Choice choice) {
    std::optional<Serial> opened = preferred;
    const link::OpenRule rule = choice == Choice::OnlyPreferred ? link::OpenRule::OnlyPreferred
                                                                : link::OpenRule::PreferredOrLowest;
    if (!source.connection().OpenDevice(opened, rule)) {
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
                                 const std::filesystem::path& programDir, Choice choice) {
    OrmaSettings identification;
    return ConnectInstrument(source, preferred, programDir, identification, choice);
}

void CheckIdentification(DataSource& source, OrmaSettings& settings, Serial serial) {
    QueryIdentification(source, settings, serial);
    if (settings.reply.find(kIdentificationMark) == std::string::npos) {
        settings.clear();
        throw DataSourceException(DataSourceException::kNotIdentification);
    }
}

} // namespace ombrix::session
