#include "framework/Log.h"

#include <QLoggingCategory>

#include <map>
#include <memory>
#include <string>

namespace framework {

void LogFailure(const char* area, const std::string& reason) {
    // One category per area, made the first time it is used; QLoggingCategory keeps a pointer
    // to its name, so the name lives in the map's key.
    static std::map<std::string, std::unique_ptr<QLoggingCategory>> categories;
    const std::string name = std::string("mirtconfig.") + area;
    auto found = categories.find(name);
    if (found == categories.end()) {
        found = categories.emplace(name, nullptr).first;
        found->second = std::make_unique<QLoggingCategory>(found->first.c_str(), QtCriticalMsg);
    }
    qCWarning(*found->second).noquote() << QString::fromStdString(reason);
}

} // namespace framework
