#pragma once

#include "catalogue/InstrumentModel.h"

#include <span>
#include <string_view>

namespace ombrix::sim {

// Every simulated instrument model. The sample model description files are
// generated from the same table, so the simulator and the files never disagree.
std::span<const InstrumentModel> allModels();

// The model with this command-line key, or nullptr.
const InstrumentModel* findModel(std::string_view key);

} // namespace ombrix::sim
