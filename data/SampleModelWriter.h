#pragma once

#include "catalogue/InstrumentModel.h"
#include "model/ModelFile.h"

#include <QDir>
#include <QImage>
#include <QString>

namespace ombrix::data {

class FrontPanel;

// Writes the model description file of one catalogue model and its pictures
// into a program directory: the instrument's own file in its "Data" folder, or
// for a model shipped only as its family, the family file beside that folder.
// Throws std::runtime_error (or ModelFileError) when a file cannot be written.
class SampleModelWriter {
public:
    explicit SampleModelWriter(const QString& programDir);

    void write(const sim::InstrumentModel& model) const;

    // The model description write() saves for `model`.
    static model::ModelFile describe(const sim::InstrumentModel& model);

    // Where write() puts the model description file of `model`.
    QString modelPath(const sim::InstrumentModel& model) const;

private:
    static model::ModelFile describe(const sim::InstrumentModel& model, const FrontPanel& panel);
    void savePicture(const QImage& image, const QString& fileName) const;

    QDir programDir_;
    QDir dataDir_;
};

} // namespace ombrix::data
