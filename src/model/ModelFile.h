#pragma once

#include "model/InstrumentModel.h"
#include "model/KeyboardLayout.h"
#include "model/ModelLines.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace ombrix::model {

// How far a load got. An empty KeyboardBitmap ends it early, without an error:
// only the lines, the data directory and the data path change; the model and
// layout keep their values.
enum class LoadOutcome { Loaded, NoKeyboardBitmap };

// A model description file as the document holds it: "[Main]", the keyboard
// layout, the lines as read and the folder of the model's pictures.
class ModelFile {
public:
    ModelFile() = default;
    ModelFile(InstrumentModel model, KeyboardLayout layout);

    // Reads the file at `path` into this object. Throws ModelFileError when the
    // file cannot be read or is refused; this object is then unchanged.
    LoadOutcome load(const QString& path);
    // The same for bytes already read from `path`.
    LoadOutcome load(QByteArrayView bytes, const QString& path);

    // The file's bytes: UTF-16 little-endian with a byte-order mark, the sections
    // in their fixed order. Loading them gives back an equal model and layout
    // when its strings are upper case (as every load leaves them) and every key
    // code of the tables and the bar belongs to a button.
    QByteArray store() const;
    // Writes store() to `path`; throws ModelFileError when that fails.
    void save(const QString& path) const;

    const InstrumentModel& model() const { return model_; }
    InstrumentModel& model() { return model_; }
    const KeyboardLayout& layout() const { return layout_; }
    KeyboardLayout& layout() { return layout_; }
    const ModelLines& lines() const { return lines_; }

    // The folder of the model's pictures: the model file's folder joined with
    // DataDir, ending in "/".
    const QString& dataPath() const { return dataPath_; }
    // The path of a picture named in the file (KeyboardBitmap, an icon strip),
    // found case-insensitively in the data path.
    QString picturePath(const QString& fileName) const;

private:
    InstrumentModel model_;
    KeyboardLayout layout_;
    ModelLines lines_;
    QString dataPath_;
};

} // namespace ombrix::model
