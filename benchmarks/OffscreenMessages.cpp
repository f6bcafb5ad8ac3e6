#include "OffscreenMessages.h"

#include <QString>
#include <QtGlobal>

namespace {

QtMessageHandler previousHandler = nullptr;

void Filter(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.contains(QLatin1String("propagateSizeHints"))) return;
    if (previousHandler) previousHandler(type, context, message);
}

}  // namespace

void DropOffscreenSizeHintWarnings() {
    previousHandler = qInstallMessageHandler(Filter);
}
