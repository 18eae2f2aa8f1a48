#include "session/OrmaSettings.h"

#include <QByteArrayView>
#include <QString>

namespace ombrix::session {

void OrmaSettings::storeReply(std::string text) {
    reply = std::move(text);
    wideReply.clear();
}

const std::wstring& OrmaSettings::wide() {
    if (wideReply.empty()) {
        wideReply = wideFromReply(reply);
    }
    return wideReply;
}

void OrmaSettings::clear() {
    reply.clear();
    wideReply.clear();
    usValue = 0;
}

std::wstring wideFromReply(std::string_view bytes) {
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return QString::fromLocal8Bit(view).toStdWString();
}

} // namespace ombrix::session
