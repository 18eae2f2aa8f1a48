#pragma once

#include "session/DataSource.h"
#include "session/OrmaSettings.h"

#include <filesystem>
#include <optional>

namespace ombrix::session {

// The model description file chosen for an instrument and the serial number that
// addresses it.
struct ModelSelection {
    std::filesystem::path modelPath;
    Serial serial = 0;

    bool operator==(const ModelSelection&) const = default;
};

// Which instrument a connection may open.
enum class Choice {
    PreferredOrLowest, // the preferred one while it is attached, else the lowest serial
    OnlyPreferred,     // the preferred one or none
};

// Asks for the identification and the "US" value and stores both in `settings`.
void QueryIdentification(DataSource& source, OrmaSettings& settings, Serial serial);

// The model description file for the stored identification: the instrument's own
// file in the "Data" folder of `programDir`, else its family's file in
// `programDir` itself; empty when neither exists.
std::filesystem::path ChooseModel(OrmaSettings& settings, const std::filesystem::path& programDir);

// Opens an instrument as `choice` says, identifies it and chooses its model
// file; `identification` receives what it answered. Raises DataSourceException 1
// when no instrument opens, or, after closing the instrument, when no model file
// fits or its serial number is missing or differs from the one it was opened
// under.
ModelSelection ConnectInstrument(DataSource& source, std::optional<Serial> preferred,
                                 const std::filesystem::path& programDir,
                                 OrmaSettings& identification,
                                 Choice choice = Choice::PreferredOrLowest);
ModelSelection ConnectInstrument(DataSource& source, std::optional<Serial> preferred,
                                 const std::filesystem::path& programDir,
                                 Choice choice = Choice::PreferredOrLowest);

// The identification on the first poll after a connection. A reply that is no
// identification empties `settings` and raises DataSourceException 0; the device
// stays open.
void CheckIdentification(DataSource& source, OrmaSettings& settings, Serial serial);

} // namespace ombrix::session
