#include "document/DataSetUpdate.h"

#include "document/DocumentDataSet.h"
#include "render/IconPanel.h"

namespace ombrix::document {

namespace {

void convertScreen(const DataSetUpdate& update, DocumentDataSet& dataSet) {
    const bool monochrome = dataSet.displayParameters.bitsPerPixel == 1;
    if (monochrome) {
        dataSet.palette = render::MonochromePalette(
            dataSet.colours, (dataSet.iconState.StatusWord & session::kStatusBacklight) != 0);
    }
    render::ConvertScreen(dataSet.screenImage, dataSet.geometry, dataSet.displayParameters,
                          dataSet.palette, update.screenBytes);
    if (monochrome && !dataSet.iconState.iconWords.empty()) {
        render::ComposeIcons(dataSet.screenImage, dataSet.iconImages, dataSet.geometry,
                             dataSet.iconState.iconWords, dataSet.iconState.StatusWord,
                             dataSet.colours);
    }
}

} // namespace

void MergeUpdate(DataSetUpdate& update, DocumentDataSet& dataSet) {
    if (update.mask & DataSetUpdate::kIdentification) {
        dataSet.identification = update.identification;
    }
    if (update.mask & DataSetUpdate::kDisplayParameters) {
        dataSet.displayParameters = update.displayParameters;
    }
    if (update.mask & DataSetUpdate::kPalette) {
        dataSet.palette = update.palette;
    }
    if (update.mask & DataSetUpdate::kIconState) {
        dataSet.iconState = update.iconState;
    }
    // Bytes read for another model's screen would be drawn as noise; the next
    // poll reads a whole screen of the new size.
    const bool screenFits = update.screenGeometry == dataSet.geometry;
    if ((update.mask & DataSetUpdate::kScreenBytes) && !update.screenBytes.empty() &&
        !dataSet.screenImage.IsEmpty() && screenFits) {
        convertScreen(update, dataSet);
        if (update.freshScreen) {
            ++dataSet.framesConverted;
        }
    }
    update.freshScreen = false;
}

} // namespace ombrix::document
