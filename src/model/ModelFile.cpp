#include "model/ModelFile.h"

#include "base/FileLookup.h"
#include "model/ModelFileError.h"
#include "model/ModelWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace ombrix::model {

namespace {

constexpr QStringView kMain = u"Main";

QString dataPathFor(const QString& modelPath, const QString& dataDir) {
    return base::ResolveFileName(QFileInfo(modelPath).path(), dataDir) + u'/';
}

} // namespace

ModelFile::ModelFile(InstrumentModel model, KeyboardLayout layout)
    : model_(std::move(model)), layout_(std::move(layout)) {}

LoadOutcome ModelFile::load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw ModelFileError(ModelFileError::Kind::CannotRead,
                             QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString()));
    }
    // One byte more than allowed is enough to tell that the file is too large.
    const QByteArray bytes = file.read(ModelLines::kMaxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        throw ModelFileError(ModelFileError::Kind::CannotRead,
                             QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString()));
    }
    return load(bytes, path);
}

LoadOutcome ModelFile::load(QByteArrayView bytes, const QString& path) {
    ModelLines lines = ModelLines::decode(bytes, path);
    InstrumentModel model;
    model.dataDir = ReadModelString(lines, kMain, u"DataDir", QString());
    QString dataPath = dataPathFor(path, model.dataDir);
    model.keyboardBitmap = ReadModelString(lines, kMain, u"KeyboardBitmap", QString());
    if (model.keyboardBitmap.isEmpty()) {
        model_.dataDir = model.dataDir;
        dataPath_ = std::move(dataPath);
        lines_ = std::move(lines);
        return LoadOutcome::NoKeyboardBitmap;
    }
    model.loadDisplayAndIcons(lines);
    if (model.iconsPanelHeight > 0 && !model.hasAllIconNames()) {
        throw ModelFileError::badFormat(path);
    }
    model.checkGeometry(path);
    model.loadColors(lines);
    KeyboardLayout layout = KeyboardLayout::load(lines, path);

    model_ = std::move(model);
    layout_ = std::move(layout);
    lines_ = std::move(lines);
    dataPath_ = std::move(dataPath);
    return LoadOutcome::Loaded;
}

QByteArray ModelFile::store() const {
    ModelWriter writer;
    model_.store(writer);
    layout_.store(writer);
    return writer.bytes();
}

void ModelFile::save(const QString& path) const {
    const QByteArray bytes = store();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        throw ModelFileError(
            ModelFileError::Kind::CannotWrite,
            QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString()));
    }
}

QString ModelFile::picturePath(const QString& fileName) const {
    return base::ResolveFileName(dataPath_, fileName);
}

} // namespace ombrix::model
