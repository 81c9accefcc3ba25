#include "framework/Log.h"

#include <QByteArray>
#include <QLoggingCategory>

namespace framework {

// Failures are rare: the category is made for each one, off (but for critical messages) until
// the logging rules enable it.
void LogFailure(const char* area, const std::string& reason) {
    const QByteArray name = QByteArray("mirtconfig.") + area;
    const QLoggingCategory category(name.constData(), QtCriticalMsg);
    qCWarning(category).noquote() << QString::fromStdString(reason);
}

} // namespace framework
